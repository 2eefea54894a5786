#include "view/GridShapes.h"

#include <cmath>

PixelPoint PixelOf(const PlaneRect& plane, double re, double im, int width, int height) {
  return {MapLinear(re, plane.left, plane.right, 0.0, width),
          MapLinear(im, plane.top, plane.bottom, 0.0, height)};
}

bool ClipSegment(PixelPoint a, PixelPoint b, int width, int height, OverlayShape& line) {
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) {
    return false;
  }
  // Liang-Barsky against the widened client area.
  const double lo[2] = {-kOverlayMargin, -kOverlayMargin};
  const double hi[2] = {width + kOverlayMargin, height + kOverlayMargin};
  const double from[2] = {a.x, a.y};
  const double delta[2] = {b.x - a.x, b.y - a.y};
  double t0 = 0.0, t1 = 1.0;
  for (int axis = 0; axis < 2; ++axis) {
    if (!std::isfinite(delta[axis])) return false;
    const double p[2] = {-delta[axis], delta[axis]};
    const double q[2] = {from[axis] - lo[axis], hi[axis] - from[axis]};
    for (int side = 0; side < 2; ++side) {
      if (p[side] == 0.0) {
        if (q[side] < 0.0) return false;
        continue;
      }
      const double t = q[side] / p[side];
      if (p[side] < 0.0) {
        if (t > t1) return false;
        if (t > t0) t0 = t;
      } else {
        if (t < t0) return false;
        if (t < t1) t1 = t;
      }
    }
  }
  // Ends inside keep their exact value (t 0 or 1), so truncation matches the plain mapping.
  const double x1 = t0 == 0.0 ? a.x : a.x + t0 * delta[0];
  const double y1 = t0 == 0.0 ? a.y : a.y + t0 * delta[1];
  const double x2 = t1 == 1.0 ? b.x : a.x + t1 * delta[0];
  const double y2 = t1 == 1.0 ? b.y : a.y + t1 * delta[1];
  line.kind = OverlayShape::Kind::Line;
  line.x1 = static_cast<int>(x1);
  line.y1 = static_cast<int>(y1);
  line.x2 = static_cast<int>(x2);
  line.y2 = static_cast<int>(y2);
  return true;
}
