#include "cli/ProgressBar.h"

#include <algorithm>

namespace {

std::string FormatDuration(double seconds) {
  long long s = static_cast<long long>(seconds + 0.5);
  std::string text;
  if (s >= 3600) text += std::to_string(s / 3600) + ":";
  std::string mm = std::to_string((s / 60) % 60);
  std::string ss = std::to_string(s % 60);
  if (mm.size() < 2) mm = "0" + mm;
  if (ss.size() < 2) ss = "0" + ss;
  return text + mm + ":" + ss;
}

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, int width)
    : out_(out), width_(width), start_(Clock::now()), lastDraw_(start_) {}

std::string ProgressBar::Format(long long done, long long total, double elapsedSeconds, int width) {
  double fraction = total > 0 ? std::clamp(static_cast<double>(done) / total, 0.0, 1.0) : 1.0;
  int filled = static_cast<int>(fraction * width);
  std::string bar = "[" + std::string(filled, '#') + std::string(width - filled, '.') + "] ";
  int percent = static_cast<int>(fraction * 100);
  std::string text = bar + std::to_string(percent) + "%  " + FormatDuration(elapsedSeconds);
  if (fraction > 0 && fraction < 1) {
    text += "  left " + FormatDuration(elapsedSeconds * (1 - fraction) / fraction);
  }
  return text;
}

void ProgressBar::Update(long long done, long long total) {
  auto now = Clock::now();
  if (drawn_ && done < total && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  drawn_ = true;
  double elapsed = std::chrono::duration<double>(now - start_).count();
  std::fprintf(out_, "\r%s   ", Format(done, total, elapsed, width_).c_str());
  std::fflush(out_);
}

void ProgressBar::Finish() {
  if (drawn_) std::fputc('\n', out_);
  drawn_ = false;
}
