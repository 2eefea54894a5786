#pragma once

#include <string>

#include "bitmaps/BitmapPictureSet.h"

class TifImage;
class TXMLComplexElement;
class TXMLItem;

// One named picture of a document: the file it comes from and two picture sets, the current one
// (used by computations) and the pending one (edited by the bitmaps dialog until Commit or
// Rollback). The sets may share planes.
class BitmapFileProps {
 public:
  // Loads fileName (absolute, or relative to the folder of documentFile; "" for a document
  // without a file) into the pending set, or into the current set when intoPending is false,
  // which is allowed only while both sets are empty. On success BmpFile becomes fileName as
  // given and resolvedName the file read; on failure returns false with the message and leaves
  // the target set unchanged.
  bool Load(const std::string& documentFile, const std::string& fileName, bool intoPending,
            std::string& error, std::string* resolvedName = nullptr);
  // Puts a picture read from a file of the given format into a set, as Load does after reading.
  void SetPicture(const TifImage& image, PictureFormat format, bool intoPending);

  // The pending set refers to the current planes.
  void BeginEdit() { New = Old; }
  // The pending set becomes current; the pending set is emptied.
  void Commit();
  // The pending set is emptied; the current set stays.
  void Rollback() { New = BitmapPictureSet(); }

  // Whether the current set holds a picture.
  bool IsLoaded() const { return Old.IsLoaded(); }

  // Appends a BitmapFileProps element (BmpFile and Name only when not empty).
  void WriteXML(TXMLComplexElement& parent) const;
  // Reads a BitmapFileProps element that the grammar has validated; a structure it should have
  // refused gives false with a message and the element's position.
  bool ReadXML(const TXMLItem& element, std::string& message, int& line, int& column);

  std::string Name;
  std::string BmpFile;
  bool Deleted = false;
  BitmapPictureSet Old;  // current set
  BitmapPictureSet New;  // pending set
};
