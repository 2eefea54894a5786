// The streamed PNG writer: the rows are encoded as they come (see PngEncoder.h), so a picture of
// any size needs only one band of rows in memory.
#include "files/PictureStream.h"
#include "files/PngEncoder.h"
#include "files/StreamedFile.h"

namespace {

class PngStream : public PictureStream {
 public:
  PngStream(int width, int height)
      : encoder_([this](std::string_view bytes, std::string& reason) {
          return file_.Append(bytes, reason);
        }),
        width_(width),
        height_(height) {}

  bool Open(const std::string& fileName, std::string_view documentText, std::string& error);
  int Channels() const override { return 3; }
  bool WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) override;
  bool Finish(std::string& error) override;

 private:
  bool Failed(std::string& error);
  bool Refused(const char* reason, std::string& error);

  StreamedFile file_;
  PngEncoder encoder_;
  int width_;
  int height_;
  int nextRow_ = 0;
};

bool PngStream::Failed(std::string& error) {
  switch (encoder_.GetFailure()) {
    case PngEncoder::Failure::Document:
      error = encoder_.Reason();
      break;
    case PngEncoder::Failure::Output:
      error = PictureSaveFailureText(FileFailure::Write, encoder_.Reason());
      break;
    default:
      error = "The PNG encoder failed: " + encoder_.Reason() + ".";
      break;
  }
  file_.Abort();
  return false;
}

bool PngStream::Refused(const char* reason, std::string& error) {
  error = "The PNG encoder failed: " + std::string(reason) + ".";
  file_.Abort();
  return false;
}

bool PngStream::Open(const std::string& fileName, std::string_view documentText,
                     std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (!file_.Open(fileName, reason, &failure)) {
    error = PictureSaveFailureText(failure, reason);
    return false;
  }
  return encoder_.Begin(width_, height_, 3, documentText) || Failed(error);
}

bool PngStream::WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) {
  if (first != nextRow_ || count < 0 || count > height_ - first) {
    return Refused("rows out of order", error);
  }
  if (!encoder_.WriteRows(pixels, count)) return Failed(error);
  nextRow_ += count;
  return true;
}

bool PngStream::Finish(std::string& error) {
  if (nextRow_ != height_) return Refused("rows missing", error);
  if (!encoder_.End()) return Failed(error);
  std::string reason;
  if (!file_.Commit(reason)) {
    error = PictureSaveFailureText(FileFailure::Write, reason);
    file_.Abort();
    return false;
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
