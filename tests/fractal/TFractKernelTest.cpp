#include "fractal/TFractKernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "KernelTestHelpers.h"
#include "fractal/OrbitMapper.h"

namespace {

struct Outcome {
  float depth;
  int cycle;
};

// The depth and cycle number of the single sample at plane point (x, y).
Outcome Sample(TKernelParams p, double x, double y, KernelPath path = KernelPath::Scalar) {
  const TKernelParams where = OnePoint(x, y);
  p.xResolution = p.yResolution = 1;
  p.left = where.left;
  p.right = where.right;
  p.top = where.top;
  p.bottom = where.bottom;
  p.path = path;
  const auto result = ComputeWithKernel(p);
  return {result->GetDepth(0, 0), result->GetCycle(0, 0)};
}

float Depth(double count, int maxDepth) {
  return static_cast<float>(count / static_cast<double>(maxDepth));
}

TKernelParams Julia(int formula, double cr, double ci) {
  TKernelParams p;
  p.formula = formula;
  p.mapVar = MapZ;
  p.cr = cr;
  p.ci = ci;
  return p;
}

}  // namespace

TEST(TFractKernel, TheOriginWithCZeroIsAFixedPointFoundByEachSelection) {
  struct Case {
    ECycleSelection selection;
    int maxCycle;
    double count;
    int cycle;
  };
  // w = 0 at every step: step 1 finds no history, step 2 is near entry 0; CycleHighest waits
  // until the last entry is near (step K + 1).
  for (const Case& c : {Case{CycleLowest, 3, -2, 1}, Case{DepthLowest, 3, -2, 1},
                        Case{CycleHighest, 3, -4, 3}, Case{CycleHighest, 2, -3, 2},
                        Case{CycleLowest, 0, 0, 0}, Case{DepthLowest, 0, 0, 0}}) {
    TKernelParams p = Julia(0, 0.0, 0.0);
    p.cycleSelection = c.selection;
    p.maxCycle = c.maxCycle;
    const Outcome o = Sample(p, 0.0, 0.0);
    EXPECT_EQ(o.depth, Depth(c.count, p.maxDepth)) << c.selection << " K " << c.maxCycle;
    EXPECT_EQ(o.cycle, c.maxCycle > 1 ? c.cycle : 1) << c.selection << " K " << c.maxCycle;
  }
}

TEST(TFractKernel, ATwoCycleIsRecordedAndChosenAtMaximalDepth) {
  // z^2 - 1 from 0: -1, 0, -1, 0, ... never near entry 0, near entry 1 from step 3 on.
  struct Case {
    ECycleSelection selection;
    double count;
    int cycle;
  };
  for (const Case& c : {Case{CycleLowest, -3, 2}, Case{CycleHighest, -3, 2},
                        Case{DepthLowest, -3, 2}}) {
    TKernelParams p = Julia(0, -1.0, 0.0);
    p.cycleSelection = c.selection;
    const Outcome o = Sample(p, 0.0, 0.0);
    EXPECT_EQ(o.depth, Depth(c.count, p.maxDepth)) << c.selection;
    EXPECT_EQ(o.cycle, c.cycle) << c.selection;
  }
}

TEST(TFractKernel, MaximalDepthOneStoresZeroEverywhere) {
  for (int formula = 0; formula <= 12; ++formula) {
    TKernelParams p = Julia(formula, 0.3, 0.2);
    p.maxDepth = 1;
    p.xResolution = p.yResolution = 6;
    const auto result = ComputeWithKernel(p);
    for (int x = 0; x < 6; ++x) {
      for (int y = 0; y < 6; ++y) {
        EXPECT_EQ(result->GetDepth(x, y), 0.0f) << formula;
        EXPECT_EQ(result->GetCycle(x, y), 0) << formula;
      }
    }
  }
}

TEST(TFractKernel, EscapeCountsAreSmoothedForThePowerFormulasOnly) {
  struct Case {
    int formula;
    double x;
    bool smooth;
    double count;  // expected, from the escape at step k with r2
  };
  const double lnR2 = std::log(9.0);
  // From x real with c = 0: formula 0 escapes at step 2 from 1.5 (r2 = 1.5^8), step 1 from 2
  // (r2 = 16), whose smoothed count is negative and becomes the floor 0.0001.
  const std::vector<Case> cases = {
      {0, 1.5, true, 2.0 - 1.0 * std::log(std::pow(1.5, 8.0)) / lnR2},
      {0, 1.5, false, 2.0},
      {0, 2.0, true, 0.0001},
      {1, 1.5, true, 1.0 - 0.5 * std::log(std::pow(1.5, 6.0)) / lnR2},
      {2, 1.5, true, 1.0 - 0.3333333333333333 * std::log(std::pow(1.5, 8.0)) / lnR2},
      {9, 3.0, true, 1.0},  // other formulas keep the whole count
  };
  for (const Case& c : cases) {
    TKernelParams p = Julia(c.formula, 0.0, 0.0);
    p.outerCircle = 3.0;
    p.smooth = c.smooth;
    EXPECT_FLOAT_EQ(Sample(p, c.x, 0.0).depth, Depth(c.count, p.maxDepth))
        << "formula " << c.formula << " from " << c.x;
  }
}

TEST(TFractKernel, PolarFormulaWithExponentTwoFollowsZSquaredPlusC) {
  TKernelParams square;
  square.mapVar = MapC;
  square.left = -2.0;
  square.right = 1.0;
  square.top = 1.5;
  square.bottom = -1.5;
  square.xResolution = square.yResolution = 40;
  square.smooth = false;
  square.maxDepth = 60;
  TKernelParams polar = square;
  polar.formula = 3;
  polar.n = 2;
  const auto a = ComputeWithKernel(square);
  const auto b = ComputeWithKernel(polar);
  int same = 0;
  for (int x = 0; x < 40; ++x) {
    for (int y = 0; y < 40; ++y) {
      same += a->GetDepth(x, y) == b->GetDepth(x, y) && a->GetCycle(x, y) == b->GetCycle(x, y);
    }
  }
  EXPECT_GE(same, 40 * 40 * 97 / 100);  // rounding may differ at the set's edge
}

TEST(TFractKernel, PolarFormulaClampsTheArcsineArgument) {
  // At z = 1e-160 i, sqrt(Y * Y) rounds below |Y| and Y / r exceeds 1: without the clamp the
  // arcsine fails and the sample counts as escaped at step 1. With it, r^2 underflows to 0,
  // the orbit is at 0 from step 2 on and period 1 is found.
  TKernelParams p = Julia(3, 0.0, 0.0);
  p.n = 2;
  const Outcome o = Sample(p, 0.0, 1e-160);
  EXPECT_EQ(o.depth, Depth(-2, p.maxDepth));
  EXPECT_EQ(o.cycle, 1);
}

TEST(TFractKernel, FormulaSevenLeavesPointsOnTheAxesWhereTheyAre) {
  TKernelParams p = Julia(7, 0.4, 0.3);
  for (const auto& [x, y] : {std::pair{0.5, 0.0}, std::pair{0.0, -0.7}}) {
    const Outcome o = Sample(p, x, y);
    EXPECT_EQ(o.depth, Depth(-2, p.maxDepth)) << x << ", " << y;
    EXPECT_EQ(o.cycle, 1);
  }
}

TEST(TFractKernel, ArithmeticFailuresEndTheSampleAsOutsideWithTheCountReached) {
  struct Case {
    const char* what;
    int formula;
    double x;
    double outerCircle;
    double count;
  };
  const std::vector<Case> cases = {
      {"exp overflows", 9, 800.0, 1000.0, 1},
      {"r2 overflows", 9, 700.0, 1000.0, 1},
      // Smoothing would have given the floor 0.0001: a failure keeps the count.
      {"square overflows", 0, 1e200, 1000.0, 1},
      // No escape radius is reachable: r2 = (2^(2^k))^2 overflows at step 9.
      {"orbit overflows", 0, 2.0, 1e300, 9},
      {"sine overflows", 10, 0.0, 1e300, 1},
  };
  for (const Case& c : cases) {
    TKernelParams p = Julia(c.formula, 0.0, 0.0);
    p.outerCircle = c.outerCircle;
    const double y = c.formula == 10 ? 800.0 : 0.0;
    const Outcome o = Sample(p, c.x, y);
    EXPECT_EQ(o.depth, Depth(c.count, p.maxDepth)) << c.what;
    EXPECT_EQ(o.cycle, 0) << c.what;
  }
}

TEST(TFractKernel, GradualUnderflowIsNotAFailure) {
  // 1e-200 squared underflows to 0: the orbit sits at 0, which is inside.
  TKernelParams p = Julia(0, 0.0, 0.0);
  p.maxCycle = 0;
  EXPECT_EQ(Sample(p, 1e-200, 0.0).depth, 0.0f);
  p.maxCycle = 3;
  const Outcome o = Sample(p, 1e-200, 0.0);
  EXPECT_EQ(o.depth, Depth(-2, p.maxDepth));
  EXPECT_EQ(o.cycle, 1);
  for (KernelPath path : {KernelPath::AVX2, KernelPath::AVX512}) {
    if (CpuSupportsPath(path)) {
      EXPECT_EQ(Sample(p, 1e-200, 0.0, path).depth, o.depth);
    }
  }
}

TEST(TFractKernel, HugeExponentsCostOnlyAFewDozenProducts) {
  TKernelParams p = Julia(5, 0.1, 0.0);
  p.dr = p.di = 0.0;
  p.n = p.m = INT_MAX;
  // |z| > 1 overflows at step 1; from 0.5 the powers vanish and w = c is a fixed point.
  EXPECT_EQ(Sample(p, 2.0, 0.0).depth, Depth(1, p.maxDepth));
  EXPECT_EQ(Sample(p, 0.5, 0.0).depth, Depth(-2, p.maxDepth));
  for (int formula : {3, 5, 6, 7, 8}) {
    p.formula = formula;
    p.xResolution = p.yResolution = 12;
    const auto start = std::chrono::steady_clock::now();
    ComputeWithKernel(p);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << formula;
  }
}

TEST(TFractKernel, IntegerPowerMatchesRepeatedProducts) {
  const TComplex z{1.0, 1.0};  // (1 + i)^k has small integer parts, so both are exact
  TComplex product = z;
  for (int k = 1; k <= 40; ++k) {
    const TComplex power = IntPower(z, k);
    EXPECT_EQ(power.re, product.re) << k;
    EXPECT_EQ(power.im, product.im) << k;
    product = product * z;
  }
}

TEST(TFractKernel, HugeMaxCycleNeedsNoHugeHistory) {
  TKernelParams p;
  p.mapVar = MapC;
  p.left = -2.0;
  p.right = 0.5;
  p.xResolution = p.yResolution = 10;
  p.maxDepth = 300;
  for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
    p.cycleSelection = selection;
    p.maxCycle = p.maxDepth;  // already more entries than an orbit can fill
    const auto bounded = ComputeWithKernel(p);
    p.maxCycle = INT_MAX;
    const auto huge = ComputeWithKernel(p);
    EXPECT_TRUE(SamePlanes(*bounded, *huge)) << selection;
  }
  p.maxDepth = INT_MAX;  // neither bound helps: the history grows only as orbits need
  std::string error;
  EXPECT_NE(TFractKernel::Create(p, nullptr, error), nullptr);
  EXPECT_GT(Sample(p, 5.0, 5.0).depth, 0.0f);
}

TEST(TFractKernel, UnfilledHistoryEntriesCountAsPointsAt1000Plus1000i) {
  // With c = 1000 + 1000i the first step from 0 lands exactly on the start value of every
  // history entry; from sqrt(-c) the second step does. CycleHighest then ends with period K
  // even for K far beyond the filled entries.
  struct Case {
    ECycleSelection selection;
    int maxCycle;
    double x, y;
    double count;
    int cycle;
  };
  const double rx = 14.391204994250742, ry = -34.743442276011564;
  for (const Case& c : {Case{CycleLowest, 5, 0, 0, -1, 1}, Case{DepthLowest, 5, 0, 0, -1, 1},
                        Case{CycleHighest, INT_MAX, 0, 0, -1, INT_MAX},
                        Case{CycleHighest, 5, rx, ry, -2, 5}, Case{DepthLowest, 5, rx, ry, -2, 2}}) {
    TKernelParams p = Julia(0, 1000.0, 1000.0);
    p.outerCircle = 5000.0;
    p.cycleSelection = c.selection;
    p.maxCycle = c.maxCycle;
    for (KernelPath path : {KernelPath::Scalar, KernelPath::AVX2, KernelPath::AVX512}) {
      if (!CpuSupportsPath(path)) continue;
      const Outcome o = Sample(p, c.x, c.y, path);
      EXPECT_EQ(o.depth, Depth(c.count, p.maxDepth)) << c.selection << " " << KernelPathName(path);
      EXPECT_EQ(o.cycle, c.cycle) << c.selection << " " << KernelPathName(path);
    }
  }
}

namespace {

// A picture mapping that adds a fixed colour and opacity per step and records its calls.
class FakeMapper : public TOrbitMapper {
 public:
  explicit FakeMapper(double opacityPerStep) : opacity_(opacityPerStep) {}

  struct Call {
    double wRe, wIm, qRe, qIm;
    int step;
  };

  void MapSample(double wRe, double wIm, double qRe, double qIm, int step, double& R, double& G,
                 double& B, double& A) const override {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back({wRe, wIm, qRe, qIm, step});
    R += 100.7;
    G += 20.2;
    B += 3.9;
    A += opacity_;
  }

  std::vector<Call> Calls() const { return calls_; }

 private:
  double opacity_;
  mutable std::mutex mutex_;
  mutable std::vector<Call> calls_;
};

}  // namespace

TEST(TFractKernel, PicturesSeeEveryStepAndEndTheSampleWhenOpaque) {
  // From 0 with c = 1 + i: w1 = 1 + i (q = 0.5 - 0.5i), w2 = 1 + 3i.
  const FakeMapper mapper(0.5);
  TKernelParams p = Julia(0, 1.0, 1.0);
  p.xResolution = p.yResolution = 1;
  p.left = p.top = 0.0;
  p.maxCycle = 3;
  const auto result = ComputeWithKernel(p, &mapper);
  ASSERT_TRUE(result->HasColors());
  const auto calls = mapper.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].step, 1);
  EXPECT_EQ(calls[0].wRe, 1.0);
  EXPECT_EQ(calls[0].wIm, 1.0);
  EXPECT_EQ(calls[0].qRe, 0.5);
  EXPECT_EQ(calls[0].qIm, -0.5);
  EXPECT_EQ(calls[1].step, 2);
  EXPECT_EQ(calls[1].wIm, 3.0);
  EXPECT_DOUBLE_EQ(calls[1].qRe, 0.1);
  EXPECT_DOUBLE_EQ(calls[1].qIm, -0.3);
  // Opaque after step 2: outside with count 2; colour bytes truncated, 255 * A in the top.
  EXPECT_EQ(result->GetDepth(0, 0), Depth(2, p.maxDepth));
  EXPECT_EQ(result->GetColor(0, 0), 201u | 40u << 8 | 7u << 16 | 255u << 24);
}

TEST(TFractKernel, PicturesGetQZeroOnTheAxesAndClampedBytes) {
  const FakeMapper mapper(0.2);  // never opaque before the orbit ends
  TKernelParams p = Julia(0, 0.0, 0.0);
  p.xResolution = p.yResolution = 1;
  p.left = 0.5;
  p.top = 0.0;
  p.maxDepth = 5;
  p.maxCycle = 0;
  const auto result = ComputeWithKernel(p, &mapper);
  const auto calls = mapper.Calls();
  ASSERT_EQ(calls.size(), 4u);  // MaxDepth 5: steps 1 to 4
  for (const auto& call : calls) {
    EXPECT_EQ(call.qRe, 0.0);
    EXPECT_EQ(call.qIm, 0.0);
  }
  EXPECT_EQ(result->GetDepth(0, 0), 0.0f);
  // R = 402.8 exceeds a byte and is clamped to 255.
  EXPECT_EQ(result->GetColor(0, 0), 255u | 80u << 8 | 15u << 16 | 204u << 24);
}

TEST(TFractKernel, AFailedSampleWithPicturesStoresZeros) {
  const FakeMapper mapper(0.1);
  TKernelParams p = Julia(0, 0.0, 0.0);
  p.xResolution = p.yResolution = 1;
  p.left = 1e200;
  p.top = 0.0;
  auto result = NewResult(p, true);
  result->SetDepth(0, 0, 0.75f);
  result->SetColor(0, 0, 0x12345678u);
  std::string error;
  TFractKernel::Create(p, &mapper, error)->ComputeColumns(*result, 0, 1);
  EXPECT_TRUE(mapper.Calls().empty());
  EXPECT_EQ(result->GetDepth(0, 0), 0.0f);
  EXPECT_EQ(result->GetColor(0, 0), 0u);
}

TEST(TFractKernel, ComputesOnlyTheColumnsAskedFor) {
  TKernelParams p = Julia(0, -0.122561, -0.744862);
  p.xResolution = 10;
  p.yResolution = 4;
  auto result = NewResult(p);
  for (int x = 0; x < 10; ++x) {
    for (int y = 0; y < 4; ++y) result->SetDepth(x, y, 99.0f);
  }
  std::string error;
  auto kernel = TFractKernel::Create(p, nullptr, error);
  kernel->ComputeColumns(*result, 3, 5);
  EXPECT_EQ(result->GetComputed(), 0);  // the kernel never publishes columns
  EXPECT_EQ(result->GetDepth(2, 3), 99.0f);
  EXPECT_NE(result->GetDepth(3, 0), 99.0f);
  EXPECT_NE(result->GetDepth(4, 3), 99.0f);
  EXPECT_EQ(result->GetDepth(5, 0), 99.0f);
  EXPECT_GT(kernel->OrbitSteps(), 0u);
}

// A stop flag ends a strip early on every path (false, the columns partial), also inside one
// long orbit on the scalar path; a flag that stays clear changes nothing.
TEST(TFractKernel, AStopFlagEndsTheColumnsEarlyOnEveryPath) {
  struct Case {
    const char* name;
    int size, maxDepth;
  };
  const Case cases[] = {
      {"one sample, one long orbit", 1, INT_MAX},  // only the scalar path reads inside an orbit
      {"many deep samples", 64, 10000000},
  };
  for (KernelPath path : {KernelPath::Scalar, KernelPath::AVX2, KernelPath::AVX512}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(KernelPathName(path)) + ", " + c.name);
      if (path != KernelPath::Scalar && c.size == 1) continue;
      TKernelParams p;
      p.xResolution = p.yResolution = c.size;
      p.left = c.size == 1 ? 0.0 : -2.0;  // the only sample is the origin, inside the set
      p.right = 1.0;
      p.top = c.size == 1 ? 0.0 : 1.5;
      p.bottom = -1.5;
      p.maxCycle = 0;
      p.path = path;
      std::string error;
      p.maxDepth = 1000;
      auto kernel = TFractKernel::Create(p, nullptr, error);
      if (kernel->ActivePath() != path) continue;  // not on this processor
      const std::atomic<bool> clear{false};
      auto shallow = NewResult(p);
      EXPECT_TRUE(kernel->ComputeColumns(*shallow, 0, c.size, &clear));
      EXPECT_TRUE(SamePlanes(*ComputeWithKernel(p), *shallow));

      p.maxDepth = c.maxDepth;
      kernel = TFractKernel::Create(p, nullptr, error);
      auto result = NewResult(p);
      result->SetDepth(0, 0, 99.0f);
      std::atomic<bool> stop{false};
      std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop = true;
      });
      EXPECT_FALSE(kernel->ComputeColumns(*result, 0, c.size, &stop));
      stopper.join();
      if (c.size == 1) {
        EXPECT_EQ(result->GetDepth(0, 0), 99.0f);  // nothing stored
      }
    }
  }
}
