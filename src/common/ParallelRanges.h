#pragma once

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

// Calls work(first, end) for contiguous ranges that together cover [0, count), on up to
// `threads` threads (0 or less: one per hardware thread), the calling thread taking the first
// range. Returns when every range is done; the first exception thrown by work is rethrown then.
// When no further thread can be started, the calling thread does the rest itself.
template <class Work>
void ForEachRange(int count, int threads, const Work& work) {
  if (count <= 0) return;
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  threads = std::clamp(threads, 1, count);
  std::vector<std::exception_ptr> failures(static_cast<std::size_t>(threads));
  auto range = [&](int i) {
    const int first = static_cast<int>(static_cast<long long>(count) * i / threads);
    const int end = static_cast<int>(static_cast<long long>(count) * (i + 1) / threads);
    try {
      work(first, end);
    } catch (...) {
      failures[static_cast<std::size_t>(i)] = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  int started = 1;
  for (; started < threads; ++started) {
    try {
      pool.emplace_back(range, started);
    } catch (const std::system_error&) {
      break;
    }
  }
  range(0);
  for (int i = started; i < threads; ++i) range(i);
  for (std::thread& thread : pool) thread.join();
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
}
