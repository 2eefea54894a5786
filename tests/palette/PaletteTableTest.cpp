#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "palette/PaletteTable.h"

namespace {

// Five items with after sides, super factors and anchors, and two items at one position (a
// stretch of length zero).
TColorPalette1D ManyItems(bool cyclic) {
  TColorPalette1D palette(cyclic, 0x102030, 0.25, 1.5, 0x080808, 0xF0E0D0, 0.75, 0.5, 0x404040);
  TColorPalette1DItem* a = palette.AddItem(0.2, 0x00FF00, 0.5);
  a->SetUseColorAfter(true);
  a->SetColorAfter(0xFF0000);
  a->SetTransFactorAfter(unitFactorPosMax1(0.9));
  a->SetSuperFactorAfter(unitFactor(-0.75));
  a->SetSuperAnchorColorAfter(0x7F7F7F);
  palette.AddItem(0.6, 0x0000FF, 0.0);
  palette.AddItem(0.6, 0x123456, 1.0)->SetSuperFactorBefore(unitFactor(2.25));
  return palette;
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The table's lookups are the palette's, bit for bit, with and without super colours, for
// positions in every stretch, at and between the items, outside 0..1, infinite and NaN.
TEST(PaletteTable, LooksUpExactlyWhatThePaletteGives) {
  std::vector<double> positions = {0.0,
                                   -0.0,
                                   0.2,
                                   0.6,
                                   1.0,
                                   0.1999999,
                                   0.6000001,
                                   0.999,
                                   -0.3,
                                   1.7,
                                   -2.25,
                                   3.0,
                                   1e300,
                                   -1e-300,
                                   std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN()};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> spread(-1.5, 2.5);
  for (int i = 0; i < 2000; ++i) positions.push_back(spread(random));
  for (bool cyclic : {false, true}) {
    const TColorPalette1D plain(cyclic, 0x000000, 1.0, 0xFF8000, 0.5);
    const TColorPalette1D many = ManyItems(cyclic);
    for (const TColorPalette1D* palette : {&plain, &many}) {
      const PaletteTable table(*palette);
      EXPECT_TRUE(table.Countable());
      for (double position : positions) {
        for (bool super : {false, true}) {
          const auto want = palette->GetSample(position, super);
          const auto got = table.GetSample(position, super);
          ASSERT_TRUE(SameBits(got.red, want.red) && SameBits(got.green, want.green) &&
                      SameBits(got.blue, want.blue) && SameBits(got.transFactor, want.transFactor))
              << "cyclic " << cyclic << " position " << position << " super " << super;
        }
      }
    }
  }
}

}  // namespace
