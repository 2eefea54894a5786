#include "files/PictureStream.h"

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
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
              const std::vector<std::uint8_t>& pixels, std::string_view text = {}) {
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
  // Widths 1 to 4 cover every row padding.
  for (int width : {1, 2, 3, 4, 13}) {
    Bitmap24 bitmap(width, 9);
    bitmap.rgb = Pattern(width, 9, 3);
    for (int band : {1, 4, 9}) {
      ASSERT_TRUE(Stream(StreamFormat::Bmp, "s.bmp", width, 9, band, bitmap.rgb));
      EXPECT_EQ(FileBytes(dir / "s.bmp"), BmpFile::Encode(bitmap)) << width << " / " << band;
    }
  }
}

TEST_F(PictureStreamTest, StreamedPngDecodesWithTheDocument) {
  const int width = 11, height = 6;
  const auto pixels = Pattern(width, height, 3);
  ASSERT_TRUE(Stream(StreamFormat::Png, "s.png", width, height, 4, pixels, "<doc>\xE9</doc>"));
  const std::string bytes = FileBytes(dir / "s.png");
  std::string text, error;
  ASSERT_EQ(FindPngText(bytes, kDocumentKeyword, text, error), PngTextResult::Found) << error;
  EXPECT_EQ(text, "<doc>\xE9</doc>");
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()));
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> decoded(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr));
  EXPECT_EQ(decoded, pixels);
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
