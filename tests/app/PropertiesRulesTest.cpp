#include "app/PropertiesRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "fractal/TFractProps.h"
#include "view/ViewPropsContent.h"

namespace {

TEST(FormulaFieldsEnabled, FollowTheFormulaAndTheMapVariable) {
  struct Case {
    int formula;
    EMapVar map;
    bool c, d, n, m;
  } const cases[] = {
      {0, MapZ, true, false, false, false},  {3, MapZ, true, false, true, false},
      {4, MapZ, true, true, false, false},   {5, MapZ, true, true, true, true},
      {5, MapD, true, false, true, true},    {5, MapC, false, true, true, true},
      {6, MapZ, true, false, true, false},   {7, MapD, true, false, true, false},
      {8, MapZ, true, true, true, false},    {8, MapD, true, false, true, false},
      {12, MapC, false, false, false, false},
  };
  for (const Case& c : cases) {
    const TFormulaFieldsEnabled e = FormulaFieldsEnabled(c.formula, c.map);
    EXPECT_EQ(e.c, c.c) << c.formula << " " << int(c.map);
    EXPECT_EQ(e.d, c.d) << c.formula << " " << int(c.map);
    EXPECT_EQ(e.n, c.n) << c.formula << " " << int(c.map);
    EXPECT_EQ(e.m, c.m) << c.formula << " " << int(c.map);
  }
}

TEST(ResolutionCoupling, TruncatesTowardsZeroAndRefusesWhatDoesNotFit) {
  EXPECT_EQ(PixelsOfInternal(601, 2), 300);
  EXPECT_EQ(PixelsOfInternal(1, 2), 0);
  struct Case {
    std::int32_t value;
    double factor;
    bool ok;
    std::int32_t scaled;
  } const cases[] = {
      {600, 1.5, true, 900},         {300, 0.5, true, 150},
      {7, 1.0 / 3.0, true, 2},       {-7, 0.5, true, -3},
      {2000000000, 2.0, false, 42},  {5, INFINITY, false, 42},
      {5, NAN, false, 42},           {2147483647, 1.0, true, 2147483647},
  };
  for (const Case& c : cases) {
    std::int32_t scaled = 42;
    EXPECT_EQ(ScaleResolution(c.value, c.factor, scaled), c.ok) << c.value << " " << c.factor;
    EXPECT_EQ(scaled, c.scaled) << c.value << " " << c.factor;
  }
}

TEST(StrengthAdaptation, FactorIsTheDepthRatioToTheSensitivityExponent) {
  struct Case {
    ESensitivity sensitivity;
    double custom, factor;
  } const cases[] = {
      {ESensitivity::SensLow, 9, 4.0},
      {ESensitivity::SensNormal, 9, 2.0},
      {ESensitivity::SensHigh, 9, std::sqrt(2.0)},
      {ESensitivity::SensVeryHigh, 9, std::pow(2.0, 0.25)},
      {ESensitivity::SensCustom, 3, 8.0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(StrengthAdaptFactor(100, 200, SensitivityExponent(c.sensitivity, c.custom)),
                     c.factor)
        << int(c.sensitivity);
  }
}

TEST(StoreProperties, ShownFieldsStoreBackUnchanged) {
  TFractProps fract;
  fract.Formula = 5;
  fract.MapVar = MapD;
  fract.Left = unitFactor(-0.0000123);
  TFractViewProps view;
  view.ValuesPerPixel = unitIntegerPosMore(3);
  view.UsePalOutside = true;
  const TFractProps fractBefore = fract;
  const TFractViewProps viewBefore = view;
  std::string message;
  ASSERT_TRUE(StoreProperties(FieldsOf(fract, view), fract, view, message)) << message;
  EXPECT_EQ(fract, fractBefore);
  EXPECT_TRUE(ViewStoredEqual(view, viewBefore));
}

TEST(StoreProperties, StoresTypedValuesAndChoices) {
  TFractProps fract;
  TFractViewProps view;
  TPropertiesFields f = FieldsOf(fract, view);
  f.XResolution = "600";
  f.YResolution = "400";
  f.CR = "1,5";
  f.Formula = 7;
  f.MapVar = MapC;
  f.ColorsDiscontinue = true;
  f.CycleSelection = DepthLowest;
  f.StrengthOutside = "3/4";
  f.SensInside = ESensitivity::SensCustom;
  f.UpdateResolution = false;
  f.UsePalDepthForegroundInside = true;
  f.MaxDepthTransFactor = "50%";
  std::string message;
  ASSERT_TRUE(StoreProperties(f, fract, view, message)) << message;
  EXPECT_EQ(fract.XResolution.GetValue(), 600);
  EXPECT_EQ(fract.YResolution.GetValue(), 400);
  EXPECT_EQ(fract.CR.GetValue(), 1.5);
  EXPECT_EQ(fract.Formula, 7);
  EXPECT_EQ(fract.MapVar, MapC);
  EXPECT_TRUE(fract.ColorsDiscontinue);
  EXPECT_EQ(fract.CycleSelection, DepthLowest);
  EXPECT_EQ(view.StrengthOutside.GetValue(), 0.75);
  EXPECT_EQ(view.SensInside, ESensitivity::SensCustom);
  EXPECT_FALSE(view.UpdateResolution);
  EXPECT_TRUE(view.UsePalDepthForegroundInside);
  EXPECT_EQ(view.MaxDepthTransFactor.ToText(), "50 %");
}

// A failing field leaves both objects exactly as they were, even when earlier fields parsed
// (OK then Cancel must not leave half an edit in the document), and names only the first
// failing field.
TEST(StoreProperties, FailureNamesTheFirstBadFieldAndStoresNothing) {
  using Edit = std::function<void(TPropertiesFields&)>;
  struct Case {
    Edit edit;
    std::string message;
  } const cases[] = {
      {[](auto& f) { f.Left = "abc"; f.Right = "x"; }, "In Selection Left: Input has no value."},
      {[](auto& f) { f.Bottom = "3/0"; }, "In Selection Bottom: Broke is invalid."},
      {[](auto& f) { f.XResolution = "0"; },
       "In Horizontal Resolution: Value must be positive and more than 0."},
      {[](auto& f) { f.XResolution = "50000"; f.YResolution = "50000"; },
       "In Vertical Resolution: The resolution 50000 x 50000 has more than 2147483647 samples."},
      {[](auto& f) { f.Left = "0.5"; f.Right = "0.50000000000001"; },
       "In Selection Right: Zoom limit reached: double precision"},
      {[](auto& f) { f.M = "2.5"; }, "In M: Invalid value: \"2.5\"."},
      {[](auto& f) { f.OuterCircle = "1"; f.MaxCycle = "-1"; },
       "In Outer Circle: Value must be more than 1."},
      {[](auto& f) { f.InnerDist = "1"; }, "In Inner Distance: Value must be less than 1."},
      {[](auto& f) { f.MaxCycle = "-1"; }, "In Max Cycles to Detect: Value must be positive."},
      {[](auto& f) { f.StrengthInside = "1 km"; },
       "In Strength Inside: Wrong unit used, use: '%' or no unit."},
      {[](auto& f) { f.ValuesPerPixel = "301"; },
       "In More Values per Pixel: Value must be no more than the internal resolution."},
      {[](auto& f) { f.MaxDepthTransFactor = "2"; },
       "In Max Depth, Strength: Value must be no more than 1."},
  };
  for (const Case& c : cases) {
    TFractProps fract;
    TFractViewProps view;
    TPropertiesFields f = FieldsOf(fract, view);
    f.Formula = 9;  // a choice that would be stored if anything were
    f.UsePalOutside = true;
    f.Top = "0.25";
    c.edit(f);
    const TFractProps fractBefore = fract;
    const TFractViewProps viewBefore = view;
    std::string message;
    EXPECT_FALSE(StoreProperties(f, fract, view, message)) << c.message;
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(fract, fractBefore) << c.message;
    EXPECT_TRUE(ViewStoredEqual(view, viewBefore)) << c.message;
  }
}

TEST(StoreProperties, AKeptRectangleBeyondThePrecisionStaysEditable) {
  TFractProps fract;
  fract.Left = unitFactor(0.5);
  fract.Right = unitFactor(0.50000000000001);
  TFractViewProps view;
  TPropertiesFields f = FieldsOf(fract, view);
  f.MaxDepth = "200";
  std::string message;
  EXPECT_TRUE(StoreProperties(f, fract, view, message)) << message;
  EXPECT_EQ(fract.MaxDepth.GetValue(), 200);
}

}  // namespace
