#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TXMLComplexElement;
class TXMLStringElement;

// One node of the element tree of the program's XML dialect: either a complex element (holding
// child elements) or a string element (holding unescaped text). Calling an accessor of the other
// kind is a programming error (fatal assertion).
class TXMLItem {
 public:
  virtual ~TXMLItem();
  TXMLItem(const TXMLItem&) = delete;
  TXMLItem& operator=(const TXMLItem&) = delete;

  // The element name.
  const std::string& GetElement() const;
  // True for a TXMLStringElement, false for a TXMLComplexElement.
  bool IsString() const;

  // Position of the begin token that opened the element; 0 for elements built in memory.
  int line = 0;
  int column = 0;
  // The next sibling, or nullptr after the last one. Not owning: the parent owns its children.
  TXMLItem* next = nullptr;

  // The first child named exactly `name` (case-sensitive), or nullptr.
  virtual TXMLItem* FindElement(std::string_view name) const = 0;
  // The text of a string element.
  virtual const std::string& GetString() const = 0;
  // The first child, or nullptr (GetElements gives the same).
  virtual TXMLItem* GetFirstElement() const = 0;
  virtual TXMLItem* GetElements() const = 0;
  // Appends the element and its subtree as lines indented by two spaces per depth level.
  virtual void Write(std::string& out, int depth) const = 0;

 protected:
  TXMLItem(std::string name, bool isString);

 private:
  std::string element_;
  bool isString_;
};

// An element that owns child elements, kept in document order.
class TXMLComplexElement : public TXMLItem {
 public:
  explicit TXMLComplexElement(std::string name);
  // Destroys the whole subtree without recursing per level or per sibling.
  ~TXMLComplexElement() override;

  TXMLItem* FindElement(std::string_view name) const override;
  const std::string& GetString() const override;
  TXMLItem* GetFirstElement() const override;
  TXMLItem* GetElements() const override;
  void Write(std::string& out, int depth) const override;

  // Appends child after the current last child (child->next becomes nullptr).
  void AddElement(std::unique_ptr<TXMLItem> child);
  // Conveniences for building trees to write: append a new child and return it.
  TXMLComplexElement& AddComplex(std::string name);
  TXMLStringElement& AddString(std::string name, std::string text);

  // The last child, or nullptr.
  TXMLItem* GetLastElement() const;
  // Backtracking restore: destroys every child after savedLast (all children when savedLast is
  // nullptr). savedLast must be a child of this element.
  void RemoveElementsAfter(TXMLItem* savedLast);

  // Writes the prolog, the DOCTYPE line (name + doctypeSuffix), an empty line and the tree with
  // this element as root. The file is replaced atomically, so a failed write leaves the old file
  // intact; on failure sets error to
  // "Operating System cannot open file for writing, maybe the file is readonly." and returns false.
  bool WriteXMLFile(const std::string& fileName, std::string& error,
                    const std::string& doctypeSuffix = "") const;
  // The bytes WriteXMLFile writes.
  std::string WriteXMLString(const std::string& doctypeSuffix = "") const;

 private:
  std::vector<std::unique_ptr<TXMLItem>> children_;
};

// An element that holds text (stored unescaped; may be empty).
class TXMLStringElement : public TXMLItem {
 public:
  TXMLStringElement(std::string name, std::string text);

  TXMLItem* FindElement(std::string_view name) const override;
  const std::string& GetString() const override;
  TXMLItem* GetFirstElement() const override;
  TXMLItem* GetElements() const override;
  void Write(std::string& out, int depth) const override;

 private:
  std::string text_;
};
