#include "files/PngFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/PngEncoder.h"
#include "files/TifImage.h"

namespace {

bool EncodeFailed(const PngEncoder& encoder, std::string& bytes, std::string& error) {
  bytes.clear();
  error = encoder.GetFailure() == PngEncoder::Failure::Document
              ? encoder.Reason()
              : "The PNG encoder failed: " + encoder.Reason() + ".";
  return false;
}

// Encodes the picture, its rows made by row(y, buffer) (returning the row's bytes), into bytes.
// False with the message for the user.
template <typename Row>
bool EncodeRows(int width, int height, int channels, std::string_view documentText, Row row,
                std::string& bytes, std::string& error) {
  if (!PngFile::CheckEncodable(width, height, channels, error)) return false;
  bytes.clear();
  PngEncoder encoder([&bytes](std::string_view data, std::string&) {
    bytes.append(data);
    return true;
  });
  bool ok = encoder.Begin(width, height, channels, documentText);
  std::vector<std::uint8_t> buffer;
  for (int y = 0; ok && y < height; ++y) ok = encoder.WriteRows(row(y, buffer), 1);
  if (ok && encoder.End()) return true;
  return EncodeFailed(encoder, bytes, error);
}

// A bitmap's rows lie one after the other: its blocks are compressed on every core at once.
bool EncodeBitmap(const Bitmap24& bitmap, std::string_view documentText, std::string& bytes,
                  std::string& error) {
  if (!PngFile::CheckEncodable(bitmap.width, bitmap.height, 3, error)) return false;
  bytes.clear();
  // Room for the bytes stored uncompressed (up to 64 MiB): the file then grows without copies,
  // and the memory it does not fill is never touched.
  const std::size_t stored = bitmap.rgb.size() + static_cast<std::size_t>(bitmap.height) * 8;
  bytes.reserve(std::min<std::size_t>(stored + (std::size_t{1} << 16), std::size_t{1} << 26));
  PngEncoder encoder([&bytes](std::string_view data, std::string&) {
    bytes.append(data);
    return true;
  });
  if (encoder.Begin(bitmap.width, bitmap.height, 3, documentText) &&
      encoder.WriteImage(bitmap.Pixel(0, 0), 0) && encoder.End()) {
    return true;
  }
  return EncodeFailed(encoder, bytes, error);
}

bool EncodeImage(const TifImage& image, std::string& bytes, std::string& error) {
  const int width = image.GetWidth();
  const int channels = image.HasAlpha() ? 4 : 3;
  auto row = [&](int y, std::vector<std::uint8_t>& buffer) {
    buffer.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(channels));
    std::uint8_t* p = buffer.data();
    const std::size_t first = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::size_t i = first; i < first + static_cast<std::size_t>(width); ++i) {
      const std::uint32_t color = image.Colors()[i];
      *p++ = static_cast<std::uint8_t>(color & 0xFF);
      *p++ = static_cast<std::uint8_t>((color >> 8) & 0xFF);
      *p++ = static_cast<std::uint8_t>((color >> 16) & 0xFF);
      if (channels == 4) *p++ = image.Alpha()[i];
    }
    return static_cast<const std::uint8_t*>(buffer.data());
  };
  return EncodeRows(width, image.GetHeight(), channels, {}, row, bytes, error);
}

bool WriteBytes(const std::string& fileName, const std::string& bytes, std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (!WriteFileAtomically(fileName, bytes, reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
    return false;
  }
  return true;
}

}  // namespace

bool PngFile::CheckEncodable(int width, int height, int channels, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "Picture has no pixels.";
    return false;
  }
  // The whole file is built in memory beside the picture. The filtered rows
  // ((channels * width + 1) * height bytes) with room for data that does not compress must stay
  // below 1 GiB;
  // larger pictures are streamed (see PictureStream.h).
  const std::uint64_t filtered =
      (static_cast<std::uint64_t>(channels) * static_cast<std::uint64_t>(width) + 1) *
      static_cast<std::uint64_t>(height);
  constexpr std::uint64_t kLimit = std::uint64_t{1} << 30;
  if (filtered + filtered / 8 + 65536 > kLimit) {
    error = "Picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels is too large for a PNG file.";
    return false;
  }
  return true;
}

std::string PngFile::Encode(const Bitmap24& bitmap) {
  std::string bytes, ignored;
  EncodeBitmap(bitmap, {}, bytes, ignored);
  return bytes;
}

std::string PngFile::Encode(const TifImage& image) {
  std::string bytes, ignored;
  EncodeImage(image, bytes, ignored);
  return bytes;
}

bool PngFile::Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error,
                    std::string_view text) {
  std::string bytes;
  return EncodeBitmap(bitmap, text, bytes, error) && WriteBytes(fileName, bytes, error);
}

bool PngFile::Write(const std::string& fileName, const TifImage& image, std::string& error) {
  std::string bytes;
  return EncodeImage(image, bytes, error) && WriteBytes(fileName, bytes, error);
}
