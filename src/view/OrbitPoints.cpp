#include "view/OrbitPoints.h"

#include <cmath>

#include "fractal/OrbitStep.h"
#include "fractal/TKernelParams.h"

namespace {

bool Drawable(PixelPoint p, int width, int height) {
  return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= -kOverlayMargin &&
         p.x <= width + kOverlayMargin && p.y >= -kOverlayMargin && p.y <= height + kOverlayMargin;
}

void AddLine(OverlayShapes& shapes, PixelPoint a, PixelPoint b, std::uint32_t color, int width,
             int height) {
  OverlayShape line;
  line.color = color;
  if (ClipSegment(a, b, width, height, line)) shapes.push_back(line);
}

void AddCircle(OverlayShapes& shapes, PixelPoint p, int radius, std::uint32_t color) {
  const int x = static_cast<int>(p.x), y = static_cast<int>(p.y);
  shapes.push_back(
      {OverlayShape::Kind::Ellipse, x - radius, y - radius, x + radius, y + radius, color});
}

}  // namespace

void TOrbitPoints::AddSeries(double x, double y, std::uint8_t grouping,
                             const TKernelParams& params) {
  TOrbitSeries series;
  series.Points.push_back({x, y});
  series.Grouping = grouping;
  series.c = params.mapVar == MapC ? TComplex{x, y} : TComplex{params.cr, params.ci};
  series.d = params.mapVar == MapD ? TComplex{x, y} : TComplex{params.dr, params.di};
  series_.push_back(std::move(series));
}

void TOrbitPoints::AddNextPoints(const TKernelParams& params) {
  for (TOrbitSeries& series : series_) {
    TComplex w;
    OrbitStep(params, series.Points.back(), series.c, series.d, w);
    series.Points.push_back(w);
  }
}

void TOrbitPoints::Group() {
  if (series_.empty()) return;
  const int first = static_cast<int>(series_.size()) - 1;
  for (int current = first; current >= 0; --current) {
    TOrbitSeries& series = series_[current];
    series.Grouping = 0;
    const int next = current - 1;
    if (next >= 0 && series_[next].Grouping == 1) {
      series.GroupPartner = next;
      continue;
    }
    if (current != first) series.GroupPartner = first;
    break;
  }
}

OverlayShapes TOrbitPoints::Draw(const PlaneRect& plane, int width, int height) const {
  OverlayShapes shapes;
  if (width <= 0 || height <= 0) return shapes;
  std::vector<PixelPoint> pixels, partner;
  auto toPixels = [&](const TOrbitSeries& series, std::vector<PixelPoint>& out) {
    out.clear();
    for (const TComplex& p : series.Points) out.push_back(PixelOf(plane, p.re, p.im, width, height));
  };
  for (std::size_t age = 0; age < series_.size(); ++age) {
    const TOrbitSeries& series = Newest(age);
    toPixels(series, pixels);
    partner.clear();
    if (series.GroupPartner >= 0) toPixels(series_[series.GroupPartner], partner);
    // Walked in a loop, not recursively: chains can be very long.
    for (std::size_t k = 0; k < pixels.size(); ++k) {
      if (k < partner.size()) AddLine(shapes, pixels[k], partner[k], kPartnerColor, width, height);
      if (k + 1 < pixels.size()) {
        AddLine(shapes, pixels[k], pixels[k + 1], kChainColor, width, height);
      }
    }
    for (std::size_t k = pixels.size(); k-- > 0;) {
      if (!Drawable(pixels[k], width, height)) continue;
      AddCircle(shapes, pixels[k], 3, kChainColor);
      AddCircle(shapes, pixels[k], 2, kInnerColor);
    }
  }
  return shapes;
}
