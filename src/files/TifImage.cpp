#include "files/TifImage.h"

#include "common/Assert.h"

TifImage::TifImage(int width, int height, bool withAlpha)
    : width_(width), height_(height), hasAlpha_(withAlpha) {
  KORVANA_ASSERT(width >= 0 && height >= 0);
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  // Zero from the system: black and fully transparent without a fill.
  colors_.resize(size);
  if (withAlpha) alpha_.resize(size);
}

TifImage::TifImage(int width, int height, std::vector<std::uint32_t> colors,
                   std::vector<std::uint8_t> alpha)
    : width_(width), height_(height) {
  KORVANA_ASSERT(width >= 0 && height >= 0);
  // Each plane is let go as soon as it is copied, so at most one plane is held twice at a time.
  colors_.assign(colors.begin(), colors.end());
  std::vector<std::uint32_t>().swap(colors);
  alpha_.assign(alpha.begin(), alpha.end());
  std::vector<std::uint8_t>().swap(alpha);
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  KORVANA_ASSERT(colors_.size() == size);
  KORVANA_ASSERT(alpha_.empty() || alpha_.size() == size);
  hasAlpha_ = !alpha_.empty();
}

std::uint8_t TifImage::GetAlpha(int column, int row) const {
  return hasAlpha_ ? alpha_[Index(column, row)] : 255;
}

void TifImage::SetAlpha(int column, int row, std::uint8_t alpha) {
  if (hasAlpha_) alpha_[Index(column, row)] = alpha;
}

std::size_t TifImage::Index(int column, int row) const {
  KORVANA_ASSERT(column >= 0 && column < width_ && row >= 0 && row < height_);
  return static_cast<std::size_t>(column) + static_cast<std::size_t>(row) * width_;
}
