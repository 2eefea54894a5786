#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/ZeroedAllocator.h"

// A plane of a picture's samples. Its memory comes zeroed from the system, so a new picture of
// many megabytes is not cleared a second time before it is painted over.
template <class T>
using TifPlane = std::vector<T, ZeroedAllocator<T>>;

// A plane holds the same samples as a vector.
template <class T>
bool operator==(const TifPlane<T>& plane, const std::vector<T>& samples) {
  return std::equal(plane.begin(), plane.end(), samples.begin(), samples.end());
}

// A picture as TIFF files hold it: width x height 32-bit colours in row-major order
// (index = column + row * width, red + green * 256 + blue * 65536) and an optional alpha plane of
// width x height bytes with the same indexing. The picture owns its planes, kept in memory that
// comes zeroed from the system.
class TifImage {
 public:
  TifImage() = default;
  // Black, fully transparent planes of the given size (both at least 0).
  TifImage(int width, int height, bool withAlpha);
  // Copies planes made elsewhere and lets them go; their sizes must be width * height. An empty
  // alpha plane means the picture has none.
  TifImage(int width, int height, std::vector<std::uint32_t> colors,
           std::vector<std::uint8_t> alpha);

  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool HasAlpha() const { return hasAlpha_; }

  std::uint32_t GetColor(int column, int row) const { return colors_[Index(column, row)]; }
  void SetColor(int column, int row, std::uint32_t color) { colors_[Index(column, row)] = color; }
  // The alpha byte; 255 (opaque) when the picture has no alpha plane.
  std::uint8_t GetAlpha(int column, int row) const;
  // Ignored when the picture has no alpha plane.
  void SetAlpha(int column, int row, std::uint8_t alpha);

  // Whether the colours are premultiplied by alpha (associated alpha, as this program writes).
  bool IsAlphaAssociated() const { return alphaAssociated_; }
  void SetAlphaAssociated(bool associated) { alphaAssociated_ = associated; }

  const TifPlane<std::uint32_t>& Colors() const { return colors_; }
  const TifPlane<std::uint8_t>& Alpha() const { return alpha_; }
  // The planes to fill a whole picture without a call per pixel (index = column + row * width);
  // AlphaData is nullptr when the picture has no alpha plane.
  std::uint32_t* ColorData() { return colors_.data(); }
  std::uint8_t* AlphaData() { return hasAlpha_ ? alpha_.data() : nullptr; }

 private:
  std::size_t Index(int column, int row) const;

  int width_ = 0;
  int height_ = 0;
  bool hasAlpha_ = false;
  bool alphaAssociated_ = true;
  TifPlane<std::uint32_t> colors_;
  TifPlane<std::uint8_t> alpha_;
};
