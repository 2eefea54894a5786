#include "palette/ColorPalette1DFile.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "common/Assert.h"
#include "common/Interaction.h"
#include "files/XMLItem.h"
#include "files/XMLReader.h"
#include "palette/PaletteCheck.h"
#include "palette/TColorPalette1D.h"
#include "values/unitColor.h"

namespace {

using ItemList = std::vector<std::unique_ptr<TColorPalette1DItem>>;

// The text of a read that stopped at an element order that the grammar excludes (the check has
// already been reported); only reachable with trees that were not validated.
constexpr char kStructureError[] = "Unexpected element structure in \"ColorPalette1D\".";

// Where a read reports its failure: the message and the element's position.
struct ReadState {
  std::string& error;
  int& line;
  int& column;

  bool StructureFault(const TXMLItem* at) {
    error = kStructureError;
    if (at) {
      line = at->line;
      column = at->column;
    }
    return false;
  }
};

bool Is(const TXMLItem* item, std::string_view name) {
  return item != nullptr && item->GetElement() == name;
}

// The first child of a complex element, nullptr for string elements and childless elements.
const TXMLItem* FirstChild(const TXMLItem* item) {
  return item != nullptr && !item->IsString() ? item->GetFirstElement() : nullptr;
}

bool ReadColor(const TXMLItem& xml, std::uint32_t& color, ReadState& state) {
  unitColor value;
  if (!value.ReadXML(xml, state.error, state.line, state.column)) return false;
  color = value.GetValue();
  return true;
}

// SuperColorItem: Color , TransFactor? , SuperFactor , SuperAnchorColor.
bool ReadSuperColorItem(const TXMLItem* xmlSuperColorItem, TColorPalette1DSide& side,
                        ReadState& state) {
  const TXMLItem* xmlColor = FirstChild(xmlSuperColorItem);
  if (!Is(xmlColor, "Color")) xmlColor = nullptr;
  if (!KORVANA_CHECK(xmlColor != NULL, kPaletteUnit)) return state.StructureFault(xmlSuperColorItem);
  if (!ReadColor(*xmlColor, side.Color, state)) return false;
  const TXMLItem* xmlTransFactor = xmlColor->next;
  if (!KORVANA_CHECK(xmlTransFactor != NULL, kPaletteUnit)) return state.StructureFault(xmlColor);
  if (!KORVANA_CHECK(xmlTransFactor->GetElement() == "SuperFactor" ||
                         xmlTransFactor->GetElement() == "TransFactor",
                     kPaletteUnit)) {
    return state.StructureFault(xmlTransFactor);
  }
  const TXMLItem* xmlSuperFactor = xmlTransFactor;
  if (xmlTransFactor->GetElement() == "TransFactor") {
    if (!side.TransFactor.ReadXML(*xmlTransFactor, state.error, state.line, state.column)) {
      return false;
    }
    xmlSuperFactor = xmlTransFactor->next;
  } else {
    side.TransFactor = unitFactorPosMax1(1.0, EUnitKind::EHPerc);
  }
  if (!Is(xmlSuperFactor, "SuperFactor")) xmlSuperFactor = nullptr;
  if (!KORVANA_CHECK(xmlSuperFactor != NULL, kPaletteUnit)) return state.StructureFault(xmlColor);
  if (!side.SuperFactor.ReadXML(*xmlSuperFactor, state.error, state.line, state.column)) {
    return false;
  }
  const TXMLItem* xmlSuperAnchorColor = xmlSuperFactor->next;
  if (!Is(xmlSuperAnchorColor, "SuperAnchorColor")) xmlSuperAnchorColor = nullptr;
  if (!KORVANA_CHECK(xmlSuperAnchorColor != NULL, kPaletteUnit)) {
    return state.StructureFault(xmlSuperFactor);
  }
  return ReadColor(*xmlSuperAnchorColor, side.SuperAnchorColor, state);
}

// SuperColorItemBefore or SuperColorItemAfter: a wrapper around one SuperColorItem.
bool ReadSideWrapper(const TXMLItem* wrapper, TColorPalette1DSide& side, ReadState& state) {
  const TXMLItem* xmlSuperColorItem = FirstChild(wrapper);
  if (!Is(xmlSuperColorItem, "SuperColorItem")) xmlSuperColorItem = nullptr;
  if (!KORVANA_CHECK(xmlSuperColorItem != NULL, kPaletteUnit)) return state.StructureFault(wrapper);
  return ReadSuperColorItem(xmlSuperColorItem, side, state);
}

bool ReadPosition(const TXMLItem* xmlPosition, TColorPalette1DItem& item, ReadState& state) {
  unitFactorPosMoreLess1 position;
  if (!position.ReadXML(*xmlPosition, state.error, state.line, state.column)) return false;
  item.SetPosition(position);
  return true;
}

// ColorPalette1DItem of the current form: Position , SuperColorItemBefore , UseColorAfter? ,
// SuperColorItemAfter.
bool ReadCurrentItem(const TXMLItem* xmlItem, ItemList& items, ReadState& state) {
  auto item = std::make_unique<TColorPalette1DItem>(0.0, 0);
  const TXMLItem* xmlPosition = FirstChild(xmlItem);
  if (!Is(xmlPosition, "Position")) xmlPosition = nullptr;
  if (!KORVANA_CHECK(xmlPosition, kPaletteUnit)) return state.StructureFault(xmlItem);
  if (!ReadPosition(xmlPosition, *item, state)) return false;
  const TXMLItem* xmlSuperColorItemBefore = xmlPosition->next;
  if (!Is(xmlSuperColorItemBefore, "SuperColorItemBefore")) xmlSuperColorItemBefore = nullptr;
  if (!KORVANA_CHECK(xmlSuperColorItemBefore != NULL, kPaletteUnit)) {
    return state.StructureFault(xmlPosition);
  }
  TColorPalette1DSide side;
  if (!ReadSideWrapper(xmlSuperColorItemBefore, side, state)) return false;
  item->SetBeforeSide(side);
  const TXMLItem* xmlSuperColorItemAfter = xmlSuperColorItemBefore->next;
  item->SetUseColorAfter(Is(xmlSuperColorItemAfter, "UseColorAfter"));
  if (item->GetUseColorAfter()) xmlSuperColorItemAfter = xmlSuperColorItemAfter->next;
  if (!Is(xmlSuperColorItemAfter, "SuperColorItemAfter")) xmlSuperColorItemAfter = nullptr;
  if (!KORVANA_CHECK(xmlSuperColorItemAfter, kPaletteUnit)) {
    return state.StructureFault(xmlSuperColorItemBefore);
  }
  side = TColorPalette1DSide{};
  if (!ReadSideWrapper(xmlSuperColorItemAfter, side, state)) return false;
  item->SetStoredAfterSide(side);
  const TXMLItem* xmlNone = xmlSuperColorItemAfter->next;
  if (!KORVANA_CHECK(xmlNone == NULL, kPaletteUnit)) return state.StructureFault(xmlNone);
  items.push_back(std::move(item));
  return true;
}

// ColorPalette1DItem of the older form: Position , ColorBefore , UseColorAfter? , ColorAfter.
// Transparency and super factors 1.0, anchors black.
bool ReadOlderItem(const TXMLItem* xmlItem, ItemList& items, ReadState& state) {
  auto item = std::make_unique<TColorPalette1DItem>(0.0, 0);
  const TXMLItem* xmlPosition = FirstChild(xmlItem);
  if (!Is(xmlPosition, "Position")) xmlPosition = nullptr;
  if (!KORVANA_CHECK(xmlPosition, kPaletteUnit)) return state.StructureFault(xmlItem);
  if (!ReadPosition(xmlPosition, *item, state)) return false;
  const TXMLItem* xmlColorBefore = xmlPosition->next;
  if (!Is(xmlColorBefore, "ColorBefore")) xmlColorBefore = nullptr;
  if (!KORVANA_CHECK(xmlColorBefore, kPaletteUnit)) return state.StructureFault(xmlPosition);
  std::uint32_t color = 0;
  if (!ReadColor(*xmlColorBefore, color, state)) return false;
  item->SetColorBefore(color);
  const TXMLItem* xmlColorAfter = xmlColorBefore->next;
  item->SetUseColorAfter(Is(xmlColorAfter, "UseColorAfter"));
  if (item->GetUseColorAfter()) xmlColorAfter = xmlColorAfter->next;
  if (!Is(xmlColorAfter, "ColorAfter")) xmlColorAfter = nullptr;
  if (!KORVANA_CHECK(xmlColorAfter, kPaletteUnit)) return state.StructureFault(xmlColorBefore);
  TColorPalette1DSide after;
  if (!ReadColor(*xmlColorAfter, after.Color, state)) return false;
  item->SetStoredAfterSide(after);
  const TXMLItem* xmlNone = xmlColorAfter->next;
  if (!KORVANA_CHECK(xmlNone == NULL, kPaletteUnit)) return state.StructureFault(xmlNone);
  items.push_back(std::move(item));
  return true;
}

// What a read produces; committed to the palette only when the whole element was read.
struct ReadResult {
  bool cyclic = false;
  TColorPalette1DSide firstBefore;
  ItemList items;
};

// Reads a leading Cyclic element (accepted in both forms); next receives the element after it.
bool ReadCyclic(const TXMLItem& element, ReadResult& result, ReadState& state,
                const TXMLItem*& next) {
  const TXMLItem* xmlFirst = FirstChild(&element);
  if (!KORVANA_CHECK(xmlFirst != NULL, kPaletteUnit)) return state.StructureFault(&element);
  result.cyclic = Is(xmlFirst, "Cyclic");
  next = result.cyclic ? xmlFirst->next : xmlFirst;
  return true;
}

bool ReadCurrentForm(const TXMLItem& element, ReadResult& result, ReadState& state) {
  const TXMLItem* xmlSuperColorItemBefore = nullptr;
  if (!ReadCyclic(element, result, state, xmlSuperColorItemBefore)) return false;
  if (!Is(xmlSuperColorItemBefore, "SuperColorItemBefore")) xmlSuperColorItemBefore = nullptr;
  if (!KORVANA_CHECK(xmlSuperColorItemBefore != NULL, kPaletteUnit)) {
    return state.StructureFault(&element);
  }
  if (!ReadSideWrapper(xmlSuperColorItemBefore, result.firstBefore, state)) return false;
  const TXMLItem* xml = xmlSuperColorItemBefore->next;
  for (; Is(xml, "ColorPalette1DItem"); xml = xml->next) {
    if (!ReadCurrentItem(xml, result.items, state)) return false;
  }
  const TXMLItem* xmlSuperColorItemAfter = Is(xml, "SuperColorItemAfter") ? xml : nullptr;
  if (!KORVANA_CHECK(xmlSuperColorItemAfter, kPaletteUnit)) return state.StructureFault(&element);
  TColorPalette1DSide lastBefore;
  if (!ReadSideWrapper(xmlSuperColorItemAfter, lastBefore, state)) return false;
  auto last = std::make_unique<TColorPalette1DItem>(1.0, 0);
  last->SetBeforeSide(lastBefore);
  result.items.push_back(std::move(last));
  return true;
}

bool ReadOlderForm(const TXMLItem& element, ReadResult& result, ReadState& state) {
  const TXMLItem* xmlBeginColor = nullptr;
  if (!ReadCyclic(element, result, state, xmlBeginColor)) return false;
  if (!KORVANA_CHECK(xmlBeginColor != NULL, kPaletteUnit)) return state.StructureFault(&element);
  if (!KORVANA_CHECK(xmlBeginColor->GetElement() == "BeginColor", kPaletteUnit)) {
    return state.StructureFault(xmlBeginColor);
  }
  if (!ReadColor(*xmlBeginColor, result.firstBefore.Color, state)) return false;
  const TXMLItem* xml = xmlBeginColor->next;
  for (; Is(xml, "ColorPalette1DItem"); xml = xml->next) {
    if (!ReadOlderItem(xml, result.items, state)) return false;
  }
  const TXMLItem* xmlEndColor = Is(xml, "EndColor") ? xml : nullptr;
  if (!KORVANA_CHECK(xmlEndColor, kPaletteUnit)) return state.StructureFault(&element);
  std::uint32_t endColor = 0;
  if (!ReadColor(*xmlEndColor, endColor, state)) return false;
  result.items.push_back(std::make_unique<TColorPalette1DItem>(1.0, endColor, 1.0));
  return true;
}

void WriteSide(TXMLComplexElement& wrapper, const TColorPalette1DSide& side) {
  TXMLComplexElement& xml = wrapper.AddComplex("SuperColorItem");
  unitColor(side.Color).WriteXML(xml, "Color");
  side.TransFactor.WriteXML(xml, "TransFactor");
  side.SuperFactor.WriteXML(xml, "SuperFactor");
  unitColor(side.SuperAnchorColor).WriteXML(xml, "SuperAnchorColor");
}

// The grammar of a palette file whose ColorPalette1D element has the given form.
std::shared_ptr<const TDTDCompound> PaletteFileGrammar(const DTDPtr& paletteElement) {
  return Compound("UnitColorPalette1D", Seq({Text("Version"), paletteElement}));
}

std::unique_ptr<TXMLComplexElement> PaletteFileTree(const TColorPalette1D& palette) {
  auto root = std::make_unique<TXMLComplexElement>("UnitColorPalette1D");
  root->AddString("Version", "2.0");
  WritePaletteElement(palette, root->AddComplex("ColorPalette1D"));
  return root;
}

// Step after parsing: the Version element, then the palette element in the form of the grammar
// that validated the tree.
bool ReadPaletteFileTree(TColorPalette1D& palette, const XMLParseResult& parsed,
                         std::string& error) {
  const TXMLItem* xmlVersion = FirstChild(parsed.document);
  if (!Is(xmlVersion, "Version")) xmlVersion = nullptr;
  if (!KORVANA_CHECK(xmlVersion != NULL, kPaletteUnit)) {
    error = kStructureError;
    return false;
  }
  // A version text that differs from the sniffed one has not been checked yet.
  const std::string& version = xmlVersion->GetString();
  if (version != parsed.version) {
    KORVANA_CHECK(version == "1.0" || version == "2.0" || version == "3.0", kPaletteUnit);
  }
  const TXMLItem* xmlPalette = xmlVersion->next;
  if (!KORVANA_CHECK(xmlPalette != NULL, kPaletteUnit)) {
    error = kStructureError;
    return false;
  }
  int line = 0;
  int column = 0;
  if (ReadPaletteElement(palette, *xmlPalette, parsed.version == "1.0", error, line, column)) {
    return true;
  }
  error += " At line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ".";
  return false;
}

template <typename Parse>
bool LoadPalette(TColorPalette1D& palette, std::string& error, Parse parse) {
  const XMLGrammarFor grammarFor = [](const std::string& version,
                                      std::string&) -> const TDTDCompound* {
    static const auto older = PaletteFileGrammar(ColorPalette1DOlderGrammar());
    static const auto current = PaletteFileGrammar(ColorPalette1DGrammar());
    // An unknown version is reported and read as the current form.
    KORVANA_CHECK(version == "1.0" || version == "2.0" || version == "3.0", kPaletteUnit);
    return version == "1.0" ? older.get() : current.get();
  };
  XMLParseResult parsed;
  if (!parse(grammarFor, parsed, error)) return false;
  if (!ReadPaletteFileTree(palette, parsed, error)) return false;
  error.clear();
  return true;
}

}  // namespace

const DTDPtr& ColorPalette1DGrammar() {
  static const DTDPtr grammar = [] {
    const DTDPtr superColorItem =
        Compound("SuperColorItem", Seq({Text("Color"), Optional(Text("TransFactor")),
                                        Text("SuperFactor"), Text("SuperAnchorColor")}));
    const DTDPtr before = Compound("SuperColorItemBefore", superColorItem);
    const DTDPtr after = Compound("SuperColorItemAfter", superColorItem);
    const DTDPtr item = Compound("ColorPalette1DItem", Seq({Text("Position"), before,
                                                            Optional(Compound("UseColorAfter")),
                                                            after}));
    return DTDPtr(Compound("ColorPalette1D",
                           Seq({Optional(Compound("Cyclic")), before, Repeat(item), after})));
  }();
  return grammar;
}

const DTDPtr& ColorPalette1DOlderGrammar() {
  static const DTDPtr grammar = [] {
    const DTDPtr item =
        Compound("ColorPalette1DItem", Seq({Text("Position"), Text("ColorBefore"),
                                            Optional(Compound("UseColorAfter")),
                                            Text("ColorAfter")}));
    return DTDPtr(
        Compound("ColorPalette1D", Seq({Text("BeginColor"), Repeat(item), Text("EndColor")})));
  }();
  return grammar;
}

void WritePaletteElement(const TColorPalette1D& palette, TXMLComplexElement& element) {
  if (palette.GetCyclic()) element.AddComplex("Cyclic");
  for (const TColorPalette1DItem* item = palette.GetFirst(); item; item = item->GetNext()) {
    if (item == palette.GetFirst()) {
      WriteSide(element.AddComplex("SuperColorItemBefore"), item->GetBeforeSide());
    } else if (item->GetNext() == nullptr) {
      WriteSide(element.AddComplex("SuperColorItemAfter"), item->GetBeforeSide());
    } else {
      TXMLComplexElement& xml = element.AddComplex("ColorPalette1DItem");
      item->GetPosition().WriteXML(xml, "Position");
      WriteSide(xml.AddComplex("SuperColorItemBefore"), item->GetBeforeSide());
      if (item->GetUseColorAfter()) xml.AddComplex("UseColorAfter");
      WriteSide(xml.AddComplex("SuperColorItemAfter"), item->GetStoredAfterSide());
    }
  }
}

bool ReadPaletteElement(TColorPalette1D& palette, const TXMLItem& element, bool olderForm,
                        std::string& error, int& line, int& column) {
  ReadState state{error, line, column};
  ReadResult result;
  result.firstBefore = palette.GetFirst()->GetBeforeSide();
  const bool ok = olderForm ? ReadOlderForm(element, result, state)
                            : ReadCurrentForm(element, result, state);
  if (!ok) return false;
  palette.SetCyclic(result.cyclic);
  palette.GetFirst()->SetBeforeSide(result.firstBefore);
  palette.ReplaceItemsAfterFirst(std::move(result.items));
  return true;
}

bool SavePaletteFile(const TColorPalette1D& palette, const std::string& fileName,
                     Interaction& ui) {
  std::string error;
  if (PaletteFileTree(palette)->WriteXMLFile(fileName, error, "_v3_0")) return true;
  ui.ShowMessage("FileError", "Cannot save Color Palette File: " + error + ".",
                 Interaction::Icon::Information);
  return false;
}

std::string PaletteFileText(const TColorPalette1D& palette) {
  return PaletteFileTree(palette)->WriteXMLString("_v3_0");
}

bool LoadPaletteFile(TColorPalette1D& palette, const std::string& fileName, std::string& error) {
  return LoadPalette(palette, error, [&](const XMLGrammarFor& grammarFor, XMLParseResult& parsed,
                                         std::string& message) {
    return ParseXMLFile(fileName, grammarFor, parsed, message);
  });
}

bool LoadPaletteBytes(TColorPalette1D& palette, std::string_view bytes, std::string& error) {
  return LoadPalette(palette, error, [&](const XMLGrammarFor& grammarFor, XMLParseResult& parsed,
                                         std::string& message) {
    return ParseXMLBytes(bytes, grammarFor, parsed, message);
  });
}
