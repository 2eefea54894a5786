#include "app/PosterRender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "app/FractalDocumentFile.h"
#include "app/PictureExport.h"
#include "app/TFractComputation.h"
#include "app/TFractalContent.h"
#include "files/TifFileReader.h"
#include "files/TifImage.h"
#include "files/XMLItem.h"

namespace {

namespace fs = std::filesystem;

// A small picture with escaping, cycling and maximal-depth samples.
TFractalContent Poster(int width, int height, int g) {
  TFractalContent content;
  content.Fractal.MaxDepth = unitIntegerPosMore(40);
  std::string error;
  EXPECT_TRUE(ApplyPosterSize(content, width, height, g, error)) << error;
  return content;
}

class PosterRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("korvana-poster-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // The picture as the window's export writes it from a whole computation.
  std::string NormalExport(TFractalContent content, const std::string& name) {
    TFractComputation computation;
    std::string error;
    EXPECT_TRUE(computation.Restart(content, 2, {}, error)) << error;
    computation.NewBitmap();
    computation.Wait();
    const std::string file = (dir / name).string();
    EXPECT_TRUE(WritePicture(*computation.Result(), content.View,
                             content.Fractal.MaxCycle.GetValue(), file, true, error,
                             BuildFractalDocument(content)->WriteXMLString()))
        << error;
    return file;
  }

  bool Render(TFractalContent content, const std::string& name, std::uint64_t memory,
              std::string& error, int first = 0, int end = 0) {
    PosterJob job;
    job.output = (dir / name).string();
    job.memoryBytes = memory;
    job.threads = 2;
    job.firstRow = first;
    job.endRow = end;
    job.bandFile = end > 0;
    job.documentText = BuildFractalDocument(content)->WriteXMLString();
    return RenderPoster(content, job, error);
  }

  // Only the folder's own files: no temporary file left behind.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir;
};

TEST_F(PosterRenderTest, ApplyPosterSizeSetsSamplesOrRefusesOverflow) {
  const struct {
    int width, height, g;
    bool ok;
    int xRes, yRes, vpp;
  } cases[] = {
      {40, 30, 3, true, 120, 90, 3},
      {40, 30, 0, true, 80, 60, 2},  // the document's ValuesPerPixel (2) is kept
      {715827882, 1, 3, true, 2147483646, 3, 3},
      {715827883, 1, 3, false, 0, 0, 0},  // 2147483649 samples wide
      {1, 1073741824, 2, false, 0, 0, 0},
      {0, 10, 1, false, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TFractalContent content;
    content.View.ValuesPerPixel = unitIntegerPosMore(2);
    const TFractalContent before = content;
    std::string error;
    EXPECT_EQ(ApplyPosterSize(content, c.width, c.height, c.g, error), c.ok) << c.width;
    if (c.ok) {
      EXPECT_EQ(content.Fractal.XResolution.GetValue(), c.xRes);
      EXPECT_EQ(content.Fractal.YResolution.GetValue(), c.yRes);
      EXPECT_EQ(content.View.ValuesPerPixel.GetValue(), c.vpp);
      EXPECT_EQ(content.Fractal.Left.GetValue(), before.Fractal.Left.GetValue());
    } else {
      EXPECT_FALSE(error.empty());
      EXPECT_EQ(content.Fractal.XResolution.GetValue(), before.Fractal.XResolution.GetValue());
    }
  }
}

TEST_F(PosterRenderTest, PlanChoosesMemoryBandsOrRefuses) {
  // 60 x 40 pixels at 3 x 3: a pixel row holds 180 * 3 samples of 8 bytes (cycles kept).
  const TFractalContent content = Poster(60, 40, 3);
  const std::uint64_t row = 180 * 3 * 8 + 60 * 3;
  // A sixteenth of the budget is kept for the program: budgets here are 16/15 of the usable part.
  const struct {
    std::uint64_t memory;
    bool ok, inMemory;
    int bandRows;
  } cases[] = {
      {64u << 20, true, true, 40},            // everything fits at once
      {(60 * 40 * 6 + row * 10 + 1) * 16 / 15 + 1, true, true, 10},  // the picture, its file and 10 rows fit
      {14000 * 16 / 15 + 1, true, false, 3},                 // less than the picture: streamed by 3 rows
      {(row - 1) * 16 / 15, false, false, 0},              // not one row
  };
  for (const auto& c : cases) {
    PosterJob job;
    job.output = (dir / "p.bmp").string();
    job.memoryBytes = c.memory;
    PosterPlan plan;
    std::string error;
    EXPECT_EQ(PlanPoster(content, job, plan, error), c.ok) << c.memory;
    if (!c.ok) {
      EXPECT_NE(error.find("The memory budget of 1 MB is too small"), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(plan.inMemory, c.inMemory) << c.memory;
    EXPECT_EQ(plan.bandRows, c.bandRows) << c.memory;
  }
}

TEST_F(PosterRenderTest, PlanRefusesRowsOutsideAndUnknownFormats) {
  const TFractalContent content = Poster(20, 10, 1);
  const struct {
    const char* output;
    int first, end;
    bool band;
    const char* message;
  } cases[] = {
      {"p.bmp", 5, 11, true, "The rows 5:11 are not within the picture's 10 rows."},
      {"p.bmp", 10, 12, true, "The rows 10:12 are not within the picture's 10 rows."},
      {"p.gif", 0, 0, false, "Cannot export pictures to filename with extension \"gif\"."},
  };
  for (const auto& c : cases) {
    PosterJob job;
    job.output = (dir / c.output).string();
    job.firstRow = c.first;
    job.endRow = c.end;
    job.bandFile = c.band;
    PosterPlan plan;
    std::string error;
    EXPECT_FALSE(PlanPoster(content, job, plan, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
}

// Pictures that fit are the normal export byte for byte; streamed ones (a budget of a few rows)
// too for BMP, the same pixels for TIFF, and a PNG the reader takes.
TEST_F(PosterRenderTest, FittingAndStreamedPicturesEqualTheNormalExport) {
  for (int g : {1, 3}) {
    const TFractalContent content = Poster(37, 23, g);
    const std::uint64_t fewRows = (37u * g * g * 8 + 37 * 9) * 5;
    for (const char* extension : {"bmp", "png", "tif"}) {
      SCOPED_TRACE(std::string(extension) + ", g " + std::to_string(g));
      const std::string normal = NormalExport(content, std::string("normal.") + extension);
      std::string error;
      ASSERT_TRUE(Render(content, std::string("fits.") + extension, 64u << 20, error)) << error;
      ASSERT_TRUE(Render(content, std::string("streamed.") + extension, fewRows, error)) << error;
      const std::string fits = (dir / (std::string("fits.") + extension)).string();
      const std::string streamed = (dir / (std::string("streamed.") + extension)).string();
      if (std::string(extension) == "tif") {
        TifImage a, b, c;
        ASSERT_TRUE(TifFileReader::Read(normal, a, error)) << error;
        ASSERT_TRUE(TifFileReader::Read(fits, b, error)) << error;
        ASSERT_TRUE(TifFileReader::Read(streamed, c, error)) << error;
        EXPECT_EQ(a.Colors(), b.Colors());
        EXPECT_EQ(a.Alpha(), b.Alpha());
        EXPECT_EQ(a.Colors(), c.Colors());
        EXPECT_EQ(a.Alpha(), c.Alpha());
        EXPECT_EQ(FileBytes(normal).size(), FileBytes(fits).size());
      } else {
        EXPECT_EQ(FileBytes(normal), FileBytes(fits));
        if (std::string(extension) == "bmp") {
          EXPECT_EQ(FileBytes(normal), FileBytes(streamed));
        }
      }
    }
  }
}

TEST_F(PosterRenderTest, BandsAssembledInAnyOrderEqualASingleRender) {
  const TFractalContent content = Poster(31, 20, 3);
  std::string error;
  ASSERT_TRUE(Render(content, "single.bmp", 64u << 20, error)) << error;
  const struct {
    int first, end;
  } bands[] = {{12, 20}, {0, 5}, {5, 12}};
  std::vector<std::string> names;
  for (const auto& b : bands) {
    names.push_back((dir / ("band" + std::to_string(b.first))).string());
    ASSERT_TRUE(Render(content, "band" + std::to_string(b.first), 64u << 20, error, b.first, b.end))
        << error;
  }
  for (const char* out : {"joined.bmp", "streamed.bmp"}) {
    // A budget of 3 band rows streams the joined picture.
    const std::uint64_t memory = std::string(out) == "joined.bmp" ? 64u << 20 : 31 * 7 * 3;
    ASSERT_TRUE(AssemblePoster((dir / out).string(), names, memory, {}, error)) << error;
    EXPECT_EQ(FileBytes(dir / "single.bmp"), FileBytes(dir / out)) << out;
  }
}

TEST_F(PosterRenderTest, AssemblyRefusesGapsOverlapsAndForeignBands) {
  const TFractalContent content = Poster(16, 12, 1);
  TFractalContent other = content;
  other.Fractal.MaxDepth = unitIntegerPosMore(41);
  std::string error;
  const struct {
    const char* name;
    const TFractalContent* content;
    int first, end;
  } made[] = {{"a", &content, 0, 6}, {"b", &content, 6, 12}, {"c", &content, 4, 8},
              {"d", &other, 6, 12}, {"e", &content, 0, 4}};
  for (const auto& m : made) ASSERT_TRUE(Render(*m.content, m.name, 64u << 20, error, m.first, m.end));
  const struct {
    std::vector<std::string> bands;
    std::string message;
  } cases[] = {
      {{"a"}, "The rows 6 to 11 are in no band file."},
      {{"e", "b"}, "The rows 4 to 5 are in no band file."},
      {{"a", "c", "b"}, "The rows 4 to 5 are in more than one band file."},
      {{"a", "a", "b"}, "The rows 0 to 5 are in more than one band file."},
      {{"a", "d"}, "belongs to another picture than"},
      {{"a", "missing"}, "Cannot read band file"},
      {{"a", "x.bmp"}, "it is not a band file of korvana-render."},
  };
  std::ofstream(dir / "x.bmp") << "BM not a band";
  for (const auto& c : cases) {
    std::vector<std::string> names;
    for (const auto& n : c.bands) names.push_back((dir / n).string());
    EXPECT_FALSE(AssemblePoster((dir / "out.bmp").string(), names, 0, {}, error));
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(dir / "out.bmp"));
  }
}

TEST_F(PosterRenderTest, CutShortBandIsRefused) {
  std::string error;
  ASSERT_TRUE(Render(Poster(16, 12, 1), "a", 64u << 20, error, 0, 12));
  fs::resize_file(dir / "a", fs::file_size(dir / "a") - 1);
  EXPECT_FALSE(AssemblePoster((dir / "out.png").string(), {(dir / "a").string()}, 0, {}, error));
  EXPECT_NE(error.find("its length does not match its rows"), std::string::npos) << error;
}

TEST_F(PosterRenderTest, CancelledExportLeavesNoFile) {
  std::atomic<bool> cancel{true};
  std::string error;
  for (const char* name : {"c.bmp", "c.png", "c.tif"}) {
    EXPECT_FALSE(RenderPoster(Poster(40, 30, 2), 40, 30, 2, (dir / name).string(), {}, &cancel,
                              error));
    EXPECT_EQ(error, "The export was cancelled.");
  }
  EXPECT_TRUE(Files().empty());
}

TEST_F(PosterRenderTest, ExportAtSizeReportsProgressAndKeepsTheDocument) {
  const TFractalContent content = Poster(10, 10, 1);
  std::vector<double> reports;
  std::string error;
  ASSERT_TRUE(RenderPoster(content, 50, 20, 2, (dir / "e.png").string(),
                           [&](double done) { reports.push_back(done); }, nullptr, error))
      << error;
  EXPECT_EQ(content.Fractal.XResolution.GetValue(), 10);
  ASSERT_FALSE(reports.empty());
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  EXPECT_EQ(reports.back(), 1.0);
  EXPECT_EQ(Files(), std::vector<std::string>{"e.png"});
}

}  // namespace
