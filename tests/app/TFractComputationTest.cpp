#include "app/TFractComputation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "DocumentTestSupport.h"
#include "app/TUnitFract.h"
#include "files/TifImage.h"
#include "view/TResultRenderer.h"

namespace {

// A small fractal with cycle detection and several samples per pixel.
TFractalContent SmallContent(int width, int height, int valuesPerPixel) {
  TFractalContent content;
  content.Fractal.XResolution = unitIntegerPosMore(width);
  content.Fractal.YResolution = unitIntegerPosMore(height);
  content.Fractal.Left = unitFactor(-2.0);
  content.Fractal.Right = unitFactor(1.0);
  content.Fractal.MapVar = MapC;
  content.View.ValuesPerPixel = unitIntegerPosMore(valuesPerPixel);
  return content;
}

// The bitmap that painting the whole result in one go gives.
Bitmap24 PaintedAtOnce(const TFractResult& result, const TFractalContent& content) {
  Bitmap24 bitmap(PixelWidth(result, content.View), PixelHeight(result, content.View));
  TResultRenderer(content.View, content.Fractal.MaxCycle.GetValue())
      .PaintPixelColumns(result, bitmap, 0, bitmap.width);
  return bitmap;
}

bool Compute(TFractComputation& computation, TFractalContent& content, int threads,
             TFractComputation::Listener listener = {}) {
  std::string error;
  if (!computation.Restart(content, threads, std::move(listener), error)) {
    ADD_FAILURE() << error;
    return false;
  }
  computation.NewBitmap();
  computation.Wait();
  return true;
}

TEST(TFractComputation, ComputesEveryColumnAndPaintsTheWholeBitmap) {
  for (int threads : {1, 3}) {
    SCOPED_TRACE(threads);
    TFractalContent content = SmallContent(61, 37, 2);
    TFractComputation computation;
    std::vector<int> painted;
    int finished = 0;
    TFractComputation::Listener listener;
    listener.painted = [&painted](int columns) { painted.push_back(columns); };
    listener.finished = [&finished] { ++finished; };
    ASSERT_TRUE(Compute(computation, content, threads, std::move(listener)));
    const TFractResult& result = *computation.Result();
    EXPECT_EQ(result.GetComputed(), 61);
    EXPECT_EQ(result.GetPainted(), 61);
    EXPECT_EQ(finished, 1);
    // Strips of 8 columns arrive in column order.
    std::vector<int> expected;
    for (int columns = 8; columns < 61; columns += 8) expected.push_back(columns);
    expected.push_back(61);
    EXPECT_EQ(painted, expected);
    ASSERT_NE(result.GetBitmap(), nullptr);
    EXPECT_EQ(result.GetBitmap()->width, 30);
    EXPECT_EQ(result.GetBitmap()->height, 18);
    EXPECT_EQ(result.GetBitmap()->rgb, PaintedAtOnce(result, content).rgb);
    EXPECT_TRUE(result.HasCycles());
    EXPECT_TRUE(computation.LastError().empty());
  }
}

TEST(TFractComputation, ResultDoesNotDependOnTheNumberOfThreads) {
  TFractalContent content = SmallContent(45, 30, 1);
  TFractComputation one;
  TFractComputation many;
  ASSERT_TRUE(Compute(one, content, 1));
  ASSERT_TRUE(Compute(many, content, 4));
  EXPECT_EQ(one.Result()->GetBitmap()->rgb, many.Result()->GetBitmap()->rgb);
}

// An owner that drops unused cycle numbers keeps them exactly when the colours use them, and
// paints the same pixels as one that keeps them.
TEST(TFractComputation, CycleNumbersAreDroppedOnlyWhenTheColoursDoNotUseThem) {
  struct Case {
    bool depthPalette, backgroundPalette, foregroundPalette, kept;
  };
  const Case cases[] = {{false, false, false, false}, {false, true, false, true},
                        {false, false, true, true},   {true, true, true, false},
                        {true, false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.depthPalette << c.backgroundPalette
                                      << c.foregroundPalette);
    TFractalContent content = SmallContent(40, 30, 1);
    content.Fractal.MaxCycle = unitIntegerPos(5);
    content.View.UsePalDepthInside = c.depthPalette;
    content.View.UsePalDepthBackgroundInside = c.backgroundPalette;
    content.View.UsePalDepthForegroundInside = c.foregroundPalette;
    TFractComputation keeping, dropping;
    TFractComputation::Listener drop;
    drop.keepCycles = false;
    ASSERT_TRUE(Compute(keeping, content, 2));
    ASSERT_TRUE(Compute(dropping, content, 2, std::move(drop)));
    EXPECT_TRUE(keeping.Result()->HasCycles());
    EXPECT_EQ(dropping.Result()->HasCycles(), c.kept);
    EXPECT_EQ(PaintedAtOnce(*dropping.Result(), content).rgb,
              PaintedAtOnce(*keeping.Result(), content).rgb);
  }
}

TEST(TFractComputation, RestartDropsTheRunningComputationAndItsListener) {
  TFractalContent content = SmallContent(400, 300, 1);
  content.Fractal.MaxDepth = unitIntegerPosMore(2000);
  TFractComputation computation;
  std::atomic<int> oldPaints{0};
  int oldFinished = 0;
  TFractComputation::Listener old;
  old.painted = [&oldPaints](int) { ++oldPaints; };
  old.finished = [&oldFinished] { ++oldFinished; };
  std::string error;
  ASSERT_TRUE(computation.Restart(content, 2, std::move(old), error)) << error;
  computation.NewBitmap();

  content.Fractal.XResolution = unitIntegerPosMore(40);
  content.Fractal.YResolution = unitIntegerPosMore(20);
  int lastPainted = 0;
  TFractComputation::Listener current;
  current.painted = [&lastPainted](int columns) { lastPainted = columns; };
  ASSERT_TRUE(computation.Restart(content, 2, std::move(current), error)) << error;
  EXPECT_EQ(oldFinished, 1);  // the stopped run ended before the new one began
  const int oldAfterRestart = oldPaints;
  computation.NewBitmap();
  computation.Wait();
  EXPECT_EQ(oldPaints, oldAfterRestart);
  EXPECT_EQ(lastPainted, 40);
  EXPECT_EQ(computation.Result()->GetWidth(), 40);
  EXPECT_EQ(computation.Result()->GetPainted(), 40);
}

TEST(TFractComputation, TooLargeResultIsRefusedAndASaneRestartStillWorks) {
  TFractalContent huge = SmallContent(2000000000, 2000000000, 1);
  TFractComputation computation;
  std::string error;
  EXPECT_FALSE(computation.Restart(huge, 0, {}, error));
  EXPECT_EQ(error, "Not enough memory for a result of 2000000000 x 2000000000 samples.");
  EXPECT_EQ(computation.Result(), nullptr);
  computation.NewBitmap();
  computation.PaintNewColumns();
  computation.Wait();
  EXPECT_FALSE(computation.IsRunning());

  TFractalContent sane = SmallContent(20, 10, 1);
  ASSERT_TRUE(Compute(computation, sane, 0));
  EXPECT_EQ(computation.Result()->GetPainted(), 20);
}

TEST(TFractComputation, LoadedPictureUseGivesThePictureColourPlane) {
  TFractalContent content = SmallContent(24, 16, 1);
  BitmapFileProps& picture = content.Bitmaps.Files.front();
  picture.Name = "Red";
  picture.SetPicture(TifImage(1, 1, {0x0000FF}, {}), PictureFormat::Bmp, false);
  BitmapUseProps& use = content.Bitmaps.Uses.front();
  use.BitmapName = "Red";
  use.BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  use.Left = unitFactor(-1e9);
  use.Right = unitFactor(1e9);
  use.Top = unitFactor(1e9);
  use.Bottom = unitFactor(-1e9);
  TFractComputation computation;
  ASSERT_TRUE(Compute(computation, content, 2));
  const TFractResult& result = *computation.Result();
  ASSERT_TRUE(result.HasColors());
  EXPECT_FALSE(result.HasCycles());
  // The first orbit step lands in the opaque picture everywhere.
  EXPECT_EQ(result.GetColor(0, 0), 0xFF0000FFu);
  EXPECT_EQ(result.GetColor(23, 15), 0xFF0000FFu);
  const std::uint8_t* pixel = result.GetBitmap()->Pixel(11, 7);
  EXPECT_EQ((std::vector<int>{pixel[0], pixel[1], pixel[2]}), (std::vector<int>{255, 0, 0}));

  // A use naming no loaded picture leaves the properties inactive: no picture plane.
  content.Bitmaps.Uses.front().BitmapName = "Blue";
  ASSERT_TRUE(Compute(computation, content, 2));
  EXPECT_FALSE(computation.Result()->HasColors());
}

TEST(TFractComputation, RecolouringRepaintsFromTheStoredDepths) {
  TFractalContent content = SmallContent(32, 16, 1);
  TFractComputation computation;
  ASSERT_TRUE(Compute(computation, content, 2));
  TFractResult& result = *computation.Result();
  content.View.MaxDepthColor = unitColor(0x00FF00);
  content.View.BackgroundColor = unitColor(0x0000FF);
  result.SetPainted(0);
  computation.PaintNewColumns();
  EXPECT_EQ(result.GetPainted(), 32);
  EXPECT_EQ(result.GetBitmap()->rgb, PaintedAtOnce(result, content).rgb);
}

// While a computation runs the view's ValuesPerPixel may change (the bitmap then no longer
// agrees and painting waits for a new one), and so may the parameters (the running computation
// keeps its own); neither may make painting read past the result.
TEST(TFractComputation, EditsWhileComputingNeverPaintPastTheResult) {
  enum class Edit { ValuesPerPixel, MaxCycleAndResolution };
  for (Edit edit : {Edit::ValuesPerPixel, Edit::MaxCycleAndResolution}) {
    SCOPED_TRACE(edit == Edit::ValuesPerPixel ? "ValuesPerPixel" : "MaxCycle and resolution");
    TFractalContent content = SmallContent(64, 20, 1);
    content.Fractal.MaxCycle = unitIntegerPos(4);
    // Inside colours by cycle number, so that the colours depend on MaxCycle.
    content.View.SensInside = ESensitivity::SensNormal;
    content.View.StrengthInside = unitFactorPosMore(1.0);
    content.View.UsePalDepthForegroundInside = true;
    content.View.PalDepthForegroundInside = TColorPalette1D(false, 0x000000, 1.0, 0xFFFFFF, 1.0);
    TFractComputation computation;
    TFractComputation::Listener listener;
    int paints = 0;
    listener.painted = [&](int) {
      if (++paints != 1) return;
      if (edit == Edit::ValuesPerPixel) {
        content.View.ValuesPerPixel = unitIntegerPosMore(3);
      } else {
        content.Fractal.MaxCycle = unitIntegerPos(1000);
        content.Fractal.YResolution = unitIntegerPosMore(500);
      }
    };
    ASSERT_TRUE(Compute(computation, content, 1, std::move(listener)));
    TFractResult& result = *computation.Result();
    EXPECT_EQ(result.GetComputed(), 64);
    if (edit == Edit::ValuesPerPixel) {
      EXPECT_EQ(result.GetPainted(), 8);  // only the strip before the change
      std::string error;
      ASSERT_TRUE(computation.NewBitmap(error)) << error;
      result.SetPainted(0);
      computation.PaintNewColumns();
      EXPECT_EQ(result.GetBitmap()->width, 21);
    }
    EXPECT_EQ(result.GetPainted(), 64);
    const Bitmap24 edited = PaintedAtOnce(result, content);
    content.Fractal.MaxCycle = unitIntegerPos(4);  // the colours of the computed array
    EXPECT_EQ(result.GetBitmap()->rgb, PaintedAtOnce(result, content).rgb);
    if (edit == Edit::MaxCycleAndResolution) {
      EXPECT_NE(edited.rgb, result.GetBitmap()->rgb);
    }
  }
}

// A bitmap beyond the memory limit is reported with the usual message; the computation goes on
// without painting, and a bitmap made later shows all of it.
TEST(TFractComputation, ABitmapBeyondTheMemoryLimitIsReportedAndTheComputationGoesOn) {
  TFractalContent content = SmallContent(40, 20, 2);  // a bitmap of 20 x 10 pixels, 600 bytes
  TFractComputation computation;
  std::string error;
  ASSERT_TRUE(computation.Restart(content, 2, {}, error)) << error;
  SetPictureMemoryLimit(599);
  EXPECT_FALSE(computation.NewBitmap(error));
  SetPictureMemoryLimit(0);
  EXPECT_EQ(error, "Not enough memory for a picture of 20 x 10 pixels.");
  computation.Wait();
  TFractResult& result = *computation.Result();
  EXPECT_EQ(result.GetComputed(), 40);
  EXPECT_EQ(result.GetBitmap(), nullptr);
  EXPECT_EQ(result.GetPainted(), 0);
  EXPECT_TRUE(computation.LastError().empty());
  ASSERT_TRUE(computation.NewBitmap(error)) << error;
  computation.PaintNewColumns();
  EXPECT_EQ(result.GetBitmap()->rgb, PaintedAtOnce(result, content).rgb);
}

// A finished listener that restarts: allowed after a plain Stop (the new run goes on), refused
// while a Restart or the destructor stops the run (its array is about to be dropped).
TEST(TFractComputationConcurrency, ARestartFromFinishedIsRefusedWhileTheRunIsReplaced) {
  enum class End { Stop, Restart, Destroy };
  for (End end : {End::Stop, End::Restart, End::Destroy}) {
    SCOPED_TRACE(static_cast<int>(end));
    TFractalContent content = SmallContent(400, 60, 1);
    std::vector<bool> restarts;
    {
      TFractComputation computation;
      TFractComputation::Listener listener;
      listener.finished = [&] {
        std::string error;
        restarts.push_back(computation.Restart(content, 2, {}, error));
      };
      std::string error;
      ASSERT_TRUE(computation.Restart(content, 2, std::move(listener), error)) << error;
      if (end == End::Stop) {
        computation.Stop();
        EXPECT_TRUE(computation.IsRunning());
      } else if (end == End::Restart) {
        ASSERT_TRUE(computation.Restart(content, 2, {}, error)) << error;
        computation.Wait();
        EXPECT_EQ(computation.Result()->GetComputed(), 400);
      }
    }
    EXPECT_EQ(restarts, std::vector<bool>{end == End::Stop});
  }
}

// Two documents computing at once, each on its own owner thread, restarted before their runs
// end and stopped midway, painting as they go; at the end both are complete and equal to a
// quiet single-threaded run.
TEST(TFractComputationConcurrency, TwoDocumentsRestartAndStopWhileComputing) {
  auto run = [](int variant, Bitmap24::Bytes& pixels) {
    TUnitFract document("NONAME" + std::to_string(variant), "");
    document.Content = SmallContent(96 + variant * 8, 48, 2);
    document.Content.Fractal.MaxDepth = unitIntegerPosMore(300);
    std::string error;
    int painted = 0;
    for (int round = 0; round < 13; ++round) {  // the last round runs to its end
      TFractComputation::Listener listener;
      listener.painted = [&painted](int) { ++painted; };
      if (!document.Computation.Restart(document.Content, 2, std::move(listener), error)) return;
      document.Computation.NewBitmap();
      if (round % 3 == 1) document.Computation.ServiceHandOvers();
      if (round % 3 == 2) document.Computation.Stop();
    }
    document.Computation.Wait();
    if (painted == 0 || document.Computation.Result()->GetPainted() !=
                            document.Content.Fractal.XResolution.GetValue()) {
      return;
    }
    pixels = document.Computation.Result()->GetBitmap()->rgb;
  };
  Bitmap24::Bytes first;
  Bitmap24::Bytes second;
  std::thread a(run, 0, std::ref(first));
  std::thread b(run, 1, std::ref(second));
  a.join();
  b.join();
  for (int variant : {0, 1}) {
    TFractalContent content = SmallContent(96 + variant * 8, 48, 2);
    content.Fractal.MaxDepth = unitIntegerPosMore(300);
    TFractComputation quiet;
    ASSERT_TRUE(Compute(quiet, content, 1));
    EXPECT_EQ(variant == 0 ? first : second, quiet.Result()->GetBitmap()->rgb) << variant;
  }
}

}  // namespace
