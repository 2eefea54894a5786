#include "fractal/CycleRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// One sample's history, newest entry first, as the kernel would hold it.
struct History {
  std::vector<double> re, im;
  std::vector<std::int32_t> firstSeen;
  TCycleBlock block;

  History(std::vector<std::pair<double, double>> newestFirst, std::vector<std::int32_t> seen,
          std::int32_t capacity) {
    re.assign(capacity, 0.0);
    im.assign(capacity, 0.0);
    firstSeen = seen;
    firstSeen.resize(capacity);
    // A ring whose newest entry sits in slot 1, so that reading older entries wraps around.
    for (std::size_t k = 0; k < newestFirst.size(); ++k) {
      const std::int32_t slot = (1 - static_cast<std::int32_t>(k) + capacity) % capacity;
      re[slot] = newestFirst[k].first;
      im[slot] = newestFirst[k].second;
    }
    filled = static_cast<std::int32_t>(newestFirst.size());
    this->capacity = capacity;
  }

  TCycleLane Lane() {
    TCycleLane lane;
    lane.histRe = re.data();
    lane.histIm = im.data();
    lane.firstSeen = firstSeen.data();
    lane.newest = 1;
    lane.capacity = capacity;
    lane.filled = filled;
    lane.block = &block;
    return lane;
  }

  std::int32_t filled = 0;
  std::int32_t capacity = 0;
};

TCycleSettings Settings(ECycleSelection selection, std::int32_t maxCycle) {
  TCycleSettings s;
  s.selection = selection;
  s.maxCycle = maxCycle;
  s.innerDist2 = 0.01 * 0.01;
  s.startReachable = true;
  return s;
}

}  // namespace

TEST(CycleRules, ScansEntriesInOrderAndRecordsFirstSightings) {
  struct Case {
    const char* what;
    ECycleSelection selection;
    std::vector<std::pair<double, double>> history;  // newest first
    std::vector<std::int32_t> seen;
    int period;
    std::vector<std::int32_t> seenAfter;
  };
  const std::vector<Case> cases = {
      {"lowest ends at entry 0", CycleLowest, {{0, 0}, {0, 0}, {0, 0}}, {0, 0, 0}, 1, {9, 0, 0}},
      {"lowest records entry 1", CycleLowest, {{5, 5}, {0, 0}, {0, 0}}, {0, 0, 0}, 0, {0, 9, 9}},
      {"a sighting is kept", CycleLowest, {{5, 5}, {0, 0}, {5, 5}}, {0, 4, 0}, 0, {0, 4, 0}},
      {"highest ends at entry K-1", CycleHighest, {{0, 0}, {5, 5}, {0, 0}}, {0, 0, 0}, 3,
       {9, 0, 9}},
      {"highest waits", CycleHighest, {{0, 0}, {0, 0}, {5, 5}}, {3, 0, 0}, 0, {3, 9, 0}},
      {"depth lowest ends at the first near", DepthLowest, {{5, 5}, {0.005, 0}, {0, 0}},
       {0, 0, 0}, 2, {0, 0, 0}},
      {"nothing near", DepthLowest, {{5, 5}, {1, 1}, {0, 0.01}}, {0, 0, 0}, 0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    History h(c.history, c.seen, 3);
    const int period = ScanForCycle(Settings(c.selection, 3), h.Lane(), 0.0, 0.0, 9.0);
    EXPECT_EQ(period, c.period) << c.what;
    h.firstSeen.resize(3);
    EXPECT_EQ(h.firstSeen, c.seenAfter) << c.what;
  }
}

TEST(CycleRules, UnfilledEntriesAreSightedTogetherOnce) {
  const TCycleSettings lowest = Settings(CycleLowest, 6);
  History h({{0, 0}}, {0}, 6);
  // Near 1000 + 1000i with one entry filled: entries 1 .. 5 are first seen at count 4.
  EXPECT_EQ(ScanForCycle(lowest, h.Lane(), 1000.0, 1000.005, 4.0), 0);
  EXPECT_EQ(h.block.from, 1);
  EXPECT_EQ(h.block.count, 4);
  EXPECT_EQ(ScanForCycle(lowest, h.Lane(), 1000.0, 1000.0, 5.0), 0);
  EXPECT_EQ(h.block.count, 4);
  std::int32_t seenAt = 0;
  EXPECT_EQ(PickCycleAtMaxDepth(lowest, h.Lane(), seenAt), 2);
  EXPECT_EQ(seenAt, 4);
  // Once entry 1 holds a point, its sighting stays the block's: a new near is no news.
  History grown({{7, 7}, {0, 0}}, {0, 0}, 6);
  grown.block = {1, 4};
  EXPECT_EQ(ScanForCycle(lowest, grown.Lane(), 0.0, 0.0, 8.0), 0);
  EXPECT_EQ(grown.firstSeen[1], 0);
  EXPECT_EQ(PickCycleAtMaxDepth(lowest, grown.Lane(), seenAt), 2);
  EXPECT_EQ(seenAt, 4);
  // An earlier explicit sighting wins for CycleLowest.
  grown.firstSeen[0] = 3;
  EXPECT_EQ(PickCycleAtMaxDepth(lowest, grown.Lane(), seenAt), 1);
  EXPECT_EQ(seenAt, 3);
}

TEST(CycleRules, TheEndCheckPicksByTheSelection) {
  History h({{1, 1}, {2, 2}, {3, 3}}, {0, 7, 4}, 3);
  std::int32_t seenAt = 0;
  EXPECT_EQ(PickCycleAtMaxDepth(Settings(CycleLowest, 3), h.Lane(), seenAt), 2);
  EXPECT_EQ(seenAt, 7);
  EXPECT_EQ(PickCycleAtMaxDepth(Settings(CycleHighest, 3), h.Lane(), seenAt), 3);
  EXPECT_EQ(seenAt, 4);
  EXPECT_EQ(PickCycleAtMaxDepth(Settings(DepthLowest, 3), h.Lane(), seenAt), 0);
  History none({{1, 1}}, {0}, 3);
  EXPECT_EQ(PickCycleAtMaxDepth(Settings(CycleLowest, 3), none.Lane(), seenAt), 0);
  EXPECT_EQ(seenAt, 0);
}

TEST(CycleRules, AnOverflowingDistanceIsAFailure) {
  History h({{-1e300, 0}}, {0}, 3);
  EXPECT_EQ(ScanForCycle(Settings(CycleLowest, 3), h.Lane(), 1e300, 0.0, 2.0), kCycleFailure);
}
