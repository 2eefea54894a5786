#include "files/PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <exception>
#include <new>

#include "files/PngText.h"

namespace {

// Bytes of compressed data per IDAT chunk: fewer, larger chunks than libpng's 8 KiB.
constexpr std::size_t kChunkBytes = std::size_t{1} << 16;

}  // namespace

PngEncoder::~PngEncoder() {
  if (png_) png_destroy_write_struct(&png_, &info_);
}

bool PngEncoder::Fail(Failure failure, std::string reason) {
  if (failure_ == Failure::None) {
    failure_ = failure;
    reason_ = std::move(reason);
  }
  return false;
}

bool PngEncoder::Pass(std::string_view bytes) {
  bool written = false;
  std::string reason;
  try {
    written = output_(bytes, reason);
  } catch (const std::bad_alloc&) {
    reason = "out of memory";
  } catch (const std::exception& e) {
    reason = e.what();
  }
  return written || Fail(Failure::Output, std::move(reason));
}

// Leaves by longjmp only after Pass has returned, with nothing left to destroy.
void PngEncoder::Write(png_structp png, png_bytep data, std::size_t length) {
  auto* self = static_cast<PngEncoder*>(png_get_io_ptr(png));
  if (!self->Pass(std::string_view(reinterpret_cast<const char*>(data), length))) {
    png_error(png, "write failed");
  }
}

void PngEncoder::Error(png_structp png, png_const_charp message) {
  static_cast<PngEncoder*>(png_get_error_ptr(png))->Fail(Failure::Encoder, message);
  png_longjmp(png, 1);
}

bool PngEncoder::Begin(int width, int height, int channels, std::string_view documentText) {
  std::string chunk;
  if (!documentText.empty() && !PngTextChunkData(kDocumentKeyword, documentText, chunk)) {
    return Fail(Failure::Document, "The document is too large to be stored in a PNG picture.");
  }
  if (png_ || width <= 0 || height <= 0 || (channels != 3 && channels != 4)) {
    return Fail(Failure::Encoder, "invalid picture");
  }
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, Error, Warning);
  if (png_) info_ = png_create_info_struct(png_);
  if (!png_ || !info_) return Fail(Failure::Encoder, "out of memory");
  rowBytes_ = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  return Start(width, height, channels, chunk);
}

// The functions that libpng may leave by longjmp hold no objects with destructors.
bool PngEncoder::Start(int width, int height, int channels, const std::string& chunk) {
  if (setjmp(png_jmpbuf(png_))) return false;
  png_set_write_fn(png_, this, Write, Flush);
  // libpng refuses sides beyond a million pixels unless told otherwise.
  png_set_user_limits(png_, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_compression_buffer_size(png_, kChunkBytes);
  png_set_filter(png_, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
  png_set_compression_strategy(png_, Z_RLE);
  png_set_compression_level(png_, 1);
  png_set_IHDR(png_, info_, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png_, info_);
  if (!chunk.empty()) {
    png_write_chunk(png_, reinterpret_cast<png_const_bytep>("iTXt"),
                    reinterpret_cast<png_const_bytep>(chunk.data()), chunk.size());
  }
  return true;
}

bool PngEncoder::WriteRows(const std::uint8_t* pixels, int count) {
  if (!png_ || failure_ != Failure::None) return Fail(Failure::Encoder, "not begun");
  if (setjmp(png_jmpbuf(png_))) return false;
  for (int r = 0; r < count; ++r) {
    png_write_row(png_, pixels + static_cast<std::size_t>(r) * rowBytes_);
  }
  return true;
}

bool PngEncoder::End() {
  if (!png_ || failure_ != Failure::None) return Fail(Failure::Encoder, "not begun");
  if (setjmp(png_jmpbuf(png_))) return false;
  png_write_end(png_, nullptr);
  return true;
}
