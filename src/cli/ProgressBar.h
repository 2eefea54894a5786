#pragma once

#include <chrono>
#include <cstdio>
#include <string>

// A one-line progress bar on a terminal: bar, percentage, elapsed time and estimated time left.
// Redraws at most ten times a second; Finish ends the line.
class ProgressBar {
 public:
  using Clock = std::chrono::steady_clock;

  explicit ProgressBar(std::FILE* out, int width = 30);

  void Update(long long done, long long total);
  void Finish();

  // The text of one state of the bar (without carriage return), for a given elapsed time.
  static std::string Format(long long done, long long total, double elapsedSeconds, int width);

 private:
  std::FILE* out_;
  int width_;
  Clock::time_point start_;
  Clock::time_point lastDraw_;
  bool drawn_ = false;
};
