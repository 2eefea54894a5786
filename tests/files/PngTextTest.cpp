#include "files/PngText.h"

#include <gtest/gtest.h>

#include "common/Bitmap24.h"
#include "files/PngFile.h"

namespace {

std::string SmallPng() {
  Bitmap24 bitmap(3, 2);
  bitmap.Pixel(1, 1)[0] = 200;
  return PngFile::Encode(bitmap);
}

TEST(PngText, LatinOneDocumentsRoundTripThroughAnITxtChunk) {
  std::string png = SmallPng();
  const std::string text = "<UnitFractal>\n  <Name>Caf\xe9 \xff</Name>\n</UnitFractal>\n";
  ASSERT_TRUE(InsertPngText(png, kDocumentKeyword, text));
  EXPECT_NE(png.find("iTXtKorvana-Document"), std::string::npos);
  std::string read, error;
  ASSERT_EQ(FindPngText(png, kDocumentKeyword, read, error), PngTextResult::Found) << error;
  EXPECT_EQ(read, text);
  EXPECT_EQ(FindPngText(png, "Other", read, error), PngTextResult::Missing);
  EXPECT_EQ(FindPngText(SmallPng(), kDocumentKeyword, read, error), PngTextResult::Missing);
}

TEST(PngText, DamagedFilesAreRefused) {
  std::string png = SmallPng();
  ASSERT_TRUE(InsertPngText(png, kDocumentKeyword, "<UnitFractal />"));
  const std::size_t chunk = png.find("iTXt") - 4;
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"no signature", "GIF89a" + png.substr(6)},
      {"text flipped (checksum)", [&] { std::string b = png; b[chunk + 30] ^= 1; return b; }()},
      {"cut inside the chunk", png.substr(0, chunk + 20)},
      {"length beyond the file", [&] { std::string b = png; b[chunk] = '\x7f'; return b; }()},
  };
  for (const Case& c : cases) {
    std::string read, error;
    EXPECT_EQ(FindPngText(c.bytes, kDocumentKeyword, read, error), PngTextResult::Damaged) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
  std::string tooLong = SmallPng();
  EXPECT_FALSE(InsertPngText(tooLong, kDocumentKeyword, std::string(kMaxPngTextBytes + 1, 'x')));
  std::string notPng = "plain text";
  EXPECT_FALSE(InsertPngText(notPng, kDocumentKeyword, "x"));
}

}  // namespace
