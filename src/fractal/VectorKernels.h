#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "fractal/CycleRules.h"

// The vector kernels for formulas 0-2 without picture mapping. Each lives in its own
// translation unit compiled for its instruction set; these entry points may be called only
// when the processor supports it (CpuSupportsPath).

// Everything one vector run reads, prepared by the caller.
struct TVectorJob {
  int formula = 0;  // 0, 1 or 2
  bool mapC = false;
  double left = 0.0, right = 0.0;
  std::int32_t xResolution = 1;
  std::int32_t height = 1;
  const double* rowY = nullptr;  // the imaginary part of every row
  double cr = 0.0, ci = 0.0;
  double maxDepth = 2.0;  // at least 2
  double outerCircle2 = 0.0;
  double smoothFactor = 0.0;  // 0: counts stay whole
  double logR2 = 1.0;
  TCycleSettings cycles;
  std::int32_t historySlots = 0;  // min(K, MaxDepth - 1), at most kMaxVectorHistory; 0: no cycles
  bool recordCycles = false;
  std::int32_t x0 = 0, x1 = 0;
  float* depths = nullptr;        // column-major planes of the result
  std::int32_t* cyclePlane = nullptr;
  // When set, the run ends early once it reads true (checked at least every MaxDepth steps).
  const std::atomic<bool>* stop = nullptr;
};

// What one vector run did.
struct TVectorOutcome {
  std::uint64_t steps = 0;  // orbit steps of the samples that ended
  bool complete = true;     // false: the stop flag ended it with samples left unset
};

// The longest history the vector kernels keep; longer ones are computed by the scalar kernel.
inline constexpr std::int32_t kMaxVectorHistory = 256;
// The most lanes any vector kernel runs at once.
inline constexpr int kMaxVectorLanes = 32;

// Work arrays of the vector kernels, allocated once per kernel object.
struct TVectorWorkspace {
  std::vector<double> histRe;          // ring slot s of lane l at [s * lanes + l]
  std::vector<double> histIm;
  std::vector<std::int32_t> firstSeen;  // entry k of lane l at [k * lanes + l]
  std::vector<double> blank;            // entry k of lane l at [k * lanes + l]: 0 or NaN

  void Allocate(std::int32_t slots) {
    const std::size_t n = static_cast<std::size_t>(slots < 1 ? 1 : slots) * kMaxVectorLanes;
    histRe.assign(n, 0.0);
    histIm.assign(n, 0.0);
    firstSeen.assign(n, 0);
    blank.assign(n, 0.0);
  }
};

// Compute columns job.x0 .. job.x1 - 1 into the planes. They exist on x86 only; elsewhere they
// must not be called.
TVectorOutcome ComputeColumnsAvx2(const TVectorJob& job, TVectorWorkspace& work);
TVectorOutcome ComputeColumnsAvx512(const TVectorJob& job, TVectorWorkspace& work);

// SmoothingLog of values[0..count), in place, by the vector routine of the kernel of the same
// instruction set (which must be available, as for the kernels).
void SmoothingLogsAvx2(double* values, int count);
void SmoothingLogsAvx512(double* values, int count);
