#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct Bitmap24;
class TifImage;

// Windows bitmap files: any BMP that stb_image decodes (rows stored bottom-up, or top-down with a
// negative height) is read as a picture without alpha; the program writes 24-bit BMP files.
// Writing is atomic.
class BmpFile {
 public:
  // Decodes a whole BMP file held in memory. The size in the header is checked against the file
  // before any pixel memory is allocated. On failure returns false with the message in error and
  // leaves image unchanged.
  static bool Decode(std::string_view bytes, TifImage& image, std::string& error);
  // Reads fileName; "Cannot open File." when it cannot be read, with the reason added when it is
  // no regular file or too large (see PictureReadFailureText).
  static bool Read(const std::string& fileName, TifImage& image, std::string& error);

  // Whether a width x height bitmap can be encoded: it has pixels and its file size fits the int
  // fields of the header. The message says which limit was passed.
  static bool CheckEncodable(int width, int height, std::string& error);
  // The bytes of a 24-bit BMP file holding bitmap; empty when it cannot be encoded: the header
  // below (BITMAPINFOHEADER, no colour table), rows bottom-up in blue, green, red order, each
  // padded with zeros to a multiple of 4 bytes.
  static std::string Encode(const Bitmap24& bitmap);
  // The 54 bytes before the pixels of a width x height file, and the bytes of one stored row.
  static std::string Header(int width, int height);
  static std::uint64_t RowBytes(int width);
  // Stores width pixels of red, green, blue bytes as one file row (without its padding).
  static void PutRow(const std::uint8_t* rgb, int width, char* out);
  // Writes bitmap to fileName atomically; on failure the CheckEncodable message or
  // PictureSaveFailureText.
  static bool Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error);
};
