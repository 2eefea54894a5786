// Rendered pictures pinned by checksum: every kernel path and thread count, and korvana-render
// itself, must give exactly the bytes these documents gave when they were pinned. A change of
// the engine, the colouring or the writers that moves one pixel fails here.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "../app/DocumentTestSupport.h"
#include "TestFiles.h"
#include "app/TFractalContent.h"
#include "cli/RenderCommand.h"
#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/BmpFile.h"
#include "files/TifImage.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"
#include "fractal/TThreadVolumeWriter.h"
#include "view/TResultRenderer.h"

namespace {

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 0xcbf29ce484222325ull) {
  for (unsigned char c : bytes) hash = (hash ^ c) * 0x100000001b3ull;
  return hash;
}

struct Pinned {
  const char* name;
  int formula;
  EMapVar mapVar;
  double left, right, top, bottom;
  int maxDepth, maxCycle;
  ECycleSelection selection;
  int valuesPerPixel, width, height;
  std::uint64_t bmp;     // the BMP file of the window's pixels
  std::uint64_t export_; // the exported colours and opacities (what a TIFF holds)
};

// Vector-kernel formulas with short and long histories, supersampling, a scalar-only formula.
const Pinned kPinned[] = {
    {"mandelbrot", 0, MapC, -2.0, 1.0, 1.5, -1.5, 1000, 3, DepthLowest, 1, 301, 203,
     17418497630434660482ull, 10891826527477768673ull},
    {"julia cubic, cycles", 1, MapZ, -1.5, 1.5, 1.5, -1.5, 400, 7, CycleHighest, 2, 250, 170,
     11595021580604867205ull, 14117081905233430487ull},
    {"quartic mandelbrot", 2, MapC, -1.6, 1.2, 1.3, -1.3, 300, 0, CycleLowest, 1, 190, 211,
     8048939812813430451ull, 16959763649476260782ull},
    {"sine julia", 10, MapZ, -3.0, 3.0, 2.0, -2.0, 80, 3, CycleLowest, 3, 180, 120,
     3949999498580715242ull, 8816132234960439102ull},
};

TFractalContent Content(const Pinned& p) {
  TFractalContent content;
  TFractProps& f = content.Fractal;
  f.Formula = static_cast<std::uint8_t>(p.formula);
  f.MapVar = p.mapVar;
  f.Left = unitFactor(p.left);
  f.Right = unitFactor(p.right);
  f.Top = unitFactor(p.top);
  f.Bottom = unitFactor(p.bottom);
  f.MaxDepth = unitIntegerPosMore(p.maxDepth);
  f.MaxCycle = unitIntegerPos(p.maxCycle);
  f.CycleSelection = p.selection;
  f.XResolution = unitIntegerPosMore(p.width);
  f.YResolution = unitIntegerPosMore(p.height);
  content.View.ValuesPerPixel = unitIntegerPosMore(p.valuesPerPixel);
  return content;
}

std::uint64_t ExportHash(const TFractResult& result, const TFractalContent& content) {
  TifImage image;
  std::string error;
  if (!TResultRenderer(content.View, content.Fractal.MaxCycle.GetValue())
           .RenderExport(result, image, error, 2)) {
    ADD_FAILURE() << error;
    return 0;
  }
  const auto& colors = image.Colors();
  const auto& alpha = image.Alpha();
  const std::uint64_t hash = Fnv1a(std::string_view(reinterpret_cast<const char*>(colors.data()),
                                                    colors.size() * sizeof colors[0]));
  return Fnv1a(std::string_view(reinterpret_cast<const char*>(alpha.data()), alpha.size()), hash);
}

TEST(PinnedPictures, EveryPathAndThreadCountGivesThePinnedPixels) {
  for (const Pinned& p : kPinned) {
    for (KernelPath path : {KernelPath::Scalar, KernelPath::AVX2, KernelPath::AVX512}) {
      if (!CpuSupportsPath(path)) continue;
      for (int threads : {1, 3}) {
        SCOPED_TRACE(std::string(p.name) + ", " + KernelPathName(path) + ", " +
                     std::to_string(threads) + " threads");
        TFractalContent content = Content(p);
        std::string error;
        auto result = TFractResult::Create(content.Fractal, false, error);
        ASSERT_TRUE(result) << error;
        TThreadVolumeWriter engine;
        ASSERT_TRUE(engine.Start(TKernelParams::FromProps(content.Fractal, path), *result,
                                 nullptr, threads, {}, error))
            << error;
        engine.Wait();
        ASSERT_TRUE(NewBitmap(*result, content.View, error)) << error;
        PaintNewColumns(*result, content.View, content.Fractal.MaxCycle.GetValue(), {}, threads);
        EXPECT_EQ(Fnv1a(BmpFile::Encode(*result->GetBitmap())), p.bmp);
        EXPECT_EQ(ExportHash(*result, content), p.export_);
      }
    }
  }
}

TEST(PinnedPictures, KorvanaRenderWritesThePinnedBmp) {
  TempFolder folder;
  for (const Pinned& p : kPinned) {
    SCOPED_TRACE(p.name);
    const std::string document = folder.File("pinned.kvf");
    const std::string picture = folder.File("pinned.bmp");
    std::string reason;
    ASSERT_TRUE(WriteFileAtomically(document, DocumentText(Content(p)), reason)) << reason;
    RenderOptions options;
    options.document = document;
    options.output = picture;
    options.threads = 2;
    options.quiet = true;
    ASSERT_EQ(RunRender(options, stderr, false), 0);
    EXPECT_EQ(Fnv1a(FileBytes(picture)), p.bmp);
  }
}

}  // namespace
