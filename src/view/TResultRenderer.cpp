#include "view/TResultRenderer.h"

#include <algorithm>
#include <cmath>

#include "common/Bitmap24.h"
#include "files/TifImage.h"
#include "fractal/TFractResult.h"

namespace {

// A channel as a byte: clamped to 0..255 (super colours and sums may leave the range, and an
// unclamped channel would spill into its neighbour), truncated toward zero; NaN gives 0.
std::uint8_t ToByte(double channel) {
  if (!(channel > 0)) return 0;
  if (channel >= 255) return 255;
  return static_cast<std::uint8_t>(channel);
}

double Clamp255(double channel) { return std::clamp(channel, 0.0, 255.0); }

}  // namespace

TResultRenderer::TResultRenderer(const TFractViewProps& view, std::int32_t maxCycle)
    : view_(view), colorer_(view, maxCycle), valuesPerPixel_(std::max(1, view.ValuesPerPixel.GetValue())) {
  std::uint32_t bg = view.BackgroundColor.GetValue();
  background_[0] = bg & 0xFF;
  background_[1] = (bg >> 8) & 0xFF;
  background_[2] = (bg >> 16) & 0xFF;
}

TResultRenderer::Channels TResultRenderer::DisplaySample(const TFractResult& result, int x, int y,
                                                         bool interpolated) const {
  TSampleColor c = colorer_(result.GetDepth(x, y), result.GetCycle(x, y), interpolated);
  const double a = c.opacity;
  Channels f{(1 - a) * background_[0] + c.red * a, (1 - a) * background_[1] + c.green * a,
             (1 - a) * background_[2] + c.blue * a, a};
  if (result.HasColors()) {
    std::uint32_t p = result.GetColor(x, y);
    const float pa = static_cast<float>(p >> 24) / 255.0f;
    const double A = pa;
    f.red = Clamp255((p & 0xFF) * A + (1 - A) * f.red);
    f.green = Clamp255(((p >> 8) & 0xFF) * A + (1 - A) * f.green);
    f.blue = Clamp255(((p >> 16) & 0xFF) * A + (1 - A) * f.blue);
  }
  return f;
}

TResultRenderer::Channels TResultRenderer::ExportSample(const TFractResult& result, int x, int y,
                                                        bool interpolated, int columns) const {
  // Samples of columns not yet published may be written by the workers at this moment: they are
  // rendered as a new array holds them (the maximum depth, no picture colour), never read.
  const bool reached = x < columns;
  TSampleColor c = colorer_(reached ? result.GetDepth(x, y) : 0.0f,
                            reached ? result.GetCycle(x, y) : 1, interpolated);
  Channels e{c.red, c.green, c.blue, c.opacity};
  if (result.HasColors()) {
    std::uint32_t p = reached ? result.GetColor(x, y) : 0;
    const float pa = static_cast<float>(p >> 24) / 255.0f;
    const double A = pa;
    e.red = Clamp255((p & 0xFF) * A + (1 - A) * e.red);
    e.green = Clamp255(((p >> 8) & 0xFF) * A + (1 - A) * e.green);
    e.blue = Clamp255(((p >> 16) & 0xFF) * A + (1 - A) * e.blue);
    e.opacity = 1 - (1 - A) * (1 - c.opacity);
  }
  return e;
}

// Each sample's channels divided by g twice and summed, in the order of the samples.
TResultRenderer::Channels TResultRenderer::Average(const TFractResult& result, int px, int py,
                                                   bool forExport, int columns) const {
  const int g = valuesPerPixel_;
  Channels sum{0, 0, 0, 0};
  for (int sx = g * px; sx < g * px + g; ++sx) {
    for (int sy = g * py; sy < g * py + g; ++sy) {
      Channels s = forExport ? ExportSample(result, sx, sy, true, columns)
                             : DisplaySample(result, sx, sy, true);
      sum.red += s.red / g / g;
      sum.green += s.green / g / g;
      sum.blue += s.blue / g / g;
      sum.opacity += s.opacity / g / g;
    }
  }
  return sum;
}

void TResultRenderer::PaintPixelColumns(const TFractResult& result, Bitmap24& bitmap, int first,
                                        int end) const {
  first = std::max(first, 0);
  end = std::min(end, bitmap.width);
  for (int px = first; px < end; ++px) {
    for (int py = 0; py < bitmap.height; ++py) {
      Channels c = valuesPerPixel_ == 1 ? DisplaySample(result, px, py, false)
                                        : Average(result, px, py, false, result.GetWidth());
      std::uint8_t* pixel = bitmap.Pixel(px, py);
      pixel[0] = ToByte(c.red);
      pixel[1] = ToByte(c.green);
      pixel[2] = ToByte(c.blue);
    }
  }
}

void TResultRenderer::RenderExport(const TFractResult& result, TifImage& image) const {
  const int width = result.GetWidth() / valuesPerPixel_;
  const int height = result.GetHeight() / valuesPerPixel_;
  image = TifImage(width, height, true);
  const int columns = result.GetComputed();
  for (int px = 0; px < width; ++px) {
    for (int py = 0; py < height; ++py) {
      Channels c = valuesPerPixel_ == 1 ? ExportSample(result, px, py, false, columns)
                                        : Average(result, px, py, true, columns);
      image.SetColor(px, py,
                     ToByte(c.red) | (ToByte(c.green) << 8) | (std::uint32_t{ToByte(c.blue)} << 16));
      image.SetAlpha(px, py, ToByte(c.opacity * 255));
    }
  }
}

int PixelWidth(const TFractResult& result, const TFractViewProps& view) {
  return result.GetWidth() / std::max(1, view.ValuesPerPixel.GetValue());
}

int PixelHeight(const TFractResult& result, const TFractViewProps& view) {
  return result.GetHeight() / std::max(1, view.ValuesPerPixel.GetValue());
}

void NewBitmap(TFractResult& result, const TFractViewProps& view) {
  result.SetBitmap(std::make_unique<Bitmap24>(PixelWidth(result, view), PixelHeight(result, view)));
}

void PaintNewColumns(TFractResult& result, const TFractViewProps& view, std::int32_t maxCycle,
                     const std::function<void()>& refresh) {
  Bitmap24* bitmap = result.GetBitmap();
  if (bitmap == nullptr) return;
  const int computed = result.GetComputed();
  TResultRenderer renderer(view, maxCycle);
  const int g = renderer.ValuesPerPixel();
  for (int px = result.GetPainted() / g; px < computed / g; ++px) {
    renderer.PaintPixelColumns(result, *bitmap, px, px + 1);
    if (refresh && px % 20 == 0) refresh();
  }
  result.SetPainted(computed);
}
