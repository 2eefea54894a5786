#pragma once

#include "fractal/SmoothingLog.h"

// Small rules that the scalar and the vector kernels must apply identically.

// The escape smoothing of formulas 0-3: count - f * ln(r2) / ln(R^2), where factor is f
// (1, 1/2, 1/3 or 1/N) and logR2 is ln(R^2) computed once per computation. A count that
// comes out negative becomes 0.0001 (exactly 0 stays 0).
inline double SmoothedEscapeCount(double count, double r2, double factor, double logR2) {
  count = count - factor * SmoothingLog(r2) / logR2;
  return count < 0.0 ? 0.0001 : count;
}

// The stored depth: the 32-bit float of count / MaxDepth.
inline float DepthOf(double count, double maxDepth) { return static_cast<float>(count / maxDepth); }
