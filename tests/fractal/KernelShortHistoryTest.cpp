// Short cycle histories (1-3 entries) are kept in vector registers and written back to the
// ring whenever a lane needs attention. These tests drive many such round trips: deep orbits
// that sight periods late, and one kernel reused for strips computed piece by piece.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "KernelTestHelpers.h"

namespace {

// Around the period-2 and period-3 bulbs of the Mandelbrot set: slow convergence, 2- and
// 3-cycles that are sighted long after the start, and escapes in between.
TKernelParams DeepBulbs(int formula, ECycleSelection selection, int maxCycle) {
  TKernelParams p;
  p.xResolution = 23;
  p.yResolution = 29;
  p.left = -1.30;
  p.right = -0.10;
  p.top = 0.80;
  p.bottom = -0.30;
  p.mapVar = MapC;
  p.formula = formula;
  p.cycleSelection = selection;
  p.maxCycle = maxCycle;
  p.maxDepth = 600;
  p.outerCircle = 2.0;
  p.innerDist = 0.0005;
  return p;
}

// Computes the columns strip by strip with one kernel, as the engine's workers do.
std::unique_ptr<TFractResult> ComputeInStrips(const TKernelParams& p,
                                              const std::vector<std::pair<int, int>>& strips) {
  auto result = NewResult(p);
  std::string error;
  auto kernel = TFractKernel::Create(p, nullptr, error);
  EXPECT_TRUE(kernel) << error;
  for (const auto& [x0, x1] : strips) kernel->ComputeColumns(*result, x0, x1);
  return result;
}

}  // namespace

TEST(KernelShortHistory, DeepOrbitsMatchScalarOnEveryVectorPath) {
  if (!CpuSupportsPath(KernelPath::AVX2)) GTEST_SKIP() << "no AVX2 on this processor";
  for (int formula = 0; formula <= 2; ++formula) {
    for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
      for (int maxCycle = 1; maxCycle <= 3; ++maxCycle) {
        TKernelParams p = DeepBulbs(formula, selection, maxCycle);
        p.path = KernelPath::Scalar;
        const auto scalar = ComputeWithKernel(p);
        for (KernelPath path : {KernelPath::AVX2, KernelPath::AVX512}) {
          if (!CpuSupportsPath(path)) continue;
          p.path = path;
          EXPECT_TRUE(SamePlanes(*scalar, *ComputeWithKernel(p)))
              << KernelPathName(path) << ": formula " << formula << ", selection "
              << CycleSelectionName(selection) << ", K " << maxCycle;
        }
      }
    }
  }
}

TEST(KernelShortHistory, ReusedKernelGivesTheSameStripsInAnyOrder) {
  if (!CpuSupportsPath(KernelPath::AVX2)) GTEST_SKIP() << "no AVX2 on this processor";
  // Strips of one column, of several, and out of order: each run starts from the state the
  // previous one left in the kernel's work arrays.
  const std::vector<std::pair<int, int>> strips = {{7, 8}, {0, 3}, {15, 23}, {3, 7}, {8, 15}};
  for (ECycleSelection selection : {CycleLowest, CycleHighest, DepthLowest}) {
    for (int maxCycle : {2, 3}) {
      TKernelParams p = DeepBulbs(0, selection, maxCycle);
      p.path = KernelPath::Scalar;
      const auto scalar = ComputeWithKernel(p);
      for (KernelPath path : {KernelPath::AVX2, KernelPath::AVX512}) {
        if (!CpuSupportsPath(path)) continue;
        p.path = path;
        auto pieces = ComputeInStrips(p, strips);
        pieces->SetComputed(p.xResolution);
        EXPECT_TRUE(SamePlanes(*scalar, *pieces))
            << KernelPathName(path) << ": selection " << CycleSelectionName(selection) << ", K "
            << maxCycle;
      }
    }
  }
}
