#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

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
  EXPECT_EQ(Load(doc, "sub/bad.tif"),
            cannot + dir + "/sub/bad.tif\". TIF file is invalid: Word 42 not found.");
  EXPECT_EQ(Load(doc, "sub/none.tif"), cannot + dir + "/sub/none.tif\". Cannot open File.");
  // A FIFO would block the reader until someone writes to it; a folder is no picture either.
  ASSERT_EQ(::mkfifo((dir + "/sub/pipe.tif").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((dir + "/sub/pipe.bmp").c_str(), 0644), 0);
  fs::create_directories(dir + "/sub/folder.bmp");
  for (const char* name : {"sub/pipe.tif", "sub/pipe.bmp", "sub/folder.bmp"}) {
    EXPECT_EQ(Load(doc, name), cannot + dir + "/" + name +
                                   "\". Cannot open File: it is not a regular file.");
  }
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

// The writers refuse what their encoders cannot hold before anything is encoded: stb's BMP writer
// computes sizes in int, a PNG is built in memory below 1 GiB, TIFF offsets are 32-bit. Each limit
// is tested at its edge.
TEST(PictureFileTest, ExportSizesAreCheckedAgainstTheWriterOfTheExtension) {
  const struct {
    const char* file;
    int width, height;
    const char* reason;  // "" when the size fits
  } cases[] = {
      {"x.bmp", 30000, 23860, ""},
      {"x.bmp", 30000, 23861, "Picture of 30000 x 23861 pixels is too large for a BMP file."},
      {"x.bmp", 26800, 26800, "Picture of 26800 x 26800 pixels is too large for a BMP file."},
      {"x.png", 20000, 15906, ""},
      {"x.png", 20000, 15907, "Picture of 20000 x 15907 pixels is too large for a PNG file."},
      {"x.png", 38000, 38000, "Picture of 38000 x 38000 pixels is too large for a PNG file."},
      {"x.tif", 40000, 26843, ""},
      {"x.tif", 40000, 26844, "Picture is too large for a TIF file."},
      {"x.bmp", 0, 5, "Picture has no pixels."},
      {"x.png", 5, 0, "Picture has no pixels."},
      {"x.tif", 0, 0, "Picture has no pixels."},
      {"x.jpg", 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    std::string error;
    const bool ok = PictureFile::CheckExportSize(c.file, c.width, c.height, error);
    EXPECT_EQ(ok, *c.reason == '\0');
    EXPECT_EQ(ok ? "" : error,
              ok ? "" : "Cannot export file \"" + std::string(c.file) + "\". " + c.reason);
  }
  // The writers themselves keep the limits: no encoder is handed a picture it would overflow.
  std::string error;
  EXPECT_FALSE(TifFileWriter::CheckEncodable(40000, 35791 + 1, false, error));
  EXPECT_TRUE(TifFileWriter::CheckEncodable(40000, 35791, false, error));
  EXPECT_FALSE(PngFile::CheckEncodable(20000, 11930, 4, error));
  EXPECT_TRUE(PngFile::CheckEncodable(20000, 11929, 4, error));
  EXPECT_EQ(PngFile::Encode(TifImage(0, 3, true)), "");
}

// Every writer words a failed save by what failed: a file that cannot be created, a read-only
// file (refused also for root), a write that fails (a full disk).
TEST(PictureFileTest, FailedSavesSayWhatFailed) {
  const fs::path dir =
      fs::temp_directory_path() / ("korvana-picture-save-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::string error;
  ASSERT_TRUE(WriteFileAtomically((dir / "ro.bmp").string(), "old", error));
  fs::permissions(dir / "ro.bmp", fs::perms::owner_read);
  fs::create_symlink("/dev/full", dir / "full.bmp");
  const std::string readOnly =
      "Operating System cannot open file for writing, maybe the file is readonly.";
  const std::string full = "Cannot write File: " + std::string(std::strerror(ENOSPC)) + ".";
  using Writer = std::function<bool(const std::string&, std::string&)>;
  const Writer writers[] = {
      [](const std::string& f, std::string& e) { return BmpFile::Write(f, Bitmap24(2, 2), e); },
      [](const std::string& f, std::string& e) { return PngFile::Write(f, Bitmap24(2, 2), e); },
      [](const std::string& f, std::string& e) {
        return PngFile::Write(f, TifImage(2, 2, true), e);
      },
      [](const std::string& f, std::string& e) {
        return TifFileWriter("Korvana", "2.1").Write(f, TifImage(2, 2, true), e);
      },
  };
  const struct {
    fs::path file;
    std::string message;
  } cases[] = {{dir / "no" / "a.bmp", "Cannot open File."},
               {dir / "ro.bmp", readOnly},
               {dir / "full.bmp", full}};
  for (std::size_t w = 0; w < std::size(writers); ++w) {
    for (const auto& c : cases) {
      SCOPED_TRACE("writer " + std::to_string(w) + " " + c.file.string());
      error.clear();
      EXPECT_FALSE(writers[w](c.file.string(), error));
      EXPECT_EQ(error, c.message);
    }
  }
  EXPECT_TRUE(fs::is_symlink(dir / "full.bmp"));
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile((dir / "ro.bmp").string(), bytes, error));
  EXPECT_EQ(bytes, "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
  fs::remove_all(dir);
}
