#pragma once

#include <array>
#include <cstdint>
#include <string>

class TFractProps;
class TFractResult;

// The maths of a fractal window: window pixels against the plane rectangle, the zoom rectangle,
// the wheel's zoom factor, the status texts of the sample under the mouse and the mapping of the
// off-screen bitmap onto the window. Pure functions; the window only draws what they return.

// A rectangle of the complex plane: Left/Right are real parts, Top/Bottom imaginary parts.
struct PlaneRect {
  double left, top, right, bottom;
  friend bool operator==(const PlaneRect&, const PlaneRect&) = default;
};

// A rectangle in window pixels, edges inclusive as the outline is drawn.
struct PixelRect {
  int left, top, right, bottom;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

PlaneRect PlaneOf(const TFractProps& props);

// c + (v - a) * (d - c) / (b - a): v in a..b mapped linearly onto c..d.
inline double MapLinear(double v, double a, double b, double c, double d) {
  return c + (v - a) * (d - c) / (b - a);
}

// The plane point of window point (x, y) in a client area of width x height pixels.
struct PlanePoint {
  double re, im;
};
PlanePoint PlanePointAt(const PlaneRect& plane, int x, int y, int width, int height);

// The zoom rectangle centred on (x, y): half sizes factor * 0.5 * width and factor * 0.5 *
// height, each edge truncated.
PixelRect ZoomRectAt(int x, int y, double factor, int width, int height);

// Zoom in: the zoom rectangle's edges mapped from the client area onto the plane.
PlaneRect ZoomInPlane(const PlaneRect& plane, const PixelRect& zoom, int width, int height);
// Zoom out: the client area's edges mapped from the zoom rectangle onto the plane, so the
// present view shrinks into the rectangle.
PlaneRect ZoomOutPlane(const PlaneRect& plane, const PixelRect& zoom, int width, int height);
// True when a zoom with this rectangle and client area gives a usable plane rectangle: both have
// an extent, and the result is finite with distinct edges (a tiny window or a zoom beyond what
// doubles resolve would otherwise give infinities or a collapsed rectangle).
bool ZoomUsable(const PlaneRect& result, const PixelRect& zoom, int width, int height);

// True when doubles still tell neighbouring samples of the rectangle apart: the horizontal and
// vertical sample spacings are at least 2^-50 times the largest |coordinate| of the rectangle.
// Beyond that a picture turns blocky and computations crawl; zooms stop there.
bool WithinPrecision(const PlaneRect& plane, int xResolution, int yResolution);
inline constexpr const char* kZoomLimitText = "Zoom limit reached: double precision";

// The zoom rectangle factor after one wheel step down (smaller) or up (larger).
double WheelFactor(double factor, bool up);

// The status bar texts of the view for the mouse at (x, y): panel 0 always; panels 1 to 3 only
// when update[i] is set (with a picture use active they keep their texts).
struct StatusTexts {
  std::array<std::string, 4> panel;
  std::array<bool, 4> update{};
};
StatusTexts MouseStatus(const TFractProps& props, const TFractResult* result, bool picturesActive,
                        int x, int y, int width, int height);

// The bitmap pixel under window point (x, y) when the bitmap is stretched over the client area.
struct BitmapPoint {
  int x, y;
};
BitmapPoint BitmapPointAt(int x, int y, int width, int height, int bitmapWidth,
                          int bitmapHeight);
