#include "app/PaletteEditorRules.h"

#include <gtest/gtest.h>

#include "palette/TColorPalette1D.h"

namespace {

TEST(StripColumns, OneColumnPerInnerPixelAndNoneWhenTooNarrow) {
  TColorPalette1D palette(false, 0x000000, 0.0, 0x0000C8, 1.0);
  for (int width : {-5, 0, 1, 2, 3}) {
    EXPECT_TRUE(StripColumns(palette, 10, 10 + width).empty()) << width;
  }
  const std::vector<TStripColumn> four = StripColumns(palette, 0, 4);
  ASSERT_EQ(four.size(), 2u);
  EXPECT_EQ(four[0].color, 0x000000u);
  EXPECT_DOUBLE_EQ(four[0].transFactor, 0.0);
  EXPECT_EQ(four[1].color, 100u);  // x = 1/2 of red 200
  EXPECT_DOUBLE_EQ(four[1].transFactor, 0.5);
  EXPECT_EQ(StripColumns(palette, 3, 103).size(), 98u);
}

TEST(StripPainting, MixAndCurveRowFollowTheTransparency) {
  struct MixCase {
    std::uint32_t ground, color;
    double t;
    std::uint32_t mixed;
  } const mixes[] = {
      {0x000000, 0xFFFFFF, 0.0, 0x000000}, {0x000000, 0xFFFFFF, 1.0, 0xFFFFFF},
      {0xFFFFFF, 0x000000, 0.5, 0x7F7F7F}, {0x000000, 0x0A1403, 0.5, 0x050A01},
  };
  for (const MixCase& m : mixes) {
    EXPECT_EQ(MixColor(m.ground, m.color, m.t), m.mixed) << m.ground << " " << m.t;
  }
  EXPECT_EQ(CurveRow(0, 22, 1.0), 1);   // opaque: the colour fills the strip
  EXPECT_EQ(CurveRow(0, 22, 0.0), 21);  // transparent: no colour
  EXPECT_EQ(CurveRow(0, 22, 0.5), 11);
  const TStripLayout layout = StripLayout(40, 400);
  EXPECT_EQ(layout.height, 115);
  EXPECT_EQ(layout.transTop, 160);
  EXPECT_EQ(layout.curveTop, 280);
  EXPECT_EQ(StripLayout(40, 50).height, 0);
}

}  // namespace
