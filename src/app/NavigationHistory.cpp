#include "app/NavigationHistory.h"

#include "common/Assert.h"

void TNavigationHistory::Reset(const PlaneRect& home) {
  home_ = home;
  steps_.assign(1, home);
  current_ = 0;
}

void TNavigationHistory::Visit(const PlaneRect& plane) {
  if (steps_.empty()) return Reset(plane);
  if (steps_[current_] == plane) return;
  steps_.resize(current_ + 1);
  steps_.push_back(plane);
  if (steps_.size() > kMaxSteps) steps_.erase(steps_.begin());
  current_ = steps_.size() - 1;
}

PlaneRect TNavigationHistory::Back() {
  KORVANA_ASSERT(CanGoBack());
  return steps_[--current_];
}

PlaneRect TNavigationHistory::Forward() {
  KORVANA_ASSERT(CanGoForward());
  return steps_[++current_];
}

PlaneRect TNavigationHistory::Home() {
  KORVANA_ASSERT(CanGoHome());
  Visit(home_);
  return home_;
}
