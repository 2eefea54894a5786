#pragma once

#include <cstddef>
#include <cstdint>

#include "fractal/FractEnums.h"

struct TKernelParams;

// The inside detection of one sample, shared by the scalar kernel and by every lane of the
// vector kernels so that both decide cycles identically.
//
// History entry k holds the orbit point k + 1 steps before the newest. Entries that hold no
// orbit point yet all start at 1000 + 1000i; instead of storing up to MaxCycle copies of that
// value, only the filled entries are stored (in a ring) and the unfilled ones are treated as
// one block: they are all near or all far, and the first time they are near every one of them
// records that count as its first sighting (later sightings of the block cannot change an
// entry that already has one).

inline constexpr double kHistoryStart = 1000.0;

struct TCycleSettings {
  std::int32_t maxCycle = 0;  // K
  double innerDist2 = 0.0;    // epsilon squared
  ECycleSelection selection = CycleLowest;
  // False when no point inside the escape circle can be near 1000 + 1000i, so the unfilled
  // entries never need testing.
  bool startReachable = true;

  static TCycleSettings FromParams(const TKernelParams& params);
};

// First sighting of the unfilled entries: entries from..K-1 were all first seen at count.
struct TCycleBlock {
  std::int32_t from = 0;
  std::int32_t count = 0;  // 0: never seen
};

// A view of one sample's history inside storage that may interleave several samples.
struct TCycleLane {
  const double* histRe = nullptr;  // ring slot s at histRe[s * stride]
  const double* histIm = nullptr;
  std::int32_t* firstSeen = nullptr;  // entry k at firstSeen[k * stride]; valid for k < filled
  std::ptrdiff_t stride = 1;
  std::int32_t newest = 0;    // ring slot of entry 0
  std::int32_t capacity = 1;  // ring slots
  std::int32_t filled = 0;    // entries holding orbit points, at most min(K, capacity)
  TCycleBlock* block = nullptr;

  const double& Re(std::int32_t k) const { return histRe[Slot(k) * stride]; }
  const double& Im(std::int32_t k) const { return histIm[Slot(k) * stride]; }
  std::int32_t Slot(std::int32_t k) const {
    std::int32_t s = newest - k;
    return s < 0 ? s + capacity : s;
  }
  // The first sighting of entry k (< K), explicit or through the block; 0 for never.
  std::int32_t FirstSeen(std::int32_t k) const {
    if (block->count != 0 && k >= block->from) return block->count;
    return k < filled ? firstSeen[k * stride] : 0;
  }
};

inline constexpr int kCycleFailure = -1;

// Step 4 of the iteration for the new point w at iteration count `count` (a whole number):
// compares w with every history entry in order k = 0 .. K-1 and records first sightings.
// Returns the period (k + 1) when the sample ends caught in a cycle, 0 when the orbit goes on,
// kCycleFailure when a distance overflowed (an arithmetic failure of the sample).
int ScanForCycle(const TCycleSettings& settings, const TCycleLane& lane, double wRe, double wIm,
                 double count);

// The end check at maximal depth: the recorded period chosen by the selection (lowest or
// highest k with a first sighting), or 0 when there is none or the selection records none.
// seenAt receives the first sighting of the chosen period.
int PickCycleAtMaxDepth(const TCycleSettings& settings, const TCycleLane& lane,
                        std::int32_t& seenAt);
