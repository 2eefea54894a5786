#include "view/ViewGeometry.h"

#include <algorithm>
#include <cmath>

#include "fractal/TFractProps.h"
#include "fractal/TFractResult.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

PlaneRect PlaneOf(const TFractProps& props) {
  return {props.Left.GetValue(), props.Top.GetValue(), props.Right.GetValue(),
          props.Bottom.GetValue()};
}

PlanePoint PlanePointAt(const PlaneRect& plane, int x, int y, int width, int height) {
  return {plane.left + x * (plane.right - plane.left) / width,
          plane.top + y * (plane.bottom - plane.top) / height};
}

PixelRect ZoomRectAt(int x, int y, double factor, int width, int height) {
  const double halfWidth = factor * 0.5 * width;
  const double halfHeight = factor * 0.5 * height;
  return {static_cast<int>(x - halfWidth), static_cast<int>(y - halfHeight),
          static_cast<int>(x + halfWidth), static_cast<int>(y + halfHeight)};
}

PlaneRect ZoomInPlane(const PlaneRect& plane, const PixelRect& zoom, int width, int height) {
  return {MapLinear(zoom.left, 0, width, plane.left, plane.right),
          MapLinear(zoom.top, 0, height, plane.top, plane.bottom),
          MapLinear(zoom.right, 0, width, plane.left, plane.right),
          MapLinear(zoom.bottom, 0, height, plane.top, plane.bottom)};
}

PlaneRect ZoomOutPlane(const PlaneRect& plane, const PixelRect& zoom, int width, int height) {
  return {MapLinear(0, zoom.left, zoom.right, plane.left, plane.right),
          MapLinear(0, zoom.top, zoom.bottom, plane.top, plane.bottom),
          MapLinear(width, zoom.left, zoom.right, plane.left, plane.right),
          MapLinear(height, zoom.top, zoom.bottom, plane.top, plane.bottom)};
}

bool ZoomUsable(const PlaneRect& result, const PixelRect& zoom, int width, int height) {
  if (width <= 0 || height <= 0 || zoom.right <= zoom.left || zoom.bottom <= zoom.top) return false;
  const double edges[] = {result.left, result.top, result.right, result.bottom};
  if (!std::all_of(std::begin(edges), std::end(edges), [](double v) { return std::isfinite(v); })) {
    return false;
  }
  return result.left != result.right && result.top != result.bottom;
}

bool WithinPrecision(const PlaneRect& plane, int xResolution, int yResolution) {
  const double largest = std::max({std::fabs(plane.left), std::fabs(plane.right),
                                   std::fabs(plane.top), std::fabs(plane.bottom)});
  const double smallest = std::ldexp(largest, -50);
  const double dx = std::fabs(plane.right - plane.left) / std::max(xResolution, 1);
  const double dy = std::fabs(plane.bottom - plane.top) / std::max(yResolution, 1);
  return dx > 0 && dy > 0 && dx >= smallest && dy >= smallest;
}

double WheelFactor(double factor, bool up) {
  if (up) return factor >= 0.5 ? factor + (1 - factor) * 0.1 : factor * 1.1 + 0.01;
  return factor >= 0.5 ? (factor - (1 - factor) * 0.1) * 0.99 : factor * 0.9;
}

namespace {

// trunc(map of v from 0..size onto 0..resolution), clamped to 0..resolution.
int SampleIndex(int v, int size, int resolution) {
  const double mapped = MapLinear(v, 0, size, 0, resolution);
  return static_cast<int>(std::clamp(std::trunc(mapped), 0.0, static_cast<double>(resolution)));
}

}  // namespace

StatusTexts MouseStatus(const TFractProps& props, const TFractResult* result, bool picturesActive,
                        int x, int y, int width, int height) {
  StatusTexts status;
  const PlanePoint point = PlanePointAt(PlaneOf(props), x, y, width, height);
  status.panel[0] = "Z: (" + unitFactor(point.re).ToText() + "," + unitFactor(point.im).ToText() + ")";
  status.update[0] = true;
  if (picturesActive || !result || width <= 0 || height <= 0) return status;

  // The array clamps indexes at its end, so the column equal to the resolution reads the last one.
  const int column = SampleIndex(x, width, result->GetWidth());
  const int row = SampleIndex(y, height, result->GetHeight());
  double depth = static_cast<double>(result->GetDepth(column, row)) * props.MaxDepth.GetValue();
  status.update = {true, true, true, true};
  if (depth == 0) {
    status.panel[1] = "Type: Max Depth";
    return status;
  }
  if (depth > 0) {
    status.panel[1] = "Type: Outside";
  } else {
    status.panel[1] = "Type: Inside";
    depth = -depth;
    status.panel[3] = "Cycle: " + unitInteger(result->GetCycle(column, row)).ToText();
  }
  status.panel[2] = "Depth: " + unitFactor(depth).ToText();
  return status;
}

BitmapPoint BitmapPointAt(int x, int y, int width, int height, int bitmapWidth,
                          int bitmapHeight) {
  const auto map = [](int v, int size, int bitmapSize) {
    const int mapped = static_cast<int>(MapLinear(v, 0, size, 0, bitmapSize));
    return std::clamp(mapped, 0, std::max(bitmapSize - 1, 0));
  };
  return {map(x, width, bitmapWidth), map(y, height, bitmapHeight)};
}
