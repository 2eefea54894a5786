#pragma once

#include <string>

struct Bitmap24;
class TifImage;

// PNG output through stb_image_write: a 24-bit bitmap as RGB, a picture as RGB or, when it has
// an alpha plane, RGBA. Writing is atomic.
class PngFile {
 public:
  // The bytes of the PNG file; empty when there is nothing to encode (no pixels).
  static std::string Encode(const Bitmap24& bitmap);
  static std::string Encode(const TifImage& image);
  // Write the PNG file atomically; "Cannot open File." on failure.
  static bool Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error);
  static bool Write(const std::string& fileName, const TifImage& image, std::string& error);
};
