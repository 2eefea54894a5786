// The FractalView element of TFractViewProps: writing (current generation) and reading (both).

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

#include "common/Assert.h"
#include "files/XMLItem.h"
#include "palette/ColorPalette1DFile.h"
#include "view/TFractViewProps.h"

namespace {

constexpr std::string_view kSensNames[] = {"SensLow", "SensNormal", "SensHigh", "SensVeryHigh",
                                           "SensCustom"};

// The element name of a sensitivity, nullptr for a value outside the enumeration.
const char* SensName(ESensitivity sensitivity) {
  const auto index = static_cast<std::size_t>(sensitivity);
  return index < std::size(kSensNames) ? kSensNames[index].data() : nullptr;
}

bool Is(const TXMLItem* item, std::string_view name) {
  return item != nullptr && item->GetElement() == name;
}

const TXMLItem* FirstChild(const TXMLItem* item) {
  return item != nullptr && !item->IsString() ? item->GetFirstElement() : nullptr;
}

// Reads a FractalView element into the fields of a view property set. Every step takes the next
// sibling. The grammar of the document's version has fixed the structure, so the structure
// failures below only meet trees that were validated by another grammar; they end reading with
// a message instead of stopping the program.
class ViewReader {
 public:
  ViewReader(TFractViewProps& props, const std::string& version, std::string& message, int& line,
             int& column)
      : p_(props),
        older_(version == "1.0" || version == "2.0"),
        message_(message),
        line_(line),
        column_(column) {}

  bool Read(const TXMLItem& element);

 private:
  bool ReadTail(const TXMLItem* xml, const TXMLItem& parent);
  bool ReadOutside(const TXMLItem& xmlOutside);
  bool ReadInside(const TXMLItem& xmlInside);
  bool ReadDepth(const TXMLItem& xmlDepth);
  bool ReadLayer(const TXMLItem* xmlLayer, const char* name, const TXMLItem& parent, bool& use,
                 TColorPalette1D& palette, unitColor& color);
  bool ReadSens(const TXMLItem* xml, const TXMLItem& parent, ESensitivity& sensitivity,
                unitFactorPosMore& exponent);
  void ReadAdaptStrength(const TXMLItem*& xml, bool& adapt);
  bool ReadPalette(const TXMLItem*& xml, const TXMLItem& parent, bool& use,
                   TColorPalette1D& palette);
  // Reads xml, which must be named name, into value and moves xml on.
  bool ReadValue(const TXMLItem*& xml, const char* name, const TXMLItem& parent,
                 unitValue& value);
  bool Missing(const char* name, const TXMLItem& parent);
  bool Unexpected(const TXMLItem& xml);

  TFractViewProps& p_;
  bool older_;
  std::string& message_;
  int& line_;
  int& column_;
};

bool ViewReader::Missing(const char* name, const TXMLItem& parent) {
  message_ = "Expected element \"" + std::string(name) + "\" in \"" + parent.GetElement() + "\".";
  line_ = parent.line;
  column_ = parent.column;
  return false;
}

bool ViewReader::Unexpected(const TXMLItem& xml) {
  message_ = "Unexpected element \"" + xml.GetElement() + "\".";
  line_ = xml.line;
  column_ = xml.column;
  return false;
}

bool ViewReader::ReadValue(const TXMLItem*& xml, const char* name, const TXMLItem& parent,
                           unitValue& value) {
  if (!Is(xml, name)) return Missing(name, parent);
  if (!value.ReadXML(*xml, message_, line_, column_)) return false;
  xml = xml->next;
  return true;
}

bool ViewReader::Read(const TXMLItem& element) {
  const TXMLItem* xmlOutside = FirstChild(&element);
  if (element.GetElement() != "FractalView") return Unexpected(element);
  if (!Is(xmlOutside, "Outside")) return Missing("Outside", element);
  const TXMLItem* xmlInside = xmlOutside->next;
  if (!Is(xmlInside, "Inside")) return Missing("Inside", element);
  return ReadTail(xmlInside->next, element) && ReadOutside(*xmlOutside) && ReadInside(*xmlInside);
}

// MaxDepthColor , MaxDepthTransFactor? , BackgroundColor? , CursorColor and, in the current
// generation, ValuesPerPixel , UpdateResolution?.
bool ViewReader::ReadTail(const TXMLItem* xml, const TXMLItem& parent) {
  if (!ReadValue(xml, "MaxDepthColor", parent, p_.MaxDepthColor)) return false;
  p_.MaxDepthTransFactor = unitFactorPosMax1(1.0, EUnitKind::EHPerc);
  if (Is(xml, "MaxDepthTransFactor") &&
      !ReadValue(xml, "MaxDepthTransFactor", parent, p_.MaxDepthTransFactor)) {
    return false;
  }
  p_.BackgroundColor = unitColor(0x000000);
  if (Is(xml, "BackgroundColor") && !ReadValue(xml, "BackgroundColor", parent, p_.BackgroundColor)) {
    return false;
  }
  if (!ReadValue(xml, "CursorColor", parent, p_.CursorColor)) return false;
  p_.UpdateResolution = true;
  p_.ValuesPerPixel = unitIntegerPosMore(1);
  if (!older_) {
    if (!ReadValue(xml, "ValuesPerPixel", parent, p_.ValuesPerPixel)) return false;
    p_.UpdateResolution = Is(xml, "UpdateResolution");
    if (p_.UpdateResolution) xml = xml->next;
  }
  return xml == nullptr || Unexpected(*xml);
}

bool ViewReader::ReadSens(const TXMLItem* xml, const TXMLItem& parent, ESensitivity& sensitivity,
                          unitFactorPosMore& exponent) {
  if (xml == nullptr) return Missing("SensLow | SensNormal | SensHigh | SensVeryHigh | SensCustom", parent);
  std::size_t index = 0;
  while (index < std::size(kSensNames) && xml->GetElement() != kSensNames[index]) ++index;
  if (index == std::size(kSensNames) || (older_ && index == 4)) return Unexpected(*xml);
  sensitivity = static_cast<ESensitivity>(index);
  if (sensitivity != ESensitivity::SensCustom) {
    exponent = unitFactorPosMore(0.7);
    return true;
  }
  const TXMLItem* xmlExponent = FirstChild(xml);
  return ReadValue(xmlExponent, "SensExponent", *xml, exponent);
}

// Always set in the older generation, which has no AdaptStrength element.
void ViewReader::ReadAdaptStrength(const TXMLItem*& xml, bool& adapt) {
  adapt = true;
  if (older_) return;
  adapt = Is(xml, "AdaptStrength");
  if (adapt) xml = xml->next;
}

// UseColorPalette1D? , ColorPalette1D in the form of the document's generation.
bool ViewReader::ReadPalette(const TXMLItem*& xml, const TXMLItem& parent, bool& use,
                             TColorPalette1D& palette) {
  use = Is(xml, "UseColorPalette1D");
  if (use) xml = xml->next;
  if (!Is(xml, "ColorPalette1D")) return Missing("ColorPalette1D", parent);
  if (!ReadPaletteElement(palette, *xml, older_, message_, line_, column_)) return false;
  xml = xml->next;
  return true;
}

bool ViewReader::ReadOutside(const TXMLItem& xmlOutside) {
  const TXMLItem* xml = FirstChild(&xmlOutside);
  if (!ReadSens(xml, xmlOutside, p_.SensOutside, p_.SensExponentOutside)) return false;
  xml = xml->next;
  if (!ReadValue(xml, "Strength", xmlOutside, p_.StrengthOutside)) return false;
  ReadAdaptStrength(xml, p_.AdaptStrengthOutside);
  if (!ReadPalette(xml, xmlOutside, p_.UsePalOutside, p_.PalOutside)) return false;
  if (!ReadValue(xml, "BackgroundColor", xmlOutside, p_.BackgroundColorOutside)) return false;
  if (!ReadValue(xml, "ForegroundColor", xmlOutside, p_.ForegroundColorOutside)) return false;
  return xml == nullptr || Unexpected(*xml);
}

bool ViewReader::ReadInside(const TXMLItem& xmlInside) {
  const TXMLItem* xml = FirstChild(&xmlInside);
  if (!ReadSens(xml, xmlInside, p_.SensInside, p_.SensExponentInside)) return false;
  xml = xml->next;
  if (!ReadValue(xml, "Strength", xmlInside, p_.StrengthInside)) return false;
  ReadAdaptStrength(xml, p_.AdaptStrengthInside);
  if (!Is(xml, "Depth")) return Missing("Depth", xmlInside);
  if (xml->next != nullptr) return Unexpected(*xml->next);
  return ReadDepth(*xml);
}

bool ViewReader::ReadDepth(const TXMLItem& xmlDepth) {
  const TXMLItem* xml = FirstChild(&xmlDepth);
  if (!ReadPalette(xml, xmlDepth, p_.UsePalDepthInside, p_.PalDepthInside)) return false;
  if (!ReadLayer(xml, "Background", xmlDepth, p_.UsePalDepthBackgroundInside,
                 p_.PalDepthBackgroundInside, p_.ColorBackgroundInside)) {
    return false;
  }
  xml = xml->next;
  if (!ReadLayer(xml, "Foreground", xmlDepth, p_.UsePalDepthForegroundInside,
                 p_.PalDepthForegroundInside, p_.ColorForegroundInside)) {
    return false;
  }
  xml = xml->next;
  return xml == nullptr || Unexpected(*xml);
}

// Background or Foreground: UseColorPalette1D? , ColorPalette1D , Color.
bool ViewReader::ReadLayer(const TXMLItem* xmlLayer, const char* name, const TXMLItem& parent,
                           bool& use, TColorPalette1D& palette, unitColor& color) {
  if (!Is(xmlLayer, name)) return Missing(name, parent);
  const TXMLItem* xml = FirstChild(xmlLayer);
  if (!ReadPalette(xml, *xmlLayer, use, palette)) return false;
  if (!ReadValue(xml, "Color", *xmlLayer, color)) return false;
  return xml == nullptr || Unexpected(*xml);
}

void WriteSensitivity(TXMLComplexElement& side, const char* kind,
                      const unitFactorPosMore& exponent) {
  TXMLComplexElement& xml = side.AddComplex(kind);
  if (std::string_view(kind) == "SensCustom") exponent.WriteXML(xml, "SensExponent");
}

void WritePalette(TXMLComplexElement& parent, bool use, const TColorPalette1D& palette) {
  if (use) parent.AddComplex("UseColorPalette1D");
  WritePaletteElement(palette, parent.AddComplex("ColorPalette1D"));
}

void WriteLayer(TXMLComplexElement& depth, const char* name, bool use,
                const TColorPalette1D& palette, const unitColor& color) {
  TXMLComplexElement& layer = depth.AddComplex(name);
  WritePalette(layer, use, palette);
  color.WriteXML(layer, "Color");
}

}  // namespace

void TFractViewProps::WriteXML(TXMLComplexElement& parent) const {
  TXMLComplexElement& view = parent.AddComplex("FractalView");

  TXMLComplexElement& outside = view.AddComplex("Outside");
  const char* xmlSensOutsideKind = SensName(SensOutside);
  KORVANA_ASSERT(xmlSensOutsideKind != NULL);
  WriteSensitivity(outside, xmlSensOutsideKind, SensExponentOutside);
  StrengthOutside.WriteXML(outside, "Strength");
  if (AdaptStrengthOutside) outside.AddComplex("AdaptStrength");
  WritePalette(outside, UsePalOutside, PalOutside);
  BackgroundColorOutside.WriteXML(outside, "BackgroundColor");
  ForegroundColorOutside.WriteXML(outside, "ForegroundColor");

  TXMLComplexElement& inside = view.AddComplex("Inside");
  const char* xmlSensInsideKind = SensName(SensInside);
  KORVANA_ASSERT(xmlSensInsideKind != NULL);
  WriteSensitivity(inside, xmlSensInsideKind, SensExponentInside);
  StrengthInside.WriteXML(inside, "Strength");
  if (AdaptStrengthInside) inside.AddComplex("AdaptStrength");
  TXMLComplexElement& depth = inside.AddComplex("Depth");
  WritePalette(depth, UsePalDepthInside, PalDepthInside);
  WriteLayer(depth, "Background", UsePalDepthBackgroundInside, PalDepthBackgroundInside,
             ColorBackgroundInside);
  WriteLayer(depth, "Foreground", UsePalDepthForegroundInside, PalDepthForegroundInside,
             ColorForegroundInside);

  MaxDepthColor.WriteXML(view, "MaxDepthColor");
  MaxDepthTransFactor.WriteXML(view, "MaxDepthTransFactor");
  BackgroundColor.WriteXML(view, "BackgroundColor");
  CursorColor.WriteXML(view, "CursorColor");
  ValuesPerPixel.WriteXML(view, "ValuesPerPixel");
  if (UpdateResolution) view.AddComplex("UpdateResolution");
}

bool TFractViewProps::ReadXML(const TXMLItem& element, const std::string& version,
                              std::string& message, int& line, int& column) {
  return ViewReader(*this, version, message, line, column).Read(element);
}
