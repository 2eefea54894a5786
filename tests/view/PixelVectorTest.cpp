#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "view/PixelVector.h"
#include "view/TSampleColorer.h"

namespace {

// A channel as a byte as the one-sample path makes it: 0 for NaN and values not above 0, 255
// from 255 on, else truncated.
std::uint8_t Byte(double x) {
  if (!(x > 0)) return 0;
  if (x >= 255) return 255;
  return static_cast<std::uint8_t>(x);
}

// The window's pixel byte of a channel: blended with the background by the opacity.
std::uint8_t DisplayByte(double channel, double opacity, double background) {
  return Byte((1 - opacity) * background + channel * opacity);
}

// The exported colour word (red in the low byte) and alpha of a sample colour.
std::uint32_t ExportColor(const TSampleColor& c) {
  return Byte(c.red) | (Byte(c.green) << 8) | (std::uint32_t{Byte(c.blue)} << 16);
}
std::uint8_t ExportAlpha(const TSampleColor& c) { return Byte(c.opacity * 255); }

struct Config {
  const char* name;
  ESensitivity outside, inside;
  double strength;
  bool paletteOutside, paletteInside, cyclePalettes, cyclic;
  std::int32_t maxCycle;
  std::uint32_t background;
};

TFractViewProps Props(const Config& c) {
  TFractViewProps p;
  p.SensOutside = c.outside;
  p.SensInside = c.inside;
  p.StrengthOutside = p.StrengthInside = unitFactorPosMore(c.strength);
  p.UsePalOutside = c.paletteOutside;
  p.UsePalDepthInside = c.paletteInside;
  p.UsePalDepthBackgroundInside = p.UsePalDepthForegroundInside = c.cyclePalettes;
  p.BackgroundColor = unitColor(c.background);
  p.MaxDepthColor = unitColor(0x336699);
  p.MaxDepthTransFactor = unitFactorPosMax1(0.4);
  for (TColorPalette1D* palette : {&p.PalOutside, &p.PalDepthInside}) {
    palette->SetCyclic(c.cyclic);
    // More stretches, one of length zero, and opacities below 1.
    palette->AddItem(0.3, 0x20C040, 0.35);
    palette->AddItem(0.3, 0xC02040, 0.8);
    // Super colours that differ from the colours, in fractions of a channel.
    TColorPalette1DItem* super = palette->AddItem(0.7, 0x4080F0, 0.6);
    super->SetSuperFactorBefore(unitFactor(1.37));
    super->SetSuperAnchorColorBefore(0x102030);
  }
  return p;
}

// Groups of four samples all outside, all inside, all at the maximum depth, and mixed; with
// tiny, large, infinite and NaN depths among them.
std::vector<float> Depths() {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> spread(0.0f, 2.5f);
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> depths = {1e-40f, 1e-10f, 0.5f,  1.0f,  -1e-40f, -1e-10f, -0.5f, -1.0f,
                               0.0f,   -0.0f,  nan,   0.0f,  inf,     1e30f,   2.0f,  3.0f,
                               -inf,   -1e30f, -2.0f, -3.0f, 0.25f,   -0.25f,  0.0f,  nan};
  for (int group = 0; group < 600; ++group) {
    const int kind = group % 4;
    for (int k = 0; k < 4; ++k) {
      const float d = spread(random);
      depths.push_back(kind == 0 ? d : kind == 1 ? -d : kind == 2 ? 0.0f : (k % 2 ? d : -d));
    }
  }
  depths.push_back(0.75f);  // a run that does not end on a whole group
  depths.push_back(-0.75f);
  return depths;
}

// The vector painter gives the one-sample path's bytes for every sample it paints, for the window
// and for export, mixed groups included, and leaves only the end of the run.
TEST(PixelVector, PaintsTheBytesOfTheOneSamplePath) {
  const Config configs[] = {
      {"mixes", ESensitivity::SensHigh, ESensitivity::SensHigh, 1.0, false, false, false, false, 3,
       0x000000},
      {"palettes", ESensitivity::SensHigh, ESensitivity::SensHigh, 1.0, true, true, false, false, 3,
       0x000000},
      {"cyclic", ESensitivity::SensLow, ESensitivity::SensNormal, 3.0, true, true, false, true, 3,
       0x8040C0},
      {"cycle colours", ESensitivity::SensNormal, ESensitivity::SensLow, 0.7, true, false, true,
       false, 7, 0xFFFFFF},
  };
  const std::vector<float> depths = Depths();
  std::mt19937 random(5);
  for (const Config& config : configs) {
    const TFractViewProps props = Props(config);
    std::uniform_int_distribution<std::int32_t> cycleSpread(-2, config.maxCycle + 3);
    std::vector<std::int32_t> cycles(depths.size());
    for (auto& cycle : cycles) cycle = cycleSpread(random);
    const double background[3] = {static_cast<double>(config.background & 0xFF),
                                  static_cast<double>((config.background >> 8) & 0xFF),
                                  static_cast<double>((config.background >> 16) & 0xFF)};
    const TSampleColorer colorer(props, config.maxCycle);
    const TSampleColor maxDepth = props.SampleColor(0.0f, 1, config.maxCycle, false);
    PixelVector::MaxDepthPixel maxDepthPixel;
    for (int k = 0; k < 3; ++k) {
      const double channel[3] = {maxDepth.red, maxDepth.green, maxDepth.blue};
      maxDepthPixel.display[k] = DisplayByte(channel[k], maxDepth.opacity, background[k]);
    }
    maxDepthPixel.exportColor = ExportColor(maxDepth);
    maxDepthPixel.exportAlpha = ExportAlpha(maxDepth);
    // Every vector width this processor has.
    std::vector<PixelVector> vectors;
    for (KernelPath widest : {KernelPath::AVX2, KernelPath::AVX512}) {
      if (CpuSupportsPath(widest)) {
        vectors.push_back(colorer.MakePixelVector(widest));
      }
    }
    if (vectors.empty()) GTEST_SKIP() << "no AVX2 on this processor";
    const int count = static_cast<int>(depths.size());
    const std::int32_t* const inputs[] = {cycles.data(), nullptr};
    for (std::size_t run = 0; run < 2 * vectors.size(); ++run) {
      const PixelVector& vector = vectors[run / 2];
      const std::int32_t* cycleInput = inputs[run % 2];
      SCOPED_TRACE("vector " + std::to_string(run / 2));
      ASSERT_TRUE(vector.usable());
      // Pixels three bytes apart at a stride of 5, with marks that show what was not painted.
      std::vector<std::uint8_t> out(static_cast<std::size_t>(count) * 5, 0xAB);
      std::vector<int> undone(depths.size());
      const int left = vector.Paint(depths.data(), cycleInput, count, background, maxDepthPixel,
                                    out.data(), 5, undone.data());
      std::vector<bool> painted(depths.size(), true);
      for (int k = 0; k < left; ++k) painted[static_cast<std::size_t>(undone[k])] = false;
      // The run ends with two samples that make no group.
      EXPECT_EQ(left, 2) << config.name;
      std::vector<std::uint32_t> colors(depths.size(), 0xABABABAB);
      std::vector<std::uint8_t> alpha(depths.size(), 0xAB);
      std::vector<int> exportUndone(depths.size());
      const int exportLeft = vector.Export(depths.data(), cycleInput, count, maxDepthPixel,
                                           colors.data(), alpha.data(), exportUndone.data());
      EXPECT_EQ(std::vector<int>(undone.begin(), undone.begin() + left),
                std::vector<int>(exportUndone.begin(), exportUndone.begin() + exportLeft));
      for (int i = 0; i < count; ++i) {
        if (!painted[static_cast<std::size_t>(i)]) continue;
        const TSampleColor c =
            props.SampleColor(depths[static_cast<std::size_t>(i)], cycleInput ? cycleInput[i] : 1,
                              config.maxCycle, false);
        const std::uint8_t want[3] = {DisplayByte(c.red, c.opacity, background[0]),
                                      DisplayByte(c.green, c.opacity, background[1]),
                                      DisplayByte(c.blue, c.opacity, background[2])};
        const std::uint8_t* got = out.data() + static_cast<std::size_t>(i) * 5;
        ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2] && got[3] == 0xAB &&
                    got[4] == 0xAB)
            << config.name << " sample " << i << " depth " << depths[static_cast<std::size_t>(i)];
        ASSERT_EQ(colors[static_cast<std::size_t>(i)], ExportColor(c)) << config.name << " " << i;
        ASSERT_EQ(alpha[static_cast<std::size_t>(i)], ExportAlpha(c)) << config.name << " " << i;
      }
      // The sample colours themselves, with the palettes' super colours too.
      for (bool interpolated : {false, true}) {
        std::vector<TSampleColor> samples(depths.size(), TSampleColor{-1, -1, -1, -1});
        std::vector<int> samplesUndone(depths.size());
        const int samplesLeft =
            vector.Samples(depths.data(), cycleInput, count, interpolated, maxDepth,
                           samples.data(), samplesUndone.data());
        EXPECT_EQ(std::vector<int>(undone.begin(), undone.begin() + left),
                  std::vector<int>(samplesUndone.begin(), samplesUndone.begin() + samplesLeft));
        for (int i = 0; i < count; ++i) {
          if (!painted[static_cast<std::size_t>(i)]) continue;
          const TSampleColor want =
              props.SampleColor(depths[static_cast<std::size_t>(i)],
                                cycleInput ? cycleInput[i] : 1, config.maxCycle, interpolated);
          const TSampleColor& got = samples[static_cast<std::size_t>(i)];
          ASSERT_TRUE(std::memcmp(&got, &want, sizeof want) == 0)
              << config.name << " sample " << i << " interpolated " << interpolated;
        }
      }
    }
  }
}

// The power curves have no vector form with the library's bits: such views are painted one
// sample at a time.
TEST(PixelVector, PowerCurvesAreLeftToTheOneSamplePath) {
  for (ESensitivity curve : {ESensitivity::SensVeryHigh, ESensitivity::SensCustom}) {
    TFractViewProps props;
    props.SensInside = curve;
    const TSampleColorer colorer(props, 3);
    EXPECT_FALSE(colorer.MakePixelVector().usable());
  }
}

}  // namespace
