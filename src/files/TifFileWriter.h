#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "files/TifHeader.h"
#include "files/TifTag.h"

class TifImage;

// Writes pictures as uncompressed little-endian TIFF files: one image file directory of 16
// entries (17 with alpha) at offset 8, the values that do not fit an entry right after it, and
// all pixel rows as one strip of chunky RGB or RGBA bytes at offset 512.
class TifFileWriter {
 public:
  static constexpr std::uint32_t kPixelOffset = 512;

  // The software tag reads programName + " " + version.
  TifFileWriter(const std::string& programName, const std::string& version);

  // The whole file for image, stamped with dateTime ("yyyy:mm:dd hh:nn:ss").
  std::string Encode(const TifImage& image, const std::string& dateTime) const;
  // Whether a width x height picture (with or without alpha) fits a file: it has pixels and its
  // pixel bytes fit 32-bit offsets; else "Picture has no pixels." or
  // "Picture is too large for a TIF file.".
  static bool CheckEncodable(int width, int height, bool alpha, std::string& error);
  // Writes image to fileName atomically, stamped with the local time: a regular file is streamed
  // through a buffer of a megabyte, a device or FIFO gets the Encode bytes in place. On failure
  // returns false with the CheckEncodable message or PictureSaveFailureText and leaves an existing
  // file untouched.
  bool Write(const std::string& fileName, const TifImage& image, std::string& error) const;

  // The header describing image as this writer stores it.
  TifHeader MakeHeader(const TifImage& image, const std::string& dateTime) const;
  TifHeader MakeHeader(int width, int height, bool alpha, const std::string& dateTime) const;

  // Everything of a file before its pixels when the rows are stored in strips of rowsPerStrip
  // rows (the last strip shorter), one after another from pixelOffset on: the same directory as
  // Encode writes, with one strip offset and byte count per strip. pixelOffset is 512 while the
  // directory fits before it, else the first multiple of 16 after the directory. For pictures
  // written strip by strip; one strip of all rows gives exactly the bytes Encode starts with.
  // Returns "" when the strips do not fit 32-bit offsets (see CheckEncodable).
  std::string EncodeStripDirectory(int width, int height, bool alpha, std::uint32_t rowsPerStrip,
                                   const std::string& dateTime, std::uint32_t& pixelOffset) const;
  // The directory entries for header, in file order.
  static std::vector<TifTag> MakeTags(const TifHeader& header);

  // "yyyy:mm:dd hh:nn:ss" of a broken-down time; the current local time when none is given.
  static std::string FormatDateTime(const std::tm& time);
  static std::string LocalDateTime();

 private:
  std::string software_;
};
