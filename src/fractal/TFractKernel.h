#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fractal/CycleRules.h"
#include "fractal/TComplex.h"
#include "fractal/TKernelParams.h"
#include "fractal/VectorKernels.h"

class TFractResult;
class TOrbitMapper;

// The iteration kernel: computes whole columns of one computation into its result array. A
// pure function of the parameter snapshot (plus the picture mapping), kept as an object only
// to hold its work arrays, which are allocated once and reused for every strip. One object per
// worker thread; several objects may compute different columns of one array at once.
//
// Per sample it iterates the formula from the sample point until the orbit escapes, falls into
// a cycle, is stopped by the picture mapping or reaches MaxDepth, and stores the depth (and the
// cycle number or picture colour where the array has those planes). An arithmetic failure (a
// non-finite result) ends the sample as outside with the count reached; gradual underflow is
// not a failure. The kernel never touches the array's computed or painted counts.
class TFractKernel {
 public:
  // Returns nullptr and sets error when the work arrays cannot be allocated. The mapper (may
  // be nullptr) is not owned and must outlive the kernel.
  static std::unique_ptr<TFractKernel> Create(const TKernelParams& params,
                                              const TOrbitMapper* mapper, std::string& error);

  // Computes columns x0 .. x1 - 1 (0 <= x0 <= x1 <= width), each from the top row down. The
  // array must have the parameters' width and the rows of their band (BandRows). May throw
  // std::bad_alloc when an unusually long cycle history has to grow.
  //
  // With a stop flag, the computation ends early once the flag reads true: it is read between
  // samples and at least every few thousand orbit steps (or MaxDepth steps on the vector
  // paths). Returns false when it ended early; the columns then hold partial data.
  bool ComputeColumns(TFractResult& result, std::int32_t x0, std::int32_t x1,
                      const std::atomic<bool>* stop = nullptr);

  // The path that computes: params.path resolved against the processor, the formula and the
  // picture mapping.
  KernelPath ActivePath() const { return path_; }

  // Formula steps computed since creation (for statistics and benchmarks).
  std::uint64_t OrbitSteps() const { return steps_; }

 private:
  TFractKernel(const TKernelParams& params, const TOrbitMapper* mapper);

  enum class End { Continue, MaxDepth, Escaped, Cycle, Picture, Failed, Stopped };

  // The state of one sample's orbit.
  struct TOrbit {
    TComplex z, c, d;
    double count = 1.0;     // whole until the escape smoothing
    std::int32_t cycle = 0;  // the period found, 0 for none
    double R = 0.0, G = 0.0, B = 0.0, A = 0.0;  // picture accumulators
  };

  // The history of the scalar kernel: a ring of up to min(K, MaxDepth - 1) points that grows
  // on demand, so huge MaxCycle values cost only what the orbits actually use.
  struct THistory {
    std::vector<double> re, im;
    std::vector<std::int32_t> firstSeen;
    TCycleBlock block;
    std::int32_t capacity = 0;  // ring slots once fully grown
    std::int32_t newest = -1;
    std::int32_t filled = 0;
  };

  KernelPath ResolvePath() const;
  TVectorJob VectorJob(TFractResult& result, std::int32_t x0, std::int32_t x1) const;
  bool ComputeSample(std::int32_t column, std::int32_t row, TFractResult& result);
  End Iterate(TOrbit& orbit);
  End MapPictures(TOrbit& orbit, TComplex w) const;
  void Settle(End end, TOrbit& orbit);
  bool Step(TComplex z, TComplex c, TComplex d, TComplex& w) const;
  bool AnyNear(TComplex w) const;
  void Push(TComplex w);
  TCycleLane Lane();

  const TKernelParams params_;
  const TOrbitMapper* const mapper_;
  const TCycleSettings cycles_;
  const double maxDepth_;
  const double outerCircle2_;
  const double logR2_;
  const double smoothFactor_;
  const bool recordCycles_;
  const KernelPath path_;
  std::vector<double> rowY_;
  THistory history_;
  TVectorWorkspace vectorWork_;
  const std::atomic<bool>* stop_ = nullptr;  // the stop flag of the current ComputeColumns
  std::uint64_t steps_ = 0;
};
