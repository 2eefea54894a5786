#include "common/ParallelRanges.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// Every index is worked on exactly once, whatever the count and the number of threads (more
// threads than indexes, all hardware threads, none at all).
TEST(ParallelRanges, CoverEveryIndexOnce) {
  const struct {
    int count, threads;
  } cases[] = {{0, 2}, {1, 4}, {7, 3}, {1000, 2}, {5, 0}, {3, -1}, {64, 64}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.count) + " / " + std::to_string(c.threads));
    std::vector<std::atomic<int>> seen(static_cast<std::size_t>(c.count));
    ForEachRange(c.count, c.threads, [&](int first, int end) {
      ASSERT_LE(0, first);
      ASSERT_LE(first, end);
      ASSERT_LE(end, c.count);
      for (int i = first; i < end; ++i) ++seen[static_cast<std::size_t>(i)];
    });
    for (const auto& s : seen) EXPECT_EQ(s.load(), 1);
  }
}

// A failure in any range reaches the caller after every range has ended.
TEST(ParallelRanges, RethrowTheFailureOfARange) {
  std::atomic<int> ended{0};
  EXPECT_THROW(ForEachRange(4, 4,
                            [&](int first, int) {
                              ++ended;
                              if (first == 2) throw std::runtime_error("range failed");
                            }),
               std::runtime_error);
  EXPECT_EQ(ended.load(), 4);
}

}  // namespace
