#include "view/Grid.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
// Ellipse boxes reaching farther than this from the client area are drawn as polylines of their
// visible arc instead, so toolkits never get coordinates they cannot rasterise exactly.
constexpr double kEllipseReach = 16384.0;
// At most this many segments for one such arc.
constexpr double kMaxArcSegments = 20000.0;

double Degrees(double radians) { return radians * 180.0 / kPi; }
double Radians(double degrees) { return degrees * kPi / 180.0; }

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0.0; }

// The reference extent and size: the height when the client is at least as tall as wide.
void Reference(const PlaneRect& plane, int width, int height, double& extent, double& size) {
  if (height >= width) {
    extent = std::fabs(plane.bottom - plane.top);
    size = height;
  } else {
    extent = std::fabs(plane.right - plane.left);
    size = width;
  }
}

void AddLine(OverlayShapes& shapes, int x1, int y1, int x2, int y2, std::uint32_t color) {
  shapes.push_back({OverlayShape::Kind::Line, x1, y1, x2, y2, color});
}

void AddStraightLines(OverlayShapes& shapes, const PlaneRect& plane, bool realPart, double s,
                      std::uint32_t color, int width, int height) {
  const int limit = width + height;
  if (realPart) {
    for (double re : GridMultiples(plane.left, plane.right, s, limit)) {
      const int x = static_cast<int>(PixelOf(plane, re, 0.0, width, height).x);
      AddLine(shapes, x, 0, x, height, color);
    }
  } else {
    for (double im : GridMultiples(plane.top, plane.bottom, s, limit)) {
      const int y = static_cast<int>(PixelOf(plane, 0.0, im, width, height).y);
      AddLine(shapes, 0, y, width, y, color);
    }
  }
}

// The visible part of a large circle as clipped chords, over the angles (in both directions) in
// which the circle can meet the rectangle.
void AddArc(OverlayShapes& shapes, const PlaneRect& plane, double radius, double pixelRadius,
            std::uint32_t color, int width, int height) {
  const BeamRange range = BeamRangeOf(plane);
  const double span = range.end - range.start;
  const double step = Degrees(std::sqrt(2.0 / pixelRadius));  // chords within 1/4 pixel
  const double segments = std::ceil(span / step);
  if (!(segments >= 1.0 && segments <= kMaxArcSegments)) return;
  const int n = static_cast<int>(segments);
  const bool full = span >= 180.0;
  for (double turn : {0.0, 180.0}) {
    if (full && turn != 0.0) break;
    const double from = range.start + turn;
    const double to = full ? from + 360.0 : range.end + turn;
    const int count = full ? 2 * n : n;
    PixelPoint previous{};
    for (int i = 0; i <= count; ++i) {
      const double a = Radians(i == count ? to : from + i * (to - from) / count);
      const PixelPoint p =
          PixelOf(plane, radius * std::cos(a), radius * std::sin(a), width, height);
      OverlayShape line;
      line.color = color;
      if (i > 0 && ClipSegment(previous, p, width, height, line)) shapes.push_back(line);
      previous = p;
    }
  }
}

void AddCircles(OverlayShapes& shapes, const PlaneRect& plane, double s, std::uint32_t color,
                int width, int height) {
  const double xmin = std::min(plane.left, plane.right), xmax = std::max(plane.left, plane.right);
  const double ymin = std::min(plane.top, plane.bottom), ymax = std::max(plane.top, plane.bottom);
  const double corners[4] = {std::hypot(xmin, ymin), std::hypot(xmin, ymax),
                             std::hypot(xmax, ymin), std::hypot(xmax, ymax)};
  const double rmax = *std::max_element(corners, corners + 4);
  const bool inX = xmin <= 0.0 && 0.0 <= xmax;
  const bool inY = ymin <= 0.0 && 0.0 <= ymax;
  double rmin = *std::min_element(corners, corners + 4);
  if (inX && inY) rmin = 0.0;
  else if (inY) rmin = std::min(std::fabs(xmin), std::fabs(xmax));
  else if (inX) rmin = std::min(std::fabs(ymin), std::fabs(ymax));
  for (double r : GridMultiples(rmin, rmax, s, width + height)) {
    const PixelPoint a = PixelOf(plane, -r, -r, width, height);
    const PixelPoint b = PixelOf(plane, r, r, width, height);
    const double reach = std::max({-a.x, -a.y, -b.x, -b.y, a.x - width, b.x - width,
                                   a.y - height, b.y - height});
    if (reach <= kEllipseReach) {
      shapes.push_back({OverlayShape::Kind::Ellipse, static_cast<int>(a.x),
                        static_cast<int>(a.y), static_cast<int>(b.x), static_cast<int>(b.y),
                        color});
    } else {
      const double pixelRadius = std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y)) / 2.0;
      AddArc(shapes, plane, r, pixelRadius, color, width, height);
    }
  }
}

}  // namespace

double Nice(double v) {
  if (!PositiveFinite(v)) return 0.0;
  const double p = std::floor(std::log10(v));
  const double scale = std::pow(10.0, p);
  const double m = std::trunc(v / scale + 0.01);
  if (m < 3.0) return scale * 2.0;
  if (m < 6.0) return scale * 5.0;
  return scale * 10.0;
}

GridSpacing GridSpacingOf(const PlaneRect& plane, int width, int height) {
  double extent = 0.0, size = 0.0;
  Reference(plane, width, height, extent, size);
  GridSpacing spacing;
  if (extent == 0.0 || size <= 0.0) return spacing;
  spacing.sub = Nice(extent / (0.05 * size));
  spacing.main = Nice(3.0 * spacing.sub);
  return spacing;
}

GridSpacing BeamSpacingOf(const PlaneRect& plane, int width, int height) {
  double extent = 0.0, size = 0.0;
  Reference(plane, width, height, extent, size);
  const double m = (std::fabs(plane.right - plane.left) + std::fabs(plane.top - plane.bottom)) / 2.0;
  const double l = plane.left * plane.left, r2 = plane.right * plane.right;
  const double t = plane.top * plane.top, b = plane.bottom * plane.bottom;
  // The four squared corner distances: (l + t) + (l + b) + (r2 + t) + (r2 + b).
  const double r = std::sqrt((l + t) + (l + b) + (r2 + t) + (r2 + b)) / 2.0;
  GridSpacing spacing;
  spacing.sub = Nice(120.0 * m / (r * (0.05 * size)));
  spacing.main = Nice(4.0 * spacing.sub);
  return spacing;
}

std::vector<double> GridMultiples(double a, double b, double s, int limit) {
  std::vector<double> multiples;
  if (!PositiveFinite(s)) return multiples;
  const double lo = std::ceil(std::min(a, b) / s);
  const double hi = std::floor(std::max(a, b) / s);
  const double count = hi - lo + 1.0;
  if (!(count >= 1.0 && count <= limit)) return multiples;
  // Counted with an integer: at huge k, k + 1 == k in doubles.
  for (int i = 0; i < static_cast<int>(count); ++i) multiples.push_back((lo + i) * s);
  return multiples;
}

BeamRange BeamRangeOf(const PlaneRect& p) {
  if (!(p.left > 0.0) && !(p.right < 0.0) && !(p.top < 0.0) && !(p.bottom > 0.0)) {
    return {0.0, 180.0};
  }
  auto angle = [](double y, double x) { return Degrees(std::atan(y / x)); };
  BeamRange range;
  if (p.bottom > 0.0 && p.right > 0.0) range.start = angle(p.bottom, p.right);
  if (p.top > 0.0 && p.right < 0.0) range.start = angle(p.top, p.right);
  if (p.top < 0.0 && p.left < 0.0) range.start = angle(p.top, p.left);
  if (p.bottom < 0.0 && p.left > 0.0) range.start = angle(p.bottom, p.left);
  if (p.top > 0.0 && p.left > 0.0) range.end = angle(p.top, p.left);
  if (p.bottom > 0.0 && p.left < 0.0) range.end = angle(p.bottom, p.left);
  if (p.bottom < 0.0 && p.right < 0.0) range.end = angle(p.bottom, p.right);
  if (p.top < 0.0 && p.right > 0.0) range.end = angle(p.top, p.right);
  if (range.end < range.start) range.end += 180.0;
  return range;
}

std::vector<double> BeamAngles(const PlaneRect& plane, double step, int limit) {
  std::vector<double> angles;
  if (!PositiveFinite(step)) return angles;
  const BeamRange range = BeamRangeOf(plane);
  // From the largest multiple of step not above start to the smallest one above end, end
  // excluded; with the origin inside, the multiples below 180.
  const double first = std::floor(range.start / step);
  const bool inside = range.start == 0.0 && range.end == 180.0;
  const double last = inside ? std::ceil(180.0 / step) : std::floor(range.end / step) + 1.0;
  const double count = last - first;
  if (!(count >= 1.0 && count <= limit)) return angles;
  // Counted with an integer: at a tiny step, a + step == a in doubles.
  for (int i = 0; i < static_cast<int>(count); ++i) angles.push_back((first + i) * step);
  return angles;
}

bool BeamLine(const PlaneRect& plane, double degrees, int width, int height, OverlayShape& line) {
  const double xmin = std::min(plane.left, plane.right), xmax = std::max(plane.left, plane.right);
  const double ymin = std::min(plane.top, plane.bottom), ymax = std::max(plane.top, plane.bottom);
  const double rest = std::fmod(degrees, 180.0);
  struct Candidate {
    double x, y;
  };
  std::vector<Candidate> candidates;
  if (rest == 90.0 || rest == -90.0) {
    candidates = {{0.0, plane.top}, {0.0, plane.bottom}};
  } else if (rest == 0.0) {
    candidates = {{plane.left, 0.0}, {plane.right, 0.0}};
  } else {
    const double t = std::tan(Radians(degrees));
    candidates = {{plane.left, plane.left * t},
                  {plane.right, plane.right * t},
                  {plane.top / t, plane.top},
                  {plane.bottom / t, plane.bottom}};
  }
  std::vector<Candidate> used;
  for (const Candidate& c : candidates) {
    if (xmin <= c.x && c.x <= xmax && ymin <= c.y && c.y <= ymax) used.push_back(c);
  }
  // The two candidates farthest apart: through a corner three distinct ones can qualify (the
  // corner and its rounded twin), and the line between the outer two is the clipped beam.
  double best = -1.0;
  Candidate a{}, b{};
  for (std::size_t i = 0; i < used.size(); ++i) {
    for (std::size_t j = i + 1; j < used.size(); ++j) {
      const double d = std::hypot(used[i].x - used[j].x, used[i].y - used[j].y);
      if (d > best) {
        best = d;
        a = used[i];
        b = used[j];
      }
    }
  }
  if (!(best > 0.0)) return false;
  return ClipSegment(PixelOf(plane, a.x, a.y, width, height),
                     PixelOf(plane, b.x, b.y, width, height), width, height, line);
}

OverlayShapes GridShapes(const TGrid& grid, const PlaneRect& plane, int width, int height) {
  OverlayShapes shapes;
  if (width <= 0 || height <= 0) return shapes;
  const GridSpacing spacing = GridSpacingOf(plane, width, height);
  const double steps[2] = {spacing.sub, spacing.main};
  const std::uint32_t colors[2] = {grid.SubColor, grid.MainColor};
  for (int level = 0; level < 2; ++level) {
    if (grid.Horizontal) {
      AddStraightLines(shapes, plane, true, steps[level], colors[level], width, height);
    }
  }
  for (int level = 0; level < 2; ++level) {
    if (grid.Vertical) {
      AddStraightLines(shapes, plane, false, steps[level], colors[level], width, height);
    }
  }
  if (grid.Circles && plane.top - plane.bottom > 0.001 && plane.right - plane.left > 0.001) {
    for (int level = 0; level < 2; ++level) {
      AddCircles(shapes, plane, steps[level], colors[level], width, height);
    }
  }
  if (grid.Beams) {
    const GridSpacing angle = BeamSpacingOf(plane, width, height);
    const double angleSteps[2] = {angle.sub, angle.main};
    for (int level = 0; level < 2; ++level) {
      for (double a : BeamAngles(plane, angleSteps[level], width + height)) {
        OverlayShape line;
        line.color = colors[level];
        if (BeamLine(plane, a, width, height, line)) shapes.push_back(line);
      }
    }
  }
  return shapes;
}
