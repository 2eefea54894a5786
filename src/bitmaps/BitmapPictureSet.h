#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/Bitmap24.h"
#include "files/PictureFile.h"

class TifImage;

// One loaded picture as the bitmap mapping uses it. Planes are column-major
// (index = row + column * Height). Sets share planes by reference: a plane lives as long as a set
// (or a running computation's snapshot) refers to it.
struct BitmapPictureSet {
  // Colours, red in the low byte; straight (not premultiplied) colours.
  std::shared_ptr<const std::vector<std::uint32_t>> BmpShadowRGB;
  // Alpha bytes; only for TIFF pictures with alpha.
  std::shared_ptr<const std::vector<std::uint8_t>> BmpShadowTrans;
  // The preview bitmap: 431 x 359 for TIFF, 433 x 361 for BMP. Present exactly when loaded.
  std::shared_ptr<const Bitmap24> BmpUse;
  int Width = 0;
  int Height = 0;

  bool IsEmpty() const { return !BmpShadowRGB && !BmpShadowTrans && !BmpUse; }
  bool IsLoaded() const { return BmpUse != nullptr; }

  // The set for a picture read from a file of the given format: planes turned column-major,
  // associated alpha turned into straight colours, and the preview.
  static BitmapPictureSet FromPicture(const TifImage& image, PictureFormat format);
};

// Straight colour channel of an associated-alpha channel c at alpha f (1..254):
// trunc(c * 255 / f), at most 255.
std::uint8_t UnpremultiplyChannel(std::uint8_t c, std::uint8_t f);

// The preview of a column-major picture: width x height pixels showing the picture scaled to fit
// and centred, black outside it; with alpha blended over a checkerboard of 20 x 20 picture pixels.
Bitmap24 MakePreview(const BitmapPictureSet& set, int width, int height);
