// Every code path and every worker count must give bit-identical depth and cycle planes.

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include "KernelTestHelpers.h"

// Test names and messages show the path by name.
void PrintTo(KernelPath path, std::ostream* os) { *os << KernelPathName(path); }

namespace {

struct Region {
  const char* name;
  double left, right, top, bottom;
  EMapVar mapVar;
  double cr, ci;
  double outerCircle;
  double innerDist;
};

// Regions with escapes, fixed points, 2-cycles, slow convergence, and orbits that pass near
// 1000 + 1000i (where the unfilled history entries lie) at the first and second step.
const std::vector<Region>& Regions() {
  static const std::vector<Region> regions = {
      {"whole set", -2.0, 1.0, 1.5, -1.5, MapC, 0.0, 0.0, 2.0, 0.0001},
      {"period-2 bulb edge", -1.3, -0.7, 0.3, -0.3, MapC, 0.0, 0.0, 1000.0, 0.001},
      {"julia", -1.5, 1.5, 1.5, -1.5, MapZ, -0.122561, -0.744862, 1000.0, 0.0001},
      {"near start, step 1", -1.0, 1.0, 1.0, -1.0, MapZ, 1000.0, 1000.0, 5000.0, 0.9},
      {"near start, step 2", 14.3912 - 0.02, 14.3912 + 0.02, -34.7434 + 0.02, -34.7434 - 0.02, MapZ, 1000.0,
       1000.0, 5000.0, 0.9},
      {"map d", -1.5, 1.5, 1.5, -1.5, MapD, 0.3, 0.5, 4.0, 0.01},
      // R^2 = 1e300, the largest the vector kernels take: most escapes overflow to a radius
      // that is not finite, which only the lane-by-lane path settles.
      {"overflowing escapes", -2.0, 1.0, 1.5, -1.5, MapC, 0.0, 0.0, 1e150, 0.0001},
  };
  return regions;
}

TKernelParams Params(const Region& r, int formula, ECycleSelection selection, int maxCycle,
                     bool smooth) {
  TKernelParams p;
  p.xResolution = 21;
  p.yResolution = 19;
  p.left = r.left;
  p.right = r.right;
  p.top = r.top;
  p.bottom = r.bottom;
  p.mapVar = r.mapVar;
  p.cr = r.cr;
  p.ci = r.ci;
  p.outerCircle = r.outerCircle;
  p.innerDist = r.innerDist;
  p.formula = formula;
  p.cycleSelection = selection;
  p.maxCycle = maxCycle;
  p.smooth = smooth;
  p.maxDepth = 80;
  p.n = 3;
  p.m = 2;
  return p;
}

std::string Describe(const Region& r, const TKernelParams& p) {
  return std::string(r.name) + ", formula " + std::to_string(p.formula) + ", selection " +
         std::string(CycleSelectionName(p.cycleSelection)) + ", K " + std::to_string(p.maxCycle) +
         ", maxDepth " + std::to_string(p.maxDepth) + (p.smooth ? ", smooth" : ", whole");
}

void ExpectVectorPathMatchesScalar(KernelPath path, const Region& region, TKernelParams p) {
  std::uint64_t scalarSteps = 0, vectorSteps = 0;
  p.path = KernelPath::Scalar;
  const auto scalar = ComputeWithKernel(p, nullptr, &scalarSteps);
  p.path = path;
  const auto vector = ComputeWithKernel(p, nullptr, &vectorSteps);
  EXPECT_TRUE(SamePlanes(*scalar, *vector)) << KernelPathName(path) << ": " << Describe(region, p);
  // The orbit steps that the speed figures count.
  EXPECT_EQ(scalarSteps, vectorSteps) << KernelPathName(path) << ": " << Describe(region, p);
}

// Each vector kernel against the scalar one; a processor without the instruction set says so
// in the test output instead of passing silently.
class VectorKernel : public ::testing::TestWithParam<KernelPath> {
 protected:
  void SetUp() override {
    if (!CpuSupportsPath(GetParam())) {
      GTEST_SKIP() << "skipped: this processor has no " << KernelPathName(GetParam())
                   << ", so its kernel is not tested";
    }
  }
};

}  // namespace

TEST(KernelPaths, VectorKernelsChooseThemselvesOnlyWhereTheyApply) {
  std::string error;
  TKernelParams p;
  p.path = KernelPath::AVX2;
  if (CpuSupportsPath(KernelPath::AVX2)) {
    EXPECT_EQ(TFractKernel::Create(p, nullptr, error)->ActivePath(), KernelPath::AVX2);
  }
  p.path = KernelPath::Auto;
  p.formula = 3;
  EXPECT_EQ(TFractKernel::Create(p, nullptr, error)->ActivePath(), KernelPath::Scalar);
  p.formula = 0;
  p.maxCycle = 1000;  // a longer history than the vector kernels keep
  p.maxDepth = 2000;
  EXPECT_EQ(TFractKernel::Create(p, nullptr, error)->ActivePath(), KernelPath::Scalar);
  p.maxCycle = 3;
  p.outerCircle = 1e200;  // cycle distances could overflow
  EXPECT_EQ(TFractKernel::Create(p, nullptr, error)->ActivePath(), KernelPath::Scalar);
}

TEST_P(VectorKernel, IsBitIdenticalToScalarForFormulas0To2) {
  for (const Region& region : Regions()) {
    for (int formula = 0; formula <= 2; ++formula) {
      for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
        for (int maxCycle : {0, 1, 2, 3, 4, 7, 79, 80, 256}) {
          for (bool smooth : {true, false}) {
            ExpectVectorPathMatchesScalar(GetParam(), region,
                                          Params(region, formula, selection, maxCycle, smooth));
          }
        }
      }
    }
  }
}

TEST_P(VectorKernel, HandlesExtremeDepthsAndHistories) {
  const Region& region = Regions()[1];
  for (int maxDepth : {2, 3, 4, 9}) {
    for (int maxCycle : {1, 3, 5, INT_MAX}) {
      for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
        TKernelParams p = Params(region, 0, selection, maxCycle, true);
        p.maxDepth = maxDepth;
        ExpectVectorPathMatchesScalar(GetParam(), region, p);
      }
    }
  }
  // A column much taller than the lanes, and a single sample.
  TKernelParams tall = Params(Regions()[0], 1, CycleLowest, 3, true);
  tall.xResolution = 3;
  tall.yResolution = 301;
  ExpectVectorPathMatchesScalar(GetParam(), Regions()[0], tall);
  ExpectVectorPathMatchesScalar(GetParam(), Regions()[0], OnePoint(-1.0, 0.0));
}

INSTANTIATE_TEST_SUITE_P(Paths, VectorKernel, ::testing::Values(KernelPath::AVX2, KernelPath::AVX512),
                         [](const ::testing::TestParamInfo<KernelPath>& info) {
                           return info.param == KernelPath::AVX2 ? "AVX2" : "AVX512";
                         });

TEST(KernelPaths, WorkerCountsAreBitIdenticalForEveryFormula) {
  for (int formula = 0; formula <= 12; ++formula) {
    for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
      const Region& region = Regions()[formula % 3 == 0 ? 5 : 2];
      TKernelParams p = Params(region, formula, selection, 4, formula % 2 == 0);
      p.xResolution = 37;  // five strips, the last one narrow
      p.path = KernelPath::Scalar;
      const auto reference = ComputeWithKernel(p);
      p.path = KernelPath::Auto;
      for (int threads : {1, 2, 7}) {
        const auto result = ComputeWithEngine(p, threads);
        EXPECT_TRUE(SamePlanes(*reference, *result))
            << threads << " workers: " << Describe(region, p);
      }
    }
  }
}
