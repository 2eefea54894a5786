#pragma once

// The vector kernel for formulas 0-2, generic over an instruction set description Isa:
//   V                       vector of Isa::kWidth doubles
//   kWidth, kBlocks         lanes per vector; vectors iterated side by side (hides latency)
//   kRegisterHistory        histories of 1-3 entries are shifted in registers, not the ring
//   kSpillsLongHistory      a history of 3 entries spills from the registers: the ring is
//                           faster unless the register loop also settles the sightings
//   Set, Load, Store, Add, Sub, Mul, Div, Neg
//   BitOr                   bitwise or
//   Min(a, b)               a < b ? a : b (so b when a is NaN)
//   MinAcross(v)            the smallest lane of v (no lane NaN)
//   Lt, NotLe               lane bits of a < b and of !(a <= b) (true for NaN)
//   Blend(bits, a, b)       b in the lanes of bits, a in the others
//   ExpandLoad(bits, p)     p[0], p[1], ... into the lanes of bits in order (others
//                           unspecified); may read kWidth doubles
//   CompressStore(bits, p, v)  the lanes of bits of v to p[0], p[1], ... in order; may
//                           write kWidth doubles
//   Fma(a, b, c)            a * b + c, rounded once
//   I                       vector of kWidth 64-bit integers
//   AsInt, AsDouble         the bits of a V as an I and back
//   SetI, AddI, SubI, AndI, XorI, ShiftRightI<n>  integer broadcast, arithmetic, logical shift
//   Gather(base, index)     base[index] of every lane
//
// Include this header only from a translation unit compiled for the instruction set, after
// all other headers, with Isa defined in an unnamed namespace there: every instantiation then
// stays local to that unit and is never mixed up with code for another processor.
//
// Each lane computes one sample with exactly the operations of the scalar kernel, in the same
// order. When a lane's sample ends, its result is stored and the lane takes the next sample of
// the strip (column by column, top to bottom), so no lane idles until the strip runs out.
//
// Bookkeeping is kept out of the hot loop: a lane's iteration count is the global step number
// minus the step at which its sample started, and the history of all lanes is one ring whose
// write position advances every step for all lanes together. A lane that takes a new sample
// fills its column of the ring with NaN, which is never near anything, so until the lane has
// written them its unfilled entries cannot be sighted. Sightings, escapes and the end at
// maximal depth are rare; they are decided per lane by the scalar rules that the scalar
// kernel uses too.
//
// The commonest event, lanes that escape while nothing else needs attention, is settled inside
// the loop (histories of run-time length excepted): the escapes go to a queue that is smoothed
// in batches, and the lanes take their next samples from a queue of upcoming ones by vector
// blends, without leaving the loop. Only lanes never scanned for cycles since their refill
// qualify, as only those have their cycle bookkeeping untouched. When every sighting ends its
// sample (the depth-lowest selection, with no unfilled entries to test), sightings are settled
// there too in the loops that hold the history in registers. Those loops take steps in pairs:
// lanes ending at the first step of a pair wait for the second and are settled with its own,
// so that the branch on whether anything ended, which no predictor can learn, is taken once
// per pair.

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <limits>

#include "fractal/CycleRules.h"
#include "fractal/KernelRules.h"
#include "fractal/TKernelParams.h"
#include "fractal/VectorKernels.h"

template <class Isa>
class TSimdRun {
 public:
  using V = typename Isa::V;
  static constexpr int W = Isa::kWidth;
  static constexpr int B = Isa::kBlocks;
  static constexpr int L = W * B;
  static_assert(L <= kMaxVectorLanes && L <= 32);

  TSimdRun(const TVectorJob& job, TVectorWorkspace& work)
      : job_(job),
        cycles_(job.cycles),
        cyclesInLoop_(job.cycles.selection == DepthLowest && !job.cycles.startReachable),
        pairedSteps_(job.smoothFactor != 0.0),
        slots_(job.historySlots),
        lastStep_(static_cast<std::int64_t>(job.maxDepth) - 2),
        newest_(job.historySlots > 0 ? job.historySlots - 1 : 0),
        histRe_(work.histRe.data()),
        histIm_(work.histIm.data()),
        firstSeen_(work.firstSeen.data()),
        blank_(work.blank.data()),
        total_(static_cast<std::int64_t>(job.x1 - job.x0) * job.height),
        firstIndex_(static_cast<std::size_t>(job.x0) * static_cast<std::size_t>(job.height)),
        nextColumn_(job.x0),
        nextX_(PlanePosition(job.left, job.right, job.x0, job.xResolution)) {}

  // Computes the strip; it is incomplete only when the job's stop flag ended it early.
  TVectorOutcome Run() {
    for (int l = 0; l < L; ++l) Refill(l);
    UpdateDepthDue();
    switch (job_.formula) {
      case 0: RunFormula<0>(); break;
      case 1: RunFormula<1>(); break;
      default: RunFormula<2>(); break;
    }
    FlushEscapes();
    return {steps_, active_ == 0};
  }

  // SmoothingLog of values[0..count), in place, a vector at a time.
  static void Logs(double* values, int count) {
    for (int i = 0; i < count; i += W) {
      const int n = std::min(W, count - i);
      alignas(64) double lanes[W] = {};
      std::copy_n(values + i, n, lanes);
      Isa::Store(lanes, LogLanes(Isa::Load(lanes), (1u << n) - 1));
      std::copy_n(lanes, n, values + i);
    }
  }

 private:
  static unsigned Bit(int l) { return 1u << l; }

  // SmoothingLog of every lane of x, by the same operations as the scalar routine; the lanes
  // outside its table are returned in `others`, for the caller to hand to the scalar routine.
  static V Log(V x, unsigned& others) {
    namespace sl = smoothing_log;
    using I = typename Isa::I;
    const I ix = Isa::AsInt(x);
    const I tmp = Isa::SubI(ix, Isa::SetI(sl::kOffset));
    // Twice the interval: the table holds 1/c and log(c) side by side.
    const I twice =
        Isa::AndI(Isa::template ShiftRightI<44>(tmp), Isa::SetI(2 * (sl::kIntervals - 1)));
    const double* table = &sl::kTable[0].invc;
    const V invc = Isa::Gather(table, twice);
    const V logc = Isa::Gather(table + 1, twice);
    // The exponent k: the top 12 bits of tmp as a signed number, made a double exactly by
    // adding it to the bits of 1.5 * 2^52.
    const I top = Isa::XorI(Isa::template ShiftRightI<52>(tmp), Isa::SetI(0x800));
    const V k = Isa::Sub(Isa::AsDouble(Isa::AddI(top, Isa::SetI(0x4338000000000000 - 0x800))),
                         Isa::Set(0x1.8p52));
    const V z = Isa::AsDouble(Isa::SubI(ix, Isa::AndI(tmp, Isa::SetI(0xFFF0000000000000))));
    const V w = Isa::Fma(k, Isa::Set(sl::kLn2Hi), logc);
    const V r = Isa::Fma(z, invc, Isa::Set(-1.0));
    const V hi = Isa::Add(r, w);
    const V r2 = Isa::Mul(r, r);
    const V lo = Isa::Fma(k, Isa::Set(sl::kLn2Lo), Isa::Add(Isa::Sub(w, hi), r));
    const V p = Isa::Fma(Isa::Fma(r, Isa::Set(sl::kPoly[4]), Isa::Set(sl::kPoly[3])), r2,
                         Isa::Fma(r, Isa::Set(sl::kPoly[2]), Isa::Set(sl::kPoly[1])));
    const unsigned normal = ~Isa::Lt(x, Isa::Set(DBL_MIN)) & ~Isa::NotLe(x, Isa::Set(DBL_MAX));
    const unsigned nearOne =
        ~Isa::Lt(x, Isa::Set(sl::kNearOneLow)) & Isa::Lt(x, Isa::Set(sl::kNearOneHigh));
    others = ~(normal & ~nearOne) & kBlockBits;
    return Isa::Add(Isa::Fma(Isa::Mul(r, r2), p, Isa::Fma(r2, Isa::Set(sl::kPoly[0]), lo)), hi);
  }

  // Whether lanes still hold samples and no stop was requested; read once per pass, so a stop
  // is seen within kStopCheckSteps steps.
  bool Going() const {
    return active_ != 0 && !(job_.stop && job_.stop->load(std::memory_order_relaxed));
  }

  // The last step of a pass of the inner loop: the step at which a lane reaches MaxDepth, or
  // earlier, so that the stop flag is read at least every kStopCheckSteps steps. A pass that ends
  // without an event settles nothing (SettleStep with no lanes to handle), so results do not
  // depend on where passes end.
  static constexpr std::int64_t kStopCheckSteps = std::int64_t{1} << 16;
  std::int64_t PassEnd() {
    passLimit_ = step_ + kStopCheckSteps;
    return std::min(depthDue_, passLimit_);
  }

  // Short histories get a loop unrolled at compile time; kSlots -1 reads the length at run time.
  template <int kFormula>
  void RunFormula() {
    if constexpr (Isa::kRegisterHistory) {
      switch (slots_) {
        case 1: RegisterLoopFor<kFormula, 1>(); return;
        case 2: RegisterLoopFor<kFormula, 2>(); return;
        case 3:
          if constexpr (!Isa::kSpillsLongHistory) {
            RegisterLoopFor<kFormula, 3>();
            return;
          } else if (cyclesInLoop_) {  // the depth-lowest selection: nothing is blanked
            RegisterLoop<kFormula, 3, false>();
            return;
          }
          break;
        default: break;
      }
    }
    switch (slots_) {
      case 0: Loop<kFormula, 0>(); break;
      case 1: Loop<kFormula, 1>(); break;
      case 2: Loop<kFormula, 2>(); break;
      case 3: Loop<kFormula, 3>(); break;
      case 4: Loop<kFormula, 4>(); break;
      default: Loop<kFormula, -1>(); break;
    }
  }

  // One formula step from z and its squares x2 = zr * zr, y2 = zi * zi (the scalar kernel's
  // X * X and Y * Y, computed once: they are also the squares of the previous escape test).
  template <int kFormula>
  static void Step(V zr, V zi, V x2, V y2, V cr, V ci, V& wr, V& wi) {
    if constexpr (kFormula == 0) {
      wr = Isa::Add(Isa::Sub(x2, y2), cr);
      wi = Isa::Add(Isa::Mul(Isa::Mul(Isa::Set(2.0), zr), zi), ci);
    } else if constexpr (kFormula == 1) {
      wr = Isa::Add(Isa::Sub(Isa::Mul(x2, zr), Isa::Mul(Isa::Mul(Isa::Set(3.0), zr), y2)), cr);
      wi = Isa::Add(
          Isa::Add(Isa::Mul(Isa::Neg(y2), zi), Isa::Mul(Isa::Mul(Isa::Set(3.0), zi), x2)), ci);
    } else {
      wr = Isa::Add(
          Isa::Add(Isa::Sub(Isa::Mul(x2, x2), Isa::Mul(Isa::Mul(Isa::Set(6.0), x2), y2)),
                   Isa::Mul(y2, y2)),
          cr);
      wi = Isa::Add(Isa::Mul(Isa::Set(4.0), Isa::Sub(Isa::Mul(Isa::Mul(x2, zr), zi),
                                                      Isa::Mul(Isa::Mul(zr, y2), zi))),
                    ci);
    }
  }

  // One step of every block: the new points w, their squares and r2 = |w|^2. Returns the lanes
  // that escaped or failed: r2 > R^2 or not finite, in one comparison (R^2 is finite here).
  template <int kFormula>
  [[gnu::always_inline]] static unsigned StepBlocks(const V* zr, const V* zi, const V* x2,
                                                    const V* y2, const V* cr, const V* ci,
                                                    V outer2, V* wr, V* wi, V* wr2, V* wi2,
                                                    V* r2) {
    unsigned escapes = 0;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      Step<kFormula>(zr[b], zi[b], x2[b], y2[b], cr[b], ci[b], wr[b], wi[b]);
      wr2[b] = Isa::Mul(wr[b], wr[b]);
      wi2[b] = Isa::Mul(wi[b], wi[b]);
      r2[b] = Isa::Add(wi2[b], wr2[b]);
      escapes |= Isa::NotLe(r2[b], outer2) << (b * W);
    }
    return escapes;
  }

  // Steps all lanes until one needs attention, then settles that step lane by lane. The hot
  // state lives in locals: the vector stores into the ring may alias any member.
  template <int kFormula, int kSlots>
  void Loop() {
    const V outer2 = Isa::Set(job_.outerCircle2);
    const V eps2 = Isa::Set(cycles_.innerDist2);
    const std::int32_t slots = kSlots >= 0 ? kSlots : slots_;
    while (Going()) {
      V zr[B], zi[B], x2[B], y2[B], cr[B], ci[B], wr[B], wi[B], wr2[B], wi2[B], r2[B];
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        zr[b] = Isa::Load(zr_ + b * W);
        zi[b] = Isa::Load(zi_ + b * W);
        x2[b] = Isa::Mul(zr[b], zr[b]);
        y2[b] = Isa::Mul(zi[b], zi[b]);
        cr[b] = Isa::Load(cr_ + b * W);
        ci[b] = Isa::Load(ci_ + b * W);
      }
      const unsigned active = active_;
      const unsigned startLive = startLive_;
      std::int64_t due = PassEnd();
      std::int64_t step = step_;
      std::int32_t newest = newest_;
      unsigned handle = 0;
      for (;;) {
        const unsigned escapes =
            StepBlocks<kFormula>(zr, zi, x2, y2, cr, ci, outer2, wr, wi, wr2, wi2, r2);
        unsigned exits = escapes;
        if constexpr (kSlots != 0) {
          exits |= Sightings<kSlots>(wr, wi, eps2, slots, newest, startLive);
        }
        handle = exits & active;
        // Not for a history of run-time length: emptying it would take too many stores.
        unsigned refill = 0;
        if ((handle != 0 || step == due) &&
            !SettleInLoop<(kSlots >= 0), 0, false>(handle, escapes, 0, nullptr, step, due, r2, r2,
                                                   wr, wi, wr2, wi2, cr, ci, refill)) {
          break;
        }
        if constexpr (kSlots != 0) newest = Push(wr, wi, slots, newest);
        if constexpr (kSlots > 0) {
          // The refilled lanes' ring entries, the new points just pushed included, are emptied:
          // left over, they would be sighted and cost a scan each (which reads filled entries
          // only, so results would not change).
          if (refill != 0) EmptyRing(refill, kSlots);
        }
#pragma GCC unroll 4
        for (int b = 0; b < B; ++b) {
          zr[b] = wr[b];
          zi[b] = wi[b];
          x2[b] = wr2[b];
          y2[b] = wi2[b];
        }
        ++step;
      }
      // c changes inside the loop only in the registers.
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        Isa::Store(cr_ + b * W, cr[b]);
        Isa::Store(ci_ + b * W, ci[b]);
      }
      step_ = step;
      newest_ = newest;
      SettleStep<kSlots>(handle, wr, wi, r2, slots);
    }
  }

  // Under the depth-lowest selection every entry's sighting matters, so no entry is ever
  // blanked and the loop can leave the blanks out.
  template <int kFormula, int kSlots>
  void RegisterLoopFor() {
    if (cycles_.selection == DepthLowest) {
      RegisterLoop<kFormula, kSlots, false>();
    } else {
      RegisterLoop<kFormula, kSlots, true>();
    }
  }

  // Loop for a short history with many vector registers: the history is held in registers
  // and shifted every step instead of going through the ring. On leaving, it is written back
  // to the ring in order (entry k in slot kSlots - 1 - k), where the lane rules read it.
  // kBlanks: whether entries can be blanked.
  template <int kFormula, int kSlots, bool kBlanks>
  void RegisterLoop() {
    const V outer2 = Isa::Set(job_.outerCircle2);
    const V eps2 = Isa::Set(cycles_.innerDist2);
    while (Going()) {
      V zr[B], zi[B], x2[B], y2[B], cr[B], ci[B], wr[B], wi[B], wr2[B], wi2[B], r2[B];
      V hr[kSlots][B], hi[kSlots][B];
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        zr[b] = Isa::Load(zr_ + b * W);
        zi[b] = Isa::Load(zi_ + b * W);
        x2[b] = Isa::Mul(zr[b], zr[b]);
        y2[b] = Isa::Mul(zi[b], zi[b]);
        cr[b] = Isa::Load(cr_ + b * W);
        ci[b] = Isa::Load(ci_ + b * W);
      }
      std::int32_t slot = newest_;
#pragma GCC unroll 4
      for (int k = 0; k < kSlots; ++k) {
#pragma GCC unroll 4
        for (int b = 0; b < B; ++b) {
          hr[k][b] = Isa::Load(histRe_ + static_cast<std::size_t>(slot) * L + b * W);
          hi[k][b] = Isa::Load(histIm_ + static_cast<std::size_t>(slot) * L + b * W);
        }
        slot = slot == 0 ? kSlots - 1 : slot - 1;
      }
      const double* blank = blank_;
      const unsigned active = active_;
      const unsigned startLive = startLive_;
      std::int64_t due = PassEnd();
      std::int64_t step = step_;
      unsigned handle = 0;
      // Lanes that ended at the step before and wait to be settled with this one: those of
      // lateCycles sighted an entry, the others escaped (squared radii in lateR2). lateNear:
      // their sightings, as near in SettleInLoop. And whether this step begins a pair (below).
      unsigned late = 0;
      unsigned lateCycles = 0;
      unsigned lateNear[kSlots] = {};
      V lateR2[B] = {};
      bool pairStart = true;
      for (;;) {
        const unsigned escapes =
            StepBlocks<kFormula>(zr, zi, x2, y2, cr, ci, outer2, wr, wi, wr2, wi2, r2);
        unsigned exits = escapes;
#pragma GCC unroll 4
        for (int b = 0; b < B; ++b) {
          V nearest = Isa::Set(std::numeric_limits<double>::infinity());
#pragma GCC unroll 4
          for (int k = 0; k < kSlots; ++k) {
            const V d1 = Isa::Sub(hi[k][b], wi[b]);
            const V d2 = Isa::Sub(hr[k][b], wr[b]);
            const V dk = Isa::Add(Isa::Mul(d1, d1), Isa::Mul(d2, d2));
            nearest = Isa::Min(kBlanks ? Isa::BitOr(dk, Isa::Load(blank + k * L + b * W)) : dk,
                               nearest);
          }
          exits |= Isa::Lt(nearest, eps2) << (b * W);
        }
        if (startLive != 0) exits |= StartSightings(wr, wi, eps2) & startLive;
        handle = exits & active & ~late;  // late lanes took a step past their end
        unsigned refill = 0;  // lanes refilled in the loop; their history is emptied below
        // Whether some lane finished is hard to predict, so steps go in pairs with one such
        // branch: at the first step, lanes that escaped or (when sightings settle here) sighted
        // an entry, with nothing else due, are kept for the second; their extra step changes
        // nothing, as they start anew after it.
        if (pairStart && pairedSteps_ &&
            (handle & (scanned_ | (cyclesInLoop_ ? 0u : ~escapes))) == 0 && due - step >= 2) {
          late = handle;
          lateCycles = handle & ~escapes;
#pragma GCC unroll 4
          for (int b = 0; b < B; ++b) lateR2[b] = r2[b];
        } else {
          if (lateCycles != 0) LateSightings<kSlots>(hr, hi, lateCycles, eps2, lateNear);
          if (((handle | late) != 0 || step == due) &&
              !SettleInLoop<true, kSlots, true>(
                  handle | late, (escapes & ~late) | (late & ~lateCycles), late, lateNear, step,
                  due, r2, lateR2, wr, wi, wr2, wi2, cr, ci, refill, hr, hi)) {
            break;
          }
          late = 0;
          lateCycles = 0;
        }
        pairStart = !pairStart;
#pragma GCC unroll 4
        for (int b = 0; b < B; ++b) {
#pragma GCC unroll 4
          for (int k = kSlots - 1; k > 0; --k) {
            hr[k][b] = hr[k - 1][b];
            hi[k][b] = hi[k - 1][b];
          }
          hr[0][b] = wr[b];
          hi[0][b] = wi[b];
          zr[b] = wr[b];
          zi[b] = wi[b];
          x2[b] = wr2[b];
          y2[b] = wi2[b];
        }
        ++step;
        if (refill != 0) {
          const V nan = Isa::Set(std::numeric_limits<double>::quiet_NaN());
#pragma GCC unroll 4
          for (int b = 0; b < B; ++b) {
            const unsigned bits = (refill >> (b * W)) & kBlockBits;
#pragma GCC unroll 4
            for (int k = 0; k < kSlots; ++k) {
              hr[k][b] = Isa::Blend(bits, hr[k][b], nan);
              hi[k][b] = Isa::Blend(bits, hi[k][b], nan);
            }
          }
        }
      }
#pragma GCC unroll 4
      for (int k = 0; k < kSlots; ++k) {
#pragma GCC unroll 4
        for (int b = 0; b < B; ++b) {
          Isa::Store(histRe_ + static_cast<std::size_t>(kSlots - 1 - k) * L + b * W, hr[k][b]);
          Isa::Store(histIm_ + static_cast<std::size_t>(kSlots - 1 - k) * L + b * W, hi[k][b]);
        }
      }
      // c changes inside the loop only in the registers.
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        Isa::Store(cr_ + b * W, cr[b]);
        Isa::Store(ci_ + b * W, ci[b]);
      }
      step_ = step;
      newest_ = kSlots - 1;
      SettleStep<kSlots>(handle, wr, wi, r2, kSlots, late, lateR2, lateCycles, lateNear);
    }
  }

  // The event of a step inside a loop (lanes needing attention, or the pass's end at due). With
  // kInLoop, lanes never scanned since their refill are settled here when they escaped, or, with
  // a history of kCycleSlots entries in registers (hr, hi) under a selection that ends a sample
  // at its first sighting, when they sighted an entry; they step on from their next samples'
  // points (blended into the new points w and their squares, and into c when it is the point)
  // and are returned in refill, for the caller to empty their history; due moves on when the
  // lane due first was among them. Returns false, with nothing done, for every other event: the
  // loop is left for SettleStep. The lanes of late ended at the step before: the escaped ones
  // with squared radii in lateR2 (not r2), the sighting ones near the entries in lateNear (not
  // near); kLate tells whether there can be any.
  template <bool kInLoop, int kCycleSlots, bool kLate>
  [[gnu::always_inline]] bool SettleInLoop(unsigned lanes, unsigned escapes, unsigned late,
                                           const unsigned* lateNear, std::int64_t step,
                                           std::int64_t& due, const V* r2, const V* lateR2, V* wr,
                                           V* wi, V* wr2, V* wi2, V* cr, V* ci, unsigned& refill,
                                           const V (*hr)[B] = nullptr, const V (*hi)[B] = nullptr) {
    if constexpr (!kInLoop) {
      return false;
    } else {
      if (step == due || (lanes & scanned_) != 0) return false;
      const unsigned cycles = lanes & ~escapes;
      // Lanes near entry k, for the period of each sighting lane: the lowest k it is near (no
      // entry is blanked under the selection that settles sightings here).
      unsigned near[kCycleSlots > 0 ? kCycleSlots : 1] = {};
      if (cycles != 0) {
        if constexpr (kCycleSlots > 0) {
          if (!cyclesInLoop_) return false;
          const V eps2 = Isa::Set(cycles_.innerDist2);
#pragma GCC unroll 4
          for (int k = 0; k < kCycleSlots; ++k) {
#pragma GCC unroll 4
            for (int b = 0; b < B; ++b) {
              const V d1 = Isa::Sub(hi[k][b], wi[b]);
              const V d2 = Isa::Sub(hr[k][b], wr[b]);
              const V dk = Isa::Add(Isa::Mul(d1, d1), Isa::Mul(d2, d2));
              near[k] |= Isa::Lt(dk, eps2) << (b * W);
            }
            if constexpr (kLate) near[k] = (near[k] & ~late) | (lateNear[k] & late);
          }
        } else {
          return false;
        }
      }
      V nzr[B], nzi[B], radii[B];
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        radii[b] = kLate ? Isa::Blend((late >> (b * W)) & kBlockBits, r2[b], lateR2[b]) : r2[b];
      }
      bool dueLost = false;
      if (!QueueEndsInLoop<kLate>(lanes, cycles, late, near, radii, step, nzr, nzi, dueLost)) {
        return false;
      }
      if (dueLost) {
        UpdateDepthDue();
        due = std::min(depthDue_, passLimit_);
      }
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        const unsigned bits = (lanes >> (b * W)) & kBlockBits;
        wr[b] = Isa::Blend(bits, wr[b], nzr[b]);
        wi[b] = Isa::Blend(bits, wi[b], nzi[b]);
        wr2[b] = Isa::Blend(bits, wr2[b], Isa::Mul(nzr[b], nzr[b]));
        wi2[b] = Isa::Blend(bits, wi2[b], Isa::Mul(nzi[b], nzi[b]));
        if (job_.mapC) {
          cr[b] = Isa::Blend(bits, cr[b], nzr[b]);
          ci[b] = Isa::Blend(bits, ci[b], nzi[b]);
        }
      }
      refill = lanes;
      return true;
    }
  }

  // Empties the ring entries of the lanes in `lanes` (NaN is never near anything).
  void EmptyRing(unsigned lanes, std::int32_t slots) {
    const V nan = Isa::Set(std::numeric_limits<double>::quiet_NaN());
    for (std::int32_t s = 0; s < slots; ++s) {
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        const unsigned bits = (lanes >> (b * W)) & kBlockBits;
        double* re = histRe_ + static_cast<std::size_t>(s) * L + b * W;
        double* im = histIm_ + static_cast<std::size_t>(s) * L + b * W;
        Isa::Store(re, Isa::Blend(bits, Isa::Load(re), nan));
        Isa::Store(im, Isa::Blend(bits, Isa::Load(im), nan));
      }
    }
  }

  // Completes the current step lane by lane: escapes, failures and sightings in handle, the
  // history push, the end at maximal depth, and new samples for the lanes that finished. The
  // lanes of late ended at the step before: those of lateCycles sighted the entries in lateNear,
  // the others escaped (squared radii in lateR2).
  template <int kSlots>
  void SettleStep(unsigned handle, const V* wr, const V* wi, const V* r2, std::int32_t slots,
                  unsigned late = 0, const V* lateR2 = nullptr, unsigned lateCycles = 0,
                  const unsigned* lateNear = nullptr) {
    unsigned finished = late;
    if (late != 0) {  // first: r2_ holds their radii until this step's are stored below
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) Isa::Store(r2_ + b * W, lateR2[b]);
      for (unsigned bits = late; bits != 0; bits &= bits - 1) {
        const int l = __builtin_ctz(bits);
        const double count = static_cast<double>(step_) - start_[l];
        if ((lateCycles & Bit(l)) != 0) {
          SettleSighting(l, count, lateNear);
        } else {
          SettleEscape(l, count);
        }
      }
    }
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      Isa::Store(zr_ + b * W, wr[b]);
      Isa::Store(zi_ + b * W, wi[b]);
      Isa::Store(r2_ + b * W, r2[b]);
    }
    if (handle != 0) finished |= Handle(handle);
    if constexpr (kSlots != 0) newest_ = Push(wr, wi, slots, newest_);
    if (step_ == depthDue_) finished |= EndAtMaxDepth(active_ & ~finished);
    ++step_;
    // New samples reach MaxDepth last; only the loss of the earliest one moves the due step.
    bool dueLost = false;
    const double firstDue = FirstDue();
    for (unsigned bits = finished; bits != 0; bits &= bits - 1) {
      const int l = __builtin_ctz(bits);
      dueLost = dueLost || start_[l] == firstDue;
      Refill(l);
    }
    if (dueLost) UpdateDepthDue();
  }

  // Lanes whose new point is near a history entry whose sighting still matters. Entries that
  // cannot matter are blanked to NaN, so the smallest distance over all entries decides.
  template <int kSlots>
  unsigned Sightings(const V* wr, const V* wi, V eps2, std::int32_t slots, std::int32_t newest,
                     unsigned startLive) const {
    V nearest[B];
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) nearest[b] = Isa::Set(std::numeric_limits<double>::infinity());
    std::int32_t slot = newest;
#pragma GCC unroll 4
    for (std::int32_t k = 0; k < (kSlots > 0 ? kSlots : slots); ++k) {
      const double* re = histRe_ + static_cast<std::size_t>(slot) * L;
      const double* im = histIm_ + static_cast<std::size_t>(slot) * L;
      const double* blank = blank_ + static_cast<std::size_t>(k) * L;
      slot = slot == 0 ? slots - 1 : slot - 1;
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        const V d1 = Isa::Sub(Isa::Load(im + b * W), wi[b]);
        const V d2 = Isa::Sub(Isa::Load(re + b * W), wr[b]);
        const V dk = Isa::Add(Isa::Mul(d1, d1), Isa::Mul(d2, d2));
        nearest[b] = Isa::Min(Isa::BitOr(dk, Isa::Load(blank + b * W)), nearest[b]);
      }
    }
    unsigned events = 0;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) events |= Isa::Lt(nearest[b], eps2) << (b * W);
    if (startLive != 0) events |= StartSightings(wr, wi, eps2) & startLive;
    return events;
  }

  // The sightings of the lanes in `lanes`, which sighted an entry at the step before, from the
  // history held before this step's push: entry 0 is their point then and entry k + 1 was
  // their entry k. Their oldest entry then is gone: a lane near no other one sighted it.
  // near[k]: the lanes near entry k, as SettleInLoop finds them.
  template <int kSlots>
  static void LateSightings(const V (*hr)[B], const V (*hi)[B], unsigned lanes, V eps2,
                            unsigned* near) {
    unsigned seen = 0;
#pragma GCC unroll 4
    for (int k = 0; k + 1 < kSlots; ++k) {
      unsigned bits = 0;
#pragma GCC unroll 4
      for (int b = 0; b < B; ++b) {
        const V d1 = Isa::Sub(hi[k + 1][b], hi[0][b]);
        const V d2 = Isa::Sub(hr[k + 1][b], hr[0][b]);
        bits |= Isa::Lt(Isa::Add(Isa::Mul(d1, d1), Isa::Mul(d2, d2)), eps2) << (b * W);
      }
      near[k] = bits & lanes;
      seen |= near[k];
    }
    near[kSlots - 1] = lanes & ~seen;
  }

  // Lanes whose new point is near the start value of the unfilled entries.
  static unsigned StartSightings(const V* wr, const V* wi, V eps2) {
    const V start = Isa::Set(kHistoryStart);
    unsigned near = 0;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      const V d1 = Isa::Sub(start, wi[b]);
      const V d2 = Isa::Sub(start, wr[b]);
      near |= Isa::Lt(Isa::Add(Isa::Mul(d1, d1), Isa::Mul(d2, d2)), eps2) << (b * W);
    }
    return near;
  }

  // Marks entry k of lane l as one whose sighting matters (or not).
  void SetLive(std::int32_t k, int l, bool live) {
    blank_[static_cast<std::size_t>(k) * L + l] =
        live ? 0.0 : std::numeric_limits<double>::quiet_NaN();
  }

  // Writes the new points as entry 0 of the ring; returns the new slot of entry 0.
  std::int32_t Push(const V* wr, const V* wi, std::int32_t slots, std::int32_t newest) {
    newest = newest + 1 == slots ? 0 : newest + 1;
    double* re = histRe_ + static_cast<std::size_t>(newest) * L;
    double* im = histIm_ + static_cast<std::size_t>(newest) * L;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      Isa::Store(re + b * W, wr[b]);
      Isa::Store(im + b * W, wi[b]);
    }
    return newest;
  }

  // The iteration count of lane l at the current step.
  double Count(int l) const { return static_cast<double>(step_ + 1) - start_[l]; }
  // The step at which lane l's sample started.
  std::int64_t Start(int l) const { return static_cast<std::int64_t>(start_[l]); }
  // The start of the samples that reach MaxDepth first (at depthDue_).
  double FirstDue() const { return static_cast<double>(depthDue_ - lastStep_); }

  // The cycle state of lane l once `pushes` points of its orbit have entered the ring.
  TCycleLane Lane(int l, std::int64_t pushes) {
    TCycleLane lane;
    lane.histRe = histRe_ + l;
    lane.histIm = histIm_ + l;
    lane.firstSeen = firstSeen_ + l;
    lane.stride = L;
    lane.newest = newest_;
    lane.capacity = slots_;
    lane.filled = static_cast<std::int32_t>(pushes < cycles_.maxCycle ? pushes : cycles_.maxCycle);
    lane.block = &block_[l];
    return lane;
  }

  // Escapes, failures and sightings of the lanes in handle at the current step (new points in
  // zr_, zi_, r2_; the ring not yet pushed). Returns the lanes whose sample ended.
  unsigned Handle(unsigned handle) {
    unsigned finished = 0;
    for (unsigned bits = handle; bits != 0; bits &= bits - 1) {
      const int l = __builtin_ctz(bits);
      const double count = Count(l);
      if (!(r2_[l] <= job_.outerCircle2)) {
        SettleEscape(l, count);
        finished |= Bit(l);
        continue;
      }
      const TCycleLane lane = Lane(l, step_ - Start(l));
      scanned_ |= Bit(l);
      const int period = ScanForCycle(cycles_, lane, zr_[l], zi_[l], count);
      if (period != 0) {
        // kCycleFailure cannot come here: no distance overflows where the vector kernels run.
        steps_ += static_cast<std::uint64_t>(count);
        Store(l, period > 0 ? -count : count, period > 0 ? period : 0);
        finished |= Bit(l);
      } else {
        UpdateLive(l, lane);
      }
    }
    return finished;
  }

  // Lane l escaped or failed (squared radius in r2_) after count steps.
  void SettleEscape(int l, double count) {
    if (r2_[l] <= DBL_MAX && job_.smoothFactor != 0.0) {
      QueueEscape(l, count);  // steps counted when the queue is flushed
    } else {
      steps_ += static_cast<std::uint64_t>(count);
      Store(l, count, 0);  // escaped without smoothing, or failed
    }
  }

  // Lane l sighted an entry after count steps and ends caught in a cycle: its period is one
  // more than the lowest k whose near[k] holds it.
  [[gnu::always_inline]] void SettleSighting(int l, double count, const unsigned* near) {
    int k = 0;
    while ((near[k] & Bit(l)) == 0) ++k;
    steps_ += static_cast<std::uint64_t>(count);
    Store(l, -count, k + 1);
  }

  // Recomputes which entries of lane l can still change its outcome after a scan.
  void UpdateLive(int l, const TCycleLane& lane) {
    const bool always = cycles_.selection == DepthLowest;
    for (std::int32_t k = 0; k < slots_; ++k) {
      SetLive(k, l, always || lane.FirstSeen(k) == 0);
    }
    if (lane.filled >= cycles_.maxCycle || (!always && block_[l].count != 0)) {
      startLive_ &= ~Bit(l);
    }
  }

  // The end check of the lanes in `lanes` that reach the maximal depth at this step (after
  // the push). Returns them.
  unsigned EndAtMaxDepth(unsigned lanes) {
    unsigned ended = 0;
    for (; lanes != 0; lanes &= lanes - 1) {
      const int l = __builtin_ctz(lanes);
      if (start_[l] != static_cast<double>(step_ - lastStep_)) continue;
      ended |= Bit(l);
      steps_ += static_cast<std::uint64_t>(job_.maxDepth) - 1;
      std::int32_t seenAt = 0;
      int period = 0;
      if (slots_ > 0 && job_.recordCycles) {
        period = PickCycleAtMaxDepth(cycles_, Lane(l, step_ - Start(l) + 1), seenAt);
      }
      Store(l, period != 0 ? -static_cast<double>(seenAt) : 0.0, period);
    }
    return ended;
  }

  void UpdateDepthDue() {
    if (active_ == 0) {
      depthDue_ = std::numeric_limits<std::int64_t>::max();
      return;
    }
    // The smallest start of the active lanes, a vector at a time, then across one vector.
    const V none = Isa::Set(std::numeric_limits<double>::infinity());
    V first = none;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      const unsigned bits = (active_ >> (b * W)) & kBlockBits;
      first = Isa::Min(Isa::Blend(bits, none, Isa::Load(start_ + b * W)), first);
    }
    // In registers: reading single lanes back from a vector store stalls the store forwarding.
    depthDue_ = static_cast<std::int64_t>(Isa::MinAcross(first)) + lastStep_;
  }

  // Smoothed escapes are stored in batches: the logarithm and the two divisions of one sample
  // depend on each other, those of different samples do not, so a batch keeps the divider busy
  // instead of waiting on one chain per lane at every settled step.
  void QueueEscape(int l, double count) {
    escSample_[escapeCount_] = sample_[l];
    escCount_[escapeCount_] = count;
    escR2_[escapeCount_] = r2_[l];
    if (++escapeCount_ >= kEscapeBatch) FlushEscapes();
  }

  // Log of the lanes of `valid` of x (others unspecified), the lanes outside the table by the
  // scalar routine.
  static V LogLanes(V x, unsigned valid) {
    unsigned others = 0;
    const V y = Log(x, others);
    others &= valid;
    if (others == 0) return y;
    alignas(64) double in[W];
    alignas(64) double out[W];
    Isa::Store(in, x);
    Isa::Store(out, y);
    for (; others != 0; others &= others - 1) {
      const int l = __builtin_ctz(others);
      out[l] = SmoothingLog(in[l]);
    }
    return Isa::Load(out);
  }

  // Out of line: called once per batch, it would crowd the loop that inlines its caller.
  [[gnu::noinline]] void FlushEscapes() {
    // SmoothedEscapeCount and DepthOf's division with the same operations lane by lane, a vector
    // at a time (the arrays have room for a whole last vector); the counts are summed as doubles,
    // exactly, as whole numbers far below 2^53.
    const int queued = escapeCount_;
    const V factor = Isa::Set(job_.smoothFactor);
    const V logR2 = Isa::Set(job_.logR2);
    const V maxDepth = Isa::Set(job_.maxDepth);
    const V zero = Isa::Set(0.0);
    const V least = Isa::Set(0.0001);
    V steps = zero;
    for (int i = 0; i < queued; i += W) {
      const unsigned valid = kBlockBits >> (W - std::min(W, queued - i));
      const V logr2 = LogLanes(Isa::Load(escR2_ + i), valid);
      const V counts = Isa::Load(escCount_ + i);
      const V count = Isa::Sub(counts, Isa::Div(Isa::Mul(factor, logr2), logR2));
      Isa::Store(escR2_ + i, Isa::Div(Isa::Blend(Isa::Lt(count, zero), count, least), maxDepth));
      steps = Isa::Add(steps, Isa::Blend(valid, zero, counts));
    }
    alignas(64) double sums[W];
    Isa::Store(sums, steps);
    for (double sum : sums) steps_ += static_cast<std::uint64_t>(sum);
    for (int i = 0; i < queued; ++i) {
      const std::size_t index = firstIndex_ + static_cast<std::size_t>(escSample_[i]);
      job_.depths[index] = static_cast<float>(escR2_[i]);
      if (job_.cyclePlane) job_.cyclePlane[index] = 0;
    }
    escapeCount_ = 0;
  }

  // Settles the lanes of `lanes`, which ended at `step` (those of late, with kLate, at the step
  // before) and were never scanned since their refill: the lanes of `cycles` sighted an entry (the
  // lanes near entry k in near[k]) and end caught in a cycle, the others escaped (squared radii in
  // r2) and are queued for smoothing. Gives them their next samples: the new starting points in
  // nzr, nzi for the caller to blend in once the step is complete. False, with nothing done, when
  // the general path must settle them: a failure (radius not finite), counts without smoothing, or
  // too few samples left in the strip. dueLost tells whether the lane that reaches MaxDepth first
  // was among them. Inlined: a call would make the loop save and restore all its vector registers
  // at every escape.
  template <bool kLate>
  [[gnu::always_inline]] bool QueueEndsInLoop(unsigned lanes, unsigned cycles, unsigned late,
                                              const unsigned* near, const V* r2, std::int64_t step,
                                              V* nzr, V* nzi, bool& dueLost) {
    const int n = __builtin_popcount(lanes);
    const unsigned escaped = lanes & ~cycles;
    if (escaped != 0 && job_.smoothFactor == 0.0) return false;
    if (upEnd_ - upPos_ < n && !FillUpcoming(n)) return false;
    const V finite = Isa::Set(DBL_MAX);
    const V firstDue = Isa::Set(FirstDue());
    unsigned bad = 0;
    unsigned due = 0;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      const unsigned bits = (lanes >> (b * W)) & kBlockBits;
      bad |= Isa::NotLe(r2[b], finite) & (escaped >> (b * W));
      // Active lanes start at firstDue or later; those starting there set the due step.
      due |= ~Isa::Lt(firstDue, Isa::Load(start_ + b * W)) & bits;
    }
    if (bad != 0) return false;
    dueLost = due != 0;
    // Rarer than escapes, so stored one by one, before the lanes' samples change.
    for (unsigned bits = cycles; bits != 0; bits &= bits - 1) {
      const int l = __builtin_ctz(bits);
      SettleSighting(l, static_cast<double>(step + 1 - ((late >> l) & 1u)) - start_[l], near);
    }
    // The count of a lane is step - start + 1 (step - start for the late ones, which ended at
    // the step before); the new samples start at the next step.
    const V next = Isa::Set(static_cast<double>(step + 1));
    const V lateNext = Isa::Set(static_cast<double>(step));
    // Positions in locals: the vector stores may alias any member, which would be read again.
    int queued = escapeCount_;
    int taken = upPos_;
#pragma GCC unroll 4
    for (int b = 0; b < B; ++b) {
      const unsigned bits = (lanes >> (b * W)) & kBlockBits;
      const unsigned escBits = (escaped >> (b * W)) & kBlockBits;
      const V start = Isa::Load(start_ + b * W);
      const V sample = Isa::Load(sample_ + b * W);
      const V end = kLate ? Isa::Blend((late >> (b * W)) & kBlockBits, next, lateNext) : next;
      Isa::CompressStore(escBits, escCount_ + queued, Isa::Sub(end, start));
      Isa::CompressStore(escBits, escR2_ + queued, r2[b]);
      Isa::CompressStore(escBits, escSample_ + queued, sample);
      nzr[b] = Isa::ExpandLoad(bits, upRe_ + taken);
      nzi[b] = Isa::ExpandLoad(bits, upIm_ + taken);
      const V nextSample = Isa::ExpandLoad(bits, upSample_ + taken);
      Isa::Store(sample_ + b * W, Isa::Blend(bits, sample, nextSample));
      Isa::Store(start_ + b * W, Isa::Blend(bits, start, next));
      queued += __builtin_popcount(escBits);
      taken += __builtin_popcount(bits);
    }
    escapeCount_ = queued;
    upPos_ = taken;
    if (queued >= kEscapeBatch) FlushEscapes();
    return true;
  }

  // Moves the unused upcoming samples to the front and appends the next samples of the strip
  // up to the queue's size. Returns whether at least `wanted` are queued.
  bool FillUpcoming(int wanted) {
    int end = 0;
    for (int i = upPos_; i < upEnd_; ++i, ++end) {
      upRe_[end] = upRe_[i];
      upIm_[end] = upIm_[i];
      upSample_[end] = upSample_[i];
    }
    for (; end < kUpcoming && next_ < total_; ++end) {
      TakeNextSample(upSample_[end], upRe_[end], upIm_[end]);
    }
    upPos_ = 0;
    upEnd_ = end;
    return end >= wanted;
  }

  // The next sample of the strip (column by column, top to bottom) and its point; next_ < total_.
  void TakeNextSample(double& sample, double& re, double& im) {
    sample = static_cast<double>(next_++);
    re = nextX_;
    im = job_.rowY[nextRow_];
    if (++nextRow_ == job_.height) {
      nextRow_ = 0;
      ++nextColumn_;
      nextX_ = PlanePosition(job_.left, job_.right, nextColumn_, job_.xResolution);
    }
  }

  void Store(int l, double count, std::int32_t cycle) {
    const std::size_t index = firstIndex_ + static_cast<std::size_t>(sample_[l]);
    job_.depths[index] = DepthOf(count, job_.maxDepth);
    if (job_.cyclePlane) job_.cyclePlane[index] = cycle;
  }

  // Gives lane l the next sample of the strip (starting at the current step), or makes it
  // idle when there is none.
  [[gnu::always_inline]] void Refill(int l) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (std::int32_t s = 0; s < slots_; ++s) {
      histRe_[static_cast<std::size_t>(s) * L + l] = nan;
      histIm_[static_cast<std::size_t>(s) * L + l] = nan;
    }
    // Sightings and the liveness of entries change only in a scan: a lane never scanned since
    // its last refill has them as the refill left them.
    if ((scanned_ & Bit(l)) != 0) {
      scanned_ &= ~Bit(l);
      for (std::int32_t s = 0; s < slots_; ++s) {
        firstSeen_[static_cast<std::size_t>(s) * L + l] = 0;
        SetLive(s, l, true);
      }
      block_[l] = TCycleBlock{};
    }
    start_[l] = static_cast<double>(step_);
    // Samples come from the queue of upcoming ones, which the refills in the loop take from too.
    if (upPos_ == upEnd_ && !FillUpcoming(1)) {
      active_ &= ~Bit(l);
      startLive_ &= ~Bit(l);
      zr_[l] = zi_[l] = cr_[l] = ci_[l] = 0.0;
      return;
    }
    active_ |= Bit(l);
    if (slots_ > 0 && cycles_.startReachable) startLive_ |= Bit(l);
    sample_[l] = upSample_[upPos_];
    zr_[l] = upRe_[upPos_];
    zi_[l] = upIm_[upPos_];
    ++upPos_;
    cr_[l] = job_.mapC ? zr_[l] : job_.cr;
    ci_[l] = job_.mapC ? zi_[l] : job_.ci;
  }

  const TVectorJob& job_;
  const TCycleSettings cycles_;
  // Whether every sighting ends its sample at the lowest near entry, with no unfilled entries
  // to test: then sightings can be settled in a loop that holds the history in registers.
  const bool cyclesInLoop_;
  // Whether the register loop takes steps in pairs: only where escapes settle in the loop,
  // which needs smoothing (without it, every escape leaves the loop).
  const bool pairedSteps_;
  const std::int32_t slots_;
  const std::int64_t lastStep_;  // steps after its start at which a sample reaches MaxDepth
  std::int32_t newest_;          // ring slot of entry 0; the first push writes slot 0
  double* histRe_;
  double* histIm_;
  std::int32_t* firstSeen_;
  // Entry k of lane l at [k * L + l]: 0 where its sighting still matters, else NaN (OR-ed
  // into the distance, which then never counts as near).
  double* blank_;
  const std::int64_t total_;
  const std::size_t firstIndex_;  // plane index of the strip's first sample
  std::int64_t next_ = 0;      // the next sample of the strip to queue (index in strip)
  std::int32_t nextColumn_;    // its column, row and real part
  std::int32_t nextRow_ = 0;
  double nextX_;
  std::int64_t step_ = 0;      // global step number
  std::int64_t depthDue_ = 0;  // the first step at which an active lane reaches MaxDepth
  std::int64_t passLimit_ = 0;  // the last step of the current pass before reading the stop flag
  std::uint64_t steps_ = 0;
  unsigned active_ = 0;     // lanes holding a sample
  unsigned startLive_ = 0;  // lanes whose unfilled entries may still be sighted
  // Lanes scanned for cycles since their refill; all lanes at the start, as the workspace
  // comes with entries of earlier strips.
  unsigned scanned_ = ~0u;

  static constexpr unsigned kBlockBits = (1u << W) - 1;
  // Escapes waiting for smoothing: sample in strip, count, squared radius. Flushed as soon as
  // kEscapeBatch are queued, so fewer are queued when a refill begins; the room beyond takes
  // the L lanes of one refill (and a whole vector's write).
  static constexpr int kEscapeBatch = 64;
  static constexpr int kEscapeRoom = kEscapeBatch + L + W;
  alignas(64) double escSample_[kEscapeRoom] = {};
  alignas(64) double escCount_[kEscapeRoom] = {};
  alignas(64) double escR2_[kEscapeRoom] = {};
  int escapeCount_ = 0;
  // The next samples of the strip in order: sample in strip and starting point (and room for
  // reading a whole vector at the last).
  static constexpr int kUpcoming = 64;
  alignas(64) double upSample_[kUpcoming + W] = {};
  alignas(64) double upRe_[kUpcoming + W] = {};
  alignas(64) double upIm_[kUpcoming + W] = {};
  int upPos_ = 0;
  int upEnd_ = 0;

  alignas(64) double zr_[L];
  alignas(64) double zi_[L];
  alignas(64) double cr_[L];
  alignas(64) double ci_[L];
  alignas(64) double r2_[L];
  // The step at which each lane's sample started and its sample in the strip (whole numbers).
  alignas(64) double start_[L] = {};
  alignas(64) double sample_[L] = {};
  TCycleBlock block_[L];
};
