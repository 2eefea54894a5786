#pragma once

// The reference workload of the benchmarks as kernel parameters: the Mandelbrot set (MapC,
// z^2 + c) over re -2..1, im -1.5..1.5, escape radius 2, equality distance 0.0001.

#include <memory>
#include <string>

#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"

inline TKernelParams ReferenceMandelbrot(int width, int height, int maxDepth, int maxCycle,
                                         ECycleSelection selection, KernelPath path) {
  TKernelParams p;
  p.mapVar = MapC;
  p.formula = 0;
  p.left = -2.0;
  p.right = 1.0;
  p.top = 1.5;
  p.bottom = -1.5;
  p.xResolution = width;
  p.yResolution = height;
  p.maxDepth = maxDepth;
  p.outerCircle = 2.0;
  p.innerDist = 0.0001;
  p.maxCycle = maxCycle;
  p.cycleSelection = selection;
  p.path = path;
  return p;
}

inline std::unique_ptr<TFractResult> NewResult(const TKernelParams& p) {
  std::string error;
  return TFractResult::Create(p.xResolution, p.yResolution, p.maxCycle, false, error);
}
