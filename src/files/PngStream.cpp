// The streamed PNG writer: libpng encodes the rows as they come, so a picture of any size needs
// only one band of rows in memory. stb_image_write, which PngFile uses, needs the whole picture.
#include <png.h>

#include <csetjmp>

#include "files/PictureStream.h"
#include "files/PngText.h"
#include "files/StreamedFile.h"

namespace {

class PngStream : public PictureStream {
 public:
  PngStream(int width, int height) : width_(width), height_(height) {}
  ~PngStream() override {
    if (png_) png_destroy_write_struct(&png_, &info_);
  }
  PngStream(const PngStream&) = delete;
  PngStream& operator=(const PngStream&) = delete;

  bool Open(const std::string& fileName, std::string_view documentText, std::string& error);
  int Channels() const override { return 3; }
  bool WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) override;
  bool Finish(std::string& error) override;

 private:
  static void Write(png_structp png, png_bytep data, png_size_t length);
  static void Flush(png_structp) {}
  static void Fail(png_structp png, png_const_charp message);
  bool Failed(std::string& error);
  bool Begin(const std::uint8_t* chunk, std::size_t chunkLength);

  StreamedFile file_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  int width_;
  int height_;
  int nextRow_ = 0;
  std::string reason_;
  bool writeFailed_ = false;
};

void PngStream::Write(png_structp png, png_bytep data, png_size_t length) {
  auto* self = static_cast<PngStream*>(png_get_io_ptr(png));
  if (!self->file_.Append(std::string_view(reinterpret_cast<const char*>(data), length),
                          self->reason_)) {
    self->writeFailed_ = true;
    png_error(png, "write failed");
  }
}

void PngStream::Fail(png_structp png, png_const_charp message) {
  auto* self = static_cast<PngStream*>(png_get_error_ptr(png));
  if (!self->writeFailed_) self->reason_ = message;
  png_longjmp(png, 1);
}

bool PngStream::Failed(std::string& error) {
  error = writeFailed_ ? PictureSaveFailureText(FileFailure::Write, reason_)
                       : "The PNG encoder failed: " + reason_ + ".";
  file_.Abort();
  return false;
}

// The parts that libpng may leave by longjmp hold no objects with destructors.
bool PngStream::Begin(const std::uint8_t* chunk, std::size_t chunkLength) {
  if (setjmp(png_jmpbuf(png_))) return false;
  png_set_write_fn(png_, this, Write, Flush);
  // libpng refuses sides beyond a million pixels unless told otherwise.
  png_set_user_limits(png_, 0x7FFFFFFF, 0x7FFFFFFF);
  png_set_IHDR(png_, info_, static_cast<png_uint_32>(width_), static_cast<png_uint_32>(height_),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png_, info_);
  // The document chunk right after the header, where PngFile puts it.
  if (chunk) png_write_chunk(png_, reinterpret_cast<png_const_bytep>("iTXt"), chunk, chunkLength);
  return true;
}

bool PngStream::Open(const std::string& fileName, std::string_view documentText,
                     std::string& error) {
  std::string chunk;
  if (!documentText.empty()) {
    // The chunk exactly as InsertPngText makes it, taken from behind a bare signature and header.
    std::string bare("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    bare.append(17, '\0');
    const std::size_t header = bare.size();
    if (!InsertPngText(bare, kDocumentKeyword, documentText)) {
      error = "The document is too large to be stored in a PNG picture.";
      return false;
    }
    chunk = bare.substr(header + 8, bare.size() - header - 12);
  }
  FileFailure failure = FileFailure::None;
  if (!file_.Open(fileName, reason_, &failure)) {
    error = PictureSaveFailureText(failure, reason_);
    return false;
  }
  png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, this, Fail, nullptr);
  if (png_) info_ = png_create_info_struct(png_);
  if (!png_ || !info_) {
    reason_ = "out of memory";
    return Failed(error);
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(chunk.data());
  if (!Begin(chunk.empty() ? nullptr : data, chunk.size())) return Failed(error);
  return true;
}

bool PngStream::WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) {
  if (first != nextRow_ || count < 0 || first + count > height_) {
    reason_ = "rows out of order";
    return Failed(error);
  }
  if (setjmp(png_jmpbuf(png_))) return Failed(error);
  for (int r = 0; r < count; ++r) {
    png_write_row(png_, pixels + static_cast<std::size_t>(r) * static_cast<std::size_t>(width_) * 3);
  }
  nextRow_ += count;
  return true;
}

bool PngStream::Finish(std::string& error) {
  if (nextRow_ != height_) {
    reason_ = "rows missing";
    return Failed(error);
  }
  if (setjmp(png_jmpbuf(png_))) return Failed(error);
  png_write_end(png_, nullptr);
  if (!file_.Commit(reason_)) {
    writeFailed_ = true;
    return Failed(error);
  }
  return true;
}

}  // namespace

std::unique_ptr<PictureStream> OpenPngStream(const std::string& fileName, int width, int height,
                                             std::string_view documentText, std::string& error) {
  auto stream = std::make_unique<PngStream>(width, height);
  if (!stream->Open(fileName, documentText, error)) return nullptr;
  return stream;
}
