#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../palette/CheckRecorder.h"
#include "../palette/TextMutator.h"
#include "ViewXMLSupport.h"

namespace {

// Valid view documents of both generations with palettes, flags and both custom curves.
std::vector<std::string> ValidDocuments() {
  TFractViewProps rich;
  rich.SensOutside = ESensitivity::SensCustom;
  rich.SensInside = ESensitivity::SensCustom;
  rich.UsePalOutside = rich.UsePalDepthBackgroundInside = true;
  rich.UpdateResolution = false;
  rich.ValuesPerPixel = unitIntegerPosMore(3);
  rich.PalOutside.AddItem(0.4, 0x00FF00, 0.5)->SetUseColorAfter(true);
  rich.PalDepthForegroundInside.SetCyclic(true);

  // The older generation: no custom curve, no optional flags, older palettes, short tail.
  const std::string olderPalette = R"(<ColorPalette1D>
        <BeginColor>000000</BeginColor>
        <ColorPalette1DItem>
          <Position>50 %</Position>
          <ColorBefore>00FF00</ColorBefore>
          <UseColorAfter />
          <ColorAfter>FF0000</ColorAfter>
        </ColorPalette1DItem>
        <EndColor>FF8000</EndColor>
      </ColorPalette1D>)";
  std::string twoZero = R"(<UnitFractal>
  <Version>2.0</Version>
  <FractalView>
    <Outside>
      <SensLow />
      <Strength>2.5</Strength>
      <UseColorPalette1D />
      PALETTE
      <BackgroundColor>010203</BackgroundColor>
      <ForegroundColor>040506</ForegroundColor>
    </Outside>
    <Inside>
      <SensNormal />
      <Strength>0.5</Strength>
      <Depth>
        PALETTE
        <Background>
          <UseColorPalette1D />
          PALETTE
          <Color>070809</Color>
        </Background>
        <Foreground>
          PALETTE
          <Color>0A0B0C</Color>
        </Foreground>
      </Depth>
    </Inside>
    <MaxDepthColor>0D0E0F</MaxDepthColor>
    <CursorColor>00FFFF</CursorColor>
  </FractalView>
</UnitFractal>
)";
  for (std::size_t at; (at = twoZero.find("PALETTE")) != std::string::npos;) {
    twoZero.replace(at, 7, olderPalette);
  }
  const std::string current = ViewDocument(TFractViewProps());
  const std::string head = current.substr(0, current.find("<UnitFractal>"));
  return {ViewDocument(rich), current, head + twoZero};
}

TEST(FractalViewRobustness, MutatedElementsReadOrFailWithOneMessage) {
  TextMutator mutator(7081);
  int read = 0;
  int valueFailures = 0;
  int grammarFailures = 0;
  for (const std::string& valid : ValidDocuments()) {
    {
      TFractViewProps props;
      ASSERT_TRUE(ReadViewDocument(valid, props).read) << valid;
    }
    for (int round = 0; round < 700; ++round) {
      const std::string text = mutator.Mutate(valid);
      CheckRecorder checks;
      TFractViewProps props;
      const ViewReadResult result = ReadViewDocument(text, props);
      EXPECT_TRUE(checks.ui.shown.empty()) << text;
      if (result.parsed && result.read) {
        ++read;
      } else {
        result.parsed ? ++valueFailures : ++grammarFailures;
        EXPECT_FALSE(result.message.empty()) << text;
        EXPECT_EQ(result.message.find('\n'), std::string::npos) << result.message;
      }
      // Whatever was read colours samples without NaN.
      for (float depth : {-1.0f, -0.3f, 0.0f, 1e-7f, 0.5f, 1.0f}) {
        for (bool interpolated : {false, true}) {
          const TSampleColor c = props.SampleColor(depth, 2, 4, interpolated);
          EXPECT_FALSE(std::isnan(c.red + c.green + c.blue + c.opacity)) << text;
        }
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
  // Every outcome occurs, so the mutations reach the reader as well as the grammar.
  EXPECT_GT(read, 100);
  EXPECT_GT(valueFailures, 50);
  EXPECT_GT(grammarFailures, 500);
}

}  // namespace
