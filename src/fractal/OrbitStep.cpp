#include "fractal/OrbitStep.h"

#include <limits>
#include <string>

#include "fractal/OrbitMapper.h"
#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"

namespace {

// Receives the kernel's first step through the picture mapping, which the kernel calls with w
// before any escape or cycle test.
class TFirstStep : public TOrbitMapper {
 public:
  void MapSample(double wRe, double wIm, double, double, int, double&, double&, double&,
                 double& A) const override {
    if (seen_) return;
    seen_ = true;
    w_ = {wRe, wIm};
    A = 1.0;  // opaque: the kernel ends the sample after this step
  }
  bool Seen() const { return seen_; }
  TComplex W() const { return w_; }

 private:
  // The kernel gets the mapper as const; one object serves one step on one thread.
  mutable bool seen_ = false;
  mutable TComplex w_;
};

}  // namespace

bool OrbitStep(const TKernelParams& params, TComplex z, TComplex c, TComplex d, TComplex& w) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  w = {kNaN, kNaN};
  if (!IsFinite(z)) return false;
  // A one-sample computation whose sample point is z: the kernel starts there with c and d as
  // the fixed parameters (map variable z) and takes exactly one step.
  TKernelParams step = params;
  step.left = step.right = z.re;
  step.top = step.bottom = z.im;
  step.xResolution = step.yResolution = 1;
  step.maxDepth = 2;
  step.maxCycle = 0;
  step.mapVar = MapZ;
  step.cr = c.re;
  step.ci = c.im;
  step.dr = d.re;
  step.di = d.im;
  step.path = KernelPath::Scalar;
  std::string error;
  TFirstStep first;
  std::unique_ptr<TFractKernel> kernel = TFractKernel::Create(step, &first, error);
  std::unique_ptr<TFractResult> result = TFractResult::Create(1, 1, 0, false, error);
  if (!kernel || !result) return false;
  kernel->ComputeColumns(*result, 0, 1);
  if (!first.Seen() || !IsFinite(first.W())) return false;
  w = first.W();
  return true;
}
