#pragma once

#include <cstdint>

#include "fractal/FractEnums.h"

class TFractProps;

// Which implementation computes formulas 0-2. Auto takes the widest vector unit the processor
// has; a path the processor or the parameters cannot use falls back to Scalar. All paths give
// bit-identical results.
enum class KernelPath { Auto, Scalar, AVX2, AVX512 };

const char* KernelPathName(KernelPath path);

// True when this processor (and its operating system) can run the path. Auto and Scalar always.
// The environment variable KORVANA_KERNEL=avx2 or =scalar hides the wider vector units.
bool CpuSupportsPath(KernelPath path);

// The plain snapshot of everything one computation reads, taken once before it starts. The
// kernel and the engine read only this, never the document's value objects.
struct TKernelParams {
  double left = -1.5;
  double right = 1.5;
  double top = 1.5;
  double bottom = -1.5;
  std::int32_t xResolution = 300;
  std::int32_t yResolution = 300;
  std::int32_t maxDepth = 100;
  bool smooth = true;              // not ColorsDiscontinue
  double outerCircle = 1000.0;     // escape radius R
  double innerDist = 0.0001;       // equality distance
  ECycleSelection cycleSelection = CycleLowest;
  std::int32_t maxCycle = 3;       // K; 0 switches inside detection off
  int formula = 0;                 // 0 .. 12; any other value performs no step (w = z)
  EMapVar mapVar = MapZ;
  double cr = -0.122561;
  double ci = -0.744862;
  double dr = -0.3;
  double di = -0.3;
  std::int32_t n = 5;
  std::int32_t m = 3;
  KernelPath path = KernelPath::Auto;
  // The row band computed: global rows firstRow .. firstRow + BandRows() - 1 of the full
  // yResolution-row grid. The result array then holds only those rows (its row 0 is global row
  // firstRow), and every sample point is taken from its global row, so a band's samples equal
  // the same rows of the full computation bit for bit.
  std::int32_t firstRow = 0;
  std::int32_t bandRows = 0;  // 0: every row from firstRow on
  std::int32_t BandRows() const { return bandRows > 0 ? bandRows : yResolution - firstRow; }

  static TKernelParams FromProps(const TFractProps& props, KernelPath path = KernelPath::Auto);
};

// The plane coordinate of sample index i of res samples between a and b:
// a + (i / res) * (b - a). The divisor is the resolution itself, so index 0 lies on a and the
// last index one step short of b. Every code path computes sample points with this function.
inline double PlanePosition(double a, double b, std::int32_t i, std::int32_t res) {
  return a + (static_cast<double>(i) / static_cast<double>(res)) * (b - a);
}
