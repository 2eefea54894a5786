#include "bitmaps/TBitmapMapper.h"

#include <cmath>
#include <cstdlib>

#include "bitmaps/BitmapsProps.h"

namespace {

using MappedUse = TBitmapMapper::MappedUse;

MappedUse Snapshot(const BitmapUseProps& use, const BitmapPictureSet& set) {
  MappedUse m;
  m.Left = use.Left.GetValue();
  m.Right = use.Right.GetValue();
  m.Top = use.Top.GetValue();
  m.Bottom = use.Bottom.GetValue();
  m.BmpReciproke = use.BmpReciproke;
  m.Smooth = use.BmpPixelSel == EBmpPixelSel::BmpPixelSelSmooth;
  m.BmpTransOptColor = use.BmpTransOptColor;
  const std::uint32_t t = use.BmpTransColor.GetValue();
  m.TransRed = static_cast<int>(t & 0xFF);
  m.TransGreen = static_cast<int>((t >> 8) & 0xFF);
  m.TransBlue = static_cast<int>((t >> 16) & 0xFF);
  m.WidthMaxTrans = use.BmpTransColorWidthMaxTrans.GetValue();
  m.WidthNoTrans = use.BmpTransColorWidthNoTrans.GetValue();
  m.BasicTransFactor = use.BasicTransFactor.GetValue();
  m.DepthModulo = use.DepthModulo.GetValue();
  m.DepthMin = use.DepthMin.GetValue();
  m.DepthMax = use.DepthMax.GetValue();
  m.Width = set.Width;
  m.Height = set.Height;
  m.keepRGB = set.BmpShadowRGB;
  m.keepTrans = set.BmpShadowTrans;
  m.RGB = m.keepRGB->data();
  m.Trans = m.keepTrans ? m.keepTrans->data() : nullptr;
  return m;
}

// The product of a pixel's alpha factor (alpha byte / 256, 1 without alpha plane) and colour
// factor (by its distance to the transparent colour).
double PixelFactor(const MappedUse& use, std::size_t index) {
  const double alpha = use.Trans ? use.Trans[index] / 256.0 : 1.0;
  if (!use.BmpTransOptColor) return alpha;
  const std::uint32_t color = use.RGB[index];
  const int dist = std::abs(static_cast<int>(color & 0xFF) - use.TransRed) +
                   std::abs(static_cast<int>((color >> 8) & 0xFF) - use.TransGreen) +
                   std::abs(static_cast<int>((color >> 16) & 0xFF) - use.TransBlue);
  double factor = (dist / 256.0 - use.WidthMaxTrans) / (use.WidthNoTrans - use.WidthMaxTrans);
  // Clamped to 0..1; equal widths (0 / 0 at the border) count as transparent.
  if (!(factor > 0)) factor = 0;
  if (factor > 1) factor = 1;
  return alpha * factor;
}

void Channels(std::uint32_t color, double& r, double& g, double& b) {
  r = static_cast<double>(color & 0xFF);
  g = static_cast<double>((color >> 8) & 0xFF);
  b = static_cast<double>((color >> 16) & 0xFF);
}

bool Between(double v, double a, double b) { return (a < v && v < b) || (b < v && v < a); }

void MapHard(double px, double py, double x, double y, const MappedUse& use, double& r, double& g,
             double& b, double& a) {
  if (!Between(x, use.Left, use.Right) || !Between(y, use.Top, use.Bottom)) return;
  // Strictly inside, px and py lie in 0..W and 0..H; rounding may reach the far edge, and a
  // rectangle beyond the range of doubles gives NaN.
  if (!(px >= 0 && px <= use.Width && py >= 0 && py <= use.Height)) return;
  const int e = std::min(static_cast<int>(std::floor(px)), use.Width - 1);
  const int f = std::min(static_cast<int>(std::floor(py)), use.Height - 1);
  const std::size_t index = static_cast<std::size_t>(f) + static_cast<std::size_t>(e) * use.Height;
  Channels(use.RGB[index], r, g, b);
  a = PixelFactor(use, index) * use.BasicTransFactor;
}

void MapSmooth(double px, double py, const MappedUse& use, double& r, double& g, double& b,
               double& a) {
  // All four pixels lie outside the picture beyond these bounds (also for NaN and huge values).
  if (!(px > -1 && px < use.Width && py > -1 && py < use.Height)) return;
  const int e = static_cast<int>(std::floor(px));
  const int f = static_cast<int>(std::floor(py));
  const double fx = px - e;
  const double fy = py - f;
  const int columns[4] = {e, e + 1, e, e + 1};
  const int rows[4] = {f, f, f + 1, f + 1};
  double weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  std::size_t indices[4] = {0, 0, 0, 0};
  double s = 0;
  for (int k = 0; k < 4; ++k) {
    if (columns[k] < 0 || columns[k] >= use.Width || rows[k] < 0 || rows[k] >= use.Height) {
      weights[k] = 0;
      continue;
    }
    indices[k] =
        static_cast<std::size_t>(rows[k]) + static_cast<std::size_t>(columns[k]) * use.Height;
    weights[k] *= PixelFactor(use, indices[k]);
    s += weights[k];
  }
  if (s == 0) return;
  for (int k = 0; k < 4; ++k) {
    if (weights[k] == 0) continue;
    double pr, pg, pb;
    Channels(use.RGB[indices[k]], pr, pg, pb);
    const double share = weights[k] / s;
    r += pr * share;
    g += pg * share;
    b += pb * share;
  }
  a = s * use.BasicTransFactor;
}

}  // namespace

bool TBitmapMapper::MappedUse::AppliesAt(int d) const {
  const std::int32_t modulo = DepthModulo > 0 ? DepthModulo : 1;
  return d >= DepthMin && (static_cast<std::int64_t>(d) - DepthMin) % modulo == 0 &&
         (DepthMax <= 0 || d <= DepthMax);
}

TBitmapMapper::TBitmapMapper(const BitmapsProps& props) {
  for (const BitmapUseProps& use : props.Uses) {
    const BitmapFileProps* file = use.GetResolved();
    if (file == nullptr || !file->IsLoaded() || !file->Old.BmpShadowRGB) continue;
    uses_.push_back(Snapshot(use, file->Old));
  }
}

void TBitmapMapper::MapUse(double x, double y, const MappedUse& use, double& r, double& g,
                           double& b, double& a) {
  r = g = b = a = 0;
  const double width = use.Right - use.Left;
  const double height = use.Bottom - use.Top;
  if (width == 0 || height == 0 || use.Width <= 0 || use.Height <= 0) return;
  const double px = (x - use.Left) * use.Width / width;
  const double py = (y - use.Top) * use.Height / height;
  if (use.Smooth) {
    MapSmooth(px, py, use, r, g, b, a);
  } else {
    MapHard(px, py, x, y, use, r, g, b, a);
  }
}

void TBitmapMapper::MapSample(double wRe, double wIm, double qRe, double qIm, int step, double& R,
                              double& G, double& B, double& A) const {
  for (const MappedUse& use : uses_) {
    if (!use.AppliesAt(step)) continue;
    double r, g, b, a;
    if (use.BmpReciproke) {
      MapUse(qRe, qIm, use, r, g, b, a);
    } else {
      MapUse(wRe, wIm, use, r, g, b, a);
    }
    const double x = (1 - A) * a;
    R += r * x;
    G += g * x;
    B += b * x;
    A += x;
  }
}
