#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "ViewXMLSupport.h"
#include "palette/ColorPalette1DFile.h"

namespace {

// Replaces the first `from` on the given line (1-based) of text.
std::string OnLine(std::string text, int line, const std::string& from, const std::string& to) {
  std::size_t start = 0;
  for (int i = 1; i < line; ++i) start = text.find('\n', start) + 1;
  const std::size_t at = text.find(from, start);
  EXPECT_LT(at, text.find('\n', start)) << "line " << line << ": " << from;
  return text.replace(at, from.size(), to);
}

// Switches the numeric locale to one with a decimal comma while it lives (when installed).
class CommaLocale {
 public:
  CommaLocale() : old_(std::setlocale(LC_NUMERIC, nullptr)) {
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "de_DE.utf8");
  }
  ~CommaLocale() { std::setlocale(LC_NUMERIC, old_.c_str()); }

 private:
  std::string old_;
};

void ExpectSameProps(const TFractViewProps& a, const TFractViewProps& b) {
  EXPECT_EQ(a.SensOutside, b.SensOutside);
  EXPECT_EQ(a.SensExponentOutside.GetValue(), b.SensExponentOutside.GetValue());
  EXPECT_EQ(a.StrengthOutside.GetValue(), b.StrengthOutside.GetValue());
  EXPECT_EQ(a.AdaptStrengthOutside, b.AdaptStrengthOutside);
  EXPECT_EQ(a.BackgroundColorOutside.GetValue(), b.BackgroundColorOutside.GetValue());
  EXPECT_EQ(a.ForegroundColorOutside.GetValue(), b.ForegroundColorOutside.GetValue());
  EXPECT_EQ(a.UsePalOutside, b.UsePalOutside);
  EXPECT_EQ(PaletteFileText(a.PalOutside), PaletteFileText(b.PalOutside));
  EXPECT_EQ(a.SensInside, b.SensInside);
  EXPECT_EQ(a.SensExponentInside.GetValue(), b.SensExponentInside.GetValue());
  EXPECT_EQ(a.StrengthInside.GetValue(), b.StrengthInside.GetValue());
  EXPECT_EQ(a.AdaptStrengthInside, b.AdaptStrengthInside);
  EXPECT_EQ(a.UsePalDepthInside, b.UsePalDepthInside);
  EXPECT_EQ(PaletteFileText(a.PalDepthInside), PaletteFileText(b.PalDepthInside));
  EXPECT_EQ(a.UsePalDepthBackgroundInside, b.UsePalDepthBackgroundInside);
  EXPECT_EQ(PaletteFileText(a.PalDepthBackgroundInside),
            PaletteFileText(b.PalDepthBackgroundInside));
  EXPECT_EQ(a.ColorBackgroundInside.GetValue(), b.ColorBackgroundInside.GetValue());
  EXPECT_EQ(a.UsePalDepthForegroundInside, b.UsePalDepthForegroundInside);
  EXPECT_EQ(PaletteFileText(a.PalDepthForegroundInside),
            PaletteFileText(b.PalDepthForegroundInside));
  EXPECT_EQ(a.ColorForegroundInside.GetValue(), b.ColorForegroundInside.GetValue());
  EXPECT_EQ(a.CursorColor.GetValue(), b.CursorColor.GetValue());
  EXPECT_EQ(a.MaxDepthColor.GetValue(), b.MaxDepthColor.GetValue());
  EXPECT_EQ(a.MaxDepthTransFactor.GetValue(), b.MaxDepthTransFactor.GetValue());
  EXPECT_EQ(a.MaxDepthTransFactor.GetUnit(), b.MaxDepthTransFactor.GetUnit());
  EXPECT_EQ(a.BackgroundColor.GetValue(), b.BackgroundColor.GetValue());
  EXPECT_EQ(a.ValuesPerPixel.GetValue(), b.ValuesPerPixel.GetValue());
  EXPECT_EQ(a.UpdateResolution, b.UpdateResolution);
}

// Every field away from its new-set value; flip chooses which side has the custom curve.
TFractViewProps Unusual(bool flip) {
  TFractViewProps p;
  p.SensOutside = flip ? ESensitivity::SensLow : ESensitivity::SensCustom;
  p.SensInside = flip ? ESensitivity::SensCustom : ESensitivity::SensVeryHigh;
  p.SensExponentOutside = unitFactorPosMore(flip ? 0.7 : 1.75);
  p.SensExponentInside = unitFactorPosMore(flip ? 0.015625 : 0.7);
  p.StrengthOutside = unitFactorPosMore(123.456);
  p.StrengthInside = unitFactorPosMore(0.000001);
  p.AdaptStrengthOutside = flip;
  p.AdaptStrengthInside = !flip;
  p.BackgroundColorOutside = unitColor(0x010203);
  p.ForegroundColorOutside = unitColor(0x040506);
  p.UsePalOutside = !flip;
  p.PalOutside.SetCyclic(true);
  p.PalOutside.AddItem(0.3, 0x0A0B0C, 0.5)->SetSuperFactorBefore(unitFactor(-2.5));
  p.UsePalDepthInside = flip;
  p.PalDepthInside.AddItem(0.9, 0x0D0E0F, 0.0)->SetUseColorAfter(true);
  p.UsePalDepthBackgroundInside = !flip;
  p.PalDepthBackgroundInside.GetLast()->SetColorBefore(0x101112);
  p.ColorBackgroundInside = unitColor(0x131415);
  p.UsePalDepthForegroundInside = flip;
  p.PalDepthForegroundInside.GetFirst()->SetTransFactorBefore(unitFactorPosMax1(0.125));
  p.ColorForegroundInside = unitColor(0x161718);
  p.CursorColor = unitColor(0x191A1B);
  p.MaxDepthColor = unitColor(0x1C1D1E);
  p.MaxDepthTransFactor = unitFactorPosMax1(0.3, flip ? EUnitKind::EHNone : EUnitKind::EHPerc);
  p.BackgroundColor = unitColor(0x1F2021);
  p.ValuesPerPixel = unitIntegerPosMore(4);
  p.UpdateResolution = flip;
  return p;
}

TEST(FractalViewXML, NewSetWritesTheGoldenElement) {
  const std::string golden = TestDataFile("view/FractalViewNewSet.xml");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(ViewDocument(TFractViewProps()), golden);
}

TEST(FractalViewXML, RoundTripKeepsEveryFieldButUnusedExponents) {
  const CommaLocale comma;  // numbers must not follow the process locale
  for (bool flip : {false, true}) {
    SCOPED_TRACE(flip);
    const TFractViewProps written = Unusual(flip);
    TFractViewProps read;
    read.SensExponentOutside = read.SensExponentInside = unitFactorPosMore(5.0);
    const ViewReadResult result = ReadViewDocument(ViewDocument(written), read);
    ASSERT_TRUE(result.parsed && result.read) << result.message;
    ExpectSameProps(read, written);
    // The palettes keep the receiver's SuperColorsEnabled flags.
    EXPECT_TRUE(read.PalOutside.GetSuperColorsEnabled());
    EXPECT_FALSE(read.PalDepthInside.GetSuperColorsEnabled());
  }
}

TEST(FractalViewXML, CurrentGenerationWithoutOptionalFlagsClearsThem) {
  std::string text = TestDataFile("view/FractalViewNewSet.xml");
  text = OnLine(text, 104, "    <UpdateResolution />\n", "");
  text = OnLine(text, 35, "      <AdaptStrength />\n", "");
  text = OnLine(text, 10, "      <AdaptStrength />\n", "");
  TFractViewProps props;
  const ViewReadResult result = ReadViewDocument(text, props);
  ASSERT_TRUE(result.parsed && result.read) << result.message;
  EXPECT_FALSE(props.AdaptStrengthOutside);
  EXPECT_FALSE(props.AdaptStrengthInside);
  EXPECT_FALSE(props.UpdateResolution);
}

constexpr char kVersion20[] = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<!DOCTYPE UnitFractal SYSTEM "UnitFractal.dtd">

<UnitFractal>
  <Version>2.0</Version>
  <FractalView>
    <Outside>
      <SensLow />
      <Strength>2.5</Strength>
      <UseColorPalette1D />
      <ColorPalette1D>
        <BeginColor>102030</BeginColor>
        <ColorPalette1DItem>
          <Position>40 %</Position>
          <ColorBefore>00FF00</ColorBefore>
          <UseColorAfter />
          <ColorAfter>FF0000</ColorAfter>
        </ColorPalette1DItem>
        <EndColor>FFFFFF</EndColor>
      </ColorPalette1D>
      <BackgroundColor>010203</BackgroundColor>
      <ForegroundColor>040506</ForegroundColor>
    </Outside>
    <Inside>
      <SensVeryHigh />
      <Strength>0.5</Strength>
      <Depth>
        <ColorPalette1D>
          <BeginColor>000000</BeginColor>
          <EndColor>0000FF</EndColor>
        </ColorPalette1D>
        <Background>
          <UseColorPalette1D />
          <ColorPalette1D>
            <BeginColor>000000</BeginColor>
            <EndColor>00FF00</EndColor>
          </ColorPalette1D>
          <Color>070809</Color>
        </Background>
        <Foreground>
          <ColorPalette1D>
            <BeginColor>000000</BeginColor>
            <EndColor>FF0000</EndColor>
          </ColorPalette1D>
          <Color>0A0B0C</Color>
        </Foreground>
      </Depth>
    </Inside>
    <MaxDepthColor>0D0E0F</MaxDepthColor>
    <CursorColor>00FFFF</CursorColor>
  </FractalView>
</UnitFractal>
)";

TEST(FractalViewXML, OlderGenerationReadsWithItsDefaults) {
  for (const char* version : {"2.0", "1.0"}) {
    SCOPED_TRACE(version);
    TFractViewProps props = Unusual(false);  // every default below is away from these values
    std::string text = OnLine(kVersion20, 5, "2.0", version);
    const ViewReadResult result = ReadViewDocument(text, props);
    ASSERT_TRUE(result.parsed && result.read) << result.message;
    EXPECT_TRUE(props.AdaptStrengthOutside);
    EXPECT_TRUE(props.AdaptStrengthInside);
    EXPECT_EQ(props.MaxDepthTransFactor.GetValue(), 1.0);
    EXPECT_EQ(props.BackgroundColor.GetValue(), 0u);
    EXPECT_EQ(props.ValuesPerPixel.GetValue(), 1);
    EXPECT_TRUE(props.UpdateResolution);

    EXPECT_EQ(props.SensOutside, ESensitivity::SensLow);
    EXPECT_EQ(props.SensExponentOutside.GetValue(), 0.7);
    EXPECT_EQ(props.StrengthOutside.GetValue(), 2.5);
    EXPECT_TRUE(props.UsePalOutside);
    EXPECT_FALSE(props.PalOutside.GetCyclic());
    EXPECT_EQ(props.PalOutside.GetColor(0.0), 0x102030u);
    EXPECT_EQ(props.PalOutside.GetColor(0.4), 0x00FF00u);
    EXPECT_EQ(props.PalOutside.GetColor(1.0), 0xFFFFFFu);
    EXPECT_EQ(props.PalOutside.GetFirst()->GetNext()->GetColorAfter(), 0xFF0000u);
    EXPECT_EQ(props.BackgroundColorOutside.GetValue(), 0x010203u);
    EXPECT_EQ(props.ForegroundColorOutside.GetValue(), 0x040506u);
    EXPECT_EQ(props.SensInside, ESensitivity::SensVeryHigh);
    EXPECT_EQ(props.StrengthInside.GetValue(), 0.5);
    EXPECT_FALSE(props.UsePalDepthInside);
    EXPECT_EQ(props.PalDepthInside.GetColor(1.0), 0x0000FFu);
    EXPECT_TRUE(props.UsePalDepthBackgroundInside);
    EXPECT_EQ(props.PalDepthBackgroundInside.GetColor(1.0), 0x00FF00u);
    EXPECT_EQ(props.ColorBackgroundInside.GetValue(), 0x070809u);
    EXPECT_FALSE(props.UsePalDepthForegroundInside);
    EXPECT_EQ(props.PalDepthForegroundInside.GetColor(1.0), 0xFF0000u);
    EXPECT_EQ(props.ColorForegroundInside.GetValue(), 0x0A0B0Cu);
    EXPECT_EQ(props.MaxDepthColor.GetValue(), 0x0D0E0Fu);
    EXPECT_EQ(props.CursorColor.GetValue(), 0x00FFFFu);
  }
}

TEST(FractalViewXML, OlderGrammarRefusesCurrentElements) {
  TFractViewProps props;
  const ViewReadResult custom = ReadViewDocument(
      OnLine(kVersion20, 8, "<SensLow />",
             "<SensCustom><SensExponent>2</SensExponent></SensCustom>"),
      props);
  EXPECT_FALSE(custom.parsed);
  const ViewReadResult adapt =
      ReadViewDocument(OnLine(kVersion20, 9, "</Strength>", "</Strength><AdaptStrength />"), props);
  EXPECT_FALSE(adapt.parsed);
  EXPECT_EQ(adapt.message,
            "unexpected empty element \"AdaptStrength\", expect begin of element "
            "\"ColorPalette1D\", at line 9, column 44.");
}

struct ValueFault {
  int line;
  const char* from;
  const char* to;
  const char* message;
  int column;
};

TEST(FractalViewXML, AnUnreadableValueStopsWithItsMessageAndPosition) {
  const std::string good = TestDataFile("view/FractalViewNewSet.xml");
  const ValueFault faults[] = {
      {9, ">1<", ">0<", "In Strength: Value must be positive and more than 0.", 16},
      {34, ">1<", ">-1<", "In Strength: Value must be positive and more than 0.", 16},
      {16, ">1<", ">1/0<", "In SuperFactor: Broke is invalid.", 25},
      {100, "100 %", "2", "In MaxDepthTransFactor: Value must be no more than 1.", 25},
      {102, "FF00FF", "XYZ", "In CursorColor: Invalid Hexdecimal value: \"XYZ\".", 17},
      {103, ">1<", ">0<", "In ValuesPerPixel: Value must be positive and more than 0.", 20},
      {103, ">1<", ">1.5<", "In ValuesPerPixel: Invalid value: \"1.5\".", 20},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.message);
    TFractViewProps props;
    const ViewReadResult result = ReadViewDocument(OnLine(good, f.line, f.from, f.to), props);
    ASSERT_TRUE(result.parsed) << result.message;
    EXPECT_FALSE(result.read);
    EXPECT_EQ(result.message, f.message);
    EXPECT_EQ(result.line, f.line);
    EXPECT_EQ(result.column, f.column);
  }
}

TEST(FractalViewXML, FieldsReadBeforeAFailureKeepTheirNewValues) {
  std::string text = OnLine(TestDataFile("view/FractalViewNewSet.xml"), 34, ">1<", ">0<");
  text = OnLine(text, 9, ">1<", ">7<");
  text = OnLine(text, 99, "000000", "ABCDEF");
  TFractViewProps props;
  EXPECT_FALSE(ReadViewDocument(text, props).read);
  EXPECT_EQ(props.MaxDepthColor.GetValue(), 0xABCDEFu);
  EXPECT_EQ(props.StrengthOutside.GetValue(), 7.0);
  EXPECT_EQ(props.StrengthInside.GetValue(), 1.0);
}

}  // namespace
