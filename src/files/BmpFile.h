#pragma once

#include <string>
#include <string_view>

struct Bitmap24;
class TifImage;

// Windows bitmap files: any BMP that stb_image decodes is read as a picture without alpha; the
// program writes 24-bit BMP files. Writing is atomic.
class BmpFile {
 public:
  // Decodes a whole BMP file held in memory. The size in the header is checked against the file
  // before any pixel memory is allocated. On failure returns false with the message in error and
  // leaves image unchanged.
  static bool Decode(std::string_view bytes, TifImage& image, std::string& error);
  // Reads fileName; "Cannot open File." when it cannot be read.
  static bool Read(const std::string& fileName, TifImage& image, std::string& error);

  // The bytes of a 24-bit BMP file holding bitmap; empty when stb cannot encode it (no pixels).
  static std::string Encode(const Bitmap24& bitmap);
  // Writes bitmap to fileName atomically; "Cannot open File." on failure.
  static bool Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error);
};
