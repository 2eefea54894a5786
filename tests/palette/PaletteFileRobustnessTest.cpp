#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "CheckRecorder.h"
#include "TextMutator.h"
#include "palette/ColorPalette1DFile.h"
#include "palette/TColorPalette1D.h"

using ::testing::Each;
using ::testing::Eq;

namespace {

// Valid files of both forms, with flags, items of both kinds and odd but valid values.
std::vector<std::string> ValidFiles() {
  TColorPalette1D current(true, 0x010203, 0.5, -2.0, 0x0A0B0C, 0xFFFFFF, 1.0, 3.0, 0x808080);
  current.AddItem(0.25, 0x00FF00, 0.75)->SetUseColorAfter(true);
  current.AddItem(0.5, 0xFF0000, 0.0);
  current.AddItem(0.5, 0x0000FF, 1.0);

  std::string older = PaletteFileText(TColorPalette1D(false, 0, 1.0, 0xFF, 1.0));
  older.replace(older.find("<Version>2.0"), 12, "<Version>1.0");
  const auto from = older.find("  <ColorPalette1D>");
  const auto to = older.find("</UnitColorPalette1D>");
  older.replace(from, to - from, R"(  <ColorPalette1D>
    <BeginColor>000000</BeginColor>
    <ColorPalette1DItem>
      <Position>25 %</Position>
      <ColorBefore>00FF00</ColorBefore>
      <UseColorAfter />
      <ColorAfter>FF0000</ColorAfter>
    </ColorPalette1DItem>
    <ColorPalette1DItem>
      <Position>0.75</Position>
      <ColorBefore>123456</ColorBefore>
      <ColorAfter>654321</ColorAfter>
    </ColorPalette1DItem>
    <EndColor>0000FF</EndColor>
  </ColorPalette1D>
)");
  return {PaletteFileText(current), older};
}

// The chain invariants that the rest of the program relies on, and sound lookups.
void ExpectUsablePalette(const TColorPalette1D& palette) {
  ASSERT_NE(palette.GetFirst()->GetNext(), nullptr);
  EXPECT_EQ(palette.GetFirst()->GetDPosition(), 0.0);
  EXPECT_EQ(palette.GetLast()->GetDPosition(), 1.0);
  for (const auto* item = palette.GetFirst()->GetNext(); item->GetNext(); item = item->GetNext()) {
    EXPECT_TRUE(item->GetDPosition() > 0 && item->GetDPosition() < 1);
  }
  for (double x : {-0.5, 0.0, 0.25, 0.5, 0.75, 1.0, 1.5}) {
    double r = 0, g = 0, b = 0;
    palette.GetSuperColor(x, r, g, b);
    EXPECT_FALSE(std::isnan(r) || std::isnan(g) || std::isnan(b)) << x;
    EXPECT_FALSE(std::isnan(palette.GetTransFactor(x))) << x;
    EXPECT_EQ(palette.GetColor(x) >> 24, 0u);
  }
}

TEST(PaletteFileRobustness, MutatedFilesLoadOrFailWithOneMessage) {
  TextMutator mutator(20240611);
  int failures = 0;
  int valueFailures = 0;
  int successes = 0;
  for (const std::string& valid : ValidFiles()) {
    for (int round = 0; round < 1500; ++round) {
      const std::string text = mutator.Mutate(valid);
      CheckRecorder checks;
      TColorPalette1D palette(false, 0x111111, 1.0, 0x222222, 1.0);
      palette.AddItem(0.5, 0x333333, 1.0);
      const std::string before = PaletteFileText(palette);
      std::string error;
      const bool ok = LoadPaletteBytes(palette, text, error);
      // An unknown version text is the only internal error a file can raise.
      EXPECT_THAT(checks.Conditions(),
                  Each(Eq(R"(version == "1.0" || version == "2.0" || version == "3.0")")))
          << text;
      if (ok) {
        ++successes;
        EXPECT_EQ(error, "");
        ExpectUsablePalette(palette);
      } else {
        ++failures;
        if (error.rfind("In ", 0) == 0) ++valueFailures;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(PaletteFileText(palette), before) << text;
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
  // Every outcome occurs, so the mutations reach the reader as well as the parser.
  EXPECT_GT(successes, 100);
  EXPECT_GT(failures, 1000);
  EXPECT_GT(valueFailures, 100);
}

}  // namespace
