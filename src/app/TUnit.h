#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TXMLStringElement;

// The base of all documents: a name, a kind, the file it was read from or written to and the
// number of its temporary copy in a project.
class TUnit {
 public:
  TUnit(std::uint8_t kind, std::string name, std::string file)
      : Name(std::move(name)), Kind(kind), File(std::move(file)) {}
  virtual ~TUnit() = default;

  bool IsNew() const { return File.empty(); }
  // Stores the name and tells the window (nameChanged, with the old name).
  void SetName(const std::string& name);
  // Stores the file and tells the window (captionChanged).
  void SetFile(const std::string& file);

  // The window caption: Name + " - " + File, or whichever of the two is not empty.
  std::string Caption() const;

  // <File> with the file name, or nullptr for a new document.
  std::unique_ptr<TXMLStringElement> GetFileElement() const;
  // <TempFile> with the number of the temporary copy, or nullptr when there is none.
  std::unique_ptr<TXMLStringElement> GetTempFileElement() const;

  std::string Name;
  std::uint8_t Kind;
  std::string File;
  std::int32_t TempFile = -1;
  // While false, SetChanged and ClearChanged do nothing.
  bool TrackChanges = true;

  // The window that shows the document (set by the window; may be empty).
  std::function<void(const std::string& oldName)> nameChanged;
  std::function<void()> captionChanged;
};
