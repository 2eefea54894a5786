#include "view/TResultRenderer.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "common/Bitmap24.h"
#include "files/TifImage.h"
#include "fractal/TFractResult.h"
#include "view/TFractViewProps.h"

namespace {

using Rgb = std::array<int, 3>;

// A result of width x height samples whose depths (and picture colours, when given) come from
// the functions; every column counts as computed.
std::unique_ptr<TFractResult> MakeResult(int width, int height, std::int32_t maxCycle,
                                         const std::function<float(int, int)>& depth,
                                         const std::function<std::uint32_t(int, int)>& color = {}) {
  std::string error;
  auto result = TFractResult::Create(width, height, maxCycle, static_cast<bool>(color), error);
  EXPECT_TRUE(result) << error;
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) {
      result->SetDepth(x, y, depth(x, y));
      if (color) result->SetColor(x, y, color(x, y));
    }
  }
  result->SetComputed(width);
  return result;
}

std::unique_ptr<TFractResult> Uniform(int width, int height, float depth, std::uint32_t color = 0,
                                      bool pictures = false) {
  std::function<std::uint32_t(int, int)> colors;
  if (pictures) colors = [color](int, int) { return color; };
  return MakeResult(width, height, 1, [depth](int, int) { return depth; }, colors);
}

Rgb PixelOf(const Bitmap24& bitmap, int x, int y) {
  const std::uint8_t* p = bitmap.Pixel(x, y);
  return {p[0], p[1], p[2]};
}

Rgb ChannelsOf(std::uint32_t color) {
  return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
          static_cast<int>((color >> 16) & 0xFF)};
}

// The pixel that one sample of result shows, painted into a fresh bitmap.
Rgb Painted(const TFractResult& result, const TFractViewProps& view, int x = 0, int y = 0) {
  Bitmap24 bitmap(PixelWidth(result, view), PixelHeight(result, view));
  TResultRenderer(view, 1).PaintPixelColumns(result, bitmap, 0, bitmap.width);
  return PixelOf(bitmap, x, y);
}

// Samples at the maximum depth show MaxDepthColor with MaxDepthTransFactor as opacity.
TFractViewProps MaxDepthView(std::uint32_t color, double opacity, std::uint32_t background) {
  TFractViewProps view;
  view.MaxDepthColor = unitColor(color);
  view.MaxDepthTransFactor = unitFactorPosMax1(opacity);
  view.BackgroundColor = unitColor(background);
  return view;
}

// Whether every row of pixel column x is still the black of a new bitmap.
bool ColumnUnpainted(const Bitmap24& bitmap, int x) {
  for (int y = 0; y < bitmap.height; ++y) {
    if (PixelOf(bitmap, x, y) != Rgb{0, 0, 0}) return false;
  }
  return true;
}

TEST(TResultRenderer, PaintsOnlyWholePixelsOfTheComputedBlocks) {
  TFractViewProps view = MaxDepthView(0x102030, 1.0, 0);
  view.ValuesPerPixel = unitIntegerPosMore(3);
  auto result = Uniform(31, 7, 0.0f);
  result->SetComputed(0);
  NewBitmap(*result, view);
  ASSERT_EQ(result->GetBitmap()->width, 10);
  ASSERT_EQ(result->GetBitmap()->height, 2);

  const int blocks[][2] = {{8, 2}, {16, 5}, {24, 8}, {31, 10}};  // computed columns, painted pixels
  for (const auto& block : blocks) {
    result->SetComputed(block[0]);
    PaintNewColumns(*result, view, 1);
    EXPECT_EQ(result->GetPainted(), block[0]);
    const Bitmap24& bitmap = *result->GetBitmap();
    for (int x = 0; x < bitmap.width; ++x) {
      EXPECT_EQ(ColumnUnpainted(bitmap, x), x >= block[1]) << "after " << block[0] << ", column " << x;
    }
  }
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 9, 1), (Rgb{0x30, 0x20, 0x10}));
}

TEST(TResultRenderer, RefreshesEveryTwentiethPixelColumnAndRecoloursFromZero) {
  TFractViewProps view = MaxDepthView(0x0000FF, 1.0, 0);
  auto result = Uniform(48, 3, 0.0f);
  NewBitmap(*result, view);
  int refreshes = 0;
  PaintNewColumns(*result, view, 1, [&refreshes] { ++refreshes; });
  EXPECT_EQ(refreshes, 3);  // after pixel columns 0, 20 and 40
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 47, 2), (Rgb{255, 0, 0}));

  // Nothing new computed: nothing painted. A new colour with the painted count reset repaints.
  view.MaxDepthColor = unitColor(0x00FF00);
  PaintNewColumns(*result, view, 1);
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 47, 2), (Rgb{255, 0, 0}));
  result->SetPainted(0);
  PaintNewColumns(*result, view, 1);
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 0, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 47, 2), (Rgb{0, 255, 0}));
}

TEST(TResultRenderer, WithoutBitmapNothingIsPaintedOrCounted) {
  TFractViewProps view;
  auto result = Uniform(16, 2, 0.0f);
  PaintNewColumns(*result, view, 1);
  EXPECT_EQ(result->GetPainted(), 0);
}

TEST(TResultRenderer, OpacityBlendsWithTheBackgroundAndTruncates) {
  auto result = Uniform(1, 1, 0.0f);
  // Opacity 0 shows the background exactly, 1 the colour exactly.
  EXPECT_EQ(Painted(*result, MaxDepthView(0xFFFFFF, 0.0, 0x123456)), (Rgb{0x56, 0x34, 0x12}));
  EXPECT_EQ(Painted(*result, MaxDepthView(0x010203, 1.0, 0xFFFFFF)), (Rgb{3, 2, 1}));
  // 255 * 0.5 = 127.5 becomes 127; 10 * 0.75 + 200 * 0.25 = 57.5 becomes 57.
  EXPECT_EQ(Painted(*result, MaxDepthView(0xFFFFFF, 0.5, 0)), (Rgb{127, 127, 127}));
  EXPECT_EQ(Painted(*result, MaxDepthView(0x0A0A0A, 0.75, 0xC8C8C8)), (Rgb{57, 57, 57}));
}

TEST(TResultRenderer, PictureColourOverlaysByItsAlpha) {
  const TFractViewProps view = MaxDepthView(0x404040, 1.0, 0);
  // Alpha 255 replaces the fractal colour, alpha 0 leaves it.
  EXPECT_EQ(Painted(*Uniform(1, 1, 0.0f, 0xFF0A141E, true), view), (Rgb{0x1E, 0x14, 0x0A}));
  EXPECT_EQ(Painted(*Uniform(1, 1, 0.0f, 0x00FFFFFF, true), view), (Rgb{64, 64, 64}));
  // Alpha 128: A = 128 / 255 as a float; 255 A + 64 (1 - A) = 159.87... becomes 159.
  const double A = static_cast<float>(128) / 255.0f;
  const int expected = static_cast<int>(255 * A + (1 - A) * 64);
  EXPECT_EQ(expected, 159);
  EXPECT_EQ(Painted(*Uniform(1, 1, 0.0f, 0x80FFFFFF, true), view),
            (Rgb{expected, expected, expected}));
}

TEST(TResultRenderer, ManySamplesPerPixelAreAveragedBeforeTruncation) {
  TFractViewProps view = MaxDepthView(0x000000, 1.0, 0);
  view.SensOutside = ESensitivity::SensNormal;
  view.StrengthOutside = unitFactorPosMore(1.0);
  view.ValuesPerPixel = unitIntegerPosMore(2);
  // Per pixel two samples at the maximum depth (black) and two outside at depth 1, which shows
  // ForegroundColorOutside 0xFF8000: red 0, green 128, blue 255.
  auto result = MakeResult(4, 2, 1, [](int x, int y) { return (x + y) % 2 == 0 ? 0.0f : 1.0f; });
  NewBitmap(*result, view);
  PaintNewColumns(*result, view, 1);
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 0, 0), (Rgb{0, 64, 127}));
  EXPECT_EQ(PixelOf(*result->GetBitmap(), 1, 0), (Rgb{0, 64, 127}));
}

// A palette whose super colour is red 510, green -255, blue 0 everywhere (ColorBefore 0x0000FF,
// anchor 0x00FF00, super factor 2): the channels leave 0..255 in both directions.
TFractViewProps SuperColourView(int valuesPerPixel) {
  TFractViewProps view;
  view.UsePalOutside = true;
  view.PalOutside = TColorPalette1D(false, 0x0000FF, 1.0, 2.0, 0x00FF00, 0x0000FF, 1.0, 2.0, 0x00FF00);
  view.ValuesPerPixel = unitIntegerPosMore(valuesPerPixel);
  return view;
}

TEST(TResultRenderer, SuperColoursAreClampedPerChannelWithoutSpilling) {
  auto result = Uniform(4, 4, 0.5f);
  for (int g : {2, 4}) {
    SCOPED_TRACE(g);
    const TFractViewProps view = SuperColourView(g);
    EXPECT_EQ(Painted(*result, view), (Rgb{255, 0, 0}));
    TifImage image;
    TResultRenderer(view, 1).RenderExport(*result, image);
    EXPECT_EQ(image.GetColor(0, 0), 0x0000FFu);
    EXPECT_EQ(image.GetAlpha(0, 0), 255);
  }
  // With a picture use the picture blend clamps each sample: a transparent picture over the
  // super colour gives the clamped super colour.
  auto withPicture = Uniform(2, 2, 0.5f, 0x00FFFFFF, true);
  EXPECT_EQ(Painted(*withPicture, SuperColourView(2)), (Rgb{255, 0, 0}));
}

TEST(TResultRenderer, InsideSamplesTakeTheColoursOfTheirCycle) {
  TFractViewProps view;
  view.SensInside = ESensitivity::SensNormal;
  view.StrengthInside = unitFactorPosMore(1.0);
  view.UsePalDepthForegroundInside = true;
  view.PalDepthForegroundInside = TColorPalette1D(false, 0x000000, 1.0, 0xFFFFFF, 1.0);
  std::string error;
  auto result = TFractResult::Create(2, 1, 3, false, error);
  ASSERT_TRUE(result) << error;
  result->SetDepth(0, 0, -1.0f);
  result->SetCycle(0, 0, 1);
  result->SetDepth(1, 0, -1.0f);
  result->SetCycle(1, 0, 3);
  Bitmap24 bitmap(2, 1);
  TResultRenderer(view, 3).PaintPixelColumns(*result, bitmap, 0, 2);
  EXPECT_EQ(PixelOf(bitmap, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(PixelOf(bitmap, 1, 0), (Rgb{255, 255, 255}));
}

TEST(TResultRenderer, ExportCarriesOpacityAsAlphaWithoutTheBackground) {
  const TFractViewProps view = MaxDepthView(0x102030, 0.5, 0xFFFFFF);
  TifImage image;
  TResultRenderer(view, 1).RenderExport(*Uniform(3, 2, 0.0f), image);
  ASSERT_EQ(image.GetWidth(), 3);
  ASSERT_EQ(image.GetHeight(), 2);
  ASSERT_TRUE(image.HasAlpha());
  EXPECT_EQ(image.GetColor(2, 1), 0x102030u);
  EXPECT_EQ(image.GetAlpha(2, 1), 127);  // trunc(0.5 * 255)
}

TEST(TResultRenderer, ExportWithPicturesCombinesBothOpacities) {
  const TFractViewProps view = MaxDepthView(0x000000, 0.5, 0xFFFFFF);
  TifImage image;
  // Picture alpha 0x33 = 51: A = 0.2; opacity 1 - (1 - 0.2)(1 - 0.5) = 0.6, alpha trunc(153).
  TResultRenderer(view, 1).RenderExport(*Uniform(1, 1, 0.0f, 0x33FF0000, true), image);
  const double A = static_cast<float>(51) / 255.0f;
  EXPECT_EQ(image.GetAlpha(0, 0), static_cast<int>((1 - (1 - A) * 0.5) * 255));
  EXPECT_EQ(ChannelsOf(image.GetColor(0, 0)), (Rgb{0, 0, static_cast<int>(255 * A)}));

  // Opaque picture: opaque export, whatever the fractal's opacity.
  TResultRenderer(MaxDepthView(0, 0.0, 0), 1).RenderExport(*Uniform(1, 1, 0.0f, 0xFF123456, true), image);
  EXPECT_EQ(image.GetAlpha(0, 0), 255);
  EXPECT_EQ(image.GetColor(0, 0), 0x123456u);
}

TEST(TResultRenderer, ExportAveragesOpacityOverThePixel) {
  TFractViewProps view = MaxDepthView(0xFFFFFF, 1.0, 0);
  view.SensOutside = ESensitivity::SensNormal;
  view.BackgroundColorOutside = unitColor(0xFFFFFF);
  view.ForegroundColorOutside = unitColor(0xFFFFFF);
  view.ValuesPerPixel = unitIntegerPosMore(2);
  view.MaxDepthTransFactor = unitFactorPosMax1(0.0);
  // One sample of four is opaque white, three are transparent white.
  auto result = MakeResult(5, 5, 1, [](int x, int y) { return x == 0 && y == 0 ? 1.0f : 0.0f; });
  TifImage image;
  TResultRenderer(view, 1).RenderExport(*result, image);
  EXPECT_EQ(image.GetWidth(), 2);
  EXPECT_EQ(image.GetHeight(), 2);
  EXPECT_EQ(image.GetAlpha(0, 0), 63);  // trunc(0.25 * 255)
  EXPECT_EQ(image.GetAlpha(1, 1), 0);
  EXPECT_EQ(image.GetColor(0, 0), 0xFFFFFFu);
}

TEST(TResultRenderer, ExportOfAnUnfinishedResultReadsOnlyTheComputedColumns) {
  TFractViewProps view = MaxDepthView(0x000000, 0.0, 0);
  view.SensOutside = ESensitivity::SensNormal;
  view.BackgroundColorOutside = unitColor(0xFFFFFF);
  view.ForegroundColorOutside = unitColor(0xFFFFFF);
  // Every sample holds an outside depth and an opaque picture colour, but only the first strip
  // is published: the other columns may be half written by a worker.
  auto result = MakeResult(16, 2, 1, [](int, int) { return 1.0f; },
                           [](int, int) { return 0xFF00FF00u; });
  result->SetComputed(8);
  for (int g : {1, 2}) {
    SCOPED_TRACE(g);
    view.ValuesPerPixel = unitIntegerPosMore(g);
    TifImage image;
    TResultRenderer(view, 1).RenderExport(*result, image);
    const int published = 8 / g;
    for (int x = 0; x < image.GetWidth(); ++x) {
      EXPECT_EQ(image.GetColor(x, 0), x < published ? 0x00FF00u : 0u) << x;
      EXPECT_EQ(image.GetAlpha(x, 0), x < published ? 255 : 0) << x;
    }
  }
}

}  // namespace

namespace {

// Sets the picture memory limit for one test and restores the default afterwards.
class PictureLimit {
 public:
  explicit PictureLimit(std::uint64_t bytes) { SetPictureMemoryLimit(bytes); }
  ~PictureLimit() { SetPictureMemoryLimit(0); }
  PictureLimit(const PictureLimit&) = delete;
  PictureLimit& operator=(const PictureLimit&) = delete;
};

}  // namespace

// A bitmap that does not belong to the result under the view (ValuesPerPixel changed, another
// size, missing bytes) is neither painted nor counted: painting it would read past the planes.
TEST(TResultRenderer, ABitmapThatDoesNotAgreeWithResultAndViewIsNotPainted) {
  struct Case {
    const char* name;
    int bitmapVpp;  // the ValuesPerPixel the bitmap was made with
    int paintVpp;   // the ValuesPerPixel at painting
    int widthDelta, heightDelta;
    std::size_t missingBytes;
  };
  const Case cases[] = {
      {"values per pixel raised", 1, 2, 0, 0, 0},
      {"values per pixel raised to 3", 2, 3, 0, 0, 0},
      {"values per pixel lowered", 3, 1, 0, 0, 0},
      {"one row too many", 1, 1, 0, 1, 0},
      {"one column too many", 2, 2, 1, 0, 0},
      {"one column too few", 1, 1, -1, 0, 0},
      {"bytes missing", 1, 1, 0, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TFractViewProps view = MaxDepthView(0xFFFFFF, 1.0, 0);
    auto result = Uniform(30, 12, 0.0f);
    view.ValuesPerPixel = unitIntegerPosMore(c.bitmapVpp);
    ASSERT_TRUE(NewBitmap(*result, view));
    Bitmap24& bitmap = *result->GetBitmap();
    if (c.widthDelta != 0 || c.heightDelta != 0) {
      bitmap = Bitmap24(bitmap.width + c.widthDelta, bitmap.height + c.heightDelta);
    }
    bitmap.rgb.resize(bitmap.rgb.size() - c.missingBytes);
    view.ValuesPerPixel = unitIntegerPosMore(c.paintVpp);
    EXPECT_FALSE(BitmapAgrees(*result, view, bitmap));

    PaintNewColumns(*result, view, 1);
    EXPECT_EQ(result->GetPainted(), 0);
    TResultRenderer(view, 1).PaintPixelColumns(*result, bitmap, 0, bitmap.width);
    for (int x = 0; x < bitmap.width && c.missingBytes == 0; ++x) {
      EXPECT_TRUE(ColumnUnpainted(bitmap, x)) << "column " << x;
    }

    // A new bitmap agrees again and is painted whole.
    ASSERT_TRUE(NewBitmap(*result, view));
    EXPECT_TRUE(BitmapAgrees(*result, view, *result->GetBitmap()));
    PaintNewColumns(*result, view, 1);
    EXPECT_EQ(result->GetPainted(), 30);
    EXPECT_EQ(PixelOf(*result->GetBitmap(), result->GetBitmap()->width - 1, 0),
              (Rgb{255, 255, 255}));
  }
}

// Pictures beyond the memory limit are refused before allocation with the usual message; a
// picture of exactly the limit is made.
TEST(TResultRenderer, PicturesBeyondTheMemoryLimitAreRefusedWithAMessage) {
  struct Case {
    int valuesPerPixel;
    std::uint64_t limit;
    bool bitmapFits;  // 3 bytes per pixel
    bool exportFits;  // 5 bytes per pixel
    const char* size;
  };
  // The result has 40 x 10 samples: 400 pixels at 1 value per pixel, 100 at 2.
  const Case cases[] = {
      {1, 1200, true, false, "40 x 10"}, {1, 1199, false, false, "40 x 10"},
      {1, 2000, true, true, "40 x 10"},  {2, 300, true, false, "20 x 5"},
      {2, 500, true, true, "20 x 5"},    {2, 299, false, false, "20 x 5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("values per pixel " + std::to_string(c.valuesPerPixel) + ", limit " +
                 std::to_string(c.limit));
    TFractViewProps view = MaxDepthView(0x102030, 1.0, 0);
    view.ValuesPerPixel = unitIntegerPosMore(c.valuesPerPixel);
    auto result = Uniform(40, 10, 0.0f);
    ASSERT_TRUE(NewBitmap(*result, view));  // an old bitmap, released on failure
    const PictureLimit limit(c.limit);
    EXPECT_EQ(PictureMemoryLimit(), c.limit);
    const std::string message = std::string("Not enough memory for a picture of ") + c.size + " pixels.";

    std::string error = "stale";
    EXPECT_EQ(NewBitmap(*result, view, error), c.bitmapFits);
    EXPECT_EQ(error, c.bitmapFits ? "" : message);
    EXPECT_EQ(result->GetBitmap() != nullptr, c.bitmapFits);
    PaintNewColumns(*result, view, 1);  // without a bitmap: nothing
    EXPECT_EQ(result->GetPainted(), c.bitmapFits ? 40 : 0);

    TifImage image(1, 1, false);
    error.clear();
    EXPECT_EQ(TResultRenderer(view, 1).RenderExport(*result, image, error), c.exportFits);
    EXPECT_EQ(error, c.exportFits ? "" : message);
    EXPECT_EQ(image.GetWidth(), c.exportFits ? 40 / c.valuesPerPixel : 0);
  }
  EXPECT_GT(PictureMemoryLimit(), 0u);  // the default is back
}
