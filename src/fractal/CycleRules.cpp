#include "fractal/CycleRules.h"

#include <cfloat>
#include <cmath>

#include "fractal/TKernelParams.h"

TCycleSettings TCycleSettings::FromParams(const TKernelParams& params) {
  TCycleSettings s;
  s.maxCycle = params.maxCycle < 0 ? 0 : params.maxCycle;
  s.innerDist2 = params.innerDist * params.innerDist;
  s.selection = params.cycleSelection;
  // A point within the escape circle has |w| <= R; 1000 + 1000i lies at 1414.21..., so with
  // R + epsilon below 1414 (margin for rounding) no distance to it can fall below epsilon.
  const double r2 = params.outerCircle * params.outerCircle;
  s.startReachable = !(std::sqrt(r2) + std::sqrt(s.innerDist2) < 1414.0);
  return s;
}

namespace {

// The sighting rules for a near entry k with no first sighting yet. Returns the period when
// the sample ends.
int SightedEntry(const TCycleSettings& s, std::int32_t k) {
  if (k == 0 && s.selection == CycleLowest) return 1;
  if (k == s.maxCycle - 1 && s.selection == CycleHighest) return s.maxCycle;
  return 0;
}

}  // namespace

int ScanForCycle(const TCycleSettings& s, const TCycleLane& lane, double wRe, double wIm,
                 double count) {
  const std::int32_t seenAt = static_cast<std::int32_t>(count);
  for (std::int32_t k = 0; k < lane.filled; ++k) {
    const double d1 = lane.Im(k) - wIm;
    const double d2 = lane.Re(k) - wRe;
    const double dk = d1 * d1 + d2 * d2;
    if (dk > DBL_MAX) return kCycleFailure;
    if (!(dk < s.innerDist2)) continue;
    if (s.selection == DepthLowest) return k + 1;
    if (lane.FirstSeen(k) != 0) continue;
    lane.firstSeen[k * lane.stride] = seenAt;
    if (int period = SightedEntry(s, k)) return period;
  }
  if (lane.filled >= s.maxCycle || !s.startReachable) return 0;
  const double d1 = kHistoryStart - wIm;
  const double d2 = kHistoryStart - wRe;
  const double dk = d1 * d1 + d2 * d2;
  if (dk > DBL_MAX) return kCycleFailure;
  if (!(dk < s.innerDist2)) return 0;
  if (s.selection == DepthLowest) return lane.filled + 1;
  if (lane.block->count != 0) return 0;
  lane.block->from = lane.filled;
  lane.block->count = seenAt;
  // The block holds entry K-1 and, when nothing is filled yet, entry 0.
  if (lane.filled == 0 && s.selection == CycleLowest) return 1;
  if (s.selection == CycleHighest) return s.maxCycle;
  return 0;
}

int PickCycleAtMaxDepth(const TCycleSettings& s, const TCycleLane& lane, std::int32_t& seenAt) {
  seenAt = 0;
  if (s.selection == CycleLowest) {
    for (std::int32_t k = 0; k < lane.filled; ++k) {
      if (std::int32_t seen = lane.FirstSeen(k)) {
        seenAt = seen;
        return k + 1;
      }
    }
    if (lane.block->count != 0) {
      seenAt = lane.block->count;
      return lane.block->from + 1;
    }
  } else if (s.selection == CycleHighest) {
    if (lane.block->count != 0) {
      seenAt = lane.block->count;
      return s.maxCycle;
    }
    for (std::int32_t k = lane.filled - 1; k >= 0; --k) {
      if (std::int32_t seen = lane.FirstSeen(k)) {
        seenAt = seen;
        return k + 1;
      }
    }
  }
  return 0;
}
