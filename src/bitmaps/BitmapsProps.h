#pragma once

#include <list>
#include <string>
#include <vector>

#include "bitmaps/BitmapFileProps.h"
#include "bitmaps/BitmapUseProps.h"
#include "files/DTDBuilders.h"

class Interaction;
class TXMLComplexElement;
class TXMLItem;

// The bitmap properties of a fractal document: named pictures and their uses on the plane.
// Uses come first in the list (the first use lies on top). Resolved pictures point into this
// object's own picture list: copying, assignment, Commit, Clear and ReadXML resolve again.
class BitmapsProps {
 public:
  using FileIterator = std::list<BitmapFileProps>::iterator;

  // One picture entry with empty name and file, and one default use.
  BitmapsProps();
  // Deep copy without the picture entries marked deleted; planes are shared, not duplicated.
  BitmapsProps(const BitmapsProps& other);
  BitmapsProps& operator=(const BitmapsProps& other);

  // Both lists empty.
  void Clear();

  // Uses equal at every position, pictures with equal Name and BmpFile at every position.
  bool Equals(const BitmapsProps& other) const;
  bool operator==(const BitmapsProps& other) const { return Equals(other); }

  // Points every use to the picture entry (not marked deleted) named by its BitmapName, if any.
  void ResolveUses();
  // Whether a use has a resolved picture whose current set is loaded (after ResolveUses).
  bool IsActive() const;
  // Loads every picture entry with a BmpFile into its current set (which must be empty),
  // relative names against the folder of documentFile. Each failure is shown as a "File Error"
  // box and the next entry is tried. Resolves the uses afterwards.
  void LoadPictures(const std::string& documentFile, Interaction& ui);

  // The pending-edit protocol over all picture entries (see BitmapFileProps). Commit also drops
  // the entries marked deleted.
  void BeginEdit();
  void Commit();
  void Rollback();

  // The first entry not marked deleted with that name, or nullptr.
  const BitmapFileProps* FindFile(const std::string& name) const;
  BitmapFileProps* FindFile(const std::string& name);
  // The names of the entries not marked deleted, in list order (for the dialog's choice).
  std::vector<std::string> FileNames() const;
  // Navigation over the entries not marked deleted; Files.end() when there is none.
  FileIterator FirstFile();
  FileIterator LastFile();
  FileIterator NextFile(FileIterator it);
  FileIterator PrevFile(FileIterator it);

  // Appends the BitmapsProps element: the picture entries, then the uses.
  void WriteXML(TXMLComplexElement& parent) const;
  // Replaces both lists by the content of a BitmapsProps element that BitmapsPropsGrammar has
  // validated. Pictures are not loaded (LoadPictures does that). On a value that cannot be read
  // returns false with the value library's message and the element's line and column.
  bool ReadXML(const TXMLItem& element, std::string& message, int& line, int& column);

  std::list<BitmapUseProps> Uses;
  std::list<BitmapFileProps> Files;
};

// BitmapsProps = Compound(BitmapsProps: BitmapFileProps* , BitmapUseProps*), built once and
// shared by every document grammar and thread.
const DTDPtr& BitmapsPropsGrammar();
