#include "palette/TColorPalette1D.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "CheckRecorder.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::uint32_t Red(std::uint32_t color) { return color & 0xFF; }

std::vector<double> Positions(const TColorPalette1D& palette) {
  std::vector<double> positions;
  for (auto* item = palette.GetFirst(); item; item = item->GetNext()) {
    positions.push_back(item->GetDPosition());
  }
  return positions;
}

struct LookupCase {
  bool cyclic;
  double position;
  std::uint32_t color;
};

TEST(ColorPalette1DLookup, WrapsOrClampsThenInterpolatesTruncating) {
  const LookupCase cases[] = {
      {false, 0.5, 127},  {false, 1.7, kRed},  {false, -3, kBlack},  {false, 0.0, kBlack},
      {false, 1.0, kRed}, {false, kNaN, kBlack}, {false, kInf, kRed}, {false, -kInf, kBlack},
      {true, 1.0, kBlack}, {true, 1.25, 63},   {true, -0.25, 191},   {true, 7.5, 127},
      {true, kNaN, kBlack}, {true, kInf, kBlack}, {true, -kInf, kBlack},
  };
  CheckRecorder checks;
  for (const auto& c : cases) {
    const TColorPalette1D palette(c.cyclic, kBlack, 1.0, kRed, 1.0);
    EXPECT_EQ(palette.GetColor(c.position), c.color) << c.cyclic << " at " << c.position;
  }
  EXPECT_THAT(checks.Conditions(), IsEmpty());
}

TEST(ColorPalette1DLookup, ColorAfterMakesTheColourJumpAtTheItem) {
  TColorPalette1D palette(false, kBlack, 1.0, kBlack, 1.0);
  TColorPalette1DItem* item = palette.AddItem(0.5, kRed, 1.0);
  item->SetUseColorAfter(true);
  item->SetColorAfter(kBlue);
  EXPECT_EQ(palette.GetColor(0.5), kRed);
  EXPECT_EQ(palette.GetColor(0.4999), 0x0000FE);
  EXPECT_EQ(palette.GetColor(0.5001), 0xFE0000);
  // Switching the after side off falls back to the before colour; the stored value stays.
  item->SetUseColorAfter(false);
  EXPECT_EQ(palette.GetColor(0.5001), 0x0000FE);
  item->SetUseColorAfter(true);
  EXPECT_EQ(item->GetColorAfter(), kBlue);
}

TEST(ColorPalette1DLookup, TransparencyAndSuperColourInterpolate) {
  TColorPalette1D palette(false, kBlack, 1.0, kRed, 0.0);
  EXPECT_DOUBLE_EQ(palette.GetTransFactor(0.25), 0.75);
  EXPECT_DOUBLE_EQ(palette.GetTransFactor(-1), 1.0);

  // Colour 200, anchor 100, factor 3 on both ends: 400 on the whole stretch, unclamped.
  TColorPalette1D super(false, 200, 1.0, 3.0, 100, 200, 1.0, 3.0, 100);
  EXPECT_TRUE(super.GetSuperColorsEnabled());
  for (double x : {0.0, 0.3, 0.77, 1.0}) {
    double r = 0, g = 0, b = 0;
    super.GetSuperColor(x, r, g, b);
    EXPECT_DOUBLE_EQ(r, 400) << x;
    EXPECT_DOUBLE_EQ(g, 0) << x;
    EXPECT_DOUBLE_EQ(b, 0) << x;
  }
  // Factor 1 gives the plain colour (without truncation).
  TColorPalette1D plain(false, kBlack, 1.0, 1.0, kWhite, kRed, 1.0, 1.0, kWhite);
  double r = 0, g = 0, b = 0;
  plain.GetSuperColor(0.5, r, g, b);
  EXPECT_DOUBLE_EQ(r, 127.5);
  EXPECT_DOUBLE_EQ(g, 0);
}

TEST(ColorPalette1DLookup, ItemsAtTheSamePositionGiveTheLaterItemsValues) {
  CheckRecorder checks;
  TColorPalette1D palette(false, kBlack, 1.0, kWhite, 1.0);
  TColorPalette1DItem* earlier = palette.AddItem(0.5, kRed, 0.2);
  TColorPalette1DItem* later = palette.AddItem(0.5, kGreen, 0.6);
  later->SetUseColorAfter(true);
  later->SetColorAfter(kBlue);
  ASSERT_EQ(earlier->GetNext(), later);

  // Starting on the earlier item, the stretch to the later one has zero length.
  EXPECT_EQ(earlier->GetColor(0.5), kGreen);
  EXPECT_EQ(earlier->GetColor(0.1), kGreen);
  EXPECT_DOUBLE_EQ(earlier->GetTransFactor(0.5), 0.6);
  double r = kNaN, g = kNaN, b = kNaN;
  earlier->GetSuperColor(0.5, r, g, b);
  EXPECT_DOUBLE_EQ(g, 255);
  EXPECT_FALSE(std::isnan(r) || std::isnan(b));

  // Through the palette: the colour jumps from the earlier item's to the later item's after side.
  EXPECT_EQ(palette.GetColor(0.5), kRed);
  EXPECT_EQ(Red(palette.GetColor(0.25)), 127u);
  EXPECT_EQ(palette.GetColor(0.75) & 0xFF0000, 0xFF0000u);
  EXPECT_THAT(checks.Conditions(), IsEmpty());
}

TEST(ColorPalette1DLookup, ItemLevelCallsOnTheLastItemReportAndStaySound) {
  CheckRecorder checks;
  TColorPalette1D palette(false, kBlack, 1.0, kRed, 0.5);
  EXPECT_EQ(palette.GetLast()->GetColor(0.3), kRed);
  EXPECT_DOUBLE_EQ(palette.GetLast()->GetTransFactor(0.3), 0.5);
  // Beyond the last item from an earlier one: the end of the last stretch.
  EXPECT_EQ(palette.GetFirst()->GetColor(2.0), kRed);
  EXPECT_THAT(checks.Conditions(), ElementsAre("NextColorPalette1DItem != NULL",
                                               "NextColorPalette1DItem != NULL",
                                               "NextColorPalette1DItem != NULL"));
}

TEST(ColorPalette1DLookup, OneWalkSampleMatchesTheSingleLookups) {
  for (bool cyclic : {false, true}) {
    TColorPalette1D palette(cyclic, 0x102030, 0.25, 2.5, 0x808080, 0xF0E0D0, 1.0, -1.0, 0);
    palette.AddItem(0.2, kRed, 0.5)->SetUseColorAfter(true);
    palette.AddItem(0.5, kGreen, 0.0);
    palette.AddItem(0.5, kBlue, 0.75);
    for (double x : {-1.25, -0.0, 0.0, 0.1, 0.2, 0.35, 0.5, 0.50001, 0.9, 1.0, 3.7, kNaN, kInf}) {
      const TColorPalette1D::TSample plain = palette.GetSample(x, false);
      const std::uint32_t color = palette.GetColor(x);
      EXPECT_EQ(plain.red, color & 0xFF) << x;
      EXPECT_EQ(plain.green, (color >> 8) & 0xFF) << x;
      EXPECT_EQ(plain.blue, (color >> 16) & 0xFF) << x;
      EXPECT_EQ(plain.transFactor, palette.GetTransFactor(x)) << x;
      const TColorPalette1D::TSample super = palette.GetSample(x, true);
      double r = 0, g = 0, b = 0;
      palette.GetSuperColor(x, r, g, b);
      EXPECT_EQ(super.red, r) << x;
      EXPECT_EQ(super.green, g) << x;
      EXPECT_EQ(super.blue, b) << x;
      EXPECT_EQ(super.transFactor, plain.transFactor) << x;
    }
  }
}

TEST(ColorPalette1DChain, AddKeepsOrderAndTheEndItems) {
  CheckRecorder checks;
  TColorPalette1D palette(false, kBlack, 1.0, kRed, 1.0);
  TColorPalette1DItem* middle = palette.AddItem(0.5, kGreen, 1.0);
  palette.AddItem(0.25, kGreen, 1.0);
  TColorPalette1DItem* equal = palette.AddItem(0.5, kBlue, 1.0);
  EXPECT_EQ(middle->GetNext(), equal);
  // A position at 1 (or beyond) never gets past the last item.
  palette.AddItem(1.0, kWhite, 1.0);
  EXPECT_THAT(Positions(palette), ElementsAre(0, 0.25, 0.5, 0.5, 1, 1));
  EXPECT_EQ(palette.GetLast()->GetColorBefore(), kRed);
  EXPECT_THAT(checks.Conditions(), IsEmpty());

  EXPECT_EQ(palette.AddItem(0.0, kWhite, 1.0), nullptr);
  EXPECT_EQ(palette.AddItem(kNaN, kWhite, 1.0), nullptr);
  EXPECT_THAT(checks.Conditions(), ElementsAre("position > Position", "position > Position"));
  EXPECT_EQ(Positions(palette).size(), 6u);
}

TEST(ColorPalette1DChain, RemoveMoveAndNeighbours) {
  CheckRecorder checks;
  TColorPalette1D palette(false, kBlack, 1.0, kRed, 1.0);
  TColorPalette1DItem* a = palette.AddItem(0.2, kGreen, 1.0);
  TColorPalette1DItem* b = palette.AddItem(0.6, kBlue, 1.0);
  EXPECT_EQ(palette.GetPrevious(palette.GetFirst()), nullptr);
  EXPECT_EQ(palette.GetPrevious(b), a);
  EXPECT_TRUE(palette.PositionExists(0.6, a));
  EXPECT_FALSE(palette.PositionExists(0.6, b));

  unitFactorPosMoreLess1 position(0.9, EUnitKind::EHPerc);
  a->SetPosition(position);
  palette.MoveItem(a);
  EXPECT_THAT(Positions(palette), ElementsAre(0, 0.6, 0.9, 1));
  EXPECT_EQ(b->GetNext(), a);

  TColorPalette1D::TRemoved removed = palette.RemoveItem(b);
  EXPECT_EQ(removed.item.get(), b);
  EXPECT_EQ(removed.previous, palette.GetFirst());
  EXPECT_EQ(removed.item->GetNext(), nullptr);
  EXPECT_THAT(Positions(palette), ElementsAre(0, 0.9, 1));
  EXPECT_THAT(checks.Conditions(), IsEmpty());

  // The end items and items of other chains are never unlinked.
  EXPECT_EQ(palette.RemoveItem(palette.GetFirst()).item, nullptr);
  EXPECT_EQ(palette.RemoveItem(palette.GetLast()).item, nullptr);
  EXPECT_EQ(palette.RemoveItem(b).item, nullptr);
  EXPECT_THAT(Positions(palette), ElementsAre(0, 0.9, 1));
  const char* ends = "toRemove->GetDPosition() > 0 && toRemove->GetDPosition() < 1";
  EXPECT_THAT(checks.Conditions(),
              ElementsAre(ends, ends, "NextColorPalette1DItem != NULL", "prevItem"));
}

TEST(ColorPalette1DChain, AfterColourSettersRequireUseColorAfterButStore) {
  CheckRecorder checks;
  TColorPalette1D palette(false, kBlack, 1.0, kRed, 1.0);
  TColorPalette1DItem* item = palette.AddItem(0.5, kGreen, 1.0);
  item->SetColorAfter(kBlue);
  item->SetSuperAnchorColorAfter(kWhite);
  EXPECT_THAT(checks.Conditions(), ElementsAre("UseColorAfter", "UseColorAfter"));
  EXPECT_EQ(item->GetColorAfter(), kGreen);
  EXPECT_EQ(item->GetStoredAfterSide().Color, kBlue);
  EXPECT_EQ(item->GetStoredAfterSide().SuperAnchorColor, kWhite);
}

TEST(ColorPalette1DChain, CopiesAreDeepAndEqualityIsIdentity) {
  TColorPalette1D original(true, kBlack, 0.5, 2.0, kWhite, kRed, 0.25, 3.0, kGreen);
  TColorPalette1DItem* item = original.AddItem(0.5, kGreen, 0.75);
  item->SetUseColorAfter(true);
  item->SetColorAfter(kBlue);

  TColorPalette1D copy(original);
  EXPECT_TRUE(copy.GetSuperColorsEnabled());
  EXPECT_TRUE(copy.GetCyclic());
  EXPECT_NE(copy.GetFirst(), original.GetFirst());
  for (double x : {0.1, 0.5, 0.51, 0.9}) {
    EXPECT_EQ(copy.GetColor(x), original.GetColor(x));
    EXPECT_EQ(copy.GetTransFactor(x), original.GetTransFactor(x));
  }
  copy.GetFirst()->GetNext()->SetColorAfter(kWhite);
  EXPECT_EQ(item->GetColorAfter(), kBlue);

  EXPECT_TRUE(original == original);
  EXPECT_FALSE(copy == original);
  TColorPalette1D assigned(false, kWhite, 1.0, kWhite, 1.0);
  assigned = original;
  EXPECT_FALSE(assigned == original);
  EXPECT_EQ(Positions(assigned), Positions(original));
  EXPECT_TRUE(assigned.GetSuperColorsEnabled());
}

TEST(ColorPalette1DPreview, OneColourPerInnerColumn) {
  const TColorPalette1D palette(false, kBlack, 1.0, kRed, 1.0);
  // Columns 11..18 at x = 0/8 .. 7/8: the end colour itself is never shown.
  const std::vector<std::uint32_t> columns = palette.GetPreviewColumns(10, 20);
  ASSERT_EQ(columns.size(), 8u);
  EXPECT_EQ(columns.front(), kBlack);
  EXPECT_EQ(columns[1], 31u);
  EXPECT_EQ(columns.back(), 223u);
  EXPECT_THAT(palette.GetPreviewColumns(0, 2), IsEmpty());
  EXPECT_THAT(palette.GetPreviewColumns(5, 0), IsEmpty());
  EXPECT_EQ(palette.GetPreviewColumns(0, 3).size(), 1u);
}

}  // namespace
