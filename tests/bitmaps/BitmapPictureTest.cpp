#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "BitmapTestSupport.h"
#include "bitmaps/BitmapFileProps.h"
#include "bitmaps/BitmapPictureSet.h"
#include "common/SafeFile.h"
#include "files/TifFileWriter.h"

namespace fs = std::filesystem;

namespace {

std::uint32_t PreviewPixel(const Bitmap24& preview, int x, int y) {
  const std::uint8_t* p = preview.Pixel(x, y);
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
}

}  // namespace

TEST(BitmapPictureTest, AssociatedAlphaBecomesStraightColourClampedAt255) {
  struct Case {
    std::uint32_t color;
    std::uint8_t alpha;
    std::uint32_t stored;
  };
  const std::vector<Case> cases = {
      {0x000000 | 50 << 8 | 100, 128, 0x000000 | 99 << 8 | 199},
      {0x00C8C8C8, 100, 0x00FFFFFF},  // channels above their alpha clamp instead of wrapping
      {0x00102030, 0, 0x00102030},
      {0x00102030, 255, 0x00102030},
      {0x00010101, 1, 0x00FFFFFF},
  };
  for (const Case& c : cases) {
    const auto set =
        BitmapPictureSet::FromPicture(MakePicture(1, 1, {c.color}, {c.alpha}), PictureFormat::Tif);
    EXPECT_EQ((*set.BmpShadowRGB)[0], c.stored) << std::hex << c.color;
    EXPECT_EQ((*set.BmpShadowTrans)[0], c.alpha);
  }
  TifImage straight = MakePicture(1, 1, {0x00C8C8C8}, {100});
  straight.SetAlphaAssociated(false);
  EXPECT_EQ((*BitmapPictureSet::FromPicture(straight, PictureFormat::Tif).BmpShadowRGB)[0],
            0x00C8C8C8u)
      << "straight alpha is kept";
}

TEST(BitmapPictureTest, PlanesAreColumnMajorAndBmpHasNoTransparency) {
  const TifImage image = MakePicture(3, 2, {1, 2, 3, 4, 5, 6}, {0, 255, 0, 255, 0, 255});
  const auto tif = BitmapPictureSet::FromPicture(image, PictureFormat::Tif);
  EXPECT_EQ(*tif.BmpShadowRGB, (std::vector<std::uint32_t>{1, 4, 2, 5, 3, 6}));
  EXPECT_EQ(*tif.BmpShadowTrans, (std::vector<std::uint8_t>{0, 255, 255, 0, 0, 255}));
  EXPECT_EQ(tif.Width, 3);
  EXPECT_EQ(tif.Height, 2);
  EXPECT_EQ(tif.BmpUse->width, 431);
  EXPECT_EQ(tif.BmpUse->height, 359);

  const auto bmp =
      BitmapPictureSet::FromPicture(MakePicture(3, 2, {1, 2, 3, 4, 5, 6}), PictureFormat::Bmp);
  EXPECT_EQ(bmp.BmpShadowTrans, nullptr);
  EXPECT_EQ(bmp.BmpUse->width, 433);
  EXPECT_EQ(bmp.BmpUse->height, 361);
}

TEST(BitmapPictureTest, PreviewCentresThePictureAndShowsAlphaOverACheckerboard) {
  // 431 x 359 at scale 1: preview pixel (i, j) is picture pixel (i, j).
  std::vector<std::uint32_t> colors(431 * 359, 0x00406080);
  std::vector<std::uint8_t> alpha(431 * 359, 255);
  alpha[0] = 0;             // (0, 0): grey square
  alpha[20] = 0;            // (20, 0): white square
  colors[21] = 0x00323232;  // (21, 0): straight 99 at alpha 128 over white
  alpha[21] = 128;
  const auto tif =
      BitmapPictureSet::FromPicture(MakePicture(431, 359, colors, alpha), PictureFormat::Tif);
  EXPECT_EQ(PreviewPixel(*tif.BmpUse, 0, 0), 0x00BBBBBBu);
  EXPECT_EQ(PreviewPixel(*tif.BmpUse, 20, 0), 0x00FFFFFFu);
  // trunc(99 * 128 / 255 + 255 * (1 - 128 / 255)) = 176.
  EXPECT_EQ(PreviewPixel(*tif.BmpUse, 21, 0), 0x00B0B0B0u);
  EXPECT_EQ(PreviewPixel(*tif.BmpUse, 430, 358), 0x00406080u);

  // A 10 x 361 BMP in a 433 x 361 preview: offset -211.5, truncated toward zero.
  std::vector<std::uint32_t> narrow(10 * 361);
  for (std::size_t i = 0; i < narrow.size(); ++i) narrow[i] = 0x010000u * (i % 10 + 1);
  const auto bmp = BitmapPictureSet::FromPicture(MakePicture(10, 361, narrow), PictureFormat::Bmp);
  EXPECT_EQ(PreviewPixel(*bmp.BmpUse, 210, 5), 0u);
  EXPECT_EQ(PreviewPixel(*bmp.BmpUse, 211, 5), 0x010000u);
  EXPECT_EQ(PreviewPixel(*bmp.BmpUse, 221, 5), 0x0A0000u);
  EXPECT_EQ(PreviewPixel(*bmp.BmpUse, 222, 5), 0u);

  // A picture larger than the preview is scaled down: s = 2.
  std::vector<std::uint32_t> large(862 * 718);
  for (int row = 0; row < 718; ++row) large[static_cast<std::size_t>(row) * 862 + 6] = 0xFFu;
  const auto scaled =
      BitmapPictureSet::FromPicture(MakePicture(862, 718, large), PictureFormat::Tif);
  EXPECT_EQ(PreviewPixel(*scaled.BmpUse, 3, 100), 0xFFu);
  EXPECT_EQ(PreviewPixel(*scaled.BmpUse, 4, 100), 0u);
}

TEST(BitmapPictureTest, LoadKeepsTheNameAsEnteredAndFailureLeavesTheSetAlone) {
  const fs::path dir = fs::temp_directory_path() / ("korvana-bmpload-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string error;
  const std::string tif =
      TifFileWriter("Korvana", "2.1")
          .Encode(MakePicture(2, 1, {0x00000064, 0x00FFFFFF}, {128, 255}), "2024:01:01 00:00:00");
  ASSERT_TRUE(WriteFileAtomically((dir / "p.tif").string(), tif, error));

  BitmapFileProps file;
  std::string resolved;
  ASSERT_TRUE(file.Load((dir / "doc.kvf").string(), "p.tif", true, error, &resolved)) << error;
  EXPECT_EQ(file.BmpFile, "p.tif");
  EXPECT_EQ(resolved, (dir / "p.tif").string());
  EXPECT_TRUE(file.Old.IsEmpty());
  EXPECT_EQ((*file.New.BmpShadowRGB)[0], 199u);

  const auto planes = file.New.BmpShadowRGB;
  EXPECT_FALSE(file.Load((dir / "doc.kvf").string(), "p.png", true, error));
  EXPECT_EQ(error, "Cannot load picture filename \"" + (dir / "p.png").string() +
                       "\". Cannot load pictures with filename with extension \"png\".");
  EXPECT_EQ(file.New.BmpShadowRGB, planes);
  EXPECT_EQ(file.BmpFile, "p.tif");
  fs::remove_all(dir);
}
