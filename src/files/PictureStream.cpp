#include "files/PictureStream.h"

#include <algorithm>
#include <limits>

#include "common/FileNames.h"
#include "common/Version.h"
#include "files/BmpFile.h"
#include "files/StreamedFile.h"
#include "files/TifFileWriter.h"

std::unique_ptr<PictureStream> OpenPngStream(const std::string& fileName, int width, int height,
                                             std::string_view documentText, std::string& error);

namespace {

bool OpenFile(StreamedFile& file, const std::string& fileName, std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (file.Open(fileName, reason, &failure)) return true;
  error = PictureSaveFailureText(failure, reason);
  return false;
}

bool WriteFailed(std::string& error, const std::string& reason) {
  error = PictureSaveFailureText(FileFailure::Write, reason);
  return false;
}

// A picture whose bands are written into place in a streamed file, committed at the end.
class PlacedStream : public PictureStream {
 public:
  StreamedFile file;

  bool Finish(std::string& error) override {
    std::string reason;
    return file.Commit(reason) || WriteFailed(error, reason);
  }
};

// TIFF: the directory first, then the strips' bytes in row order (rows map to one contiguous
// run of bytes, so a band is written wherever its first row starts).
class TifStream : public PlacedStream {
 public:
  TifStream(int width, std::uint32_t pixelOffset) : width_(width), pixelOffset_(pixelOffset) {}

  int Channels() const override { return 4; }
  bool WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) override {
    const std::uint64_t rowBytes = 4 * static_cast<std::uint64_t>(width_);
    std::string reason;
    if (!file.WriteAt(pixelOffset_ + rowBytes * static_cast<std::uint64_t>(first),
                      std::string_view(reinterpret_cast<const char*>(pixels),
                                       rowBytes * static_cast<std::uint64_t>(count)),
                      reason)) {
      return WriteFailed(error, reason);
    }
    return true;
  }

 private:
  int width_;
  std::uint32_t pixelOffset_;
};

// BMP: the file layout of BmpFile::Encode; a band's rows go to their place.
class BmpStream : public PlacedStream {
 public:
  BmpStream(int width, int height) : width_(width), height_(height) {}

  int Channels() const override { return 3; }
  bool WriteRows(int first, int count, const std::uint8_t* pixels, std::string& error) override {
    // The rows of a band are one run of the file in reverse order. They go there in pieces of
    // about a megabyte, each one write: a band is never held a second time whole, and a
    // picture of many rows takes few system calls.
    const std::size_t rowBytes = BmpFile::RowBytes(width_);
    const int pieceRows =
        static_cast<int>(std::max<std::size_t>(1, (std::size_t{1} << 20) / rowBytes));
    std::string piece(rowBytes * static_cast<std::size_t>(std::min(pieceRows, count)), '\0');
    std::string reason;
    // Pieces from the band's last row up, so that each is written in file order.
    for (int end = count; end > 0; end -= pieceRows) {
      const int begin = std::max(0, end - pieceRows);
      for (int r = begin; r < end; ++r) {
        BmpFile::PutRow(pixels + static_cast<std::size_t>(r) * width_ * 3, width_,
                        piece.data() + static_cast<std::size_t>(end - 1 - r) * rowBytes);
      }
      const std::uint64_t fromBottom = static_cast<std::uint64_t>(height_ - (first + end));
      const std::string_view bytes(piece.data(), static_cast<std::size_t>(end - begin) * rowBytes);
      if (!file.WriteAt(54 + fromBottom * rowBytes, bytes, reason)) {
        return WriteFailed(error, reason);
      }
    }
    return true;
  }

 private:
  int width_;
  int height_;
};

}  // namespace

bool ChooseStreamFormat(const std::string& fileName, StreamFormat& format, std::string& error) {
  std::string name, extension;
  SplitFileExtension(fileName, name, extension);
  if (extension == "png") {
    format = StreamFormat::Png;
    return true;
  }
  PictureFormat picture;
  if (!PictureFile::ChooseExportFormat(fileName, picture, error)) return false;
  format = picture == PictureFormat::Tif ? StreamFormat::Tif : StreamFormat::Bmp;
  return true;
}

bool CheckStreamable(StreamFormat format, int width, int height, std::string& error) {
  if (width <= 0 || height <= 0) {
    error = "Picture has no pixels.";
    return false;
  }
  const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
  switch (format) {
    case StreamFormat::Tif:
      if (!TifFileWriter::CheckEncodable(width, height, true, error)) {
        error = "Picture of " + size + " is too large for a TIF file (32-bit offsets).";
        return false;
      }
      return true;
    case StreamFormat::Bmp:
      if (54 + BmpFile::RowBytes(width) * static_cast<std::uint64_t>(height) > 0xFFFFFFFFull) {
        error = "Picture of " + size + " is too large for a BMP file (32-bit file size).";
        return false;
      }
      return true;
    case StreamFormat::Png:
      return true;  // int sides never pass the PNG limit of 2^31 - 1
  }
  return true;
}

std::unique_ptr<PictureStream> OpenPictureStream(StreamFormat format, const std::string& fileName,
                                                 int width, int height, int rowsPerStrip,
                                                 std::string_view documentText,
                                                 std::string& error) {
  if (!CheckStreamable(format, width, height, error)) return nullptr;
  std::string reason;
  if (format == StreamFormat::Png) return OpenPngStream(fileName, width, height, documentText, error);
  if (format == StreamFormat::Bmp) {
    auto stream = std::make_unique<BmpStream>(width, height);
    if (!OpenFile(stream->file, fileName, error)) return nullptr;
    if (!stream->file.WriteAt(0, BmpFile::Header(width, height), reason)) {
      WriteFailed(error, reason);
      return nullptr;
    }
    return stream;
  }
  const TifFileWriter writer{std::string(korvana::kProgramName), std::string(korvana::kVersionText)};
  std::uint32_t pixelOffset = 0;
  const std::string directory = writer.EncodeStripDirectory(
      width, height, true, static_cast<std::uint32_t>(std::max(rowsPerStrip, 1)),
      TifFileWriter::LocalDateTime(), pixelOffset);
  if (directory.empty()) {
    error = "Picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels is too large for a TIF file (32-bit offsets).";
    return nullptr;
  }
  auto stream = std::make_unique<TifStream>(width, pixelOffset);
  if (!OpenFile(stream->file, fileName, error)) return nullptr;
  if (!stream->file.WriteAt(0, directory, reason)) {
    WriteFailed(error, reason);
    return nullptr;
  }
  return stream;
}
