#include "files/PngFile.h"

#include <cstdint>
#include <string>
#include <vector>

#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/PngText.h"
#include "files/TifImage.h"

// The one translation unit with stb_image_write's code (PNG and BMP encoders, memory output only).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void AppendBytes(void* context, void* data, int size) {
  static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                             static_cast<std::size_t>(size));
}

std::string EncodePixels(int width, int height, int channels, const std::uint8_t* pixels) {
  std::string bytes, ignored;
  if (!PngFile::CheckEncodable(width, height, channels, ignored) ||
      !stbi_write_png_to_func(AppendBytes, &bytes, width, height, channels, pixels,
                              width * channels)) {
    return {};
  }
  return bytes;
}

bool WriteBytes(const std::string& fileName, const std::string& bytes, std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (bytes.empty() || !WriteFileAtomically(fileName, bytes, reason, &failure)) {
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
  // stb_image_write counts the filtered rows ((channels * width + 1) * height bytes) and the
  // compressed stream in int, and grows its output buffer by doubling an int: both must stay
  // below 2^30 bytes. Fixed-code compression writes at most 9 bits per input byte.
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
  return EncodePixels(bitmap.width, bitmap.height, 3, bitmap.rgb.data());
}

std::string PngFile::Encode(const TifImage& image) {
  const int channels = image.HasAlpha() ? 4 : 3;
  std::string ignored;
  if (!CheckEncodable(image.GetWidth(), image.GetHeight(), channels, ignored)) return {};
  std::vector<std::uint8_t> pixels;
  pixels.reserve(image.Colors().size() * static_cast<std::size_t>(channels));
  for (std::size_t i = 0; i < image.Colors().size(); ++i) {
    const std::uint32_t color = image.Colors()[i];
    pixels.push_back(static_cast<std::uint8_t>(color & 0xFF));
    pixels.push_back(static_cast<std::uint8_t>((color >> 8) & 0xFF));
    pixels.push_back(static_cast<std::uint8_t>((color >> 16) & 0xFF));
    if (channels == 4) pixels.push_back(image.Alpha()[i]);
  }
  return EncodePixels(image.GetWidth(), image.GetHeight(), channels, pixels.data());
}

bool PngFile::Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error,
                    std::string_view text) {
  if (!CheckEncodable(bitmap.width, bitmap.height, 3, error)) return false;
  std::string bytes = Encode(bitmap);
  if (!text.empty() && !bytes.empty() && !InsertPngText(bytes, kDocumentKeyword, text)) {
    error = "The document is too large to be stored in a PNG picture.";
    return false;
  }
  return WriteBytes(fileName, bytes, error);
}

bool PngFile::Write(const std::string& fileName, const TifImage& image, std::string& error) {
  if (!CheckEncodable(image.GetWidth(), image.GetHeight(), image.HasAlpha() ? 4 : 3, error)) {
    return false;
  }
  return WriteBytes(fileName, Encode(image), error);
}
