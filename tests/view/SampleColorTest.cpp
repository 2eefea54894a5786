#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "view/TFractViewProps.h"
#include "view/TSampleColorer.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

void ExpectColor(const TSampleColor& c, double red, double green, double blue, double opacity) {
  EXPECT_DOUBLE_EQ(c.red, red);
  EXPECT_DOUBLE_EQ(c.green, green);
  EXPECT_DOUBLE_EQ(c.blue, blue);
  EXPECT_DOUBLE_EQ(c.opacity, opacity);
}

// Outside and inside mixing black to white, so every channel shows 255 * e.
TFractViewProps GreyMix(ESensitivity sensitivity, double strength) {
  TFractViewProps props;
  props.SensOutside = props.SensInside = sensitivity;
  props.StrengthOutside = props.StrengthInside = unitFactorPosMore(strength);
  props.SensExponentOutside = props.SensExponentInside = unitFactorPosMore(3.0);
  props.BackgroundColorOutside = props.ColorBackgroundInside = unitColor(0);
  props.ForegroundColorOutside = props.ColorForegroundInside = unitColor(kWhite);
  return props;
}

struct CurveCase {
  ESensitivity sensitivity;
  double strength;
  float depth;
  double e;  // strength times the curve; the mix limits it to 1
};

TEST(SampleColor, CurvesAndStrengthsMixWithoutTruncation) {
  const CurveCase cases[] = {
      {ESensitivity::SensNormal, 1.0, 0.25f, 0.25},
      {ESensitivity::SensNormal, 1.0, 2.0f, 1.0},
      {ESensitivity::SensLow, 1.0, 0.5f, 0.25},
      {ESensitivity::SensHigh, 1.0, 0.5f, std::sqrt(0.5)},
      {ESensitivity::SensVeryHigh, 1.0, 0.5f, std::pow(0.5, 0.25)},
      {ESensitivity::SensCustom, 1.0, 0.5f, 0.125},
      {ESensitivity::SensLow, 3.0, 0.5f, 0.75},
      {ESensitivity::SensNormal, 0.5, 1e-30f, 0.5 * static_cast<double>(1e-30f)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.sensitivity));
    SCOPED_TRACE(c.depth);
    const TFractViewProps props = GreyMix(c.sensitivity, c.strength);
    const double v = 255 * c.e;
    ExpectColor(props.SampleColor(c.depth, 1, 1, false), v, v, v, 1.0);
    // Inside the depth is the absolute value; the cycle colours are the plain ones here.
    ExpectColor(props.SampleColor(-c.depth, 1, 1, false), v, v, v, 1.0);
  }
  EXPECT_DOUBLE_EQ(GreyMix(ESensitivity::SensNormal, 1.0).SampleColor(0.25f, 1, 1, false).red,
                   63.75);
}

TEST(SampleColor, MaximumDepthIgnoresEveryOtherSetting) {
  TFractViewProps props = GreyMix(ESensitivity::SensNormal, 1.0);
  props.UsePalOutside = props.UsePalDepthInside = true;
  props.MaxDepthColor = unitColor(0x030201);
  props.MaxDepthTransFactor = unitFactorPosMax1(0.25);
  for (float depth : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN()}) {
    for (bool interpolated : {false, true}) {
      ExpectColor(props.SampleColor(depth, 7, 3, interpolated), 1, 2, 3, 0.25);
    }
  }
}

TEST(SampleColor, PalettesGiveTheirColoursOrSuperColoursAndOpacity) {
  TFractViewProps props;
  props.SensOutside = ESensitivity::SensNormal;
  props.UsePalOutside = true;
  // Colour 200, anchor 100, factor 3 at both ends: super colour 400, plain colour 200.
  props.PalOutside = TColorPalette1D(true, 200, 1.0, 3.0, 100, 200, 0.0, 3.0, 100);
  ExpectColor(props.SampleColor(0.25f, 1, 1, false), 200, 0, 0, 0.75);
  ExpectColor(props.SampleColor(0.25f, 1, 1, true), 400, 0, 0, 0.75);
  // A cyclic palette wraps e = 1.5 to 0.5.
  props.StrengthOutside = unitFactorPosMore(3.0);
  ExpectColor(props.SampleColor(0.5f, 1, 1, false), 200, 0, 0, 0.5);

  props.SensInside = ESensitivity::SensNormal;
  props.UsePalDepthInside = true;
  props.PalDepthInside = TColorPalette1D(false, 0, 1.0, kWhite, 0.5);
  ExpectColor(props.SampleColor(-0.5f, 1, 1, false), 127, 127, 127, 0.75);
  // Without super factors the super colour is the untruncated interpolation.
  ExpectColor(props.SampleColor(-0.5f, 1, 1, true), 127.5, 127.5, 127.5, 0.75);
  // Not cyclic: beyond the end the end colour holds.
  ExpectColor(props.SampleColor(-2.0f, 1, 1, false), 255, 255, 255, 0.5);
}

struct CycleCase {
  std::int32_t cycle;
  std::int32_t maxCycle;
  double position;  // expected cycle position
};

TEST(SampleColor, CycleNumberChoosesTheMixColoursAndIsClampedToItsRange) {
  TFractViewProps props;
  props.SensInside = ESensitivity::SensNormal;
  props.UsePalDepthBackgroundInside = props.UsePalDepthForegroundInside = true;
  // Background palette black to red, foreground white to blue, with opacities 1 to 0.
  props.PalDepthBackgroundInside = TColorPalette1D(false, 0x000000, 1.0, 0x0000FF, 0.0);
  props.PalDepthForegroundInside = TColorPalette1D(false, kWhite, 1.0, 0xFF0000, 0.0);
  const CycleCase cases[] = {
      {1, 1, 0.0},  {2, 1, 1.0},   {1, 5, 0.0},  {5, 5, 1.0}, {3, 5, 0.5},
      {0, 5, 0.0},  {-40, 5, 0.0}, {6, 5, 1.0},  {99, 2, 1.0},
      {std::numeric_limits<std::int32_t>::min(), 5, 0.0},
      {std::numeric_limits<std::int32_t>::max(), 5, 1.0},
      {3, std::numeric_limits<std::int32_t>::min(), 1.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.cycle) + " of " + std::to_string(c.maxCycle));
    const double p = c.position;
    const double backRed = std::trunc(255 * p);
    const double foreRed = std::trunc(255 * (1 - p));
    const double foreBlue = 255;
    // Depth 0.25: a quarter of the way from the background to the foreground colour.
    const TSampleColor color = props.SampleColor(-0.25f, c.cycle, c.maxCycle, false);
    EXPECT_DOUBLE_EQ(color.red, 0.75 * backRed + 0.25 * foreRed);
    EXPECT_DOUBLE_EQ(color.green, 0.25 * foreRed);
    EXPECT_DOUBLE_EQ(color.blue, 0.25 * foreBlue);
    EXPECT_DOUBLE_EQ(color.opacity, 1 - p);
  }
  // With the plain colours the cycle number does not matter.
  props.UsePalDepthBackgroundInside = props.UsePalDepthForegroundInside = false;
  const TSampleColor plain = props.SampleColor(-1.0f, 4, 5, false);
  ExpectColor(plain, 255, 128, 0, 1.0);
}

TEST(SampleColor, PaintingPassColorerGivesExactlyTheSameColours) {
  TFractViewProps props;
  props.SensInside = ESensitivity::SensLow;
  props.PalDepthBackgroundInside.AddItem(0.3, 0x123456, 0.25)->SetUseColorAfter(true);
  props.PalDepthForegroundInside.SetCyclic(true);
  props.PalOutside = TColorPalette1D(false, 10, 0.5, 4.0, 200, 250, 1.0, 0.5, 0);
  const std::int32_t maxCycles[] = {std::numeric_limits<std::int32_t>::min(), -3, 0, 1, 2, 7,
                                    100000};
  for (int flags = 0; flags < 8; ++flags) {
    props.UsePalDepthBackgroundInside = flags & 1;
    props.UsePalDepthForegroundInside = flags & 2;
    props.UsePalOutside = flags & 4;
    for (std::int32_t maxCycle : maxCycles) {
      const TSampleColorer colorer(props, maxCycle);
      for (std::int32_t cycle : {-5, 0, 1, 2, 3, 6, 7, 8, 99999, 100000, 100001}) {
        for (float depth : {-1.0f, -0.61f, -1e-6f, 0.0f, 0.37f, 1.0f}) {
          for (bool interpolated : {false, true}) {
            const TSampleColor a = colorer(depth, cycle, interpolated);
            const TSampleColor b = props.SampleColor(depth, cycle, maxCycle, interpolated);
            ASSERT_TRUE(a.red == b.red && a.green == b.green && a.blue == b.blue &&
                        a.opacity == b.opacity)
                << flags << " " << maxCycle << " " << cycle << " " << depth;
          }
        }
      }
    }
  }
}

TEST(ViewPropsEquality, SelfOnlyBecausePalettesCompareByIdentity) {
  const TFractViewProps props;
  EXPECT_TRUE(props == props);
  const TFractViewProps copy(props);
  EXPECT_FALSE(copy == props);
  // A copy has palettes of its own with the same content.
  EXPECT_NE(copy.PalOutside.GetFirst(), props.PalOutside.GetFirst());
  EXPECT_EQ(copy.PalOutside.GetColor(0.5), props.PalOutside.GetColor(0.5));
  EXPECT_TRUE(copy.PalOutside.GetSuperColorsEnabled());
  EXPECT_FALSE(copy.PalDepthInside.GetSuperColorsEnabled());
}

}  // namespace
