#include "bitmaps/BitmapUseProps.h"

#include <string_view>

#include "files/XMLItem.h"

namespace {

bool Is(const TXMLItem* item, std::string_view name) {
  return item != nullptr && item->GetElement() == name;
}

const TXMLItem* FirstChild(const TXMLItem& item) {
  return item.IsString() ? nullptr : item.GetFirstElement();
}

// Reads the element use fields one by one, moving along the siblings. Structure failures only
// meet trees that no grammar of this element validated; they end reading with a message.
class UseReader {
 public:
  UseReader(BitmapUseProps& use, std::string& message, int& line, int& column)
      : u_(use), message_(message), line_(line), column_(column) {}

  bool Read(const TXMLItem& element);

 private:
  bool ReadRect(const TXMLItem& xmlRect);
  bool ReadTransColor(const TXMLItem& xmlTrans);
  bool ReadValue(const TXMLItem*& xml, const char* name, const TXMLItem& parent, unitValue& value);
  bool Missing(const char* name, const TXMLItem& parent);
  bool Unexpected(const TXMLItem& xml);

  BitmapUseProps& u_;
  std::string& message_;
  int& line_;
  int& column_;
};

bool UseReader::Missing(const char* name, const TXMLItem& parent) {
  message_ = "Expected element \"" + std::string(name) + "\" in \"" + parent.GetElement() + "\".";
  line_ = parent.line;
  column_ = parent.column;
  return false;
}

bool UseReader::Unexpected(const TXMLItem& xml) {
  message_ = "Unexpected element \"" + xml.GetElement() + "\".";
  line_ = xml.line;
  column_ = xml.column;
  return false;
}

bool UseReader::ReadValue(const TXMLItem*& xml, const char* name, const TXMLItem& parent,
                          unitValue& value) {
  if (!Is(xml, name)) return Missing(name, parent);
  if (!value.ReadXML(*xml, message_, line_, column_)) return false;
  xml = xml->next;
  return true;
}

bool UseReader::ReadRect(const TXMLItem& xmlRect) {
  const TXMLItem* xml = FirstChild(xmlRect);
  if (!ReadValue(xml, "Left", xmlRect, u_.Left) || !ReadValue(xml, "Right", xmlRect, u_.Right) ||
      !ReadValue(xml, "Top", xmlRect, u_.Top) || !ReadValue(xml, "Bottom", xmlRect, u_.Bottom)) {
    return false;
  }
  return xml == nullptr || Unexpected(*xml);
}

bool UseReader::ReadTransColor(const TXMLItem& xmlTrans) {
  const TXMLItem* xml = FirstChild(xmlTrans);
  if (!ReadValue(xml, "BmpTransColor", xmlTrans, u_.BmpTransColor) ||
      !ReadValue(xml, "BmpTransColorWidthMaxTrans", xmlTrans, u_.BmpTransColorWidthMaxTrans) ||
      !ReadValue(xml, "BmpTransColorWidthNoTrans", xmlTrans, u_.BmpTransColorWidthNoTrans)) {
    return false;
  }
  return xml == nullptr || Unexpected(*xml);
}

bool UseReader::Read(const TXMLItem& element) {
  if (element.GetElement() != "BitmapUseProps") return Unexpected(element);
  const TXMLItem* xml = FirstChild(element);
  if (Is(xml, "BitmapName")) {
    if (!xml->IsString()) return Unexpected(*xml);
    u_.BitmapName = xml->GetString();
    xml = xml->next;
  }
  if (!Is(xml, "BmpRect")) return Missing("BmpRect", element);
  if (!ReadRect(*xml)) return false;
  xml = xml->next;
  u_.BmpReciproke = Is(xml, "BmpReciproke");
  if (u_.BmpReciproke) xml = xml->next;
  u_.BmpTransOptColor = Is(xml, "BmpTransOptColor");
  if (u_.BmpTransOptColor) {
    if (!ReadTransColor(*xml)) return false;
    xml = xml->next;
  }
  if (!ReadValue(xml, "BasicTransFactor", element, u_.BasicTransFactor)) return false;
  if (Is(xml, "BmpPixelSelHard")) {
    u_.BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  } else if (Is(xml, "BmpPixelSelSmooth")) {
    u_.BmpPixelSel = EBmpPixelSel::BmpPixelSelSmooth;
  } else {
    return Missing("BmpPixelSelHard | BmpPixelSelSmooth", element);
  }
  xml = xml->next;
  if (!ReadValue(xml, "DepthModulo", element, u_.DepthModulo) ||
      !ReadValue(xml, "DepthMin", element, u_.DepthMin)) {
    return false;
  }
  if (Is(xml, "DepthMax") && !ReadValue(xml, "DepthMax", element, u_.DepthMax)) return false;
  return xml == nullptr || Unexpected(*xml);
}

}  // namespace

bool BitmapUseProps::operator==(const BitmapUseProps& o) const {
  return BitmapName == o.BitmapName && Left == o.Left && Right == o.Right && Top == o.Top &&
         Bottom == o.Bottom && BmpReciproke == o.BmpReciproke &&
         BmpTransOptColor == o.BmpTransOptColor && BmpTransColor == o.BmpTransColor &&
         BmpTransColorWidthMaxTrans == o.BmpTransColorWidthMaxTrans &&
         BmpTransColorWidthNoTrans == o.BmpTransColorWidthNoTrans &&
         BasicTransFactor == o.BasicTransFactor && BmpPixelSel == o.BmpPixelSel &&
         DepthModulo == o.DepthModulo && DepthMin == o.DepthMin && DepthMax == o.DepthMax;
}

void BitmapUseProps::WriteXML(TXMLComplexElement& parent) const {
  TXMLComplexElement& xmlUse = parent.AddComplex("BitmapUseProps");
  if (!BitmapName.empty()) xmlUse.AddString("BitmapName", BitmapName);
  TXMLComplexElement& xmlRect = xmlUse.AddComplex("BmpRect");
  Left.WriteXML(xmlRect, "Left");
  Right.WriteXML(xmlRect, "Right");
  Top.WriteXML(xmlRect, "Top");
  Bottom.WriteXML(xmlRect, "Bottom");
  if (BmpReciproke) xmlUse.AddComplex("BmpReciproke");
  if (BmpTransOptColor) {
    TXMLComplexElement& xmlTrans = xmlUse.AddComplex("BmpTransOptColor");
    BmpTransColor.WriteXML(xmlTrans, "BmpTransColor");
    BmpTransColorWidthMaxTrans.WriteXML(xmlTrans, "BmpTransColorWidthMaxTrans");
    BmpTransColorWidthNoTrans.WriteXML(xmlTrans, "BmpTransColorWidthNoTrans");
  }
  BasicTransFactor.WriteXML(xmlUse, "BasicTransFactor");
  xmlUse.AddComplex(BmpPixelSel == EBmpPixelSel::BmpPixelSelHard ? "BmpPixelSelHard"
                                                                 : "BmpPixelSelSmooth");
  DepthModulo.WriteXML(xmlUse, "DepthModulo");
  DepthMin.WriteXML(xmlUse, "DepthMin");
  if (DepthMax.GetValue() != 0) DepthMax.WriteXML(xmlUse, "DepthMax");
}

bool BitmapUseProps::ReadXML(const TXMLItem& element, std::string& message, int& line,
                             int& column) {
  *this = BitmapUseProps();
  return UseReader(*this, message, line, column).Read(element);
}
