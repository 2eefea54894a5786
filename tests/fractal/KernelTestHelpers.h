#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"
#include "fractal/TThreadVolumeWriter.h"

// Parameters whose only sample is the plane point (x, y).
inline TKernelParams OnePoint(double x, double y) {
  TKernelParams p;
  p.xResolution = p.yResolution = 1;
  p.left = x;
  p.right = x + 1.0;
  p.top = y;
  p.bottom = y - 1.0;
  return p;
}

inline std::unique_ptr<TFractResult> NewResult(const TKernelParams& p, bool pictures = false) {
  std::string error;
  auto result = TFractResult::Create(p.xResolution, p.yResolution, p.maxCycle, pictures, error);
  EXPECT_TRUE(result) << error;
  return result;
}

// Computes every column with one kernel on this thread.
inline std::unique_ptr<TFractResult> ComputeWithKernel(const TKernelParams& p,
                                                       const TOrbitMapper* mapper = nullptr,
                                                       std::uint64_t* orbitSteps = nullptr) {
  auto result = NewResult(p, mapper != nullptr);
  std::string error;
  auto kernel = TFractKernel::Create(p, mapper, error);
  EXPECT_TRUE(kernel) << error;
  kernel->ComputeColumns(*result, 0, p.xResolution);
  result->SetComputed(p.xResolution);
  if (orbitSteps != nullptr) *orbitSteps = kernel->OrbitSteps();
  return result;
}

// Computes every column with the engine and `threads` workers.
inline std::unique_ptr<TFractResult> ComputeWithEngine(const TKernelParams& p, int threads) {
  auto result = NewResult(p);
  TThreadVolumeWriter engine;
  std::string error;
  EXPECT_TRUE(engine.Start(p, *result, nullptr, threads, {}, error)) << error;
  engine.Wait();
  return result;
}

// Whether both arrays hold the same bits in every depth and cycle sample; names the first
// difference otherwise.
inline ::testing::AssertionResult SamePlanes(const TFractResult& a, const TFractResult& b) {
  if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) {
    return ::testing::AssertionFailure() << "sizes differ";
  }
  for (int x = 0; x < a.GetWidth(); ++x) {
    for (int y = 0; y < a.GetHeight(); ++y) {
      const float da = a.GetDepth(x, y);
      const float db = b.GetDepth(x, y);
      if (std::memcmp(&da, &db, sizeof da) != 0 || a.GetCycle(x, y) != b.GetCycle(x, y)) {
        return ::testing::AssertionFailure()
               << "sample (" << x << ", " << y << "): depth " << da << " / " << db << ", cycle "
               << a.GetCycle(x, y) << " / " << b.GetCycle(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}
