#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "TifTestFiles.h"
#include "common/SafeFile.h"
#include "files/TifFileFacade.h"
#include "files/TifFileReader.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"
#include "files/TifTag.h"

namespace fs = std::filesystem;

namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// Header, the 16 entries, the next-directory offset and the values beyond 4 bytes of a 2 x 1 RGB
// picture written on 2024:01:02 03:04:05.
const std::string kGolden2x1 = FromHex(
    "49492a00080000001000fe000400010000000000000000010400010000000200000001010400010000000100000002"
    "01"
    "030003000000ce00000003010300010000000100000006010300010000000200000011010400010000000002000015"
    "01"
    "030001000000030000001601040001000000010000001701040001000000060000001a01050001000000d40000001b"
    "01"
    "050001000000dc0000001c0103000100000001000000280103000100000003000000310102000c000000e400000032"
    "01"
    "020014000000f000000000000000080008000800445304001027000044530400102700004b6f7276616e6120322e31"
    "00"
    "323032343a30313a30322030333a30343a303500");

TifImage Picture(int width, int height, bool alpha) {
  TifImage image(width, height, alpha);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      image.SetColor(column, row,
                     static_cast<std::uint32_t>(0x10000 * (column % 256) + 0x100 * row + 7));
      image.SetAlpha(column, row, static_cast<std::uint8_t>(40 * column + row));
    }
  }
  return image;
}

void ExpectSamePicture(const TifImage& a, const TifImage& b) {
  ASSERT_EQ(a.GetWidth(), b.GetWidth());
  ASSERT_EQ(a.GetHeight(), b.GetHeight());
  EXPECT_EQ(a.HasAlpha(), b.HasAlpha());
  EXPECT_EQ(a.Colors(), b.Colors());
  EXPECT_EQ(a.Alpha(), b.Alpha());
}

std::string Decode(const std::string& bytes) {
  TifImage image;
  std::string error;
  if (TifFileReader::Decode(bytes, image, error)) return "ok";
  return error;
}

}  // namespace

TEST(TifFileWriterTest, TwoByOneRgbFileIsLaidOutByteForByte) {
  TifImage image(2, 1, false);
  image.SetColor(0, 0, 0x030201);
  image.SetColor(1, 0, 0x0A0B0C);
  const std::string bytes = TifFileWriter("Korvana", "2.1").Encode(image, "2024:01:02 03:04:05");

  ASSERT_EQ(bytes.size(), 518u);
  EXPECT_EQ(bytes.substr(0, kGolden2x1.size()), kGolden2x1);
  EXPECT_EQ(bytes.substr(kGolden2x1.size(), 512 - kGolden2x1.size()),
            std::string(512 - kGolden2x1.size(), '\0'));
  EXPECT_EQ(bytes.substr(512), FromHex("0102030c0b0a"));

  TifImage back;
  std::string error;
  TifHeader header;
  ASSERT_TRUE(TifFileReader::Decode(bytes, back, error, &header)) << error;
  ExpectSamePicture(back, image);
  EXPECT_EQ(header.Software, "Korvana 2.1");
  EXPECT_EQ(header.DateTime, "2024:01:02 03:04:05");
  EXPECT_EQ(header.XResolutionNumerator, 283460u);
  EXPECT_EQ(header.ResolutionUnit, 3);
}

TEST(TifFileWriterTest, RgbaPictureGetsExtraSamplesAndReadsBackWithAlpha) {
  const TifImage image = Picture(5, 3, true);
  const std::string bytes = TifFileWriter("Korvana", "2.1").Encode(image, "2024:01:02 03:04:05");
  EXPECT_EQ(bytes[8], 17);
  // The last entry, 338 ExtraSamples SHORT 1 = 1 (associated alpha).
  EXPECT_EQ(bytes.substr(10 + 16 * 12, 12), FromHex("520103000100000001000000"));
  EXPECT_EQ(bytes.size(), 512u + 5 * 3 * 4);

  TifImage back;
  std::string error;
  ASSERT_TRUE(TifFileReader::Decode(bytes, back, error)) << error;
  ExpectSamePicture(back, image);
  EXPECT_TRUE(back.IsAlphaAssociated());
}

TEST(TifFileWriterTest, DateTimeIsZeroPaddedAndLocaleFree) {
  std::tm time{};
  time.tm_year = 2007 - 1900;
  time.tm_mon = 2;
  time.tm_mday = 4;
  time.tm_hour = 0;
  time.tm_min = 5;
  time.tm_sec = 9;
  EXPECT_EQ(TifFileWriter::FormatDateTime(time), "2007:03:04 00:05:09");
  EXPECT_TRUE(std::regex_match(TifFileWriter::LocalDateTime(),
                               std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)")));
}

TEST(TifFileReaderTest, BigEndianFilesWithSeveralStripsAndIgnoredTagsRead) {
  // 3 x 2 RGBA, one row per strip, a SHORT width, an ignored tag 0 and straight alpha.
  const std::string row0 = FromHex("010203040506070809101112");
  const std::string row1 = FromHex("212223242526272829303132");
  std::vector<TifTestEntry> entries = {
      {0, 3, {99}},
      {256, 3, {3}},
      {257, 4, {2}},
      {258, 3, {8, 8, 8, 8}},
      {259, 3, {1}},
      {262, 3, {2}},
      {273, 4, {300, 300 + 12}},
      {277, 3, {4}},
      {278, 4, {1}},
      {279, 4, {12, 12}},
      {282, 5, {72, 1}},
      {338, 3, {2}},
  };
  const std::string bytes = TifTestFile(true).Build(entries, 300, row0 + row1);
  TifImage image;
  std::string error;
  TifHeader header;
  ASSERT_TRUE(TifFileReader::Decode(bytes, image, error, &header)) << error;
  ASSERT_EQ(image.GetWidth(), 3);
  ASSERT_EQ(image.GetHeight(), 2);
  ASSERT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.GetColor(0, 0), 0x030201u);
  EXPECT_EQ(image.GetAlpha(0, 0), 0x04);
  EXPECT_EQ(image.GetColor(2, 0), 0x111009u);
  EXPECT_EQ(image.GetColor(1, 1), 0x272625u);
  EXPECT_EQ(image.GetAlpha(2, 1), 0x32);
  EXPECT_FALSE(image.IsAlphaAssociated());
  EXPECT_EQ(header.XResolutionNumerator, 72u);
  EXPECT_EQ(header.XResolutionDenominator, 1u);
}

TEST(TifFileReaderTest, MissingRowsPerStripMeansOneStripForTheWholePicture) {
  for (bool bigEndian : {false, true}) {
    auto entries = TifTestFile::RgbEntries(2, 2, 3, 256);
    std::erase_if(entries, [](const TifTestEntry& e) { return e.tag == 278; });
    const std::string bytes =
        TifTestFile(bigEndian).Build(entries, 256, FromHex("010203040506070809101112"));
    TifImage image;
    std::string error;
    ASSERT_TRUE(TifFileReader::Decode(bytes, image, error)) << error;
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(image.Colors(), (std::vector<std::uint32_t>{0x030201, 0x060504, 0x090807, 0x121110}));
  }
}

TEST(TifFileReaderTest, RefusesDamagedAndUnsupportedFilesWithOneMessage) {
  // The 2 x 1 RGB file with some entries replaced or added.
  auto with = [](std::vector<TifTestEntry> changes) {
    auto entries = TifTestFile::RgbEntries(2, 1, 3, 256);
    for (const TifTestEntry& change : changes) {
      auto it = std::find_if(entries.begin(), entries.end(),
                             [&](const TifTestEntry& e) { return e.tag == change.tag; });
      if (it != entries.end())
        *it = change;
      else
        entries.push_back(change);
    }
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return a.tag < b.tag; });
    return TifTestFile(false).Build(entries, 256, std::string(6, '\x7f'));
  };
  auto without = [](std::uint16_t tag) {
    auto entries = TifTestFile::RgbEntries(2, 1, 3, 256);
    std::erase_if(entries, [tag](const TifTestEntry& e) { return e.tag == tag; });
    return TifTestFile(false).Build(entries, 256, std::string(6, '\x7f'));
  };
  const std::string valid = with({});
  std::string beyondDirectory = valid.substr(0, 8);
  beyondDirectory[4] = '\x40';
  std::string valuesOutside = valid;
  valuesOutside.replace(10 + 2 * 12 + 8, 4, "\x7f\xff\xff\xff");  // BitsPerSample's offset

  const std::string invalid = "TIF file is invalid: ";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", invalid + "\"II\" or \"MM\" not found."},
      {"IM*\0", invalid + "\"II\" or \"MM\" not found."},
      {std::string("II+\0\x08\0\0\0", 8), invalid + "Word 42 not found."},
      {"MM", invalid + "Word 42 not found."},
      {std::string("II*\0", 4), invalid + "the image file directory lies outside the file."},
      {beyondDirectory, invalid + "the image file directory lies outside the file."},
      {valid.substr(0, 40), invalid + "the image file directory lies outside the file."},
      {valuesOutside, invalid + "the values of tag 258 lie outside the file."},
      {with({{258, 3, {8}}}), "aantal Tags BitsPerSample van 3 of 4 werd verwacht (RGB codering)."},
      {without(258), "aantal Tags BitsPerSample van 3 of 4 werd verwacht (RGB codering)."},
      {with({{258, 3, {16, 16, 16}}}), "cannot read TIF files with other than 8 bits per sample."},
      {with({{259, 3, {5}}}), "cannot unpack compressed TIF files."},
      {with({{262, 3, {1}}}), "Tag PhotometricInterpretation van 2 werd verwacht (RGB codering)."},
      {with({{279, 4, {3, 3}}}),
       "aantal strips van Tags StripOffsets en StripByteCounts zijn ongelijk "
       "aan elkaar."},
      {with({{284, 3, {2}}}),
       "cannot read TIF files with separate colour planes "
       "(PlanarConfiguration 2)."},
      {with({{277, 3, {4}}}), invalid + "SamplesPerPixel does not match BitsPerSample."},
      {with({{256, 4, {0}}}), invalid + "the picture has no pixels."},
      {without(257), invalid + "the picture has no pixels."},
      {with({{256, 4, {70000}}, {257, 4, {70000}}}), invalid + "the picture is too large."},
      {with({{278, 4, {0}}}), invalid + "RowsPerStrip is 0."},
      {with({{257, 4, {3}}, {278, 4, {3}}}), invalid + "strip 0 lies outside the file."},
      {with({{273, 4, {0xFFFFFFF0}}}), invalid + "strip 0 lies outside the file."},
  };
  EXPECT_EQ(Decode(valid), "ok");
  for (const auto& [bytes, message] : cases) EXPECT_EQ(Decode(bytes), message) << message;

  // Two rows in strips of one row need two strip offsets.
  auto entries = TifTestFile::RgbEntries(1, 2, 3, 256);
  for (auto& e : entries) {
    if (e.tag == 278) e.values = {1};
  }
  EXPECT_EQ(Decode(TifTestFile(false).Build(entries, 256, std::string(6, 0))),
            invalid + "the strips do not cover the picture.");
}

TEST(TifTagTest, ConstructorsRefuseForeignFieldTypes) {
  EXPECT_DEATH(TifTag(1, TifTag::typeShort, std::string("x")),
               "wType == typeByte \\|\\| wType == typeAscii");
  EXPECT_DEATH(TifTag(1, TifTag::typeLong, std::uint16_t{1}), "wType == typeShort");
  EXPECT_DEATH(TifTag(1, TifTag::typeShort, std::uint32_t{1}), "wType == typeLong");
  EXPECT_DEATH(TifTag(1, TifTag::typeLong, std::uint32_t{1}, std::uint32_t{2}),
               "wType == typeRational");
}

class TifFileFacadeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-tif-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
  TifFileFacade facade{"Korvana", "2.1"};
};

TEST_F(TifFileFacadeTest, WritesReadsAndReportsFilesThatCannotBeOpened) {
  const TifImage image = Picture(300, 20, true);
  const std::string file = (dir / "p.tif").string();
  std::string error;
  ASSERT_TRUE(facade.Write(file, image, error)) << error;
  TifImage back;
  ASSERT_TRUE(facade.Read(file, back, error)) << error;
  ExpectSamePicture(back, image);

  EXPECT_FALSE(facade.Write((dir / "missing" / "p.tif").string(), image, error));
  EXPECT_EQ(error, "Cannot open File.");
  EXPECT_FALSE(facade.Read((dir / "missing.tif").string(), back, error));
  EXPECT_EQ(error, "Cannot open File.");
  ExpectSamePicture(back, image);
}

// Written files are streamed in buffers of 2^18 pixels and encoded in pieces of 2^14 pixels:
// pictures across those bounds (the last buffer and piece partial) must give the same bytes as
// Encode, apart from the time stamp, and read back as they were.
TEST_F(TifFileFacadeTest, StreamedFilesEqualTheEncodedOnesAcrossBufferBounds) {
  const struct {
    int width, height;
    bool alpha;
  } cases[] = {{1, 1, false}, {1, 1, true}, {1100, 250, false}, {1100, 250, true}, {128, 128, true}};
  const std::string stamp = "0000:00:00 00:00:00";
  TifFileWriter writer("Korvana", "2.1");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) +
                 (c.alpha ? " RGBA" : " RGB"));
    const TifImage image = Picture(c.width, c.height, c.alpha);
    const std::string file = (dir / "p.tif").string();
    std::string error, bytes;
    ASSERT_TRUE(writer.Write(file, image, error)) << error;
    ASSERT_TRUE(ReadWholeFile(file, bytes, error)) << error;
    std::string expected = writer.Encode(image, stamp);
    const std::size_t at = expected.find(stamp);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(std::regex_match(bytes.substr(at, stamp.size()),
                                 std::regex(R"(\d{4}:\d\d:\d\d \d\d:\d\d:\d\d)")));
    expected.replace(at, stamp.size(), bytes, at, stamp.size());
    // The position of the first differing byte, or the size when none differs.
    EXPECT_EQ(std::mismatch(bytes.begin(), bytes.end(), expected.begin()).first - bytes.begin(),
              static_cast<std::ptrdiff_t>(bytes.size()));
    TifImage back;
    ASSERT_TRUE(facade.Read(file, back, error)) << error;
    ExpectSamePicture(back, image);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

// A new picture is black and fully transparent, also where its memory held an earlier picture.
TEST(TifImageTest, NewPicturesAreBlackAndTransparent) {
  for (const int side : {3, 1500}) {
    SCOPED_TRACE(side);
    {
      TifImage used(side, side, true);
      used.SetColor(side - 1, side - 1, 0xFFFFFF);
      used.SetAlpha(side - 1, side - 1, 255);
    }
    const TifImage image(side, side, true);
    const std::size_t size = static_cast<std::size_t>(side) * side;
    EXPECT_EQ(image.Colors().size(), size);
    EXPECT_EQ(image.Alpha().size(), size);
    EXPECT_TRUE(std::all_of(image.Colors().begin(), image.Colors().end(),
                            [](std::uint32_t color) { return color == 0; }));
    EXPECT_TRUE(std::all_of(image.Alpha().begin(), image.Alpha().end(),
                            [](std::uint8_t alpha) { return alpha == 0; }));
  }
}
