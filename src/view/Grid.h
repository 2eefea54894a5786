#pragma once

#include <cstdint>
#include <vector>

#include "view/GridShapes.h"

// The settings of a view's coordinate grid: two colours (red in the low byte) and four families
// of lines, each drawn in two levels, sub lines then main lines over them.
struct TGrid {
  std::uint32_t MainColor = 0xFFFFFF;  // white
  std::uint32_t SubColor = 0x808080;   // grey
  bool Horizontal = false;  // lines of constant real part
  bool Vertical = false;    // lines of constant imaginary part
  bool Circles = false;     // circles around the origin
  bool Beams = false;       // lines through the origin
  friend bool operator==(const TGrid&, const TGrid&) = default;
};

// v rounded to 2, 5 or 10 times a power of ten: p = floor(log10 v), m = trunc(v / 10^p + 0.01);
// 2 * 10^p when m < 3, 5 * 10^p when m < 6, else 10 * 10^p. 0 for a v that is not a positive
// finite number (callers draw nothing for a spacing that is not positive and finite).
double Nice(double v);

// The spacings of the lines and circles: sub spacing Nice(extent / (0.05 * size)) with the
// extent and size of the taller (or, when wider, the wider) side, main spacing Nice(3 * sub).
struct GridSpacing {
  double sub = 0.0, main = 0.0;
};
GridSpacing GridSpacingOf(const PlaneRect& plane, int width, int height);

// The angle steps of the beams in degrees: sub Nice(120 m / (r l)), main Nice(4 * sub).
GridSpacing BeamSpacingOf(const PlaneRect& plane, int width, int height);

// The multiples k * s with k from ceil(min(a, b) / s) to floor(max(a, b) / s), ascending. Empty
// when s is not positive and finite or when there would be more than limit of them.
std::vector<double> GridMultiples(double a, double b, double s, int limit);

// The range of beam angles in degrees before rounding to the angle step: 0..180 when the origin
// lies in the rectangle, else atan(y / x) of the corners that bound the rectangle as seen from
// the origin, with 180 added to end when it is below start.
struct BeamRange {
  double start = 0.0, end = 0.0;
};
BeamRange BeamRangeOf(const PlaneRect& plane);
// The angles of the beams: the multiples of step from the largest not above start to the last
// below the smallest one above end (with the origin inside: 0 up to, not including, 180).
// Empty when step is not positive and finite or there would be more than limit of them.
std::vector<double> BeamAngles(const PlaneRect& plane, double step, int limit);

// The line through the origin at angle degrees, clipped to the plane rectangle, in window pixels.
// False when the line misses the rectangle.
bool BeamLine(const PlaneRect& plane, double degrees, int width, int height, OverlayShape& line);

// Everything the grid draws over a client area of width x height pixels, in drawing order:
// horizontal, vertical, circles, beams, each sub level (sub colour) then main level.
OverlayShapes GridShapes(const TGrid& grid, const PlaneRect& plane, int width, int height);
