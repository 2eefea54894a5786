#include "view/ViewPropsContent.h"

#include <gtest/gtest.h>

#include <functional>

#include "view/TFractViewProps.h"

namespace {

TEST(ViewPropsContent, CopiesEqualByContentThoughNotByIdentity) {
  TFractViewProps a;
  a.PalOutside.AddItem(0.25, 0x123456, 0.5);
  const TFractViewProps b = a;
  EXPECT_FALSE(a == b);  // palettes compare by identity
  EXPECT_TRUE(ViewColoringEqual(a, b));
  EXPECT_TRUE(ViewStoredEqual(a, b));
}

// Each edit alone must count as a difference of the kind given.
TEST(ViewPropsContent, EveryStoredFieldCounts) {
  using Edit = std::function<void(TFractViewProps&)>;
  struct Case {
    const char* what;
    Edit edit;
    bool recolours;  // false: stored only
  } const cases[] = {
      {"sensitivity", [](auto& v) { v.SensInside = ESensitivity::SensLow; }, true},
      {"exponent", [](auto& v) { v.SensExponentOutside = unitFactorPosMore(0.8); }, true},
      {"strength", [](auto& v) { v.StrengthInside = unitFactorPosMore(2); }, true},
      {"mix colour", [](auto& v) { v.ColorForegroundInside = unitColor(1); }, true},
      {"background", [](auto& v) { v.BackgroundColor = unitColor(1); }, true},
      {"use palette", [](auto& v) { v.UsePalDepthBackgroundInside = true; }, true},
      {"values per pixel", [](auto& v) { v.ValuesPerPixel = unitIntegerPosMore(2); }, true},
      {"max depth strength",
       [](auto& v) { v.MaxDepthTransFactor = unitFactorPosMax1(0.5, EUnitKind::EHPerc); }, true},
      {"cyclic", [](auto& v) { v.PalDepthInside.SetCyclic(true); }, true},
      {"added item", [](auto& v) { v.PalOutside.AddItem(0.5, 0, 1.0); }, true},
      {"item colour", [](auto& v) { v.PalDepthForegroundInside.GetLast()->SetColorBefore(7); },
       true},
      {"item factor unit",
       [](auto& v) {
         v.PalOutside.GetFirst()->SetTransFactorBefore(unitFactorPosMax1(1.0, EUnitKind::EHNone));
       },
       true},
      {"item super factor",
       [](auto& v) { v.PalOutside.GetLast()->SetSuperFactorBefore(unitFactor(2)); }, true},
      {"item anchor",
       [](auto& v) { v.PalOutside.GetLast()->SetSuperAnchorColorBefore(0xFF); }, true},
      {"stored after side",
       [](auto& v) {
         TColorPalette1DSide side;
         side.Color = 0xABCDEF;
         v.PalDepthBackgroundInside.GetFirst()->SetStoredAfterSide(side);
       },
       true},
      {"use colour after",
       [](auto& v) { v.PalOutside.AddItem(0.5, 0, 1.0)->SetUseColorAfter(true); }, true},
      {"adapt flag", [](auto& v) { v.AdaptStrengthOutside = false; }, false},
      {"update resolution", [](auto& v) { v.UpdateResolution = false; }, false},
  };
  for (const Case& c : cases) {
    const TFractViewProps original;
    TFractViewProps edited = original;
    c.edit(edited);
    EXPECT_EQ(ViewColoringEqual(original, edited), !c.recolours) << c.what;
    EXPECT_FALSE(ViewStoredEqual(original, edited)) << c.what;
  }
}

TEST(ViewPropsContent, ChainsOfDifferentLengthDiffer) {
  TColorPalette1D a(false, 0, 1.0, 0xFFFFFF, 1.0);
  TColorPalette1D b = a;
  b.AddItem(0.5, a.GetColor(0.5), 1.0);
  EXPECT_FALSE(PaletteContentEqual(a, b));
  EXPECT_FALSE(PaletteContentEqual(b, a));
  a.AddItem(0.5, a.GetColor(0.5), 1.0);
  EXPECT_TRUE(PaletteContentEqual(a, b));
}

}  // namespace
