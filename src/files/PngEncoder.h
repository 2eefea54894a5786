#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

struct png_struct_def;
struct png_info_def;
struct isal_zstream;

// The PNG encoder of both PNG writers, PngFile (the whole picture in memory) and the streamed
// writer (band by band): libpng, 8 bits per channel, RGB or RGBA, rows given top to bottom, and
// the document in an iTXt chunk right after the header (see PngText.h).
//
// Rendered fractal pictures have long runs of one colour and many rows like the row above, so
// every row is filtered against the row above (Up) and compressed by ISA-L's fastest deflate
// level. That is several times faster than choosing a filter per row, or than zlib at its
// fastest, and the files come out smaller than with a filter chosen per row.
//
// The image data is cut into blocks of whole rows (about 256 KiB of filtered bytes each, fixed
// by the width alone). Each block is compressed on its own (its matches reach back only into
// itself), byte-aligned at its end, and the blocks are joined into one zlib stream; their
// checksums are combined. Blocks can thus be compressed on several threads at once (WriteImage),
// and the bytes are the same however the rows are fed.
class PngEncoder {
 public:
  // Takes the encoded bytes in order; false with a reason stops the encoding.
  using Output = std::function<bool(std::string_view bytes, std::string& reason)>;

  // Why encoding stopped.
  enum class Failure { None, Document, Output, Encoder };

  explicit PngEncoder(Output output) : output_(std::move(output)) {}
  ~PngEncoder();
  PngEncoder(const PngEncoder&) = delete;
  PngEncoder& operator=(const PngEncoder&) = delete;

  // Writes the signature, the header and, when documentText (Latin-1) is not empty, the document
  // chunk. channels is 3 (RGB) or 4 (RGBA).
  bool Begin(int width, int height, int channels, std::string_view documentText);
  // count rows of width * channels bytes each.
  bool WriteRows(const std::uint8_t* pixels, int count);
  // Every row of the picture at once (height rows, one after the other), its blocks compressed
  // on `threads` threads (0: one per hardware thread). The bytes are those of WriteRows.
  bool WriteImage(const std::uint8_t* pixels, int threads);
  // Writes the end of the file once every row has been written.
  bool End();

  // After a failed call: what failed and why. Document: the document is too long to be stored.
  Failure GetFailure() const { return failure_; }
  const std::string& Reason() const { return reason_; }

 private:
  // A block of rows filtered and compressed, with the Adler-32 of its filtered bytes.
  struct Block {
    std::string deflated;
    unsigned long adler = 1;
    std::size_t size = 0;  // filtered bytes
  };
  // Memory that is not cleared when it is made: pages that are never written are never touched.
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    // At least n bytes; the contents are kept only while no more is asked for.
    std::uint8_t* Get(std::size_t n);
  };
  // Buffers and compressor of one thread, kept from block to block.
  struct Scratch {
    Buffer filtered, deflated;
    std::unique_ptr<isal_zstream> stream;  // the compressor's state (80 KiB), once made
    Buffer level;                          // and its working memory
    Scratch();
    ~Scratch();
  };
  static bool Compress(const std::uint8_t* rows, const std::uint8_t* above, int count,
                       std::size_t rowBytes, bool last, Block& block, Scratch& scratch);
  bool Emit(const Block& block);
  bool FlushData(bool all);

  static void Write(png_struct_def* png, unsigned char* data, std::size_t length);
  static void Flush(png_struct_def*) {}
  static void Error(png_struct_def* png, const char* message);
  static void Warning(png_struct_def*, const char*) {}
  bool Pass(std::string_view bytes);
  bool Start(int width, int height, int channels, const std::string& chunk);
  bool Fail(Failure failure, std::string reason);

  Output output_;
  png_struct_def* png_ = nullptr;
  png_info_def* info_ = nullptr;
  std::size_t rowBytes_ = 0;
  int height_ = 0;
  int blockRows_ = 1;
  int rowsDone_ = 0;                 // rows compressed so far
  bool started_ = false;             // the zlib header has been written
  std::string pending_;              // rows of the current block, unfiltered
  std::string above_;                // the row above the current block (zeros above row 0)
  unsigned long adler_ = 1;          // of all filtered bytes so far
  std::string data_;                 // zlib stream bytes not yet written as IDAT chunks
  Scratch scratch_;                  // for the rows fed by WriteRows
  Failure failure_ = Failure::None;
  std::string reason_;
};
