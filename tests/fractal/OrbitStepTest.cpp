#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fractal/OrbitStep.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TKernelParams Formula(int formula, std::int32_t n = 5, std::int32_t m = 3) {
  TKernelParams params;
  params.formula = formula;
  params.n = n;
  params.m = m;
  params.mapVar = MapC;  // must not matter: c and d are given
  return params;
}

// The kernel's own step, whatever the parameters' map variable, plane or escape radius.
TEST(OrbitStepTest, OneStepOfTheFormulaWithTheGivenCAndD) {
  const TComplex z{0.3, 0.5}, c{-0.1, 0.2}, d{0.25, -0.5};
  const struct {
    int formula;
    TComplex expected;
  } cases[] = {
      {0, {(0.3 * 0.3 - 0.5 * 0.5) + -0.1, (2.0 * 0.3) * 0.5 + 0.2}},
      {1, {(0.3 * 0.3 * 0.3 - (3.0 * 0.3) * (0.5 * 0.5)) + -0.1,
           (-(0.5 * 0.5) * 0.5 + (3.0 * 0.5) * (0.3 * 0.3)) + 0.2}},
      {5, (IntPower(z, 5) + d * IntPower(z, 3)) + c},
      {10, Sin(z) + c},
  };
  for (const auto& t : cases) {
    TComplex w;
    ASSERT_TRUE(OrbitStep(Formula(t.formula), z, c, d, w)) << t.formula;
    EXPECT_EQ(w.re, t.expected.re) << t.formula;
    EXPECT_EQ(w.im, t.expected.im) << t.formula;
  }
}

TEST(OrbitStepTest, StepsBeyondTheEscapeRadiusAndFailsOnlyWithoutAFiniteResult) {
  TKernelParams params = Formula(0);
  params.outerCircle = 2.0;
  TComplex w;
  ASSERT_TRUE(OrbitStep(params, {10.0, 0.0}, {0.0, 0.0}, {}, w));  // no escape test
  EXPECT_EQ(w.re, 100.0);
  EXPECT_FALSE(OrbitStep(params, {1e200, 1e200}, {}, {}, w));
  EXPECT_TRUE(std::isnan(w.re));
  EXPECT_FALSE(OrbitStep(params, {kInf, 0.0}, {}, {}, w));
  EXPECT_FALSE(OrbitStep(params, {std::nan(""), 0.0}, {}, {}, w));
  EXPECT_TRUE(std::isnan(w.im));
}

}  // namespace
