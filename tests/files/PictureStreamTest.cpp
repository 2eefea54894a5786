#include "files/PictureStream.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "files/PngEncoder.h"
#include "files/PngFile.h"
#include "files/PngText.h"
#include "files/TifFileReader.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"

namespace {

namespace fs = std::filesystem;

// Pixel bytes that differ in every channel, row and column.
std::vector<std::uint8_t> Pattern(int width, int height, int channels) {
  std::vector<std::uint8_t> p(static_cast<std::size_t>(width) * height * channels);
  for (std::size_t i = 0; i < p.size(); ++i) p[i] = static_cast<std::uint8_t>(i * 7 + i / 5);
  return p;
}

class PictureStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-stream-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Streams pixels in bands of bandRows rows.
  bool Stream(StreamFormat format, const std::string& name, int width, int height, int bandRows,
              std::span<const std::uint8_t> pixels, std::string_view text = {}) {
    std::string error;
    auto stream = OpenPictureStream(format, (dir / name).string(), width, height, bandRows, text, error);
    EXPECT_TRUE(stream) << error;
    if (!stream) return false;
    const std::size_t row = static_cast<std::size_t>(width) * stream->Channels();
    for (int first = 0; first < height; first += bandRows) {
      const int count = std::min(bandRows, height - first);
      if (!stream->WriteRows(first, count, pixels.data() + row * first, error)) return false;
    }
    EXPECT_TRUE(stream->Finish(error)) << error;
    return true;
  }

  fs::path dir;
};

TEST(TifStripDirectory, OneStripIsTheDirectoryOfEncode) {
  const TifFileWriter writer("Korvana", "2.1");
  for (const auto& [width, height, alpha] : {std::tuple{2, 1, false}, {5, 7, true}, {300, 1, true}}) {
    const TifImage image(width, height, alpha);
    std::uint32_t offset = 0;
    const std::string head =
        writer.EncodeStripDirectory(width, height, alpha, static_cast<std::uint32_t>(height),
                                    "2024:01:02 03:04:05", offset);
    EXPECT_EQ(offset, TifFileWriter::kPixelOffset);
    EXPECT_EQ(head, writer.Encode(image, "2024:01:02 03:04:05").substr(0, 512)) << width;
  }
}

TEST_F(PictureStreamTest, StreamedTifReadsBackInAnyStripHeight) {
  // 1-row strips of 90 rows need more directory than 512 bytes: the pixels move behind it.
  const struct {
    int width, height, bandRows;
  } cases[] = {{5, 7, 1}, {5, 7, 3}, {5, 7, 7}, {3, 90, 1}, {1, 1, 1}};
  for (const auto& c : cases) {
    const auto pixels = Pattern(c.width, c.height, 4);
    ASSERT_TRUE(Stream(StreamFormat::Tif, "s.tif", c.width, c.height, c.bandRows, pixels));
    TifImage image;
    std::string error;
    ASSERT_TRUE(TifFileReader::Read((dir / "s.tif").string(), image, error)) << error;
    ASSERT_EQ(image.GetWidth(), c.width);
    ASSERT_EQ(image.GetHeight(), c.height);
    for (int i = 0; i < c.width * c.height; ++i) {
      const std::uint8_t* p = &pixels[static_cast<std::size_t>(i) * 4];
      ASSERT_EQ(image.Colors()[i], p[0] | (p[1] << 8) | (p[2] << 16)) << i;
      ASSERT_EQ(image.Alpha()[i], p[3]) << i;
    }
  }
}

TEST_F(PictureStreamTest, StreamedBmpIsTheEncodedBmp) {
  // Widths 1 to 4 cover every row padding; rows of 150 001 pixels take a band of 4 or 9 rows
  // to the file in several pieces.
  for (int width : {1, 2, 3, 4, 13, 150001}) {
    Bitmap24 bitmap(width, 9);
    const auto pattern = Pattern(width, 9, 3);
    bitmap.rgb.assign(pattern.begin(), pattern.end());
    for (int band : {1, 4, 9}) {
      ASSERT_TRUE(Stream(StreamFormat::Bmp, "s.bmp", width, 9, band, bitmap.rgb));
      EXPECT_EQ(FileBytes(dir / "s.bmp"), BmpFile::Encode(bitmap)) << width << " / " << band;
    }
  }
}

// The decoded pixels of a PNG in libpng's format (PNG_FORMAT_RGB or PNG_FORMAT_RGBA); empty when
// it cannot be decoded.
std::vector<std::uint8_t> DecodePng(const std::string& bytes, png_uint_32 format) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return {};
  image.format = format;
  std::vector<std::uint8_t> decoded(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr)) return {};
  return decoded;
}

// The in-memory and the streamed writer share one encoder: for pictures of runs, of noise, of
// one pixel or one column, of many compressed blocks and of many stored ones, both files hold
// the document, decode to exactly the pixels and are the same bytes.
TEST_F(PictureStreamTest, PngWritersDecodeToThePixelsWithTheDocument) {
  std::vector<std::uint8_t> runs(300 * 40 * 3);
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 300; ++x) {
      std::uint8_t* p = &runs[(static_cast<std::size_t>(y) * 300 + x) * 3];
      p[0] = static_cast<std::uint8_t>(y / 7 * 40);
      p[1] = x < 100 ? 255 : static_cast<std::uint8_t>(x / 30);
      p[2] = static_cast<std::uint8_t>((x + y) % 3 == 0 ? 9 : 200);
    }
  }
  struct Case {
    const char* what;
    int width, height;
    std::vector<std::uint8_t> pixels;
  };
  std::vector<Case> cases = {
      {"runs", 300, 40, runs},
      {"noise", 11, 6, Pattern(11, 6, 3)},
      {"one pixel", 1, 1, {1, 2, 3}},
      {"one column", 1, 50, Pattern(1, 50, 3)},
      // Rows of 9000 bytes: blocks of 29 rows, compressed on several threads by the in-memory
      // writer and fed 4 rows at a time to the streamed one.
      {"many blocks", 3000, 100, Pattern(3000, 100, 3)},
  };
  // Bytes with nothing to compress: every block is stored, larger than its input.
  std::vector<std::uint8_t> noise(3000 * 100 * 3);
  std::uint32_t state = 12345;
  for (std::uint8_t& b : noise) {
    state = state * 1664525 + 1013904223;
    b = static_cast<std::uint8_t>(state >> 24);
  }
  cases.push_back({"incompressible blocks", 3000, 100, noise});
  const std::string text = "<doc>\xE9</doc>";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bitmap24 bitmap(c.width, c.height);
    bitmap.rgb.assign(c.pixels.begin(), c.pixels.end());
    std::string error;
    ASSERT_TRUE(PngFile::Write((dir / "m.png").string(), bitmap, error, text)) << error;
    ASSERT_TRUE(Stream(StreamFormat::Png, "s.png", c.width, c.height, 4, c.pixels, text));
    const std::string bytes = FileBytes(dir / "m.png");
    EXPECT_EQ(FileBytes(dir / "s.png"), bytes);
    std::string read;
    ASSERT_EQ(FindPngText(bytes, kDocumentKeyword, read, error), PngTextResult::Found) << error;
    EXPECT_EQ(read, text);
    EXPECT_EQ(DecodePng(bytes, PNG_FORMAT_RGB), c.pixels);
  }
  // A picture with opacity keeps it, every channel exact.
  TifImage image(5, 3, true);
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      const auto r = static_cast<std::uint8_t>(x * 50), g = static_cast<std::uint8_t>(y * 80 + 1),
                 b = static_cast<std::uint8_t>(x + y), a = static_cast<std::uint8_t>(x * 60 + y);
      image.SetColor(x, y, r | (std::uint32_t{g} << 8) | (std::uint32_t{b} << 16));
      image.SetAlpha(x, y, a);
      rgba.insert(rgba.end(), {r, g, b, a});
    }
  }
  EXPECT_EQ(DecodePng(PngFile::Encode(image), PNG_FORMAT_RGBA), rgba);
}

// A failed PNG stream says what failed and leaves no file behind.
TEST_F(PictureStreamTest, FailedPngStreamsSayWhy) {
  const std::string tooLong(kMaxPngTextBytes + 1, 'x');
  const auto pixels = Pattern(64, 64, 3);
  const struct {
    const char* what;
    const char* file;
    std::string_view text;
    int firstRow;  // where the rows start; 64 when none are written
    std::string message;
  } cases[] = {
      {"document too long", "long.png", tooLong, 0,
       "The document is too large to be stored in a PNG picture."},
      {"rows out of order", "order.png", {}, 1, "The PNG encoder failed: rows out of order."},
      {"rows missing", "missing.png", {}, 64, "The PNG encoder failed: rows missing."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string error;
    auto stream = OpenPictureStream(StreamFormat::Png, (dir / c.file).string(), 64, 64, 64,
                                    c.text, error);
    bool ok = stream != nullptr;
    if (ok && c.firstRow < 64) {
      ok = stream->WriteRows(c.firstRow, 64 - c.firstRow, pixels.data(), error);
    }
    if (ok) ok = stream->Finish(error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, c.message);
    EXPECT_FALSE(fs::exists(dir / c.file));
  }
  std::string error;
  EXPECT_FALSE(PngFile::Write((dir / "long.png").string(), Bitmap24(2, 2), error, tooLong));
  EXPECT_EQ(error, "The document is too large to be stored in a PNG picture.");
  EXPECT_FALSE(fs::exists(dir / "long.png"));
  // An output that fails while the picture is written stops the encoder with its reason.
  std::size_t taken = 0;
  PngEncoder encoder([&taken](std::string_view bytes, std::string& reason) {
    taken += bytes.size();
    reason = "disk full";
    return taken < 100;
  });
  EXPECT_TRUE(encoder.Begin(64, 64, 3, {}));
  EXPECT_FALSE(encoder.WriteRows(pixels.data(), 64) && encoder.End());
  EXPECT_EQ(encoder.GetFailure(), PngEncoder::Failure::Output);
  EXPECT_EQ(encoder.Reason(), "disk full");
  EXPECT_FALSE(encoder.WriteRows(pixels.data(), 1));
}

TEST(PictureStreamLimits, SizesBeyondTheFormatsAreRefused) {
  const struct {
    StreamFormat format;
    int width, height;
    bool ok;
  } cases[] = {
      {StreamFormat::Bmp, 30000, 30000, true},   // 2.7 GB: beyond stb's int, within 32 bits
      {StreamFormat::Bmp, 40000, 40000, false},  // 4.8 GB
      {StreamFormat::Tif, 30000, 30000, true},   // 3.6 GB of RGBA
      {StreamFormat::Tif, 33000, 33000, false},
      {StreamFormat::Png, 2147483647, 2147483647, true},
      {StreamFormat::Png, 0, 5, false},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(CheckStreamable(c.format, c.width, c.height, error), c.ok) << c.width << " " << error;
  }
}

TEST_F(PictureStreamTest, UnfinishedOrFailedStreamsLeaveNothing) {
  std::string error;
  EXPECT_FALSE(OpenPictureStream(StreamFormat::Png, (dir / "no/such.png").string(), 4, 4, 1, {}, error));
  EXPECT_EQ(error, "Cannot open File.");
  for (StreamFormat format : {StreamFormat::Tif, StreamFormat::Bmp, StreamFormat::Png}) {
    auto stream = OpenPictureStream(format, (dir / "x").string(), 4, 4, 2, {}, error);
    ASSERT_TRUE(stream) << error;
    const auto pixels = Pattern(4, 2, stream->Channels());
    ASSERT_TRUE(stream->WriteRows(0, 2, pixels.data(), error)) << error;
    stream.reset();
  }
  EXPECT_TRUE(fs::is_empty(dir));
}

}  // namespace
