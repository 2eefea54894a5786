#pragma once

// The picture mapping as the kernel sees it. One object is shared read-only by all workers of
// one computation, so MapSample must not change the object and must be safe to call from
// several threads at once.
class TOrbitMapper {
 public:
  virtual ~TOrbitMapper() = default;

  // One call per iteration step: w, q = 1 / w (0 when re w * im w == 0), the step number (the
  // iteration count truncated) and the accumulators R, G, B (colour sums, 0..255) and A
  // (opacity, 0..1), updated in place. The kernel ends the sample once A >= 0.999.
  virtual void MapSample(double wRe, double wIm, double qRe, double qIm, int step, double& R,
                         double& G, double& B, double& A) const = 0;
};
