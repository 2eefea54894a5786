#pragma once

#include <string>
#include <string_view>

#include "files/TifHeader.h"

class TifImage;

// Reads the first picture of an uncompressed 8-bit RGB or RGBA TIFF file of either byte order.
// Every size and offset is checked against the file before anything is read or allocated, so a
// damaged or hostile file gives a message, never a read outside the file.
class TifFileReader {
 public:
  // Decodes a whole file held in memory. On success fills image (with an alpha plane when the
  // file has four samples per pixel) and, when given, header. On failure returns false with the
  // message in error and leaves image unchanged.
  static bool Decode(std::string_view bytes, TifImage& image, std::string& error,
                     TifHeader* header = nullptr);
  // Reads fileName; "Cannot open File." when it cannot be read.
  static bool Read(const std::string& fileName, TifImage& image, std::string& error);
};
