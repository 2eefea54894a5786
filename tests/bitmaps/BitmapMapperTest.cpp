#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "BitmapTestSupport.h"
#include "bitmaps/TBitmapMapper.h"
#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"
#include "fractal/TThreadVolumeWriter.h"

namespace {

using MappedUse = TBitmapMapper::MappedUse;

// A use of a column-major picture on the rectangle left..right x top..bottom; the planes live in
// the use.
MappedUse UseOf(int width, int height, std::vector<std::uint32_t> rgb,
                std::vector<std::uint8_t> trans = {}) {
  MappedUse use;
  use.Width = width;
  use.Height = height;
  use.keepRGB = std::make_shared<const std::vector<std::uint32_t>>(std::move(rgb));
  use.RGB = use.keepRGB->data();
  if (!trans.empty()) {
    use.keepTrans = std::make_shared<const std::vector<std::uint8_t>>(std::move(trans));
    use.Trans = use.keepTrans->data();
  }
  return use;
}

struct Mapped {
  double r, g, b, a;
};

Mapped Map(double x, double y, const MappedUse& use) {
  Mapped m{};
  TBitmapMapper::MapUse(x, y, use, m.r, m.g, m.b, m.a);
  return m;
}

}  // namespace

TEST(BitmapMapperTest, DepthRulesChooseTheSteps) {
  struct Case {
    int min, modulo, max;
    std::vector<int> applies, skips;
  };
  const std::vector<Case> cases = {
      {3, 2, 0, {3, 5, 7, 99}, {1, 2, 4, 6}},
      {1, 1, 5, {1, 2, 3, 4, 5}, {0, 6, 100}},
      {2, 3, 8, {2, 5, 8}, {1, 3, 4, 11}},
  };
  for (const Case& c : cases) {
    MappedUse use;
    use.DepthMin = c.min;
    use.DepthModulo = c.modulo;
    use.DepthMax = c.max;
    for (int d : c.applies) EXPECT_TRUE(use.AppliesAt(d)) << c.min << "/" << c.modulo << " " << d;
    for (int d : c.skips) EXPECT_FALSE(use.AppliesAt(d)) << c.min << "/" << c.modulo << " " << d;
  }
}

TEST(BitmapMapperTest, HardSelectionPicksOnePixelStrictlyInsideTheRectangle) {
  // 2 x 2 picture, column-major: (0,0) red 10, (0,1) 20, (1,0) 30, (1,1) 40; alpha 255 at (1,1).
  MappedUse use = UseOf(2, 2, {10, 20, 30, 40}, {0, 128, 64, 255});
  use.Smooth = false;
  const Mapped topLeft = Map(-0.5, 0.5, use);
  EXPECT_EQ(topLeft.r, 10);
  EXPECT_EQ(topLeft.a, 0);
  EXPECT_EQ(Map(-0.5, -0.5, use).a, 0.5);
  const Mapped bottomRight = Map(0.5, -0.5, use);
  EXPECT_EQ(bottomRight.r, 40);
  EXPECT_EQ(bottomRight.a, 255.0 / 256.0);
  for (auto [x, y] : {std::pair{-1.0, 0.5}, {1.0, 0.5}, {0.5, 1.0}, {0.5, -1.0}, {2.0, 0.0}}) {
    EXPECT_EQ(Map(x, y, use).a, 0) << x << "," << y;
    EXPECT_EQ(Map(x, y, use).r, 0);
  }
  // Just inside the far edges the last pixel is read, never one beyond.
  EXPECT_EQ(Map(std::nextafter(1.0, 0.0), std::nextafter(-1.0, 0.0), use).r, 40);
  // Reversed rectangles map the same way.
  std::swap(use.Left, use.Right);
  EXPECT_EQ(Map(0.5, 0.5, use).r, 10);
  use.BasicTransFactor = 0.5;
  EXPECT_EQ(Map(-0.5, -0.5, use).a, 0.5 * 255.0 / 256.0);
}

TEST(BitmapMapperTest, SmoothSelectionIsBilinearAndFadesOutAtTheEdges) {
  // 2 x 1 picture on 0..2 x 0..1, so px = x and py = y.
  MappedUse use = UseOf(2, 1, {0, 200});
  use.Left = 0;
  use.Right = 2;
  use.Top = 0;
  use.Bottom = 1;
  const Mapped quarter = Map(0.25, 0, use);
  EXPECT_DOUBLE_EQ(quarter.r, 50);
  EXPECT_DOUBLE_EQ(quarter.a, 1);
  const Mapped edge = Map(1.5, 0.5, use);
  EXPECT_DOUBLE_EQ(edge.r, 200);
  EXPECT_DOUBLE_EQ(edge.a, 0.25);
  EXPECT_DOUBLE_EQ(Map(-0.5, 0, use).a, 0.5);
  const double inf = std::numeric_limits<double>::infinity();
  for (double x : {-1.0, 2.0, 1e300, -1e300, inf, std::nan("")}) {
    const Mapped m = Map(x, 0, use);
    EXPECT_EQ(m.a, 0) << x;
    EXPECT_EQ(m.r, 0) << x;
  }
  use.BasicTransFactor = 0.5;
  EXPECT_DOUBLE_EQ(Map(0.25, 0, use).a, 0.5);
}

TEST(BitmapMapperTest, ColourTransparencyRampsBetweenTheTwoDistances) {
  struct Case {
    std::uint32_t color;
    double factor;
  };
  const std::vector<Case> cases = {
      {0x00FFFFFF, 0},
      {0x00BFFFFF, 0.5},  // blue 191: distance 64
      {0x00FF80FF, 127.0 / 128.0},
      {0x007FFFFF, 1},
      {0x00000000, 1},
  };
  for (const Case& c : cases) {
    MappedUse use = UseOf(1, 1, {c.color});
    use.Smooth = false;
    use.BmpTransOptColor = true;
    use.TransRed = use.TransGreen = use.TransBlue = 255;
    use.WidthMaxTrans = 0;
    use.WidthNoTrans = 0.5;
    EXPECT_DOUBLE_EQ(Map(0, 0, use).a, c.factor) << std::hex << c.color;
  }
  // Equal widths: a step instead of a division by zero.
  for (auto [blue, factor] : {std::pair{191u, 0.0}, {192u, 0.0}, {193u, 0.0}, {190u, 1.0}}) {
    MappedUse use = UseOf(1, 1, {0x00FFFF | blue << 16});
    use.BmpTransOptColor = true;
    use.TransRed = use.TransGreen = use.TransBlue = 255;
    use.WidthMaxTrans = use.WidthNoTrans = 64.0 / 256.0;
    use.Smooth = false;
    EXPECT_EQ(Map(0, 0, use).a, factor) << blue;
  }
}

TEST(BitmapMapperTest, EmptyRectanglesAndPicturesContributeNothing) {
  MappedUse use = UseOf(1, 1, {0x00FFFFFF});
  use.Right = use.Left;
  EXPECT_EQ(Map(use.Left, 0, use).a, 0);
  use.Smooth = false;
  EXPECT_EQ(Map(use.Left, 0, use).a, 0);
  MappedUse flat = UseOf(1, 1, {0x00FFFFFF});
  flat.Top = flat.Bottom = 0;
  EXPECT_EQ(Map(0, 0, flat).a, 0);
}

TEST(BitmapMapperTest, SamplesCompositeFrontToBackAndTheFirstOpaqueUseWins) {
  BitmapsProps props;
  props.Files.front().Name = "red";
  props.Files.front().SetPicture(MakePicture(2, 2, {0xFF, 0xFF, 0xFF, 0xFF}), PictureFormat::Bmp,
                                 false);
  props.Files.emplace_back().Name = "blue";
  props.Files.back().SetPicture(MakePicture(2, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000}),
                                PictureFormat::Bmp, false);
  props.Uses.front().BitmapName = "red";
  props.Uses.front().BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  props.Uses.emplace_back().BitmapName = "blue";
  props.Uses.back().BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  props.Uses.emplace_back().BitmapName = "not there";
  props.ResolveUses();
  const TBitmapMapper mapper(props);
  ASSERT_EQ(mapper.Uses().size(), 2u);

  double R = 0, G = 0, B = 0, A = 0;
  mapper.MapSample(0.5, 0.5, 1, -1, 1, R, G, B, A);
  EXPECT_EQ(R, 255);
  EXPECT_EQ(B, 0);
  EXPECT_EQ(A, 1);

  // Half-transparent red over blue; the accumulators carry over from step to step.
  props.Uses.front().BasicTransFactor.SetValue(0.5);
  props.Uses.back().BitmapName = "";
  const TBitmapMapper half(props);
  R = G = B = A = 0;
  half.MapSample(0.5, 0.5, 1, -1, 1, R, G, B, A);
  EXPECT_DOUBLE_EQ(R, 127.5);
  EXPECT_DOUBLE_EQ(B, 127.5);
  EXPECT_DOUBLE_EQ(A, 1);

  // The reciprocal point is used when asked for; steps the depth rule refuses add nothing.
  props.Uses.front().BmpReciproke = true;
  props.Uses.front().DepthMin.SetValue(2);
  const TBitmapMapper reciprocal(props);
  R = G = B = A = 0;
  reciprocal.MapSample(5, 5, 0.5, 0.5, 1, R, G, B, A);
  EXPECT_EQ(A, 0);
  reciprocal.MapSample(5, 5, 0.5, 0.5, 2, R, G, B, A);
  EXPECT_DOUBLE_EQ(A, 0.5);
  EXPECT_DOUBLE_EQ(R, 127.5);
}

TEST(BitmapMapperTest, SnapshotKeepsPlanesAliveAfterThePropertiesChange) {
  auto props = std::make_unique<BitmapsProps>();
  props->Files.front().SetPicture(MakePicture(1, 1, {0x123456}), PictureFormat::Bmp, false);
  props->ResolveUses();
  const TBitmapMapper mapper(*props);
  props.reset();
  double R = 0, G = 0, B = 0, A = 0;
  mapper.MapSample(0, 0, 0, 0, 1, R, G, B, A);
  EXPECT_DOUBLE_EQ(A, 0.25) << "one of four bilinear neighbours lies on the 1 x 1 picture";
  EXPECT_DOUBLE_EQ(R, 0x56 * 0.25) << "premultiplied";
}

TEST(BitmapMapperTest, KernelEndsSamplesAtStepOneInsideAnOpaquePicture) {
  // The default use (-1..1 both ways, smooth) with a fully opaque 8 x 8 BMP picture. With z^2 and
  // c = 0, the first step w = z^2 lands well inside the rectangle for |z| < 0.6.
  BitmapsProps props;
  std::vector<std::uint32_t> colors(64, 0x00204060);
  props.Files.front().SetPicture(MakePicture(8, 8, colors), PictureFormat::Bmp, false);
  props.ResolveUses();
  ASSERT_TRUE(props.IsActive());
  const TBitmapMapper mapper(props);

  TKernelParams params;
  params.xResolution = params.yResolution = 24;
  params.cr = params.ci = 0;
  params.maxDepth = 50;
  params.maxCycle = 0;
  std::string error;
  auto result = TFractResult::Create(24, 24, 0, true, error);
  ASSERT_TRUE(result) << error;
  auto kernel = TFractKernel::Create(params, &mapper, error);
  ASSERT_TRUE(kernel) << error;
  kernel->ComputeColumns(*result, 0, 24);

  int inside = 0, outside = 0;
  for (int x = 0; x < 24; ++x) {
    for (int y = 0; y < 24; ++y) {
      const double zr = PlanePosition(params.left, params.right, x, 24);
      const double zi = PlanePosition(params.top, params.bottom, y, 24);
      const double r2 = zr * zr + zi * zi;
      const double wr = zr * zr - zi * zi;
      const double wi = 2 * zr * zi;
      const std::uint32_t color = result->GetColor(x, y);
      if (r2 < 0.36) {
        ++inside;
        EXPECT_EQ(result->GetDepth(x, y), 1.0f / 50) << x << "," << y;
        EXPECT_EQ(color >> 24, 255u);
        EXPECT_NEAR(static_cast<double>(color & 0xFF), 0x60, 1);
        EXPECT_NEAR(static_cast<double>((color >> 16) & 0xFF), 0x20, 1);
      } else if (std::abs(wr) > 1.25 || std::abs(wi) > 1.25) {
        ++outside;  // the first step lies more than a pixel outside: the sample goes on
        EXPECT_GT(result->GetDepth(x, y), 1.0f / 50) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_GT(outside, 50);
}

TEST(BitmapMapperConcurrency, EngineWorkersShareOneMapperAndAgreeWithOneKernel) {
  BitmapsProps props;
  std::vector<std::uint32_t> colors(16 * 16);
  std::vector<std::uint8_t> alpha(16 * 16);
  for (std::size_t i = 0; i < colors.size(); ++i) {
    colors[i] = static_cast<std::uint32_t>(i * 0x010307);
    alpha[i] = static_cast<std::uint8_t>(i * 7);
  }
  props.Files.front().SetPicture(MakePicture(16, 16, colors, alpha), PictureFormat::Tif, false);
  props.Uses.front().DepthModulo.SetValue(2);
  props.Uses.emplace_back().BmpReciproke = true;
  props.ResolveUses();
  const TBitmapMapper mapper(props);

  TKernelParams params;
  params.xResolution = params.yResolution = 64;
  params.maxDepth = 40;
  std::string error;
  auto single = TFractResult::Create(64, 64, params.maxCycle, true, error);
  auto shared = TFractResult::Create(64, 64, params.maxCycle, true, error);
  ASSERT_TRUE(single && shared) << error;
  auto kernel = TFractKernel::Create(params, &mapper, error);
  ASSERT_TRUE(kernel) << error;
  kernel->ComputeColumns(*single, 0, 64);
  TThreadVolumeWriter engine;
  ASSERT_TRUE(engine.Start(params, *shared, &mapper, 3, {}, error)) << error;
  engine.Wait();

  int painted = 0;
  for (int x = 0; x < 64; ++x) {
    for (int y = 0; y < 64; ++y) {
      ASSERT_EQ(single->GetColor(x, y), shared->GetColor(x, y)) << x << "," << y;
      ASSERT_EQ(single->GetDepth(x, y), shared->GetDepth(x, y)) << x << "," << y;
      painted += single->GetColor(x, y) != 0;
    }
  }
  EXPECT_GT(painted, 500);
}
