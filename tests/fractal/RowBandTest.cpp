#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KernelTestHelpers.h"

namespace {

// A small picture of formula f that has escaping, cycling and maximal-depth samples.
TKernelParams Picture(int formula, KernelPath path) {
  TKernelParams p;
  p.xResolution = 13;
  p.yResolution = 18;
  p.left = -1.7;
  p.right = 1.3;
  p.top = 1.4;
  p.bottom = -1.1;
  p.maxDepth = 60;
  p.maxCycle = 4;
  p.formula = formula;
  p.mapVar = formula % 2 == 0 ? MapC : MapZ;
  p.n = 4;
  p.m = 2;
  p.path = path;
  return p;
}

std::unique_ptr<TFractResult> ComputeBand(TKernelParams p, int first, int rows, bool engine) {
  p.firstRow = first;
  p.bandRows = rows;
  std::string error;
  auto band = TFractResult::Create(p.xResolution, rows, p.maxCycle, false, error);
  EXPECT_TRUE(band) << error;
  if (engine) {
    TThreadVolumeWriter writer;
    EXPECT_TRUE(writer.Start(p, *band, nullptr, 2, {}, error)) << error;
    writer.Wait();
  } else {
    auto kernel = TFractKernel::Create(p, nullptr, error);
    EXPECT_TRUE(kernel) << error;
    kernel->ComputeColumns(*band, 0, p.xResolution);
  }
  return band;
}

// Whether rows first .. first + band height - 1 of full hold the same bits as band.
::testing::AssertionResult SameRows(const TFractResult& full, const TFractResult& band, int first) {
  for (int x = 0; x < full.GetWidth(); ++x) {
    for (int y = 0; y < band.GetHeight(); ++y) {
      const float a = full.GetDepth(x, first + y), b = band.GetDepth(x, y);
      if (std::memcmp(&a, &b, sizeof a) != 0 || full.GetCycle(x, first + y) != band.GetCycle(x, y)) {
        return ::testing::AssertionFailure()
               << "column " << x << ", row " << first + y << ": " << a << " / " << b;
      }
    }
  }
  return ::testing::AssertionSuccess();
}

struct BandCase {
  int first;
  int rows;
};

// Bands of one row, of whole pixels at 3 samples per pixel, a band at the bottom edge and the
// whole grid as one band.
const BandCase kBands[] = {{0, 1}, {5, 1}, {17, 1}, {0, 3}, {3, 6}, {9, 9}, {15, 3}, {0, 18}};

TEST(RowBand, EveryFormulaGivesTheFullRenderRows) {
  for (KernelPath path : {KernelPath::Scalar, KernelPath::Auto}) {
    for (int formula = 0; formula <= 12; ++formula) {
      const TKernelParams p = Picture(formula, path);
      auto full = ComputeWithKernel(p);
      for (const BandCase& c : kBands) {
        SCOPED_TRACE("formula " + std::to_string(formula) + ", path " + KernelPathName(path) +
                     ", rows " + std::to_string(c.first) + "+" + std::to_string(c.rows));
        EXPECT_TRUE(SameRows(*full, *ComputeBand(p, c.first, c.rows, false), c.first));
      }
    }
  }
}

TEST(RowBand, EngineComputesBandsLikeTheKernel) {
  for (int formula : {0, 3, 7}) {
    const TKernelParams p = Picture(formula, KernelPath::Auto);
    auto full = ComputeWithEngine(p, 2);
    for (const BandCase& c : {BandCase{0, 9}, BandCase{9, 9}, BandCase{6, 3}}) {
      auto band = ComputeBand(p, c.first, c.rows, true);
      EXPECT_EQ(band->GetComputed(), p.xResolution);
      EXPECT_TRUE(SameRows(*full, *band, c.first)) << "formula " << formula;
    }
  }
}

TEST(RowBand, BandRowsDefaultToTheRestOfTheGrid) {
  TKernelParams p;
  p.yResolution = 40;
  const struct {
    int first, rows, expected;
  } cases[] = {{0, 0, 40}, {10, 0, 30}, {10, 5, 5}, {39, 0, 1}};
  for (const auto& c : cases) {
    p.firstRow = c.first;
    p.bandRows = c.rows;
    EXPECT_EQ(p.BandRows(), c.expected) << c.first << "+" << c.rows;
  }
}

}  // namespace
