#include "files/BmpFile.h"

#include <sys/stat.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/StreamedFile.h"
#include "files/TifImage.h"

// The one translation unit with stb_image's code, restricted to the BMP decoder and to memory
// input.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

// Largest picture the reader accepts, in pixels (a quarter of a gigapixel).
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;
// Largest file the reader loads: the largest picture at 32 bits per pixel and its headers.
constexpr std::size_t kMaxFileBytes = (std::size_t{1} << 30) + (std::size_t{1} << 20);

const char* const kInvalid = "BMP file is invalid or of a kind that cannot be read.";

std::uint32_t Little(std::string_view bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

// Bits per pixel from the info header (core headers of 12 bytes keep it at offset 24); 0 when
// the header is too short to tell.
std::uint32_t BitsPerPixel(std::string_view bytes) {
  if (bytes.size() < 30) return 0;
  return Little(bytes, 14, 4) == 12 ? Little(bytes, 24, 2) : Little(bytes, 28, 2);
}

struct StbFree {
  void operator()(unsigned char* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

bool BmpFile::Decode(std::string_view bytes, TifImage& image, std::string& error) {
  const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int width = 0, height = 0, channels = 0;
  if (bytes.size() > 0x7FFFFFFF ||
      !stbi_info_from_memory(data, length, &width, &height, &channels)) {
    error = kInvalid;
    return false;
  }
  // A negative height stores the top row first (stb decodes it so but reports the height as
  // stored); a negative width is no BMP.
  if (width < 0 || height == std::numeric_limits<int>::min()) {
    error = kInvalid;
    return false;
  }
  height = std::abs(height);
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
  // stb decodes no compressed BMP kinds, so the file must hold every pixel's bits.
  const std::uint64_t bits = BitsPerPixel(bytes);
  if (width == 0 || height == 0) {
    error = "BMP file is invalid: the picture has no pixels.";
    return false;
  }
  if (pixels > kMaxPixels) {
    error = "BMP file cannot be read: the picture has more than " + std::to_string(kMaxPixels) +
            " pixels.";
    return false;
  }
  if (bits == 0 || (pixels * bits + 7) / 8 > bytes.size()) {
    error = "BMP file is invalid: the picture is too large for the file.";
    return false;
  }
  std::unique_ptr<unsigned char, StbFree> rgb(
      stbi_load_from_memory(data, length, &width, &height, &channels, 3));
  if (!rgb) {
    error = kInvalid;
    return false;
  }
  std::vector<std::uint32_t> colors(static_cast<std::size_t>(pixels));
  const unsigned char* p = rgb.get();
  for (std::uint32_t& color : colors) {
    color = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    p += 3;
  }
  image = TifImage(width, height, std::move(colors), {});
  return true;
}

bool BmpFile::Read(const std::string& fileName, TifImage& image, std::string& error) {
  std::string bytes, reason;
  FileFailure failure = FileFailure::None;
  if (!ReadWholeFile(fileName, bytes, reason, kMaxFileBytes, &failure)) {
    error = PictureReadFailureText(failure);
    return false;
  }
  return Decode(bytes, image, error);
}

bool BmpFile::CheckEncodable(int width, int height, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "Picture has no pixels.";
    return false;
  }
  // The header holds the file size, and readers take it as a signed 32-bit number.
  if (RowBytes(width) * static_cast<std::uint64_t>(height) + 54 > std::numeric_limits<int>::max()) {
    error = "Picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels is too large for a BMP file.";
    return false;
  }
  return true;
}

std::uint64_t BmpFile::RowBytes(int width) {
  return (3 * static_cast<std::uint64_t>(width) + 3) & ~std::uint64_t{3};
}

std::string BmpFile::Header(int width, int height) {
  std::string h;
  auto put = [&h](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) h.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  h = "BM";
  put(static_cast<std::uint32_t>(54 + RowBytes(width) * static_cast<std::uint64_t>(height)), 4);
  put(0, 4);
  put(54, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(width), 4);
  put(static_cast<std::uint32_t>(height), 4);
  put(1, 2);
  put(24, 2);
  for (int i = 0; i < 6; ++i) put(0, 4);
  return h;
}

namespace {

#if defined(__x86_64__)
// Five pixels at a time by a byte shuffle. Each store writes one byte past the five pixels,
// which the next store or the tail writes again; the loop stops while 16 bytes remain in the row.
[[gnu::target("ssse3")]] int PutPixelsSsse3(const std::uint8_t* rgb, int width, char* out) {
  const __m128i swap = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  int x = 0;
  for (; x + 6 <= width; x += 5) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rgb + 3 * x));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(pixels, swap));
  }
  return x;
}
#endif

}  // namespace

void BmpFile::PutRow(const std::uint8_t* rgb, int width, char* out) {
  int x = 0;
#if defined(__x86_64__)
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) x = PutPixelsSsse3(rgb, width, out);
#endif
  for (rgb += 3 * x, out += 3 * x; x < width; ++x, rgb += 3, out += 3) {
    out[0] = static_cast<char>(rgb[2]);
    out[1] = static_cast<char>(rgb[1]);
    out[2] = static_cast<char>(rgb[0]);
  }
}

std::string BmpFile::Encode(const Bitmap24& bitmap) {
  std::string ignored;
  if (!CheckEncodable(bitmap.width, bitmap.height, ignored)) return {};
  const std::size_t rowBytes = RowBytes(bitmap.width);
  // Reserved once and appended row by row from the bottom: no byte is written twice.
  std::string bytes = Header(bitmap.width, bitmap.height);
  bytes.reserve(54 + rowBytes * static_cast<std::size_t>(bitmap.height));
  std::string row(rowBytes, '\0');
  for (int y = bitmap.height - 1; y >= 0; --y) {
    PutRow(bitmap.Pixel(0, y), bitmap.width, row.data());
    bytes += row;
  }
  return bytes;
}

bool BmpFile::Write(const std::string& fileName, const Bitmap24& bitmap, std::string& error) {
  if (!CheckEncodable(bitmap.width, bitmap.height, error)) return false;
  std::string reason;
  FileFailure failure = FileFailure::None;
  struct stat st {};
  const bool regular = ::stat(ResolveSaveTarget(fileName).c_str(), &st) != 0 || S_ISREG(st.st_mode);
  if (regular) {
    // Streamed through a buffer of about a megabyte: a picture of many megabytes is never held
    // a second time in memory, and the file's rows are written while the next are converted.
    StreamedFile file;
    if (!file.Open(fileName, reason, &failure)) {
      error = PictureSaveFailureText(failure, reason);
      return false;
    }
    const std::size_t rowBytes = RowBytes(bitmap.width);
    std::string buffer = Header(bitmap.width, bitmap.height);
    const std::size_t flushAt = std::max<std::size_t>(std::size_t{1} << 20, rowBytes);
    buffer.reserve(flushAt + rowBytes);
    for (int y = bitmap.height - 1; y >= 0; --y) {
      // Each row converted straight into the buffer, its padding zero.
      const std::size_t at = buffer.size();
      buffer.resize(at + rowBytes, '\0');
      PutRow(bitmap.Pixel(0, y), bitmap.width, buffer.data() + at);
      if (buffer.size() >= flushAt || y == 0) {
        if (!file.Append(buffer, reason)) {
          error = PictureSaveFailureText(FileFailure::Write, reason);
          return false;
        }
        buffer.clear();
      }
    }
    if (!file.Commit(reason)) {
      error = PictureSaveFailureText(FileFailure::Write, reason);
      return false;
    }
    return true;
  }
  // A device or FIFO is written in place, as every save writes one.
  const std::string bytes = Encode(bitmap);
  if (bytes.empty() || !WriteFileAtomically(fileName, bytes, reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
    return false;
  }
  return true;
}
