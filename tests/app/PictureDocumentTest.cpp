#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "app/PictureExport.h"
#include "app/TUnitFract.h"
#include "common/Bitmap24.h"
#include "files/PngFile.h"

namespace {

TFractalContent Julia() {
  TFractalContent content;
  content.Fractal.XResolution = unitIntegerPosMore(40);
  content.Fractal.YResolution = unitIntegerPosMore(30);
  content.Fractal.Left = unitFactor(-0.743643887037151);
  content.Fractal.Right = unitFactor(-0.743643887037151 + 1.0000000000000002e-3);
  content.View.ValuesPerPixel = unitIntegerPosMore(2);
  return content;
}

void Compute(TUnitFract& document) {
  std::string error;
  ASSERT_TRUE(document.Computation.Restart(document.Content, 2, {}, error)) << error;
  document.Computation.NewBitmap();
  document.Computation.Wait();
}

TEST(PictureDocument, ExportedPngOpensAsTheSameFractal) {
  TempFolder folder;
  ScriptedInteraction ui;
  TUnitFract original("NONAME1", "");
  original.Content = Julia();
  Compute(original);
  std::string error;
  ASSERT_TRUE(original.ExportPicture(folder.File("p.png"), ui, error)) << error;
  ASSERT_TRUE(original.ExportPicture(folder.File("a.bmp"), ui, error)) << error;

  TUnitFract reopened("", folder.File("p.png"));
  ASSERT_TRUE(reopened.LoadDocument(error)) << error;
  EXPECT_EQ(DocumentText(reopened.Content), DocumentText(original.Content));
  Compute(reopened);
  ASSERT_TRUE(reopened.ExportPicture(folder.File("b.bmp"), ui, error)) << error;
  EXPECT_EQ(FileBytes(folder.File("b.bmp")), FileBytes(folder.File("a.bmp")));
  EXPECT_TRUE(ui.shown.empty());
}

TEST(PictureDocument, PngsWithoutADocumentAreRefused) {
  TempFolder folder;
  std::string error;
  ASSERT_TRUE(PngFile::Write(folder.File("plain.png"), Bitmap24(4, 4), error)) << error;
  ASSERT_TRUE(PngFile::Write(folder.File("bad.png"), Bitmap24(4, 4), error, "<UnitFractal>"));
  struct Case {
    const char* file;
    std::string start;
  } cases[] = {{"plain.png", "the PNG picture holds no Korvana document."},
               {"bad.png", ""}};  // a chunk that is no document: the XML reader's message
  for (const Case& c : cases) {
    TFractalContent content;
    std::string message;
    EXPECT_FALSE(LoadFractalDocument(content, folder.File(c.file), message)) << c.file;
    EXPECT_FALSE(message.empty());
    EXPECT_EQ(message.rfind(c.start, 0), 0u) << message;
  }
}

}  // namespace
