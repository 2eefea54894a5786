#pragma once

#include <cstddef>
#include <vector>

#include "view/ViewGeometry.h"

// The plane rectangles a fractal window has shown, for Back, Forward and Home. It lives with the
// window, never in files. Home is the rectangle the document was opened or created with; going
// Home is a step like any other, so Back returns from it.
class TNavigationHistory {
 public:
  // Starts a new history at the document's first rectangle.
  void Reset(const PlaneRect& home);
  // Records a rectangle shown after the current one; the forward steps are dropped. A rectangle
  // equal to the current one records nothing.
  void Visit(const PlaneRect& plane);

  bool CanGoBack() const { return current_ > 0; }
  bool CanGoForward() const { return current_ + 1 < steps_.size(); }
  bool CanGoHome() const { return !steps_.empty() && !(steps_[current_] == home_); }
  // The rectangle to show for the step; the step must be possible.
  PlaneRect Back();
  PlaneRect Forward();
  PlaneRect Home();

  const PlaneRect& Current() const { return steps_[current_]; }
  std::size_t Size() const { return steps_.size(); }

 private:
  // Bounds the memory of a long evening's zooming.
  static constexpr std::size_t kMaxSteps = 1000;

  std::vector<PlaneRect> steps_;
  std::size_t current_ = 0;
  PlaneRect home_{};
};
