#include "fractal/TFractProps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fractal/TKernelParams.h"

TEST(TFractProps, ANewFractalIsTheDefaultJuliaPicture) {
  const TFractProps p;
  EXPECT_EQ(p.XResolution.GetValue(), 300);
  EXPECT_EQ(p.YResolution.GetValue(), 300);
  EXPECT_EQ(p.Left.GetValue(), -1.5);
  EXPECT_EQ(p.Right.GetValue(), 1.5);
  EXPECT_EQ(p.Top.GetValue(), 1.5);
  EXPECT_EQ(p.Bottom.GetValue(), -1.5);
  EXPECT_EQ(p.CycleSelection, CycleLowest);
  EXPECT_EQ(p.MaxDepth.GetValue(), 100);
  EXPECT_EQ(p.OuterCircle.GetValue(), 1000.0);
  EXPECT_EQ(p.InnerDist.GetValue(), 0.0001);
  EXPECT_EQ(p.MaxCycle.GetValue(), 3);
  EXPECT_EQ(p.Formula, 0);
  EXPECT_EQ(p.MapVar, MapZ);
  EXPECT_EQ(p.CR.GetValue(), -0.122561);
  EXPECT_EQ(p.CI.GetValue(), -0.744862);
  EXPECT_EQ(p.DR.GetValue(), -0.3);
  EXPECT_EQ(p.DI.GetValue(), -0.3);
  EXPECT_EQ(p.N.GetValue(), 5);
  EXPECT_EQ(p.M.GetValue(), 3);
  EXPECT_FALSE(p.ColorsDiscontinue);
  // The range rules of the value classes come with the fields.
  EXPECT_EQ(p.OuterCircle.GetRangeRule(), ERangeRule::OneMore);
  EXPECT_EQ(p.InnerDist.GetRangeRule(), ERangeRule::ZeroExclOneExcl);
  EXPECT_EQ(p.MaxCycle.GetRangeRule(), ERangeRule::Positive);
  EXPECT_EQ(p.MaxDepth.GetRangeRule(), ERangeRule::PositiveNotZero);
}

TEST(TFractProps, EveryFieldTakesPartInEquality) {
  const std::vector<std::pair<const char*, std::function<void(TFractProps&)>>> edits = {
      {"XResolution", [](TFractProps& p) { p.XResolution.SetValue(301); }},
      {"YResolution", [](TFractProps& p) { p.YResolution.SetValue(299); }},
      {"Left", [](TFractProps& p) { p.Left.SetValue(-1.5000000000000002); }},
      {"Right", [](TFractProps& p) { p.Right.SetValue(2.0); }},
      {"Top", [](TFractProps& p) { p.Top.SetValue(1.0); }},
      {"Bottom", [](TFractProps& p) { p.Bottom.SetValue(-1.0); }},
      {"CycleSelection", [](TFractProps& p) { p.CycleSelection = DepthLowest; }},
      {"MaxDepth", [](TFractProps& p) { p.MaxDepth.SetValue(101); }},
      {"OuterCircle", [](TFractProps& p) { p.OuterCircle.SetValue(2.0); }},
      {"InnerDist", [](TFractProps& p) { p.InnerDist.SetValue(0.001); }},
      {"MaxCycle", [](TFractProps& p) { p.MaxCycle.SetValue(0); }},
      {"Formula", [](TFractProps& p) { p.Formula = 12; }},
      {"MapVar", [](TFractProps& p) { p.MapVar = MapC; }},
      {"CR", [](TFractProps& p) { p.CR.SetValue(0.0); }},
      {"CI", [](TFractProps& p) { p.CI.SetValue(0.0); }},
      {"DR", [](TFractProps& p) { p.DR.SetValue(0.0); }},
      {"DI", [](TFractProps& p) { p.DI.SetValue(0.0); }},
      {"N", [](TFractProps& p) { p.N.SetValue(6); }},
      {"M", [](TFractProps& p) { p.M.SetValue(4); }},
      {"ColorsDiscontinue", [](TFractProps& p) { p.ColorsDiscontinue = true; }},
  };
  for (const auto& [field, edit] : edits) {
    TFractProps changed;
    edit(changed);
    EXPECT_FALSE(changed == TFractProps()) << field;
    EXPECT_TRUE(changed.Changed(TFractProps())) << field;
    TFractProps copy(changed);
    EXPECT_TRUE(copy == changed) << field;
    TFractProps assigned;
    assigned = changed;
    EXPECT_FALSE(assigned.Changed(changed)) << field;
  }
}

TEST(TFractProps, SamplesStartOnLeftAndTopAndStopOneStepShort) {
  TFractProps p;
  p.XResolution.SetValue(4);
  p.YResolution.SetValue(2);
  p.Left.SetValue(-2.0);
  p.Right.SetValue(2.0);
  p.Top.SetValue(1.0);
  p.Bottom.SetValue(-1.0);
  EXPECT_EQ(p.SampleX(0), -2.0);
  EXPECT_EQ(p.SampleX(3), 1.0);
  EXPECT_EQ(p.SampleY(0), 1.0);
  EXPECT_EQ(p.SampleY(1), 0.0);
  p.XResolution.SetValue(1);
  p.Left.SetValue(0.1);
  EXPECT_EQ(p.SampleX(0), 0.1);
}

TEST(TFractProps, TheKernelSnapshotReadsEveryField) {
  TFractProps p;
  p.XResolution.SetValue(7);
  p.YResolution.SetValue(9);
  p.Left.SetValue(-3.0);
  p.Right.SetValue(3.0);
  p.Top.SetValue(2.0);
  p.Bottom.SetValue(-2.0);
  p.CycleSelection = CycleHighest;
  p.MaxDepth.SetValue(55);
  p.OuterCircle.SetValue(4.0);
  p.InnerDist.SetValue(0.01);
  p.MaxCycle.SetValue(6);
  p.Formula = 8;
  p.MapVar = MapD;
  p.CR.SetValue(0.1);
  p.CI.SetValue(0.2);
  p.DR.SetValue(0.3);
  p.DI.SetValue(0.4);
  p.N.SetValue(7);
  p.M.SetValue(8);
  p.ColorsDiscontinue = true;
  const TKernelParams k = TKernelParams::FromProps(p, KernelPath::Scalar);
  EXPECT_EQ(k.xResolution, 7);
  EXPECT_EQ(k.yResolution, 9);
  EXPECT_EQ(k.left, -3.0);
  EXPECT_EQ(k.right, 3.0);
  EXPECT_EQ(k.top, 2.0);
  EXPECT_EQ(k.bottom, -2.0);
  EXPECT_EQ(k.cycleSelection, CycleHighest);
  EXPECT_EQ(k.maxDepth, 55);
  EXPECT_EQ(k.outerCircle, 4.0);
  EXPECT_EQ(k.innerDist, 0.01);
  EXPECT_EQ(k.maxCycle, 6);
  EXPECT_EQ(k.formula, 8);
  EXPECT_EQ(k.mapVar, MapD);
  EXPECT_EQ(k.cr, 0.1);
  EXPECT_EQ(k.ci, 0.2);
  EXPECT_EQ(k.dr, 0.3);
  EXPECT_EQ(k.di, 0.4);
  EXPECT_EQ(k.n, 7);
  EXPECT_EQ(k.m, 8);
  EXPECT_FALSE(k.smooth);
  EXPECT_EQ(k.path, KernelPath::Scalar);
}
