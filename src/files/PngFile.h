#pragma once

#include <string>
#include <string_view>

struct Bitmap24;
class TifImage;

// PNG output of a picture in memory (see PngEncoder.h): a 24-bit bitmap as RGB, a picture as RGB
// or, when it has an alpha plane, RGBA. Writing is atomic.
class PngFile {
 public:
  // Whether a width x height picture of channels bytes per pixel can be encoded in memory: it has
  // pixels and its file fits the in-memory bound. The message says which limit was passed.
  static bool CheckEncodable(int width, int height, int channels, std::string& error);
  // The bytes of the PNG file; empty when it cannot be encoded (see CheckEncodable).
  static std::string Encode(const Bitmap24& bitmap);
  static std::string Encode(const TifImage& image);
  // Write the PNG file atomically; on failure the CheckEncodable message, the encoder's message or
  // PictureSaveFailureText.
  // text, when not empty, is stored in the file as the document the picture was rendered from
  // (see PngText.h).
  static bool Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error,
                    std::string_view text = {});
  static bool Write(const std::string& fileName, const TifImage& image, std::string& error);
};
