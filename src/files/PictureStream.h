#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "files/PictureFile.h"

// A picture file written band by band of rows, top to bottom, so that a picture larger than the
// memory can be stored: TIFF (RGBA, rows in strips), BMP (24-bit, rows stored bottom-up at their
// place) and PNG (RGB through libpng, with the document in an iTXt chunk as PngFile writes it).
// The file is saved atomically (see StreamedFile): only a successful Finish leaves it in place.
class PictureStream {
 public:
  virtual ~PictureStream() = default;

  // Bytes per pixel of the rows taken: 4 (red, green, blue, alpha) for TIFF, 3 otherwise.
  virtual int Channels() const = 0;
  // Rows first .. first + count - 1, each width * Channels() bytes, top row first. Bands must
  // come in order from row 0 without gaps. False with the system's reason.
  virtual bool WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) = 0;
  // Completes and saves the file once every row has been written. False with the reason; the
  // file is then not written.
  virtual bool Finish(std::string& error) = 0;
};

enum class StreamFormat { Tif, Bmp, Png };

// The format of fileName by its extension ("tif", "bmp", "png", compared exactly). False with
// the export message for any other extension.
bool ChooseStreamFormat(const std::string& fileName, StreamFormat& format, std::string& error);

// Whether a width x height picture fits a streamed file of the format: TIFF strip offsets and
// the BMP file size are 32-bit, PNG sides at most 2^31 - 1. The message says which limit was
// passed.
bool CheckStreamable(StreamFormat format, int width, int height, std::string& error);

// Opens the streamed file; nullptr with the reason (PictureSaveFailureText wording) when it
// cannot be created or the size does not fit. rowsPerStrip is the TIFF strip height (the band
// height is a good choice); documentText, when not empty, is stored in a PNG.
std::unique_ptr<PictureStream> OpenPictureStream(StreamFormat format, const std::string& fileName,
                                                 int width, int height, int rowsPerStrip,
                                                 std::string_view documentText,
                                                 std::string& error);
