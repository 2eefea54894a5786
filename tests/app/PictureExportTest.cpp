#include "app/PictureExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "DocumentTestSupport.h"
#include "app/TUnitFract.h"
#include "common/Version.h"
#include "files/BmpFile.h"
#include "files/TifFileFacade.h"
#include "files/TifImage.h"
#include "view/TResultRenderer.h"

namespace {

namespace fs = std::filesystem;

// A document whose small fractal has been computed and painted completely (or, with stopAfter,
// one whose painting stopped after that many columns).
class ExportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    document.Content.Fractal.XResolution = unitIntegerPosMore(48);
    document.Content.Fractal.YResolution = unitIntegerPosMore(30);
    document.Content.View.ValuesPerPixel = unitIntegerPosMore(2);
    document.Content.View.MaxDepthTransFactor = unitFactorPosMax1(0.5);
    std::string error;
    ASSERT_TRUE(document.Computation.Restart(document.Content, 2, {}, error)) << error;
    document.Computation.NewBitmap();
    document.Computation.Wait();
  }

  bool Export(const std::string& fileName, std::string& error) {
    return document.ExportPicture(fileName, ui, error);
  }

  TUnitFract document{"NONAME1", ""};
  ScriptedInteraction ui;
  TempFolder folder;
};

TEST_F(ExportTest, TifHoldsTheRenderedPictureWithItsOpacity) {
  std::string error;
  ASSERT_TRUE(Export(folder.File("a.tif"), error)) << error;
  EXPECT_TRUE(ui.shown.empty());
  TifImage read;
  TifFileFacade tiff{std::string(korvana::kProgramName), std::string(korvana::kVersionText)};
  ASSERT_TRUE(tiff.Read(folder.File("a.tif"), read, error)) << error;
  TifImage rendered;
  TResultRenderer(document.Content.View, document.Content.Fractal.MaxCycle.GetValue())
      .RenderExport(*document.Computation.Result(), rendered);
  EXPECT_EQ(read.GetWidth(), 24);
  EXPECT_EQ(read.GetHeight(), 15);
  ASSERT_TRUE(read.HasAlpha());
  EXPECT_EQ(read.Alpha(), rendered.Alpha());
  EXPECT_EQ(read.Colors(), rendered.Colors());
}

TEST_F(ExportTest, BmpHoldsTheWindowsBitmap) {
  std::string error;
  ASSERT_TRUE(Export(folder.File("a.bmp"), error)) << error;
  TifImage read;
  ASSERT_TRUE(BmpFile::Read(folder.File("a.bmp"), read, error)) << error;
  const Bitmap24& bitmap = *document.Computation.Result()->GetBitmap();
  ASSERT_EQ(read.GetWidth(), bitmap.width);
  ASSERT_EQ(read.GetHeight(), bitmap.height);
  for (int y = 0; y < bitmap.height; ++y) {
    for (int x = 0; x < bitmap.width; ++x) {
      const std::uint8_t* p = bitmap.Pixel(x, y);
      ASSERT_EQ(read.GetColor(x, y), p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16)) << x << "," << y;
    }
  }
}

TEST_F(ExportTest, OnlyExactExtensionsAreExported) {
  const std::pair<const char*, const char*> cases[] = {
      {"x.TIF", "Cannot export file \"x.TIF\". Cannot export pictures to filename with extension "
                "\"TIF\"."},
      {"x.PNG", "Cannot export file \"x.PNG\". Cannot export pictures to filename with extension "
                "\"PNG\"."},
      {"x.tiff", "Cannot export file \"x.tiff\". Cannot export pictures to filename with "
                 "extension \"tiff\"."},
      {"x", "Cannot export file \"x\". Cannot load pictures with filename without extensions."},
  };
  for (const auto& [name, message] : cases) {
    std::string error;
    EXPECT_FALSE(Export(name, error)) << name;
    EXPECT_EQ(error, message);
  }
  EXPECT_TRUE(ui.shown.empty());
  EXPECT_TRUE(fs::is_empty(folder.File("")));
}

TEST_F(ExportTest, UnwritablePlaceFailsWithAMessage) {
  std::string error;
  // The TIFF writer's message is passed on as it is.
  EXPECT_FALSE(Export(folder.File("no/a.tif"), error));
  EXPECT_EQ(error, "Cannot open File.");
  EXPECT_FALSE(Export(folder.File("no/a.bmp"), error));
  EXPECT_EQ(error, "Cannot export file \"" + folder.File("no/a.bmp") + "\". Cannot open File.");
}

TEST_F(ExportTest, UnfinishedPictureIsExportedOnlyWhenConfirmed) {
  document.Computation.Result()->SetPainted(40);
  std::string error;
  ui.answers = {Interaction::Answer::No, Interaction::Answer::Yes, Interaction::Answer::Yes};
  EXPECT_TRUE(Export(folder.File("no.tif"), error));
  EXPECT_TRUE(error.empty());
  EXPECT_FALSE(fs::exists(folder.File("no.tif")));
  EXPECT_TRUE(Export(folder.File("yes.tif"), error)) << error;
  EXPECT_TRUE(fs::exists(folder.File("yes.tif")));
  // The question comes before the name is looked at.
  EXPECT_FALSE(Export("x.TIF", error));
  ASSERT_EQ(ui.shown.size(), 3u);
  for (const auto& box : ui.shown) {
    EXPECT_EQ(box.kind, "yesno");
    EXPECT_EQ(box.title, "Bitmap is not Finished");
    EXPECT_EQ(box.text, "Do you want to export the unfinished bitmap?");
  }
}

TEST_F(ExportTest, PictureWithoutPixelsIsRefused) {
  // More samples per pixel than the fractal has columns: the bitmap has no pixels, and a file
  // without pixels would be one that no picture reader accepts.
  document.Content.View.ValuesPerPixel = unitIntegerPosMore(64);
  document.Computation.NewBitmap();
  document.Computation.Result()->SetPainted(0);
  document.Computation.PaintNewColumns();
  for (const char* name : {"e.tif", "e.bmp"}) {
    std::string error;
    EXPECT_FALSE(Export(folder.File(name), error)) << name;
    EXPECT_EQ(error, "Cannot export file \"" + folder.File(name) +
                         "\". The picture has no pixels: ValuesPerPixel is larger than the "
                         "resolution.");
    EXPECT_FALSE(fs::exists(folder.File(name)));
  }
}

// After a change of ValuesPerPixel the bitmap belongs to the old settings: the bitmap formats
// refuse it until it is made and painted anew; the TIFF renders from the result and works.
TEST_F(ExportTest, ABitmapMadeForOtherSettingsIsNotWritten) {
  TFractViewProps& view = document.Content.View;
  view.ValuesPerPixel = unitIntegerPosMore(3);
  const TFractResult& result = *document.Computation.Result();
  const int maxCycle = document.Content.Fractal.MaxCycle.GetValue();
  struct Case {
    const char* name;
    bool written;
  };
  for (const Case& c : {Case{"v.bmp", false}, Case{"v.png", false}, Case{"v.tif", true}}) {
    std::string error;
    EXPECT_EQ(WritePicture(result, view, maxCycle, folder.File(c.name), true, error), c.written)
        << c.name;
    EXPECT_EQ(fs::exists(folder.File(c.name)), c.written) << c.name;
    if (!c.written) {
      EXPECT_EQ(error, "Cannot export file \"" + folder.File(c.name) +
                           "\". The picture has not been painted.");
    }
  }
  // Asked for, it counts as unfinished.
  ui.answers = {Interaction::Answer::No};
  std::string error;
  EXPECT_TRUE(Export(folder.File("w.bmp"), error));
  EXPECT_EQ(ui.shown.size(), 1u);
  EXPECT_FALSE(fs::exists(folder.File("w.bmp")));

  ASSERT_TRUE(document.Computation.NewBitmap(error)) << error;
  document.Computation.Result()->SetPainted(0);
  document.Computation.PaintNewColumns();
  EXPECT_TRUE(WritePicture(result, view, maxCycle, folder.File("v.bmp"), true, error)) << error;
}

// A picture beyond the memory limit fails with the usual message and writes nothing.
TEST_F(ExportTest, ATifBeyondTheMemoryLimitFailsWithAMessage) {
  // 24 x 15 pixels of five bytes (colour and alpha).
  for (std::uint64_t limit : {1799u, 1800u}) {
    SetPictureMemoryLimit(limit);
    std::string error;
    const std::string name = folder.File("m" + std::to_string(limit) + ".tif");
    const bool written = Export(name, error);
    SetPictureMemoryLimit(0);
    EXPECT_EQ(written, limit == 1800u) << limit;
    EXPECT_EQ(fs::exists(name), written);
    if (!written) {
      EXPECT_EQ(error, "Cannot export file \"" + name +
                           "\". Not enough memory for a picture of 24 x 15 pixels.");
    }
  }
}

TEST(PictureExport, NothingComputedCanOnlyBeDeclined) {
  TUnitFract document("NONAME1", "");
  ScriptedInteraction ui;
  std::string error;
  EXPECT_TRUE(document.ExportPicture("/tmp/never.tif", ui, error));
  EXPECT_TRUE(error.empty());
  ui.answers = {Interaction::Answer::Yes};
  EXPECT_FALSE(document.ExportPicture("/tmp/never.tif", ui, error));
  EXPECT_EQ(error, "Cannot export file \"/tmp/never.tif\". The fractal has not been computed.");
  EXPECT_EQ(ui.shown.size(), 2u);
}

// The picture of a running computation is exported while its workers write further columns.
TEST(PictureExportConcurrency, UnfinishedPictureExportsWhileComputing) {
  TempFolder folder;
  TUnitFract document("NONAME1", "");
  document.Content.Fractal.XResolution = unitIntegerPosMore(400);
  document.Content.Fractal.YResolution = unitIntegerPosMore(200);
  document.Content.Fractal.MaxDepth = unitIntegerPosMore(3000);
  ScriptedInteraction ui;
  std::string error;
  ASSERT_TRUE(document.Computation.Restart(document.Content, 2, {}, error)) << error;
  document.Computation.NewBitmap();
  for (int round = 0; round < 3; ++round) {
    document.Computation.ServiceHandOvers();
    ui.answers.push_back(Interaction::Answer::Yes);
    const std::string name = folder.File("run" + std::to_string(round) + ".tif");
    EXPECT_TRUE(document.ExportPicture(name, ui, error)) << error;
  }
  document.Computation.Wait();
  TifImage read;
  TifFileFacade tiff{std::string(korvana::kProgramName), std::string(korvana::kVersionText)};
  EXPECT_TRUE(tiff.Read(folder.File("run2.tif"), read, error)) << error;
  EXPECT_EQ(read.GetWidth(), 400);
}

}  // namespace
