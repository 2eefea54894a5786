#include "fractal/TFractKernel.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <new>

#include "common/Assert.h"
#include "fractal/KernelRules.h"
#include "fractal/OrbitMapper.h"
#include "fractal/TFractResult.h"

namespace {

constexpr double kPi = 3.141592653589793;
// The history kept before it first has to grow.
constexpr std::int32_t kInitialHistory = 64;
// Orbit steps of the scalar kernel between two readings of the stop flag.
constexpr std::int32_t kStopCheckSteps = 4096;

bool StopRequested(const std::atomic<bool>* stop) {
  return stop && stop->load(std::memory_order_relaxed);
}

// The smoothing factor f of formulas 0-3 (0: counts stay whole).
double SmoothFactor(const TKernelParams& p) {
  if (!p.smooth) return 0.0;
  switch (p.formula) {
    case 0: return 1.0;
    case 1: return 0.5;
    case 2: return 0.3333333333333333;
    case 3: return 1.0 / static_cast<double>(p.n);
    default: return 0.0;
  }
}

// Truncation of a picture accumulator to a byte; out-of-range values are clamped so that a
// misbehaving mapping cannot spill into the neighbouring bytes.
std::uint32_t ColorByte(double v) {
  if (!(v > 0.0)) return 0;
  return v >= 255.0 ? 255u : static_cast<std::uint32_t>(v);
}

// The packed picture colour: t(R) + t(G) * 2^8 + t(B) * 2^16 + t(255 A) * 2^24.
std::uint32_t PictureColor(double r, double g, double b, double a) {
  return ColorByte(r) | ColorByte(g) << 8 | ColorByte(b) << 16 | ColorByte(255.0 * a) << 24;
}

// Formula 3 in polar form: r = |z|, theta = asin(Y / r) (mirrored for X < 0), then
// r^N (cos N theta + i sin N theta) + c. The asin argument is clamped to [-1, 1]: rounding can
// push Y / r just past 1 when X is negligible against Y.
TComplex PolarPower(TComplex z, TComplex c, std::int32_t n) {
  const double r = std::sqrt(z.re * z.re + z.im * z.im);
  double theta = 0.0;
  if (r != 0.0) {
    const double s = std::clamp(z.im / r, -1.0, 1.0);
    theta = z.re >= 0.0 ? std::asin(s) : kPi - std::asin(s);
  }
  const double phi = static_cast<double>(n) * theta;
  const double rho = std::pow(r, static_cast<double>(n));
  return {std::cos(phi) * rho + c.re, std::sin(phi) * rho + c.im};
}

}  // namespace

TFractKernel::TFractKernel(const TKernelParams& params, const TOrbitMapper* mapper)
    : params_(params),
      mapper_(mapper),
      cycles_(TCycleSettings::FromParams(params)),
      maxDepth_(static_cast<double>(std::max(params.maxDepth, 1))),
      outerCircle2_(params.outerCircle * params.outerCircle),
      logR2_(std::log(outerCircle2_)),
      smoothFactor_(SmoothFactor(params)),
      recordCycles_(params.cycleSelection != DepthLowest),
      path_(ResolvePath()) {}

std::unique_ptr<TFractKernel> TFractKernel::Create(const TKernelParams& params,
                                                   const TOrbitMapper* mapper,
                                                   std::string& error) {
  error.clear();
  try {
    std::unique_ptr<TFractKernel> kernel(new TFractKernel(params, mapper));
    const std::int32_t height = std::max(params.BandRows(), 1);
    kernel->rowY_.resize(static_cast<std::size_t>(height));
    for (std::int32_t j = 0; j < height; ++j) {
      kernel->rowY_[j] =
          PlanePosition(params.top, params.bottom, params.firstRow + j, params.yResolution);
    }
    THistory& h = kernel->history_;
    const std::int64_t steps = static_cast<std::int64_t>(kernel->maxDepth_) - 1;
    h.capacity = static_cast<std::int32_t>(std::min<std::int64_t>(kernel->cycles_.maxCycle, steps));
    const std::size_t initial = static_cast<std::size_t>(std::min(h.capacity, kInitialHistory));
    h.re.resize(initial);
    h.im.resize(initial);
    h.firstSeen.resize(initial);
    if (kernel->path_ != KernelPath::Scalar) kernel->vectorWork_.Allocate(h.capacity);
    return kernel;
  } catch (const std::bad_alloc&) {
    error = "Not enough memory for the work arrays of the computation.";
    return nullptr;
  }
}

KernelPath TFractKernel::ResolvePath() const {
  // The vector kernels cover formulas 0-2 without pictures, with a history they can keep in
  // full, and only where no cycle distance can overflow (R^2 well inside the double range).
  const std::int64_t history = std::min<std::int64_t>(cycles_.maxCycle,
                                                      static_cast<std::int64_t>(maxDepth_) - 1);
  const bool vectorisable = params_.formula >= 0 && params_.formula <= 2 && mapper_ == nullptr &&
                            maxDepth_ >= 2.0 && history <= kMaxVectorHistory &&
                            outerCircle2_ <= 1e300;
  if (!vectorisable || params_.path == KernelPath::Scalar) return KernelPath::Scalar;
  if (params_.path == KernelPath::Auto) {
    if (CpuSupportsPath(KernelPath::AVX512)) return KernelPath::AVX512;
    if (CpuSupportsPath(KernelPath::AVX2)) return KernelPath::AVX2;
    return KernelPath::Scalar;
  }
  return CpuSupportsPath(params_.path) ? params_.path : KernelPath::Scalar;
}

TVectorJob TFractKernel::VectorJob(TFractResult& result, std::int32_t x0, std::int32_t x1) const {
  TVectorJob job;
  job.formula = params_.formula;
  job.mapC = params_.mapVar == MapC;
  job.left = params_.left;
  job.right = params_.right;
  job.xResolution = params_.xResolution;
  job.height = result.GetHeight();
  job.rowY = rowY_.data();
  job.cr = params_.cr;
  job.ci = params_.ci;
  job.maxDepth = maxDepth_;
  job.outerCircle2 = outerCircle2_;
  job.smoothFactor = smoothFactor_;
  job.logR2 = logR2_;
  job.cycles = cycles_;
  job.historySlots = history_.capacity;
  job.recordCycles = recordCycles_;
  job.x0 = x0;
  job.x1 = x1;
  job.depths = result.DepthPlane();
  job.cyclePlane = result.CyclePlane();
  return job;
}

bool TFractKernel::ComputeColumns(TFractResult& result, std::int32_t x0, std::int32_t x1,
                                  const std::atomic<bool>* stop) {
  KORVANA_ASSERT(result.GetWidth() == params_.xResolution &&
                 result.GetHeight() == params_.BandRows());
  KORVANA_ASSERT(0 <= x0 && x0 <= x1 && x1 <= result.GetWidth());
  if (x0 == x1) return !StopRequested(stop);
  if (path_ == KernelPath::AVX512 || path_ == KernelPath::AVX2) {
    TVectorJob job = VectorJob(result, x0, x1);
    job.stop = stop;
    const TVectorOutcome outcome = path_ == KernelPath::AVX512
                                       ? ComputeColumnsAvx512(job, vectorWork_)
                                       : ComputeColumnsAvx2(job, vectorWork_);
    steps_ += outcome.steps;
    return outcome.complete;
  }
  stop_ = stop;
  for (std::int32_t column = x0; column < x1; ++column) {
    for (std::int32_t row = 0; row < result.GetHeight(); ++row) {
      if (StopRequested(stop) || !ComputeSample(column, row, result)) return false;
    }
  }
  return true;
}

// One formula step w = f(z). Returns false on an arithmetic failure that a finite w could
// hide (an overflowing power inside a quotient) or a non-finite w of formulas 3-12; for
// formulas 0-2 a non-finite w shows in r2.
bool TFractKernel::Step(TComplex z, TComplex c, TComplex d, TComplex& w) const {
  const double X = z.re;
  const double Y = z.im;
  switch (params_.formula) {
    case 0:
      w = {(X * X - Y * Y) + c.re, (2.0 * X) * Y + c.im};
      return true;
    case 1: {
      const double X2 = X * X;
      const double Y2 = Y * Y;
      w = {(X2 * X - (3.0 * X) * Y2) + c.re, ((-Y2) * Y + (3.0 * Y) * X2) + c.im};
      return true;
    }
    case 2: {
      const double X2 = X * X;
      const double Y2 = Y * Y;
      w = {((X2 * X2 - (6.0 * X2) * Y2) + Y2 * Y2) + c.re,
           4.0 * ((X2 * X) * Y - (X * Y2) * Y) + c.im};
      return true;
    }
    case 3: w = PolarPower(z, c, params_.n); break;
    case 4: w = (IntPower(z, 3) - (-3.0) * ((d * d) * z)) + c; break;
    case 5: w = (IntPower(z, params_.n) + d * IntPower(z, params_.m)) + c; break;
    case 6: {
      const TComplex zn = IntPower(z, params_.n);
      if (!IsFinite(zn)) return false;
      w = z * (c + TComplex{1.0 - X, -Y} * zn);
      break;
    }
    case 7: {
      if (X * Y == 0.0) {
        w = z;  // on either axis the formula leaves z unchanged
        break;
      }
      const TComplex zn = IntPower(z, params_.n);
      if (!IsFinite(zn)) return false;
      w = z * (c + TComplex{1.0 - X, -Y} / zn);
      break;
    }
    case 8: {
      const TComplex zn = IntPower(z, params_.n);
      if (!IsFinite(zn)) return false;
      w = (z * (c + d * zn)) / AddReal(zn, 1.0);
      break;
    }
    case 9: w = AddReal((Exp(z) - z) + c, -1.0); break;
    case 10: w = Sin(z) + c; break;
    case 11: w = c * Sin(z); break;
    case 12: w = AddReal((Sin(z) - z) + c, -1.0); break;
    default: w = z; break;  // not a formula: no step
  }
  return IsFinite(w);
}

TCycleLane TFractKernel::Lane() {
  TCycleLane lane;
  lane.histRe = history_.re.data();
  lane.histIm = history_.im.data();
  lane.firstSeen = history_.firstSeen.data();
  lane.stride = 1;
  lane.newest = history_.newest;
  lane.capacity = history_.capacity;
  lane.filled = history_.filled;
  lane.block = &history_.block;
  return lane;
}

// Whether the full scan can change anything for w: w is near a filled history entry whose
// sighting still matters (or a distance overflows), or the unfilled entries may be near.
bool TFractKernel::AnyNear(TComplex w) const {
  const THistory& h = history_;
  const bool always = cycles_.selection == DepthLowest;
  std::int32_t slot = h.newest;
  for (std::int32_t k = 0; k < h.filled; ++k) {
    const double d1 = h.im[slot] - w.im;
    const double d2 = h.re[slot] - w.re;
    const double dk = d1 * d1 + d2 * d2;
    if (dk > DBL_MAX) return true;
    if (dk < cycles_.innerDist2 &&
        (always || (h.firstSeen[k] == 0 && (h.block.count == 0 || k < h.block.from)))) {
      return true;
    }
    slot = slot == 0 ? h.capacity - 1 : slot - 1;
  }
  if (h.filled >= cycles_.maxCycle || !cycles_.startReachable) return false;
  if (!always && h.block.count != 0) return false;
  const double d1 = kHistoryStart - w.im;
  const double d2 = kHistoryStart - w.re;
  const double dk = d1 * d1 + d2 * d2;
  return dk < cycles_.innerDist2 || dk > DBL_MAX;
}

// Step 5's history shift: w becomes entry 0, the oldest entry drops out once K are held.
void TFractKernel::Push(TComplex w) {
  THistory& h = history_;
  h.newest = h.newest + 1 == h.capacity ? 0 : h.newest + 1;
  if (static_cast<std::size_t>(h.newest) >= h.re.size()) {
    const std::size_t size = std::min<std::size_t>(h.re.size() * 2 + 1, h.capacity);
    h.re.resize(size);
    h.im.resize(size);
    h.firstSeen.resize(size);
  }
  h.re[h.newest] = w.re;
  h.im[h.newest] = w.im;
  if (h.filled < h.capacity) h.firstSeen[h.filled++] = 0;
}

// Computes and stores one sample; false, storing nothing, when the stop flag ended it.
bool TFractKernel::ComputeSample(std::int32_t column, std::int32_t row, TFractResult& result) {
  const TComplex point{PlanePosition(params_.left, params_.right, column, params_.xResolution),
                       rowY_[row]};
  TOrbit orbit;
  orbit.z = point;
  orbit.c = params_.mapVar == MapC ? point : TComplex{params_.cr, params_.ci};
  orbit.d = params_.mapVar == MapD ? point : TComplex{params_.dr, params_.di};
  history_.newest = -1;
  history_.filled = 0;
  history_.block = TCycleBlock{};
  const End end = Iterate(orbit);
  if (end == End::Stopped) return false;
  Settle(end, orbit);
  const std::size_t index = static_cast<std::size_t>(row) +
                            static_cast<std::size_t>(column) * static_cast<std::size_t>(result.GetHeight());
  std::uint32_t* colors = result.ColorPlane();
  if (end == End::Failed && mapper_) {
    // A failed sample with pictures has no meaningful depth or colour; zeros keep the array
    // free of stale values.
    result.DepthPlane()[index] = 0.0f;
    if (colors) colors[index] = 0;
  } else {
    result.DepthPlane()[index] = DepthOf(orbit.count, maxDepth_);
    if (colors && mapper_) colors[index] = PictureColor(orbit.R, orbit.G, orbit.B, orbit.A);
  }
  if (std::int32_t* cyclePlane = result.CyclePlane()) cyclePlane[index] = orbit.cycle;
  return true;
}

// The iteration loop: steps the orbit until it escapes, is caught in a cycle, is stopped by
// the pictures, fails or reaches MaxDepth, or until the stop flag ends it. An escape leaves the
// (smoothed) count in orbit.count.
TFractKernel::End TFractKernel::Iterate(TOrbit& orbit) {
  const bool cycles = history_.capacity > 0;
  std::int32_t untilStopCheck = kStopCheckSteps;
  while (maxDepth_ > orbit.count) {
    if (stop_ && --untilStopCheck == 0) {
      if (StopRequested(stop_)) return End::Stopped;
      untilStopCheck = kStopCheckSteps;
    }
    TComplex w;
    if (!Step(orbit.z, orbit.c, orbit.d, w) || (mapper_ && !IsFinite(w))) return End::Failed;
    if (mapper_) {
      const End end = MapPictures(orbit, w);
      if (end != End::Continue) return end;
    }
    const double r2 = w.im * w.im + w.re * w.re;
    if (!(r2 <= DBL_MAX)) return End::Failed;
    if (r2 > outerCircle2_) {
      steps_ += static_cast<std::uint64_t>(orbit.count);
      if (smoothFactor_ != 0.0) {
        orbit.count = SmoothedEscapeCount(orbit.count, r2, smoothFactor_, logR2_);
      }
      return End::Escaped;
    }
    if (cycles && AnyNear(w)) {
      const int period = ScanForCycle(cycles_, Lane(), w.re, w.im, orbit.count);
      if (period == kCycleFailure) return End::Failed;
      if (period > 0) {
        orbit.cycle = period;
        return End::Cycle;
      }
    }
    if (cycles) Push(w);
    orbit.z = w;
    orbit.count += 1.0;
  }
  return End::MaxDepth;
}

// One call of the picture mapping with w and q = 1 / w (0 on the axes). The sample ends once
// the pictures are opaque; a q that cannot be formed is an arithmetic failure.
TFractKernel::End TFractKernel::MapPictures(TOrbit& orbit, TComplex w) const {
  TComplex q;
  if (w.re * w.im != 0.0) q = TComplex{1.0, 0.0} / w;
  if (!IsFinite(q)) return End::Failed;
  mapper_->MapSample(w.re, w.im, q.re, q.im, static_cast<int>(orbit.count), orbit.R, orbit.G,
                     orbit.B, orbit.A);
  return orbit.A >= 0.999 ? End::Picture : End::Continue;
}

// The final count of a sample: the end check at maximal depth (with the recorded cycle the
// selection picks), the negated count of a cycle; and the orbit steps it took.
void TFractKernel::Settle(End end, TOrbit& orbit) {
  switch (end) {
    case End::MaxDepth:
      steps_ += static_cast<std::uint64_t>(maxDepth_) - 1;
      orbit.count = 0.0;
      if (history_.capacity > 0 && recordCycles_) {
        std::int32_t seenAt = 0;
        orbit.cycle = PickCycleAtMaxDepth(cycles_, Lane(), seenAt);
        if (orbit.cycle != 0) orbit.count = -static_cast<double>(seenAt);
      }
      break;
    case End::Cycle:
      steps_ += static_cast<std::uint64_t>(orbit.count);
      orbit.count = -orbit.count;
      break;
    case End::Picture:
    case End::Failed:
      steps_ += static_cast<std::uint64_t>(orbit.count);
      break;
    case End::Escaped:  // counted when it escaped
    case End::Continue:
    case End::Stopped:
      break;
  }
}
