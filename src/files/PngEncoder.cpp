#include "files/PngEncoder.h"

#include <isa-l/igzip_lib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <exception>
#include <memory>
#include <new>
#include <vector>

#include "common/ParallelRanges.h"
#include "files/PngRows.h"
#include "files/PngText.h"

namespace {

// Bytes of compressed data per IDAT chunk: fewer, larger chunks than libpng's 8 KiB.
constexpr std::size_t kChunkBytes = std::size_t{1} << 16;
// Filtered bytes per block, roughly: the blocks of a picture are fixed by its row size alone.
constexpr std::size_t kBlockBytes = std::size_t{1} << 18;
// PNG filter type 2: each byte minus the byte above.
constexpr std::uint8_t kFilterUp = 2;

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
  height_ = height;
  blockRows_ = static_cast<int>(std::clamp<std::size_t>(kBlockBytes / (rowBytes_ + 1), 1, height));
  try {
    above_.assign(rowBytes_, '\0');
  } catch (const std::bad_alloc&) {
    return Fail(Failure::Encoder, "out of memory");
  }
  return Start(width, height, channels, chunk);
}

// The functions that libpng may leave by longjmp hold no objects with destructors.
bool PngEncoder::Start(int width, int height, int channels, const std::string& chunk) {
  if (setjmp(png_jmpbuf(png_))) return false;
  png_set_write_fn(png_, this, Write, Flush);
  // libpng refuses sides beyond a million pixels unless told otherwise.
  png_set_user_limits(png_, 0x7FFFFFFF, 0x7FFFFFFF);
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

std::uint8_t* PngEncoder::Buffer::Get(std::size_t n) {
  if (size < n) {
    data = std::make_unique_for_overwrite<std::uint8_t[]>(n);
    size = n;
  }
  return data.get();
}

PngEncoder::Scratch::Scratch() = default;
PngEncoder::Scratch::~Scratch() = default;

// Filters rows (count rows after the row above) and compresses them as raw deflate on their own,
// byte-aligned at the end, or as the end of the stream when last. The scratch buffers are reused
// from block to block.
bool PngEncoder::Compress(const std::uint8_t* rows, const std::uint8_t* above, int count,
                          std::size_t rowBytes, bool last, Block& block, Scratch& scratch) {
  const std::size_t size = static_cast<std::size_t>(count) * (rowBytes + 1);
  std::uint8_t* const filtered = scratch.filtered.Get(size);
  std::uint8_t* out = filtered;
  for (int r = 0; r < count; ++r) {
    const std::uint8_t* row = rows + static_cast<std::size_t>(r) * rowBytes;
    *out++ = kFilterUp;
    PngRows::FilterUp(row, above, rowBytes, out);
    out += rowBytes;
    above = row;
  }
  block.size = size;
  // Starting from the Adler-32 of nothing.
  block.adler = PngRows::Adler32(1, filtered, size);
  // At worst the data is stored: 5 bytes of header per block of at most 65535 bytes.
  const std::size_t bound = size + 5 * (size / 65535 + 2) + 64;
  std::uint8_t* const deflated = scratch.deflated.Get(bound);
  if (!scratch.stream) scratch.stream = std::make_unique<isal_zstream>();
  isal_zstream& stream = *scratch.stream;
  isal_deflate_stateless_init(&stream);
  stream.level = 1;
  stream.level_buf = scratch.level.Get(ISAL_DEF_LVL1_DEFAULT);
  stream.level_buf_size = ISAL_DEF_LVL1_DEFAULT;
  stream.next_in = filtered;
  stream.avail_in = static_cast<std::uint32_t>(size);
  stream.next_out = deflated;
  stream.avail_out = static_cast<std::uint32_t>(bound);
  stream.flush = FULL_FLUSH;
  stream.end_of_stream = last ? 1 : 0;
  const bool ok = isal_deflate_stateless(&stream) == COMP_OK && stream.avail_in == 0;
  block.deflated.assign(reinterpret_cast<const char*>(deflated), stream.total_out);
  return ok;
}

// Appends a compressed block to the stream (after the zlib header, before the first block).
bool PngEncoder::Emit(const Block& block) {
  if (!started_) data_ = "\x78\x01";  // zlib header: deflate, 32 KiB window, fastest level
  started_ = true;
  adler_ = adler32_combine(adler_, block.adler, static_cast<z_off_t>(block.size));
  data_ += block.deflated;
  return FlushData(false);
}

// Writes the stream bytes as IDAT chunks of kChunkBytes (all: the rest too).
bool PngEncoder::FlushData(bool all) {
  if (setjmp(png_jmpbuf(png_))) return false;
  std::size_t done = 0;
  while (data_.size() - done >= kChunkBytes || (all && done < data_.size())) {
    const std::size_t part = std::min(kChunkBytes, data_.size() - done);
    png_write_chunk(png_, reinterpret_cast<png_const_bytep>("IDAT"),
                    reinterpret_cast<png_const_bytep>(data_.data() + done), part);
    done += part;
  }
  data_.erase(0, done);
  return true;
}

bool PngEncoder::WriteRows(const std::uint8_t* pixels, int count) {
  if (!png_ || failure_ != Failure::None) return Fail(Failure::Encoder, "not begun");
  if (count < 0 || count > height_ - rowsDone_ - static_cast<int>(pending_.size() / rowBytes_)) {
    return Fail(Failure::Encoder, "too many rows");
  }
  try {
    for (int r = 0; r < count; ++r) {
      pending_.append(reinterpret_cast<const char*>(pixels) + static_cast<std::size_t>(r) * rowBytes_,
                      rowBytes_);
      const int rows = static_cast<int>(pending_.size() / rowBytes_);
      const bool last = rowsDone_ + rows == height_;
      if (rows < blockRows_ && !last) continue;
      Block block;
      if (!Compress(reinterpret_cast<const std::uint8_t*>(pending_.data()),
                    reinterpret_cast<const std::uint8_t*>(above_.data()), rows, rowBytes_, last,
                    block, scratch_)) {
        return Fail(Failure::Encoder, "compression failed");
      }
      if (!Emit(block)) return false;
      above_.assign(pending_, pending_.size() - rowBytes_, rowBytes_);
      pending_.clear();
      rowsDone_ += rows;
    }
  } catch (const std::bad_alloc&) {
    return Fail(Failure::Encoder, "out of memory");
  }
  return true;
}

bool PngEncoder::WriteImage(const std::uint8_t* pixels, int threads) {
  if (!png_ || failure_ != Failure::None || started_ || !pending_.empty()) {
    return Fail(Failure::Encoder, "not begun");
  }
  const int blocks = (height_ + blockRows_ - 1) / blockRows_;
  try {
    std::vector<Block> compressed(static_cast<std::size_t>(blocks));
    std::vector<char> ok(static_cast<std::size_t>(blocks), 0);
    ForEachRange(blocks, threads, [&](int first, int end) {
      Scratch scratch;
      for (int b = first; b < end; ++b) {
        const int row = b * blockRows_;
        const int rows = std::min(blockRows_, height_ - row);
        const std::uint8_t* start = pixels + static_cast<std::size_t>(row) * rowBytes_;
        ok[static_cast<std::size_t>(b)] =
            Compress(start, row == 0 ? reinterpret_cast<const std::uint8_t*>(above_.data())
                                     : start - rowBytes_,
                     rows, rowBytes_, b + 1 == blocks, compressed[static_cast<std::size_t>(b)],
                     scratch);
      }
    });
    for (int b = 0; b < blocks; ++b) {
      if (!ok[static_cast<std::size_t>(b)]) return Fail(Failure::Encoder, "compression failed");
      if (!Emit(compressed[static_cast<std::size_t>(b)])) return false;
      compressed[static_cast<std::size_t>(b)] = Block{};
      rowsDone_ = std::min(height_, (b + 1) * blockRows_);
    }
  } catch (const std::bad_alloc&) {
    return Fail(Failure::Encoder, "out of memory");
  }
  return true;
}

bool PngEncoder::End() {
  if (!png_ || failure_ != Failure::None) return Fail(Failure::Encoder, "not begun");
  if (rowsDone_ != height_) return Fail(Failure::Encoder, "rows missing");
  for (int shift = 24; shift >= 0; shift -= 8) {
    data_.push_back(static_cast<char>((adler_ >> shift) & 0xFF));
  }
  if (!FlushData(true)) return false;
  if (setjmp(png_jmpbuf(png_))) return false;
  png_write_chunk(png_, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  return true;
}
