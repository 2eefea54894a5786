#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "TifTestFiles.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "files/TifFileReader.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"

// Hostile input for the picture readers: every prefix of valid files, random byte changes in the
// headers and oversized dimensions. A reader must answer each with success or one message, read
// nothing outside the file (the sanitizer builds check that) and never hold an absurd picture.
namespace {

using Decoder = std::function<bool(const std::string&, TifImage&, std::string&)>;

void ExpectSane(const Decoder& decode, const std::string& bytes) {
  TifImage image;
  std::string error;
  if (decode(bytes, image, error)) {
    EXPECT_GT(image.GetWidth(), 0);
    EXPECT_GT(image.GetHeight(), 0);
    EXPECT_LE(static_cast<std::uint64_t>(image.GetWidth()) * image.GetHeight(), 1u << 28);
    EXPECT_EQ(image.Colors().size(),
              static_cast<std::size_t>(image.GetWidth()) * image.GetHeight());
  } else {
    EXPECT_FALSE(error.empty());
  }
}

void Hammer(const Decoder& decode, const std::vector<std::string>& seeds, std::size_t headerBytes) {
  std::mt19937 random(20240611);
  for (const std::string& seed : seeds) {
    for (std::size_t length = 0; length < seed.size(); ++length) {
      ExpectSane(decode, seed.substr(0, length));
    }
    for (int round = 0; round < 1500; ++round) {
      std::string bytes = seed;
      const int changes = 1 + static_cast<int>(random() % 4);
      for (int i = 0; i < changes; ++i) {
        const std::size_t at = random() % std::min(headerBytes, bytes.size());
        const std::uint32_t kind = random() % 4;
        bytes[at] = static_cast<char>(kind == 0 ? 0 : kind == 1 ? 0xFF : random());
      }
      ExpectSane(decode, bytes);
    }
  }
}

TifImage Picture(int width, int height, bool alpha) {
  TifImage image(width, height, alpha);
  for (int x = 0; x < width; ++x)
    image.SetColor(x, height - 1, 0x102030u * static_cast<std::uint32_t>(x));
  return image;
}

}  // namespace

TEST(PictureRobustnessTest, TifReaderSurvivesTruncatedMutatedAndOversizedFiles) {
  const TifFileWriter writer("Korvana", "2.1");
  auto entries = TifTestFile::RgbEntries(3, 4, 4, 200);
  for (auto& e : entries) {
    if (e.tag == 278) e.values = {2};
    if (e.tag == 273) e.values = {200, 224};
    if (e.tag == 279) e.values = {24, 24};
  }
  const std::vector<std::string> seeds = {
      writer.Encode(Picture(3, 2, false), "2024:01:01 00:00:00"),
      writer.Encode(Picture(2, 3, true), "2024:01:01 00:00:00"),
      TifTestFile(true).Build(entries, 200, std::string(48, '\x55')),
  };
  const Decoder decode = [](const std::string& b, TifImage& i, std::string& e) {
    return TifFileReader::Decode(b, i, e);
  };
  Hammer(decode, seeds, 300);

  // Oversized dimensions in an otherwise valid file.
  for (std::uint32_t width : {0x7FFFFFFFu, 0xFFFFFFFFu, 1u << 16}) {
    auto big = TifTestFile::RgbEntries(width, width, 3, 256);
    TifImage image;
    std::string error;
    EXPECT_FALSE(TifFileReader::Decode(TifTestFile(false).Build(big, 256, "abc"), image, error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(PictureRobustnessTest, BmpReaderSurvivesTruncatedMutatedAndOversizedFiles) {
  Bitmap24 bitmap(5, 3);
  for (std::size_t i = 0; i < bitmap.rgb.size(); ++i) bitmap.rgb[i] = static_cast<std::uint8_t>(i);
  const Decoder decode = [](const std::string& b, TifImage& i, std::string& e) {
    return BmpFile::Decode(b, i, e);
  };
  Hammer(decode, {BmpFile::Encode(bitmap)}, 60);

  std::string big = BmpFile::Encode(bitmap);
  for (int at : {18, 22}) big.replace(static_cast<std::size_t>(at), 4, "\xff\xff\xff\x7f", 4);
  ExpectSane(decode, big);
}
