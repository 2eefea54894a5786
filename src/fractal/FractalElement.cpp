#include "fractal/FractalElement.h"

#include "common/Assert.h"
#include "files/DTDElement.h"
#include "files/XMLItem.h"
#include "files/XMLText.h"
#include "fractal/FormulaTable.h"
#include "fractal/TFractProps.h"

namespace {

bool IsOldVersion(const std::string& version) { return version == "1.0" || version == "2.0"; }

// Walks the children of the `Fractal` element in file order.
class ElementCursor {
 public:
  explicit ElementCursor(const TXMLItem& parent) : item_(parent.GetFirstElement()) {}

  // The next element, which the grammar guarantees to be named `name`.
  const TXMLItem& Take(const char* name) {
    KORVANA_ASSERT(item_ != nullptr);
    KORVANA_ASSERT(item_->GetElement() == name);
    const TXMLItem& current = *item_;
    item_ = item_->next;
    return current;
  }
  // The next element, whatever its name.
  const TXMLItem& TakeAny() {
    KORVANA_ASSERT(item_ != nullptr);
    const TXMLItem& current = *item_;
    item_ = item_->next;
    return current;
  }
  bool AtEnd() const { return item_ == nullptr; }

 private:
  const TXMLItem* item_;
};

}  // namespace

void WriteFractal(const TFractProps& props, TXMLComplexElement& parent) {
  TXMLComplexElement& fractal = parent.AddComplex("Fractal");
  props.XResolution.WriteXML(fractal, "XResolution");
  props.YResolution.WriteXML(fractal, "YResolution");
  props.Left.WriteXML(fractal, "Left");
  props.Right.WriteXML(fractal, "Right");
  props.Top.WriteXML(fractal, "Top");
  props.Bottom.WriteXML(fractal, "Bottom");
  props.MaxDepth.WriteXML(fractal, "MaxDepth");
  props.OuterCircle.WriteXML(fractal, "OuterCircle");
  props.InnerDist.WriteXML(fractal, "InnerDist");
  props.MaxCycle.WriteXML(fractal, "MaxCycle");
  fractal.AddComplex(std::string(CycleSelectionName(props.CycleSelection)));
  fractal.AddString("Formula", std::string(GetFormula(props.Formula).keyword));
  fractal.AddComplex(std::string(MapVarName(props.MapVar)));
  props.CR.WriteXML(fractal, "CR");
  props.CI.WriteXML(fractal, "CI");
  props.DR.WriteXML(fractal, "DR");
  props.DI.WriteXML(fractal, "DI");
  props.N.WriteXML(fractal, "N");
  props.M.WriteXML(fractal, "M");
}

namespace {

// Reads one value element; on failure the message names the element and the position is its own.
bool ReadValue(unitValue& value, ElementCursor& cursor, const char* name, std::string& message,
               int& line, int& column) {
  return value.ReadXML(cursor.Take(name), message, line, column);
}

bool ReadLimits(TFractProps& props, ElementCursor& cursor, std::string& message, int& line,
                int& column) {
  return ReadValue(props.XResolution, cursor, "XResolution", message, line, column) &&
         ReadValue(props.YResolution, cursor, "YResolution", message, line, column) &&
         ReadValue(props.Left, cursor, "Left", message, line, column) &&
         ReadValue(props.Right, cursor, "Right", message, line, column) &&
         ReadValue(props.Top, cursor, "Top", message, line, column) &&
         ReadValue(props.Bottom, cursor, "Bottom", message, line, column) &&
         ReadValue(props.MaxDepth, cursor, "MaxDepth", message, line, column) &&
         ReadValue(props.OuterCircle, cursor, "OuterCircle", message, line, column) &&
         ReadValue(props.InnerDist, cursor, "InnerDist", message, line, column) &&
         ReadValue(props.MaxCycle, cursor, "MaxCycle", message, line, column);
}

bool ReadConstants(TFractProps& props, ElementCursor& cursor, std::string& message, int& line,
                   int& column) {
  return ReadValue(props.CR, cursor, "CR", message, line, column) &&
         ReadValue(props.CI, cursor, "CI", message, line, column) &&
         ReadValue(props.DR, cursor, "DR", message, line, column) &&
         ReadValue(props.DI, cursor, "DI", message, line, column) &&
         ReadValue(props.N, cursor, "N", message, line, column) &&
         ReadValue(props.M, cursor, "M", message, line, column);
}

}  // namespace

bool ReadFractal(TFractProps& props, const TXMLItem& element, const std::string& version,
                 std::string& message, int& line, int& column) {
  KORVANA_ASSERT(element.GetElement() == "Fractal");
  ElementCursor cursor(element);
  // Not stored: whatever the parameters held before, a read fractal has smoothed escape counts.
  props.ColorsDiscontinue = false;
  if (!ReadLimits(props, cursor, message, line, column)) return false;
  const bool old = IsOldVersion(version);
  if (!old) {
    const TXMLItem& selection = cursor.TakeAny();
    bool known = FindCycleSelection(selection.GetElement(), props.CycleSelection);
    KORVANA_ASSERT(known);
  }
  const TXMLItem& formula = cursor.Take("Formula");
  line = formula.line;
  column = formula.column;
  int index = FindFormulaByKeyword(formula.GetString());
  if (index < 0) {
    message = "Unknown Formula: '" + ShownText(formula.GetString()) + "'";
    return false;
  }
  props.Formula = static_cast<std::uint8_t>(index);
  const TXMLItem& map = cursor.TakeAny();
  bool knownMap = FindMapVar(map.GetElement(), props.MapVar);
  KORVANA_ASSERT(knownMap);
  if (old) {
    cursor.Take("ZR");
    cursor.Take("ZI");
  }
  if (!ReadConstants(props, cursor, message, line, column)) return false;
  KORVANA_ASSERT(cursor.AtEnd());
  return true;
}

namespace {

DTDPtr CycleSelectionGrammar() {
  return Choice({Compound("CycleLowest"), Compound("CycleHighest"), Compound("DepthLowest")});
}

DTDPtr MapVarGrammar() { return Choice({Compound("MapC"), Compound("MapD"), Compound("MapZ")}); }

}  // namespace

DTDPtr FractalGrammar21() {
  static const DTDPtr grammar = Compound(
      "Fractal",
      Seq({Text("XResolution"), Text("YResolution"), Text("Left"), Text("Right"), Text("Top"),
           Text("Bottom"), Text("MaxDepth"), Text("OuterCircle"), Text("InnerDist"),
           Text("MaxCycle"), CycleSelectionGrammar(), Text("Formula"), MapVarGrammar(), Text("CR"),
           Text("CI"), Text("DR"), Text("DI"), Text("N"), Text("M")}));
  return grammar;
}

DTDPtr FractalGrammar20() {
  static const DTDPtr grammar =
      Compound("Fractal",
               Seq({Text("XResolution"), Text("YResolution"), Text("Left"),     Text("Right"),
                    Text("Top"),         Text("Bottom"),      Text("MaxDepth"), Text("OuterCircle"),
                    Text("InnerDist"),   Text("MaxCycle"),    Text("Formula"),  MapVarGrammar(),
                    Text("ZR"),          Text("ZI"),          Text("CR"),       Text("CI"),
                    Text("DR"),          Text("DI"),          Text("N"),        Text("M")}));
  return grammar;
}
