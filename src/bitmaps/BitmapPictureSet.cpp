#include "bitmaps/BitmapPictureSet.h"

#include <algorithm>

#include "files/TifImage.h"

namespace {

constexpr int kTifPreviewWidth = 431;
constexpr int kTifPreviewHeight = 359;
constexpr int kBmpPreviewWidth = 433;
constexpr int kBmpPreviewHeight = 361;
constexpr int kCheckerSize = 20;
constexpr double kCheckerGrey = 187;
constexpr double kCheckerWhite = 255;

std::uint32_t Unpremultiply(std::uint32_t color, std::uint8_t f) {
  if (f == 0 || f == 255) return color;
  std::uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const auto c = static_cast<std::uint8_t>((color >> shift) & 0xFF);
    result |= std::uint32_t{UnpremultiplyChannel(c, f)} << shift;
  }
  return result;
}

// The channel of a preview pixel: the picture's channel blended by alpha over the checkerboard.
std::uint8_t Blend(std::uint32_t color, int shift, double alpha, double checker) {
  const double c = static_cast<double>((color >> shift) & 0xFF);
  return static_cast<std::uint8_t>(c * alpha + checker * (1 - alpha));
}

}  // namespace

std::uint8_t UnpremultiplyChannel(std::uint8_t c, std::uint8_t f) {
  // A channel above its alpha is not a valid associated colour; keep it at full intensity
  // instead of letting it wrap around.
  const int straight = c * 255 / f;
  return static_cast<std::uint8_t>(std::min(straight, 255));
}

BitmapPictureSet BitmapPictureSet::FromPicture(const TifImage& image, PictureFormat format) {
  const int width = image.GetWidth();
  const int height = image.GetHeight();
  const bool alpha = format == PictureFormat::Tif && image.HasAlpha();
  const bool associated = alpha && image.IsAlphaAssociated();
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  auto rgb = std::make_shared<std::vector<std::uint32_t>>(size);
  auto trans = alpha ? std::make_shared<std::vector<std::uint8_t>>(size) : nullptr;
  for (int column = 0; column < width; ++column) {
    for (int row = 0; row < height; ++row) {
      const std::size_t index = static_cast<std::size_t>(row) +
                                static_cast<std::size_t>(column) * static_cast<std::size_t>(height);
      const std::uint32_t color = image.GetColor(column, row) & 0xFFFFFF;
      const std::uint8_t f = image.GetAlpha(column, row);
      (*rgb)[index] = associated ? Unpremultiply(color, f) : color;
      if (trans) (*trans)[index] = f;
    }
  }
  BitmapPictureSet set;
  set.BmpShadowRGB = std::move(rgb);
  set.BmpShadowTrans = std::move(trans);
  set.Width = width;
  set.Height = height;
  const bool tif = format == PictureFormat::Tif;
  set.BmpUse = std::make_shared<const Bitmap24>(MakePreview(
      set, tif ? kTifPreviewWidth : kBmpPreviewWidth, tif ? kTifPreviewHeight : kBmpPreviewHeight));
  return set;
}

Bitmap24 MakePreview(const BitmapPictureSet& set, int width, int height) {
  Bitmap24 preview(width, height);
  if (set.Width <= 0 || set.Height <= 0 || !set.BmpShadowRGB) return preview;
  const double s =
      std::max(static_cast<double>(set.Width) / width, static_cast<double>(set.Height) / height);
  const double ox = -(s * width - set.Width) / 2;
  const double oy = -(s * height - set.Height) / 2;
  for (int j = 0; j < height; ++j) {
    const auto row = static_cast<long long>(j * s + oy);
    if (row < 0 || row >= set.Height) continue;
    for (int i = 0; i < width; ++i) {
      const auto column = static_cast<long long>(i * s + ox);
      if (column < 0 || column >= set.Width) continue;
      const std::size_t index = static_cast<std::size_t>(row + column * set.Height);
      const std::uint32_t color = (*set.BmpShadowRGB)[index];
      const double alpha = set.BmpShadowTrans ? (*set.BmpShadowTrans)[index] / 255.0 : 1.0;
      const bool white = (column / kCheckerSize + row / kCheckerSize) % 2 == 1;
      const double checker = white ? kCheckerWhite : kCheckerGrey;
      std::uint8_t* p = preview.Pixel(i, j);
      p[0] = Blend(color, 0, alpha, checker);
      p[1] = Blend(color, 8, alpha, checker);
      p[2] = Blend(color, 16, alpha, checker);
    }
  }
  return preview;
}
