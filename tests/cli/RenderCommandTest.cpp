#include "cli/RenderCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "../app/DocumentTestSupport.h"
#include "app/TFractComputation.h"
#include "common/Bitmap24.h"
#include "common/SafeFile.h"
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

struct FailureCase {
  const char* what;
  // Makes the files of the case in dir and returns the options and the expected message.
  std::function<std::pair<RenderOptions, std::string>(const std::string& dir)> make;
};

std::string Document(const std::string& dir, TFractalContent content) {
  return Saved(content, dir + "/d.kvf");
}

std::string Quote(const std::string& file) { return "\"" + file + "\""; }

// Every failure exits with 1, names its file with one full stop at the end, and leaves the
// existing output picture (keep.bmp or keep.png, holding "old") as it was: whatever can be
// checked is checked before computing, and the pictures of the document are loaded first.
TEST(RenderCommand, FailuresNameTheirFileAndLeaveTheOutputUntouched) {
  const std::string noSpace = std::string("Cannot write File: ") + std::strerror(ENOSPC) + ".";
  const std::string readOnly =
      "Operating System cannot open file for writing, maybe the file is readonly.";
  const FailureCase cases[] = {
      {"unknown extension",
       [](const std::string& d) {
         return std::pair{Options(Document(d, SmallDocument()), d + "/x.jpg"),
                          "Cannot export file " + Quote(d + "/x.jpg") +
                              ". Cannot export pictures to filename with extension \"jpg\"."};
       }},
      {"missing output folder",
       [](const std::string& d) {
         return std::pair{Options(Document(d, SmallDocument()), d + "/no/a.bmp"),
                          "Cannot export file " + Quote(d + "/no/a.bmp") + ". The folder " +
                              Quote(d + "/no") + " does not exist."};
       }},
      {"read-only output",
       [readOnly](const std::string& d) {
         fs::permissions(d + "/keep.bmp", fs::perms::owner_read | fs::perms::others_read);
         return std::pair{Options(Document(d, SmallDocument()), d + "/keep.bmp"),
                          "Cannot export file " + Quote(d + "/keep.bmp") + ". " + readOnly};
       }},
      {"document into a missing folder",
       [](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/keep.bmp");
         options.saveDocument = d + "/no/out.kvf";
         return std::pair{options, "Cannot save Fractal File " + Quote(d + "/no/out.kvf") +
                                       ": The folder " + Quote(d + "/no") + " does not exist."};
       }},
      {"document without .kvf",
       [](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/keep.bmp");
         options.saveDocument = d + "/out.txt";
         return std::pair{options, "Cannot save Fractal File " + Quote(d + "/out.txt") +
                                       ": The name must end in \".kvf\"."};
       }},
      {"read-only document",
       [readOnly](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/keep.bmp");
         options.saveDocument = d + "/ro.kvf";
         std::string error;
         WriteFileAtomically(options.saveDocument, "ro", error);
         fs::permissions(options.saveDocument, fs::perms::owner_read);
         return std::pair{options,
                          "Cannot save Fractal File " + Quote(options.saveDocument) + ": " + readOnly};
       }},
      {"document hard-linked to the picture",
       [](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/keep.png");
         options.saveDocument = d + "/same.kvf";
         fs::create_hard_link(d + "/keep.png", options.saveDocument);
         return std::pair{options, "The picture " + Quote(d + "/keep.png") + " and the document " +
                                       Quote(options.saveDocument) + " are the same file."};
       }},
      {"document linked to the picture",
       [](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/./keep.png");
         options.saveDocument = d + "/link.kvf";
         fs::create_symlink("keep.png", options.saveDocument);
         return std::pair{options, "The picture " + Quote(d + "/./keep.png") +
                                       " and the document " + Quote(options.saveDocument) +
                                       " are the same file."};
       }},
      {"picture without pixels",
       [](const std::string& d) {
         TFractalContent content = SmallDocument();
         content.View.ValuesPerPixel = unitIntegerPosMore(41);
         return std::pair{Options(Document(d, content), d + "/keep.bmp"),
                          "Cannot export file " + Quote(d + "/keep.bmp") +
                              ". The picture has no pixels: ValuesPerPixel is larger than the "
                              "resolution."};
       }},
      {"picture too large for BMP",
       [](const std::string& d) {
         TFractalContent content = SmallDocument();
         content.Fractal.XResolution = unitIntegerPosMore(53600);
         content.Fractal.YResolution = unitIntegerPosMore(53600);
         return std::pair{Options(Document(d, content), d + "/keep.bmp"),
                          "Cannot export file " + Quote(d + "/keep.bmp") +
                              ". Picture of 26800 x 26800 pixels is too large for a BMP file."};
       }},
      {"picture too large for PNG",
       [](const std::string& d) {
         TFractalContent content = SmallDocument();
         content.Fractal.XResolution = unitIntegerPosMore(76000);
         content.Fractal.YResolution = unitIntegerPosMore(76000);
         return std::pair{Options(Document(d, content), d + "/keep.png"),
                          "Cannot export file " + Quote(d + "/keep.png") +
                              ". Picture of 38000 x 38000 pixels is too large for a PNG file."};
       }},
      {"document is a FIFO",
       [](const std::string& d) {
         ::mkfifo((d + "/pipe.kvf").c_str(), 0644);
         return std::pair{Options(d + "/pipe.kvf", d + "/keep.bmp"),
                          "Cannot read the file: " + Quote(d + "/pipe.kvf") +
                              ", it is not a regular file."};
       }},
      {"missing picture",
       [](const std::string& d) {
         return std::pair{Options(Document(d, RedPictureDocument("gone.bmp")), d + "/keep.bmp"),
                          "Cannot load picture filename " + Quote(d + "/gone.bmp") +
                              ". Cannot open File."};
       }},
      {"missing TIFF picture",
       [](const std::string& d) {
         return std::pair{Options(Document(d, RedPictureDocument("gone.tif")), d + "/keep.bmp"),
                          "Cannot load picture filename " + Quote(d + "/gone.tif") +
                              ". Cannot open File."};
       }},
      {"picture is a FIFO",
       [](const std::string& d) {
         ::mkfifo((d + "/pipe.tif").c_str(), 0644);
         return std::pair{Options(Document(d, RedPictureDocument("pipe.tif")), d + "/keep.bmp"),
                          "Cannot load picture filename " + Quote(d + "/pipe.tif") +
                              ". Cannot open File: it is not a regular file."};
       }},
      {"picture onto a full disk",
       [noSpace](const std::string& d) {
         fs::create_symlink("/dev/full", d + "/full.bmp");
         return std::pair{Options(Document(d, SmallDocument()), d + "/full.bmp"),
                          "Cannot export file " + Quote(d + "/full.bmp") + ". " + noSpace};
       }},
      {"TIFF onto a full disk",
       [noSpace](const std::string& d) {
         fs::create_symlink("/dev/full", d + "/full.tif");
         return std::pair{Options(Document(d, SmallDocument()), d + "/full.tif"),
                          "Cannot export file " + Quote(d + "/full.tif") + ". " + noSpace};
       }},
      {"document onto a full disk",
       [noSpace](const std::string& d) {
         RenderOptions options = Options(Document(d, SmallDocument()), d + "/out.bmp");
         options.saveDocument = d + "/full.kvf";
         fs::create_symlink("/dev/full", options.saveDocument);
         return std::pair{options,
                          "Cannot save Fractal File " + Quote(options.saveDocument) + ": " + noSpace};
       }},
  };
  TempFolder folder;
  int index = 0;
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = folder.File("case" + std::to_string(index++));
    fs::create_directories(dir);
    std::string error;
    for (const char* keep : {"/keep.bmp", "/keep.png"}) {
      ASSERT_TRUE(WriteFileAtomically(dir + keep, "old", error)) << error;
    }
    auto [options, text] = c.make(dir);
    MessageStream messages;
    EXPECT_EQ(RunRender(options, messages.get(), false), 1);
    EXPECT_EQ(messages.Text(), "korvana-render: " + text + "\n");
    EXPECT_EQ(FileBytes(dir + "/keep.bmp"), "old");
    EXPECT_EQ(FileBytes(dir + "/keep.png"), "old");
    for (const auto& entry : fs::directory_iterator(dir)) {
      EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    }
  }
}

// A bitmap beyond the memory limit ends the run with the renderer's message, naming the picture,
// and writes nothing.
TEST(RenderCommand, BitmapBeyondTheMemoryLimitFailsAndWritesNothing) {
  TempFolder folder;
  const std::string output = folder.File("keep.bmp");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(output, "old", error));
  SetPictureMemoryLimit(32 * 20 * 3 - 1);
  MessageStream messages;
  const int status =
      RunRender(Options(Saved(SmallDocument(), folder.File("s.kvf")), output), messages.get(), false);
  SetPictureMemoryLimit(0);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(messages.Text(), "korvana-render: Cannot export file \"" + output +
                                 "\". Not enough memory for a picture of 32 x 20 pixels.\n");
  EXPECT_EQ(FileBytes(output), "old");
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
  for (const char* line : {"--quiet=no -o x.bmp", "-o a.bmp -o b.bmp", "--help=1",
                           "-o x.bmp -- a.kvf b.kvf"}) {
    EXPECT_EQ(RunProgram(line, output, folder), 2) << line;
    EXPECT_NE(output.find("Usage: korvana-render"), std::string::npos) << line;
  }
  EXPECT_EQ(RunProgram("--version", output, folder), 0);
  EXPECT_EQ(output, "korvana-render (Korvana 2.1)\n");
  EXPECT_EQ(RunProgram("-q -t 1 -o '" + folder.File("p.bmp") + "'", output, folder), 0);
  EXPECT_EQ(output, "");
  EXPECT_TRUE(fs::exists(folder.File("p.bmp")));
}
#endif

}  // namespace
