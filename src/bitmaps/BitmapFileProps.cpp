#include "bitmaps/BitmapFileProps.h"

#include <string_view>

#include "common/Assert.h"
#include "files/TifImage.h"
#include "files/XMLItem.h"

namespace {

bool Is(const TXMLItem* item, std::string_view name) {
  return item != nullptr && item->GetElement() == name;
}

}  // namespace

bool BitmapFileProps::Load(const std::string& documentFile, const std::string& fileName,
                           bool intoPending, std::string& error, std::string* resolvedName) {
  TifImage image;
  PictureFormat format{};
  std::string resolved;
  if (!PictureFile::Load(documentFile, fileName, image, format, resolved, error)) return false;
  SetPicture(image, format, intoPending);
  BmpFile = fileName;
  if (resolvedName) *resolvedName = resolved;
  return true;
}

void BitmapFileProps::SetPicture(const TifImage& image, PictureFormat format, bool intoPending) {
  if (!intoPending) {
    KORVANA_ASSERT(New.BmpShadowRGB == nullptr);
    KORVANA_ASSERT(Old.BmpShadowRGB == nullptr);
    KORVANA_ASSERT(New.BmpShadowTrans == nullptr);
    KORVANA_ASSERT(Old.BmpShadowTrans == nullptr);
    KORVANA_ASSERT(New.BmpUse == nullptr);
    KORVANA_ASSERT(Old.BmpUse == nullptr);
  }
  (intoPending ? New : Old) = BitmapPictureSet::FromPicture(image, format);
}

void BitmapFileProps::Commit() {
  Old = New;
  New = BitmapPictureSet();
}

void BitmapFileProps::WriteXML(TXMLComplexElement& parent) const {
  TXMLComplexElement& xmlFile = parent.AddComplex("BitmapFileProps");
  if (!BmpFile.empty()) xmlFile.AddString("BmpFile", BmpFile);
  if (!Name.empty()) xmlFile.AddString("Name", Name);
}

bool BitmapFileProps::ReadXML(const TXMLItem& element, std::string& message, int& line,
                              int& column) {
  const TXMLItem* xml = element.IsString() ? nullptr : element.GetFirstElement();
  BmpFile.clear();
  Name.clear();
  if (Is(xml, "BmpFile") && xml->IsString()) {
    BmpFile = xml->GetString();
    xml = xml->next;
  }
  if (Is(xml, "Name") && xml->IsString()) {
    Name = xml->GetString();
    xml = xml->next;
  }
  if (xml == nullptr) return true;
  message = "Unexpected element \"" + xml->GetElement() + "\".";
  line = xml->line;
  column = xml->column;
  return false;
}
