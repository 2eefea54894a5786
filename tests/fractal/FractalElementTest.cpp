#include "fractal/FractalElement.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "files/XMLItem.h"
#include "files/XMLReader.h"
#include "fractal/FormulaTable.h"
#include "fractal/TFractProps.h"

namespace {

// A document holding one Fractal element after its Version, as a fractal document does.
std::string FractalDocument(const TFractProps& props) {
  TXMLComplexElement root("UnitFractal");
  root.AddString("Version", "2.1");
  WriteFractal(props, root);
  return root.WriteXMLString();
}

struct ReadOutcome {
  bool parsed = false;
  bool read = false;
  std::string message;
  int line = 0;
  int column = 0;
};

// Parses bytes against the Fractal grammar of their sniffed version and reads the element.
ReadOutcome ReadFractalDocument(std::string_view bytes, TFractProps& props) {
  static const auto older = Compound("UnitFractal", Seq({Text("Version"), FractalGrammar20()}));
  static const auto current = Compound("UnitFractal", Seq({Text("Version"), FractalGrammar21()}));
  const auto grammarFor = [](const std::string& version, std::string&) {
    return version == "1.0" || version == "2.0" ? older.get() : current.get();
  };
  ReadOutcome outcome;
  XMLParseResult parsed;
  outcome.parsed = ParseXMLBytes(bytes, grammarFor, parsed, outcome.message);
  if (!outcome.parsed) return outcome;
  const TXMLItem* fractal = parsed.document->GetFirstElement()->next;
  outcome.read = ReadFractal(props, *fractal, parsed.version, outcome.message, outcome.line,
                             outcome.column);
  return outcome;
}

// Replaces the text of the first element `name` in a written document.
std::string WithText(std::string text, const std::string& name, const std::string& value) {
  const std::string open = "<" + name + ">";
  const std::size_t start = text.find(open) + open.size();
  const std::size_t end = text.find("</" + name + ">", start);
  return text.replace(start, end - start, value);
}

// The position an element records for the first "<name>" in text: its line and the 1-based
// column of the tag's closing '>' (where the begin token ends).
std::pair<int, int> PositionOf(const std::string& text, const std::string& name) {
  const std::string tag = "<" + name + ">";
  const std::size_t at = text.find(tag);
  const std::size_t lineStart = text.rfind('\n', at) + 1;
  int line = 1;
  for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n';
  return {line, static_cast<int>(at - lineStart + tag.size())};
}

TEST(FractalElement, NewFractalWritesItsElementsInFileOrder) {
  const std::string text = FractalDocument(TFractProps());
  const std::string expected =
      "  <Fractal>\n"
      "    <XResolution>300</XResolution>\n"
      "    <YResolution>300</YResolution>\n"
      "    <Left>-1.5</Left>\n"
      "    <Right>1.5</Right>\n"
      "    <Top>1.5</Top>\n"
      "    <Bottom>-1.5</Bottom>\n"
      "    <MaxDepth>100</MaxDepth>\n"
      "    <OuterCircle>1000</OuterCircle>\n"
      "    <InnerDist>0.0001</InnerDist>\n"
      "    <MaxCycle>3</MaxCycle>\n"
      "    <CycleLowest />\n"
      "    <Formula>z^^2+c</Formula>\n"
      "    <MapZ />\n"
      "    <CR>-0.122561</CR>\n"
      "    <CI>-0.744862</CI>\n"
      "    <DR>-0.3</DR>\n"
      "    <DI>-0.3</DI>\n"
      "    <N>5</N>\n"
      "    <M>3</M>\n"
      "  </Fractal>\n";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
}

TEST(FractalElement, EveryFormulaMapAndCycleSelectionReadsBack) {
  for (int formula = 0; formula < kFormulaCount; ++formula) {
    TFractProps written;
    written.Formula = static_cast<std::uint8_t>(formula);
    written.MapVar = static_cast<EMapVar>(formula % kMapVarCount);
    written.CycleSelection = static_cast<ECycleSelection>((formula + 1) % kCycleSelectionCount);
    TFractProps read;
    ReadOutcome outcome = ReadFractalDocument(FractalDocument(written), read);
    ASSERT_TRUE(outcome.read) << outcome.message;
    EXPECT_EQ(read, written) << GetFormula(formula).keyword;
  }
}

TEST(FractalElement, UnusualValuesAndUnitsReadBackExactly) {
  TFractProps written;
  written.XResolution = unitIntegerPosMore(1);
  written.YResolution = unitIntegerPosMore(2147483647);
  written.Left = unitFactor(-0.743643887037151);
  written.Right = unitFactor(0.00000000000000000001);
  written.Top = unitFactor(1234567890.12345);
  written.Bottom = unitFactor(-0.5, EUnitKind::EHPerc);
  written.MaxDepth = unitIntegerPosMore(1000000);
  written.OuterCircle = unitFactorPosMore1(1.0000001);
  written.InnerDist = unitFactorPosMoreLess1(0.25, EUnitKind::EHPerc);
  written.MaxCycle = unitIntegerPos(0);
  written.N = unitIntegerPosMore(17);
  written.M = unitIntegerPosMore(1);
  TFractProps read;
  const std::string text = FractalDocument(written);
  ReadOutcome outcome = ReadFractalDocument(text, read);
  ASSERT_TRUE(outcome.read) << outcome.message;
  EXPECT_EQ(read, written);
  EXPECT_EQ(read.Bottom.GetUnit(), EUnitKind::EHPerc);
  EXPECT_EQ(read.InnerDist.GetUnit(), EUnitKind::EHPerc);
  EXPECT_EQ(FractalDocument(read), text);
}

TEST(FractalElement, DiscontinuedColoursAreNotStoredSoAReadFractalContinues) {
  TFractProps read;
  read.ColorsDiscontinue = true;
  ReadOutcome outcome = ReadFractalDocument(FractalDocument(TFractProps()), read);
  ASSERT_TRUE(outcome.read) << outcome.message;
  EXPECT_FALSE(read.ColorsDiscontinue);
}

struct BadValue {
  const char* element;
  const char* text;
  const char* message;
};

// Test names: the element and its text.
void PrintTo(const BadValue& c, std::ostream* os) { *os << c.element << " " << c.text; }

class FractalElementBadValues : public ::testing::TestWithParam<BadValue> {};

TEST_P(FractalElementBadValues, StopAtTheElementWithTheValueMessage) {
  std::string text = WithText(FractalDocument(TFractProps()), GetParam().element, GetParam().text);
  TFractProps read;
  ReadOutcome outcome = ReadFractalDocument(text, read);
  ASSERT_TRUE(outcome.parsed) << outcome.message;
  EXPECT_FALSE(outcome.read);
  EXPECT_EQ(outcome.message, GetParam().message);
  auto [line, column] = PositionOf(text, GetParam().element);
  EXPECT_EQ(outcome.line, line);
  EXPECT_EQ(outcome.column, column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FractalElementBadValues,
    ::testing::Values(
        BadValue{"InnerDist", "1", "In InnerDist: Value must be less than 1."},
        BadValue{"InnerDist", "0", "In InnerDist: Value must be positive and more than 0."},
        BadValue{"OuterCircle", "1", "In OuterCircle: Value must be more than 1."},
        BadValue{"MaxDepth", "0", "In MaxDepth: Value must be positive and more than 0."},
        BadValue{"XResolution", "-300", "In XResolution: Value must be positive and more than 0."},
        BadValue{"MaxCycle", "-1", "In MaxCycle: Value must be positive."},
        BadValue{"Left", "abc", "In Left: Input has no value."},
        BadValue{"M", "0", "In M: Value must be positive and more than 0."},
        BadValue{"Formula", "z^^2 + c", "Unknown Formula: 'z^2 + c'"},
        BadValue{"Formula", "Z^^2+C", "Unknown Formula: 'Z^2+C'"}));

TEST(FractalElement, FieldsBeforeTheFailingElementKeepTheirNewValues) {
  TFractProps written;
  written.XResolution = unitIntegerPosMore(640);
  written.Formula = 5;
  std::string text = WithText(FractalDocument(written), "DI", "x");
  TFractProps read;
  ReadOutcome outcome = ReadFractalDocument(text, read);
  EXPECT_FALSE(outcome.read);
  EXPECT_EQ(read.XResolution.GetValue(), 640);
  EXPECT_EQ(read.Formula, 5);
  EXPECT_EQ(read.DI.GetValue(), TFractProps().DI.GetValue());
}

// The older generation: no cycle selection, ZR and ZI between the map element and CR.
std::string OlderFractalDocument(const std::string& version, const std::string& zr) {
  return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
         "<!DOCTYPE UnitFractal SYSTEM \"UnitFractal.dtd\">\n\n"
         "<UnitFractal>\n"
         "  <Version>" + version + "</Version>\n"
         "  <Fractal>\n"
         "    <XResolution>120</XResolution>\n    <YResolution>80</YResolution>\n"
         "    <Left>-2</Left>\n    <Right>1</Right>\n    <Top>1</Top>\n    <Bottom>-1</Bottom>\n"
         "    <MaxDepth>250</MaxDepth>\n    <OuterCircle>4</OuterCircle>\n"
         "    <InnerDist>0.001</InnerDist>\n    <MaxCycle>7</MaxCycle>\n"
         "    <Formula>z^^n+c</Formula>\n    <MapC />\n"
         "    <ZR>" + zr + "</ZR>\n    <ZI>" + zr + "</ZI>\n"
         "    <CR>0.25</CR>\n    <CI>-0.5</CI>\n    <DR>1</DR>\n    <DI>2</DI>\n"
         "    <N>4</N>\n    <M>2</M>\n"
         "  </Fractal>\n"
         "</UnitFractal>\n";
}

TEST(FractalElement, OlderVersionsStepOverZAndKeepTheCycleSelection) {
  for (const char* version : {"1.0", "2.0"}) {
    for (const char* zr : {"0", "not a number", "1e999"}) {
      for (ECycleSelection before : {CycleLowest, DepthLowest}) {
        TFractProps read;
        read.CycleSelection = before;
        ReadOutcome outcome = ReadFractalDocument(OlderFractalDocument(version, zr), read);
        ASSERT_TRUE(outcome.read) << version << " " << zr << ": " << outcome.message;
        EXPECT_EQ(read.CycleSelection, before);
        EXPECT_EQ(read.XResolution.GetValue(), 120);
        EXPECT_EQ(read.MaxCycle.GetValue(), 7);
        EXPECT_EQ(read.Formula, 3);
        EXPECT_EQ(read.MapVar, MapC);
        EXPECT_EQ(read.CR.GetValue(), 0.25);
        EXPECT_EQ(read.M.GetValue(), 2);
      }
    }
  }
}

TEST(FractalElement, GrammarsRefuseTheOtherGenerationsShape) {
  TFractProps read;
  // The current generation has no ZR and ZI; the older one has no cycle selection.
  std::string older = OlderFractalDocument("2.0", "0");
  std::string asCurrent = older;
  asCurrent.replace(asCurrent.find("2.0</Version>"), 3, "2.1");
  EXPECT_FALSE(ReadFractalDocument(asCurrent, read).parsed);
  std::string current = FractalDocument(TFractProps());
  current.replace(current.find("2.1</Version>"), 3, "2.0");
  EXPECT_FALSE(ReadFractalDocument(current, read).parsed);
  // A value element without text and a missing last element are refused before reading.
  EXPECT_FALSE(ReadFractalDocument(WithText(FractalDocument(TFractProps()), "CR", ""), read).parsed);
  std::string noM = FractalDocument(TFractProps());
  noM.erase(noM.find("    <M>"), std::string("    <M>3</M>\n").size());
  EXPECT_FALSE(ReadFractalDocument(noM, read).parsed);
}

}  // namespace
