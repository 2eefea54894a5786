// The logarithm of the escape smoothing: accurate, and the same bit for bit in the scalar
// routine and in the vector routine of every instruction set, so every kernel path smooths
// alike.

#include "fractal/SmoothingLog.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "fractal/TKernelParams.h"
#include "fractal/VectorKernels.h"

namespace {

std::uint64_t BitsOf(double x) {
  std::uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// Arguments of every kind: the escape radii the kernels see, every binade, the edges of the
// table's range, and what it leaves to std::log (near 1, subnormal, zero, negative, infinite,
// NaN).
std::vector<double> Arguments() {
  std::vector<double> xs = {4.0,
                            4.0000000000000009,
                            1e300,
                            DBL_MAX,
                            DBL_MIN,
                            std::nextafter(DBL_MIN, 0.0),
                            0.0,
                            -0.0,
                            -4.0,
                            std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN(),
                            1.0,
                            smoothing_log::kNearOneLow,
                            std::nextafter(smoothing_log::kNearOneLow, 0.0),
                            smoothing_log::kNearOneHigh,
                            std::nextafter(smoothing_log::kNearOneHigh, 0.0),
                            0x1.6p-1,
                            std::nextafter(0x1.6p-1, 0.0),
                            0x1.6p0};
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> radius(4.0, 1e6);
  for (int i = 0; i < 100000; ++i) {
    xs.push_back(radius(random));
    // Any positive finite bit pattern.
    const std::uint64_t bits = random() % 0x7FF0000000000000;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    xs.push_back(x);
  }
  return xs;
}

TEST(SmoothingLogTest, IsWithinAnUlpOfTheLibraryLog) {
  for (double x : Arguments()) {
    const double got = SmoothingLog(x);
    const double want = std::log(x);
    if (std::isnan(want) || std::isinf(want) || !smoothing_log::InTable(x)) {
      EXPECT_EQ(BitsOf(got), BitsOf(want)) << std::hexfloat << x;
      continue;
    }
    const double ulp = std::nextafter(std::fabs(want), DBL_MAX) - std::fabs(want);
    ASSERT_LE(std::fabs(got - want), ulp) << std::hexfloat << x;
  }
}

TEST(SmoothingLogTest, VectorRoutinesMatchTheScalarOneBitForBit) {
  const std::vector<double> xs = Arguments();
  struct Path {
    KernelPath path;
    void (*logs)(double*, int);
  };
  for (const Path& p : {Path{KernelPath::AVX2, SmoothingLogsAvx2},
                        Path{KernelPath::AVX512, SmoothingLogsAvx512}}) {
    if (!CpuSupportsPath(p.path)) continue;
    // Counts that are not whole vectors too, so the last vector is partly filled.
    for (int count : {static_cast<int>(xs.size()), 1, 3, 13}) {
      std::vector<double> values(xs.begin(), xs.begin() + count);
      p.logs(values.data(), count);
      for (int i = 0; i < count; ++i) {
        ASSERT_EQ(BitsOf(values[i]), BitsOf(SmoothingLog(xs[i])))
            << KernelPathName(p.path) << " " << std::hexfloat << xs[i];
      }
    }
  }
}

}  // namespace
