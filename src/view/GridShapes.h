#pragma once

#include <cstdint>
#include <vector>

#include "view/ViewGeometry.h"

// What the overlays of a view draw, as plain data in window pixels, in drawing order: lines and
// unfilled ellipses (given by their bounding box), each with its pen colour (red in the low byte).
struct OverlayShape {
  enum class Kind { Line, Ellipse };
  Kind kind = Kind::Line;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // line ends, or the ellipse box's corners
  std::uint32_t color = 0;
  friend bool operator==(const OverlayShape&, const OverlayShape&) = default;
};
using OverlayShapes = std::vector<OverlayShape>;

// The window pixel of a plane point as a double (before truncation): Left..Right onto 0..width,
// Top..Bottom onto 0..height.
struct PixelPoint {
  double x, y;
};
PixelPoint PixelOf(const PlaneRect& plane, double re, double im, int width, int height);

// How far outside the client area (in pixels) shapes are still given with their own ends; farther
// ends are clipped to this margin, so every coordinate handed out fits an int and the toolkit.
inline constexpr double kOverlayMargin = 64.0;

// The segment a..b clipped to the client area widened by kOverlayMargin, each end truncated.
// False when nothing of it is left or an end is not finite.
bool ClipSegment(PixelPoint a, PixelPoint b, int width, int height, OverlayShape& line);
