#pragma once

#include <cstdint>
#include <vector>

#include "common/ZeroedAllocator.h"

// A 24-bit picture in memory: rows top to bottom, each pixel three bytes red, green, blue.
// Used as the off-screen bitmap of a result array and as the source of BMP and PNG output.
struct Bitmap24 {
  int width = 0;
  int height = 0;
  // width * height * 3 bytes, black when made; zeroed by the system (a large picture is
  // painted over at once, so a fill would only cost time).
  using Bytes = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;
  Bytes rgb;

  Bitmap24() = default;
  Bitmap24(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3) {}

  std::uint8_t* Pixel(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* Pixel(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
  }
};
