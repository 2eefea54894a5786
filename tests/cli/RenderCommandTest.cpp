#include "cli/RenderCommand.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../app/DocumentTestSupport.h"
#include "app/TFractComputation.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "files/TifFileFacade.h"
#include "files/TifImage.h"
#include "view/TResultRenderer.h"

namespace {

namespace fs = std::filesystem;

// A stream for the renderer's messages whose text can be read back.
class MessageStream {
 public:
  MessageStream() : file_(std::tmpfile()) {}
  ~MessageStream() { std::fclose(file_); }
  MessageStream(const MessageStream&) = delete;
  MessageStream& operator=(const MessageStream&) = delete;

  std::FILE* get() const { return file_; }
  std::string Text() const {
    std::fflush(file_);
    std::rewind(file_);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file_)) > 0;) text.append(buffer, n);
    return text;
  }

 private:
  std::FILE* file_;
};

RenderOptions Options(const std::string& document, const std::string& output) {
  RenderOptions options;
  options.document = document;
  options.output = output;
  options.threads = 2;
  return options;
}

// A small document whose samples at the maximum depth are half transparent.
TFractalContent SmallDocument() {
  TFractalContent content;
  content.Fractal.XResolution = unitIntegerPosMore(64);
  content.Fractal.YResolution = unitIntegerPosMore(40);
  content.View.ValuesPerPixel = unitIntegerPosMore(2);
  content.View.MaxDepthTransFactor = unitFactorPosMax1(0.5);
  return content;
}

std::string Saved(const TFractalContent& content, const std::string& fileName) {
  ScriptedInteraction ui;
  EXPECT_TRUE(SaveFractalDocument(content, fileName, ui));
  return fileName;
}

TEST(RenderCommand, DefaultFractalRendersToBmp) {
  TempFolder folder;
  MessageStream messages;
  EXPECT_EQ(RunRender(Options("", folder.File("new.bmp")), messages.get(), false), 0);
  EXPECT_EQ(messages.Text(), "");
  TifImage picture;
  std::string error;
  ASSERT_TRUE(BmpFile::Read(folder.File("new.bmp"), picture, error)) << error;
  EXPECT_EQ(picture.GetWidth(), 300);
  EXPECT_EQ(picture.GetHeight(), 300);
}

TEST(RenderCommand, DocumentRendersToTifWithOpacity) {
  TempFolder folder;
  MessageStream messages;
  TFractalContent content = SmallDocument();
  const std::string document = Saved(content, folder.File("small.kvf"));
  EXPECT_EQ(RunRender(Options(document, folder.File("small.tif")), messages.get(), false), 0);
  EXPECT_EQ(messages.Text(), "");

  TifImage picture;
  std::string error;
  TifFileFacade tiff{"Korvana", "2.1"};
  ASSERT_TRUE(tiff.Read(folder.File("small.tif"), picture, error)) << error;
  ASSERT_TRUE(picture.HasAlpha());
  EXPECT_EQ(picture.GetWidth(), 32);
  EXPECT_EQ(picture.GetHeight(), 20);
  // The same document computed here renders to the same picture.
  TFractComputation computation;
  ASSERT_TRUE(computation.Restart(content, 1, {}, error)) << error;
  computation.Wait();
  TifImage expected;
  TResultRenderer(content.View, content.Fractal.MaxCycle.GetValue())
      .RenderExport(*computation.Result(), expected);
  EXPECT_EQ(picture.Colors(), expected.Colors());
  EXPECT_EQ(picture.Alpha(), expected.Alpha());
}

TEST(RenderCommand, RenderedDocumentCanBeSavedAndLoadsAgain) {
  TempFolder folder;
  MessageStream messages;
  TFractalContent content = SmallDocument();
  content.Fractal.Formula = 4;
  content.Fractal.MapVar = MapD;
  RenderOptions options = Options(Saved(content, folder.File("in.kvf")), folder.File("out.png"));
  options.saveDocument = folder.File("out.kvf");
  EXPECT_EQ(RunRender(options, messages.get(), false), 0);
  EXPECT_EQ(messages.Text(), "");
  EXPECT_TRUE(fs::exists(folder.File("out.png")));
  TFractalContent read;
  std::string message;
  ASSERT_TRUE(LoadFractalDocument(read, folder.File("out.kvf"), message)) << message;
  EXPECT_EQ(read.Fractal, content.Fractal);
  EXPECT_EQ(FileBytes(folder.File("out.kvf")), FileBytes(folder.File("in.kvf")));
}

TEST(RenderCommand, FailuresExitWithOneAndSayWhy) {
  TempFolder folder;
  const std::string missing = folder.File("missing.kvf");
  const std::string small = Saved(SmallDocument(), folder.File("small.kvf"));
  const std::string jpg = folder.File("x.jpg");
  const struct {
    RenderOptions options;
    std::string text;
  } cases[] = {
      {Options(missing, folder.File("a.bmp")),
       "korvana-render: Cannot read the file: \"" + missing + "\", cannot open file.\n"},
      {Options(small, jpg), "korvana-render: Cannot export file \"" + jpg +
                                "\". Cannot export pictures to filename with extension \"jpg\".\n"},
      {Options(small, folder.File("no/a.bmp")),
       "korvana-render: Cannot export file \"" + folder.File("no/a.bmp") + "\". Cannot open File.\n"},
  };
  for (const auto& c : cases) {
    MessageStream messages;
    EXPECT_EQ(RunRender(c.options, messages.get(), false), 1) << c.text;
    EXPECT_EQ(messages.Text(), c.text);
  }
  EXPECT_FALSE(fs::exists(folder.File("a.bmp")));

  MessageStream messages;
  RenderOptions unsaved = Options(small, folder.File("b.bmp"));
  unsaved.saveDocument = folder.File("no/out.kvf");
  EXPECT_EQ(RunRender(unsaved, messages.get(), false), 1);
  EXPECT_EQ(messages.Text(),
            "korvana-render: Cannot save Fractal File: Operating System cannot open file for "
            "writing, maybe the file is readonly..\n");
}

// A 1 x 1 opaque red picture mapped onto the whole plane paints every sample red.
TFractalContent RedPictureDocument(const std::string& pictureFile) {
  TFractalContent content = SmallDocument();
  content.Bitmaps.Files.front().Name = "Red";
  content.Bitmaps.Files.front().BmpFile = pictureFile;
  BitmapUseProps& use = content.Bitmaps.Uses.front();
  use.BitmapName = "Red";
  use.BmpPixelSel = EBmpPixelSel::BmpPixelSelHard;
  use.Left = unitFactor(-1e9);
  use.Right = unitFactor(1e9);
  use.Top = unitFactor(1e9);
  use.Bottom = unitFactor(-1e9);
  return content;
}

TEST(RenderCommand, PicturesAreFoundBesideTheDocument) {
  TempFolder folder;
  fs::create_directories(folder.File("pictures"));
  Bitmap24 red(1, 1);
  red.rgb = {255, 0, 0};
  std::string error;
  ASSERT_TRUE(BmpFile::Write(folder.File("pictures/red.bmp"), red, error)) << error;
  const std::string document = Saved(RedPictureDocument("pictures/red.bmp"), folder.File("d.kvf"));
  MessageStream messages;
  EXPECT_EQ(RunRender(Options(document, folder.File("d.bmp")), messages.get(), false), 0);
  EXPECT_EQ(messages.Text(), "");
  TifImage picture;
  ASSERT_TRUE(BmpFile::Read(folder.File("d.bmp"), picture, error)) << error;
  EXPECT_EQ(picture.GetColor(0, 0), 0x0000FFu);
  EXPECT_EQ(picture.GetColor(31, 19), 0x0000FFu);
}

TEST(RenderCommand, MissingPictureIsRenderedWithoutButFailsTheRun) {
  TempFolder folder;
  const std::string document = Saved(RedPictureDocument("gone.bmp"), folder.File("d.kvf"));
  MessageStream messages;
  EXPECT_EQ(RunRender(Options(document, folder.File("d.bmp")), messages.get(), false), 1);
  EXPECT_EQ(messages.Text(), "korvana-render: Cannot load picture filename \"" +
                                 folder.File("gone.bmp") + "\". Cannot open File.\n");
  EXPECT_TRUE(fs::exists(folder.File("d.bmp")));
}

TEST(RenderCommand, ProgressEndsWithTheWholeLine) {
  TempFolder folder;
  MessageStream messages;
  EXPECT_EQ(RunRender(Options(Saved(SmallDocument(), folder.File("s.kvf")), folder.File("s.bmp")),
                      messages.get(), true),
            0);
  const std::string text = messages.Text();
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(text.front(), '\r');
  EXPECT_EQ(text.back(), '\n');
  EXPECT_NE(text.find("[##############################] 100%"), std::string::npos) << text;
}

#ifdef KORVANA_RENDER_PROGRAM
// Runs the program with a shell command line; returns its exit status and what it printed.
int RunProgram(const std::string& arguments, std::string& output, const TempFolder& folder) {
  const std::string log = folder.File("output.txt");
  const std::string command =
      std::string("'") + KORVANA_RENDER_PROGRAM + "' " + arguments + " > '" + log + "' 2>&1";
  const int status = std::system(command.c_str());
  output = FileBytes(log);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(RenderProgram, UsageErrorsExitWithTwo) {
  TempFolder folder;
  std::string output;
  EXPECT_EQ(RunProgram("--fast -o x.bmp", output, folder), 2);
  EXPECT_EQ(output.rfind("korvana-render: unknown option --fast\nUsage: korvana-render", 0), 0u)
      << output;
  EXPECT_EQ(RunProgram("doc.kvf", output, folder), 2);
  EXPECT_EQ(output.rfind("korvana-render: no output picture given (-o FILE)\n", 0), 0u) << output;
  EXPECT_EQ(RunProgram("--version", output, folder), 0);
  EXPECT_EQ(output, "korvana-render (Korvana 2.1)\n");
  EXPECT_EQ(RunProgram("-q -t 1 -o '" + folder.File("p.bmp") + "'", output, folder), 0);
  EXPECT_EQ(output, "");
  EXPECT_TRUE(fs::exists(folder.File("p.bmp")));
}
#endif

}  // namespace
