#include "app/DocumentCommands.h"

#include <gtest/gtest.h>

#include "DocumentTestSupport.h"
#include "app/BusyIndicator.h"
#include "app/DialogFilter.h"
#include "app/TUnitFract.h"

namespace {

using Answer = Interaction::Answer;

// Counts the wait cursor and fails a test on nesting, as the desktop program's cursor does.
struct CountingBusy : BusyIndicator {
  void BeginWait() override {
    EXPECT_FALSE(waiting) << "wait cursor nested";
    waiting = true;
    ++waits;
  }
  void EndWait() override { waiting = false; }
  bool waiting = false;
  int waits = 0;
};

struct CommandLineCase {
  std::string argument;
  StartupTarget::Kind kind;
  std::vector<std::string> messages;
};

TEST(CommandLineTarget, ExtensionIsTakenAfterTheLastDotOfTheFileName) {
  const CommandLineCase cases[] = {
      {"a.b.kvf", StartupTarget::Kind::Fractal, {}},
      {"/home/u/my.fractals/spiral.kvf", StartupTarget::Kind::Fractal, {}},
      {"A.KVF", StartupTarget::Kind::Fractal, {}},
      {"work.orp", StartupTarget::Kind::Project, {}},
      {"x.tif", StartupTarget::Kind::None, {"Invalid extension \"tif\" used."}},
      {"shared/picture.png", StartupTarget::Kind::Fractal, {}},
      {"noext", StartupTarget::Kind::None,
       {"Cannot read the file: \"noext\" File has no extension", "Invalid extension \"noext\" used."}},
      {"/my.dir/plain", StartupTarget::Kind::None,
       {"Cannot read the file: \"/my.dir/plain\" File has no extension",
        "Invalid extension \"/my.dir/plain\" used."}},
  };
  for (const CommandLineCase& c : cases) {
    ScriptedInteraction ui;
    const StartupTarget target = CommandLineTarget(c.argument, ui);
    EXPECT_EQ(target.kind, c.kind) << c.argument;
    EXPECT_EQ(ui.Texts(), c.messages) << c.argument;
    for (const auto& shown : ui.shown) EXPECT_EQ(shown.title, "File Error");
    if (c.kind != StartupTarget::Kind::None) {
      EXPECT_EQ(target.file, c.argument);
    }
  }
}

class DocumentCommandsTest : public ::testing::Test {
 protected:
  TempFolder folder;
  ScriptedInteraction ui;
  CountingBusy busy;
};

TEST_F(DocumentCommandsTest, SaveAsReportsAFailedWriteAndKeepsTheDocument) {
  TUnitFract document("NONAME1", "");
  ui.saveAnswers = {folder.File("missing/x.kvf")};
  EXPECT_FALSE(SaveFractAs(document, ui, busy));
  EXPECT_TRUE(document.IsNew());
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[1].title, "FileError");
  EXPECT_EQ(ui.shown[0].title, "Save Fractal");

  ui.saveAnswers = {""};  // cancelled
  EXPECT_FALSE(SaveFractAs(document, ui, busy));

  ui.saveAnswers = {folder.File("x.kvf")};
  EXPECT_TRUE(SaveFractAs(document, ui, busy));
  EXPECT_EQ(document.Caption(), "NONAME1 - " + folder.File("x.kvf"));
  EXPECT_FALSE(document.NeedsSave());
  EXPECT_EQ(FileBytes(folder.File("x.kvf")), DocumentText(document.Content));
  EXPECT_FALSE(busy.waiting);
}

TEST_F(DocumentCommandsTest, CloseQueryAnswers) {
  struct Case {
    std::deque<Answer> answers;
    std::string saveTo;  // for Yes: the Save As answer
    bool closes;
  } cases[] = {{{Answer::Cancel}, "", false},
               {{Answer::No}, "", true},
               {{Answer::Yes}, "", false},  // Save As cancelled
               {{Answer::Yes}, "missing/y.kvf", false},  // the write fails
               {{Answer::Yes}, "y.kvf", true}};
  for (const Case& c : cases) {
    TUnitFract document("NONAME3", "");
    ScriptedInteraction script;
    script.answers = c.answers;
    script.saveAnswers = {c.saveTo.empty() ? "" : folder.File(c.saveTo)};
    EXPECT_EQ(QueryCloseFract(document, script, busy), c.closes) << c.saveTo;
    ASSERT_FALSE(script.shown.empty());
    EXPECT_EQ(script.shown[0].title, "You have unsaved changes");
    EXPECT_EQ(script.shown[0].text,
              "Do you want to save the Fractal with name \"NONAME3\" to a new file?");
  }
  TUnitFract saved("", folder.File("y.kvf"));
  ScriptedInteraction quiet;
  EXPECT_TRUE(QueryCloseFract(saved, quiet, busy));
  EXPECT_TRUE(quiet.shown.empty());
}

TEST_F(DocumentCommandsTest, SaveWritesAChangedDocumentToItsFile) {
  const std::string file = folder.File("z.kvf");
  TUnitFract document("", file);
  document.Content.Fractal.MaxDepth = unitIntegerPosMore(77);
  document.SetChanged();
  EXPECT_TRUE(SaveFract(document, ui, busy));
  EXPECT_FALSE(document.NeedsSave());
  EXPECT_EQ(FileBytes(file), DocumentText(document.Content));
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DocumentCommandsTest, RevertRereadsTheFileOrReportsWhy) {
  const std::string file = folder.File("r.kvf");
  TUnitFract document("", file);
  ASSERT_TRUE(document.SaveDocument(file, ui));
  document.Content.Fractal.MaxDepth = unitIntegerPosMore(12);
  document.SetChanged();
  EXPECT_TRUE(RevertFract(document, ui, busy));
  EXPECT_EQ(document.Content.Fractal.MaxDepth.GetValue(), 100);
  EXPECT_FALSE(document.NeedsSave());

  document.SetChanged();
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(file, "not a document", error)) << error;
  EXPECT_FALSE(RevertFract(document, ui, busy));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "File Error");
  EXPECT_EQ(ui.shown[0].text.rfind("Cannot revert the file: \"" + file + "\", ", 0), 0u);
  EXPECT_TRUE(document.Changed);
}

TEST_F(DocumentCommandsTest, ExportNamesTheRefusedExtension) {
  TUnitFract document("NONAME1", "");
  document.Content.Fractal.XResolution = unitIntegerPosMore(16);
  document.Content.Fractal.YResolution = unitIntegerPosMore(16);
  std::string error;
  ASSERT_TRUE(document.Computation.Restart(document.Content, 1, {}, error)) << error;
  document.Computation.NewBitmap();
  document.Computation.Wait();
  ui.saveAnswers = {folder.File("x.TIF"), ""};
  ExportFract(document, ui, busy);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].title, "Export to Bitmap");
  EXPECT_EQ(ui.shown[1].title, "File Error");
  EXPECT_EQ(ui.shown[1].text, "Cannot export file \"" + folder.File("x.TIF") +
                                  "\". Cannot export pictures to filename with extension \"TIF\".");
  ExportFract(document, ui, busy);  // cancelled: nothing more shown
  EXPECT_EQ(ui.shown.size(), 3u);
  EXPECT_FALSE(busy.waiting);
}

TEST(JuliaProps, TheClickedPointBecomesTheMappedConstant) {
  struct Case {
    EMapVar map;
    double cr, ci, dr, di;
  } cases[] = {{MapC, 0.25, -0.5, -0.3, -0.3}, {MapD, -0.122561, -0.744862, 0.25, -0.5},
               {MapZ, -0.122561, -0.744862, -0.3, -0.3}};
  for (const Case& c : cases) {
    TFractProps clicked;
    clicked.MapVar = c.map;
    const TFractProps julia = JuliaProps(clicked, 0.25, -0.5);
    EXPECT_EQ(julia.MapVar, MapZ);
    EXPECT_EQ(julia.CR.GetValue(), c.cr);
    EXPECT_EQ(julia.CI.GetValue(), c.ci);
    EXPECT_EQ(julia.DR.GetValue(), c.dr);
    EXPECT_EQ(julia.DI.GetValue(), c.di);
    EXPECT_EQ(julia.Left.GetValue(), -1.6);
    EXPECT_EQ(julia.Right.GetValue(), 1.6);
    EXPECT_EQ(julia.Top.GetValue(), 1.4);
    EXPECT_EQ(julia.Bottom.GetValue(), -1.4);
  }
}

TEST(NameFilters, DialogFiltersBecomeToolkitFilters) {
  EXPECT_EQ(NameFilters(OpenFractalDialog().filter),
            (std::vector<std::string>{"Fractals (*.kvf)", "Fractal pictures (*.png)", "All files (*)"}));
  EXPECT_EQ(NameFilters(SaveFractalDialog().filter),
            (std::vector<std::string>{"Fractals (*.kvf)", "All files (*)"}));
  EXPECT_EQ(NameFilters("Pictures|*.bmp;*.tif"), (std::vector<std::string>{"Pictures (*.bmp *.tif)"}));
  EXPECT_TRUE(NameFilters("").empty());
}

}  // namespace
