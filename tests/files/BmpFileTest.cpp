#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "files/TifImage.h"

namespace fs = std::filesystem;

namespace {

void Put(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A BMP file with a 40-byte info header; rows bottom-up (positive height) as the format stores
// them, each padded to 4 bytes. rows holds the stored rows, bottom row first.
std::string MakeBmp(int width, int height, int bits, const std::string& rows) {
  std::string out = "BM";
  Put(out, static_cast<std::uint32_t>(54 + rows.size()), 4);
  Put(out, 0, 4);
  Put(out, 54, 4);
  Put(out, 40, 4);
  Put(out, static_cast<std::uint32_t>(width), 4);
  Put(out, static_cast<std::uint32_t>(height), 4);
  Put(out, 1, 2);
  Put(out, static_cast<std::uint32_t>(bits), 2);
  Put(out, 0, 4);
  Put(out, static_cast<std::uint32_t>(rows.size()), 4);
  Put(out, 2835, 4);
  Put(out, 2835, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  return out + rows;
}

std::string Decode(const std::string& bytes) {
  TifImage image;
  std::string error;
  return BmpFile::Decode(bytes, image, error) ? "ok" : error;
}

}  // namespace

TEST(BmpFileTest, ReadsBottomUpRowsIntoTopDownColours) {
  // Stored bottom row first, blue, green, red per pixel, rows padded to 4 bytes.
  const std::string rows = std::string("\x03\x02\x01\x06\x05\x04\0\0", 8) +
                           std::string("\x13\x12\x11\x16\x15\x14\0\0", 8);
  TifImage image;
  std::string error;
  ASSERT_TRUE(BmpFile::Decode(MakeBmp(2, 2, 24, rows), image, error)) << error;
  EXPECT_FALSE(image.HasAlpha());
  EXPECT_EQ(image.Colors(), (std::vector<std::uint32_t>{0x131211, 0x161514, 0x030201, 0x060504}));
}

TEST(BmpFileTest, TopDownRowsOfANegativeHeightReadInStoredOrder) {
  // A negative height stores the top row first.
  const std::string rows = std::string("\x03\x02\x01\x06\x05\x04\0\0", 8) +
                           std::string("\x13\x12\x11\x16\x15\x14\0\0", 8);
  for (int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    const std::string stored =
        bits == 24 ? rows
                   : std::string("\x03\x02\x01\0\x06\x05\x04\0\x13\x12\x11\0\x16\x15\x14\0", 16);
    TifImage image;
    std::string error;
    ASSERT_TRUE(BmpFile::Decode(MakeBmp(2, -2, bits, stored), image, error)) << error;
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.Colors(),
              (std::vector<std::uint32_t>{0x030201, 0x060504, 0x131211, 0x161514}));
  }
}

// Rows of every width from one pixel to past several blocks of pixels converted at once, each
// padding: the written file and the encoded bytes are the same and read back to the pixels.
TEST(BmpFileTest, EveryRowWidthReadsBackExactly) {
  const fs::path file =
      fs::temp_directory_path() / ("korvana-bmp-widths-" + std::to_string(::getpid()) + ".bmp");
  for (int width : {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 16, 17, 31, 100}) {
    Bitmap24 bitmap(width, 3);
    for (std::size_t i = 0; i < bitmap.rgb.size(); ++i) {
      bitmap.rgb[i] = static_cast<std::uint8_t>(i * 37 + i / 3);
    }
    const std::string encoded = BmpFile::Encode(bitmap);
    std::string error;
    ASSERT_TRUE(BmpFile::Write(file.string(), bitmap, error)) << error;
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    EXPECT_EQ(written, encoded) << width;
    TifImage image;
    ASSERT_TRUE(BmpFile::Decode(encoded, image, error)) << error;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = bitmap.Pixel(x, y);
        ASSERT_EQ(image.GetColor(x, y), p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16))
            << width << ": " << x << ", " << y;
      }
    }
  }
  fs::remove(file);
}

TEST(BmpFileTest, WrittenBitmapReadsBackAndAlphaOf32BitFilesIsDropped) {
  Bitmap24 bitmap(3, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      std::uint8_t* p = bitmap.Pixel(x, y);
      p[0] = static_cast<std::uint8_t>(10 * x + y);
      p[1] = static_cast<std::uint8_t>(100 + x);
      p[2] = static_cast<std::uint8_t>(200 + y);
    }
  }
  TifImage image;
  std::string error;
  ASSERT_TRUE(BmpFile::Decode(BmpFile::Encode(bitmap), image, error)) << error;
  ASSERT_EQ(image.GetWidth(), 3);
  ASSERT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(image.GetColor(2, 1), 0xC9'66'15u);

  const std::string rgba("\x01\x02\x03\x80\x04\x05\x06\x00", 8);
  ASSERT_TRUE(BmpFile::Decode(MakeBmp(2, 1, 32, rgba), image, error)) << error;
  EXPECT_FALSE(image.HasAlpha());
  EXPECT_EQ(image.Colors(), (std::vector<std::uint32_t>{0x010203, 0x040506}));
}

TEST(BmpFileTest, RefusesDamagedFilesAndSizesBeyondTheFile) {
  const std::string valid = MakeBmp(1, 1, 24, std::string("\1\2\3\0", 4));
  const std::string invalid = "BMP file is invalid or of a kind that cannot be read.";
  const std::string tooLarge = "BMP file is invalid: the picture is too large for the file.";
  const std::string noPixels = "BMP file is invalid: the picture has no pixels.";
  const std::string overLimit =
      "BMP file cannot be read: the picture has more than 268435456 pixels.";
  std::string badMagic = valid;
  badMagic[0] = 'X';
  std::string rle = valid;
  rle[30] = 1;  // compression BI_RLE8 on a 24-bit file
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", invalid},
      {"BM", invalid},
      {badMagic, invalid},
      {valid.substr(0, 40), invalid},
      {rle, invalid},
      {MakeBmp(40000, 40000, 24, std::string(64, '\0')), overLimit},
      {MakeBmp(20000, 20000, 1, std::string(64, '\0')), overLimit},
      {MakeBmp(16384, 16385, 1, std::string(64, '\0')), overLimit},
      {MakeBmp(16384, 16384, 1, std::string(64, '\0')), tooLarge},
      {MakeBmp(100, 100, 24, std::string(64, '\0')), tooLarge},
      {MakeBmp(0, 1, 24, std::string(4, '\0')), noPixels},
      {MakeBmp(1, 0, 24, std::string(4, '\0')), noPixels},
  };
  EXPECT_EQ(Decode(valid), "ok");
  for (const auto& [bytes, message] : cases) EXPECT_EQ(Decode(bytes), message);
}

TEST(BmpFileTest, WriteIsAtomicAndReportsFailure) {
  const fs::path dir = fs::temp_directory_path() / ("korvana-bmp-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  Bitmap24 bitmap(2, 2);
  std::string error;
  const std::string file = (dir / "a.bmp").string();
  ASSERT_TRUE(BmpFile::Write(file, bitmap, error)) << error;
  TifImage image;
  ASSERT_TRUE(BmpFile::Read(file, image, error)) << error;
  EXPECT_EQ(image.GetWidth(), 2);
  EXPECT_FALSE(BmpFile::Write((dir / "no" / "a.bmp").string(), bitmap, error));
  EXPECT_EQ(error, "Cannot open File.");
  EXPECT_FALSE(BmpFile::Write(file, Bitmap24(0, 0), error));
  EXPECT_TRUE(BmpFile::Read(file, image, error)) << "the old file survives a failed write";
  fs::remove_all(dir);
}
