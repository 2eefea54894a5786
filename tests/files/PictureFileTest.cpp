#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/BmpFile.h"
#include "files/PictureFile.h"
#include "files/PngFile.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"

namespace fs = std::filesystem;

TEST(PictureFileTest, ExportFormatComesFromTheExactExtension) {
  struct Case {
    std::string file;
    std::string result;
  };
  const std::vector<Case> cases = {
      {"/p/x.tif", "tif"},
      {"/p/x.y.bmp", "bmp"},
      {"/p/x.TIF",
       "Cannot export file \"/p/x.TIF\". Cannot export pictures to filename with "
       "extension \"TIF\"."},
      {"/p/x.png",
       "Cannot export file \"/p/x.png\". Cannot export pictures to filename with "
       "extension \"png\"."},
      {"/p.d/x",
       "Cannot export file \"/p.d/x\". Cannot load pictures with filename without "
       "extensions."},
  };
  for (const Case& c : cases) {
    PictureFormat format{};
    std::string error;
    const bool ok = PictureFile::ChooseExportFormat(c.file, format, error);
    EXPECT_EQ(ok ? (format == PictureFormat::Tif ? "tif" : "bmp") : error, c.result);
  }
}

class PictureFileLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = (fs::temp_directory_path() /
           ("korvana-picture-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name()))
              .string();
    fs::remove_all(dir);
    fs::create_directories(dir + "/sub");
    std::string error;
    TifImage tif(2, 1, true);
    tif.SetColor(1, 0, 0x123456);
    ASSERT_TRUE(WriteFileAtomically(dir + "/sub/p.tif",
                                    TifFileWriter("Korvana", "2.1").Encode(tif, "x"), error));
    ASSERT_TRUE(BmpFile::Write(dir + "/sub/p.bmp", Bitmap24(3, 2), error));
    ASSERT_TRUE(WriteFileAtomically(dir + "/sub/bad.tif", "II*", error));
    ASSERT_TRUE(WriteFileAtomically(dir + "/sub/bad.bmp", "BM", error));
  }
  void TearDown() override { fs::remove_all(dir); }

  // "tif 2x1 alpha <resolved>" on success, else the message.
  std::string Load(const std::string& document, const std::string& name) {
    TifImage image;
    PictureFormat format{};
    std::string resolved, error;
    if (!PictureFile::Load(document, name, image, format, resolved, error)) return error;
    return std::string(format == PictureFormat::Tif ? "tif " : "bmp ") +
           std::to_string(image.GetWidth()) + "x" + std::to_string(image.GetHeight()) +
           (image.HasAlpha() ? " alpha " : " ") + resolved;
  }

  std::string dir;
};

TEST_F(PictureFileLoadTest, ResolvesNamesAndChoosesTheReaderWithEveryMessage) {
  const std::string doc = dir + "/x.kvf";
  EXPECT_EQ(Load(doc, "sub/p.tif"), "tif 2x1 alpha " + dir + "/sub/p.tif");
  EXPECT_EQ(Load(doc, "sub\\p.bmp"), "bmp 3x2 " + dir + "/sub/p.bmp");
  EXPECT_EQ(Load("", dir + "/sub/p.bmp"), "bmp 3x2 " + dir + "/sub/p.bmp");

  const std::string cannot = "Cannot load picture filename \"";
  EXPECT_EQ(Load(doc, "sub/p"),
            cannot + "sub/p\". Cannot load pictures with filename without extensions.");
  EXPECT_EQ(Load("", "sub/p.bmp"), cannot +
                                       "sub/p.bmp\". Cannot load pictures with relative "
                                       "filename, without filename for fractal.");
  EXPECT_EQ(Load(doc, "sub/p.TIF"), cannot + dir +
                                        "/sub/p.TIF\". Cannot load pictures with "
                                        "filename with extension \"TIF\".");
  EXPECT_EQ(Load(doc, "sub/bad.tif"), "TIF file is invalid: Word 42 not found.");
  EXPECT_EQ(Load(doc, "sub/none.tif"), "Cannot open File.");
  EXPECT_EQ(Load(doc, "sub/bad.bmp"),
            cannot + dir + "/sub/bad.bmp\". BMP file is invalid or of a kind that cannot be read.");
  EXPECT_EQ(Load(doc, "sub/none.bmp"), cannot + dir + "/sub/none.bmp\". Cannot open File.");
}

TEST(PngFileTest, EncodesRgbBitmapsAndRgbaPictures) {
  auto header = [](const std::string& png) {
    // Signature, then the IHDR chunk: width, height, bit depth, colour type.
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(png.substr(png.size() - 8, 4), "IEND");
    return png.substr(16, 10);
  };
  EXPECT_EQ(header(PngFile::Encode(Bitmap24(3, 2))), std::string("\0\0\0\3\0\0\0\2\x08\x02", 10));
  EXPECT_EQ(header(PngFile::Encode(TifImage(1, 5, true))),
            std::string("\0\0\0\1\0\0\0\5\x08\x06", 10));
  EXPECT_EQ(header(PngFile::Encode(TifImage(1, 5, false))),
            std::string("\0\0\0\1\0\0\0\5\x08\x02", 10));
  std::string error;
  EXPECT_FALSE(PngFile::Write("/nonexistent-folder/x.png", Bitmap24(1, 1), error));
  EXPECT_EQ(error, "Cannot open File.");
}
