#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QWheelEvent>

#include "../app/DocumentTestSupport.h"
#include "GuiTestSupport.h"
#include "ScriptedInteraction.h"
#include "app/PictureExport.h"
#include "files/BmpFile.h"
#include "files/TifImage.h"
#include "app/TUnitFract.h"
#include "gui/HelpWindow.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "view/TResultRenderer.h"

namespace {

const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

using Answer = Interaction::Answer;

void Press(QWidget& widget, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
  QMouseEvent event(QEvent::MouseButtonPress, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)),
                    button, button, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &event);
}

// A small, quick fractal for windows under test.
TFractalContent SmallContent() {
  TFractalContent content;
  content.Fractal.XResolution = unitIntegerPosMore(48);
  content.Fractal.YResolution = unitIntegerPosMore(40);
  content.Fractal.MaxDepth = unitIntegerPosMore(60);
  return content;
}

class MainFormTest : public ::testing::Test {
 protected:
  MainFormTest() : form(&ui) {
    form.editNewProperties = [this](TMDIChildResult& window) {
      window.Document().Content = SmallContent();
      return acceptNew;
    };
    form.execDialog = [this](QDialog&) { return ++dialogs, 1; };
    form.show();
  }
  ~MainFormTest() override {
    // Closing the frame asks about unsaved windows: answer No to every question.
    for (QMdiSubWindow* w : form.MdiArea().subWindowList()) {
      if (auto* r = dynamic_cast<TMDIChildResult*>(w)) r->CloseWithoutQuery();
    }
    QCoreApplication::processEvents();
  }

  std::vector<QString> Captions() const {
    std::vector<QString> captions;
    for (QMdiSubWindow* w : form.MdiArea().subWindowList()) captions.push_back(w->windowTitle());
    return captions;
  }
  TMDIChildResult& Active() {
    TMDIChildResult* window = form.ActiveFractalWindow();
    EXPECT_NE(window, nullptr);
    return *window;
  }
  bool Finished(TMDIChildResult& window) {
    return ProcessUntil([&] { return !window.Document().Computation.IsRunning(); });
  }
  void Trigger(const char* action) { form.Action(action)->trigger(); }

  TempFolder folder;
  ScriptedInteraction ui;
  TMainForm form;
  bool acceptNew = true;
  int dialogs = 0;
};

TEST_F(MainFormTest, StartsAsTheEmptyFrame) {
  EXPECT_EQ(form.windowTitle(), "Korvana 2.1");
  EXPECT_EQ(form.size(), QSize(1014, 457));
  EXPECT_FALSE(form.Action("FileSave")->isEnabled());
  EXPECT_FALSE(form.Action("ZoomIn")->isEnabled());
  EXPECT_EQ(form.Action("DuplicateFract")->shortcut(), QKeySequence("D"));
  EXPECT_EQ(form.Action("FileSaveAs")->shortcut(), QKeySequence("Ctrl+A"));
  EXPECT_EQ(form.Action("ProjectSave")->shortcut(), QKeySequence("Shift+S"));
  EXPECT_EQ(form.StatusPanel(0)->width(), 300);
  EXPECT_EQ(form.StatusPanel(4)->width(), 45);
}

TEST_F(MainFormTest, NoNameCounterGrowsOnCancel) {
  acceptNew = false;
  Trigger("FileNewFract");
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.MdiArea().subWindowList().empty());
  acceptNew = true;
  Trigger("FileNewFract");
  EXPECT_EQ(Captions(), std::vector<QString>{"NONAME2"});
  EXPECT_TRUE(Finished(Active()));
  EXPECT_EQ(form.StatusPanel(4)->text(), "New");
  EXPECT_TRUE(form.Action("FileSave")->isEnabled());
  EXPECT_FALSE(form.Action("FileRevert")->isEnabled());
  EXPECT_FALSE(form.Waiting());
}

TEST_F(MainFormTest, SaveAsChangesTheCaption) {
  Trigger("FileNewFract");
  ui.saveAnswers = {folder.File("a.kvf")};
  Trigger("FileSaveAs");
  EXPECT_EQ(Captions(), std::vector<QString>{QString::fromStdString("NONAME1 - " + folder.File("a.kvf"))});
  EXPECT_EQ(form.StatusPanel(4)->text(), "");
  EXPECT_FALSE(form.Action("FileSave")->isEnabled());
}

TEST_F(MainFormTest, CloseQueryKeepsTheWindowUnlessSavedOrDiscarded) {
  Trigger("FileNewFract");
  TMDIChildResult* window = &Active();
  ui.answers = {Answer::Yes};
  ui.saveAnswers = {folder.File("missing/b.kvf")};  // the write fails
  EXPECT_FALSE(window->close());
  ui.answers = {Answer::Cancel};
  EXPECT_FALSE(window->close());
  ASSERT_EQ(form.MdiArea().subWindowList().size(), 1);
  ui.answers = {Answer::No};
  EXPECT_TRUE(window->close());
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.MdiArea().subWindowList().empty());
  // The last window closed: fractal menus hidden, status emptied.
  EXPECT_FALSE(form.Action("ZoomIn")->isEnabled());
  EXPECT_EQ(form.StatusPanel(4)->text(), "");
}

TEST_F(MainFormTest, ExitAsksForEveryChangedWindowAndStopsOnCancel) {
  Trigger("FileNewFract");
  Trigger("FileNewFract");
  ui.answers = {Answer::No, Answer::Cancel};
  EXPECT_FALSE(form.close());
  EXPECT_EQ(form.MdiArea().subWindowList().size(), 1);
  EXPECT_TRUE(form.isVisible());
  ui.answers = {Answer::No};
  EXPECT_TRUE(form.close());
  EXPECT_TRUE(form.MdiArea().subWindowList().empty());
}

TEST_F(MainFormTest, MouseModesToggleAndRightButtonSwitchesZoom) {
  Trigger("FileNewFract");
  TMDIChildResult& window = Active();
  Trigger("ZoomIn");
  Trigger("ZoomIn");
  EXPECT_EQ(window.MouseMode, 0);
  EXPECT_FALSE(form.Action("ZoomIn")->isChecked());
  Trigger("ZoomIn");
  Trigger("ZoomOut");
  EXPECT_EQ(window.MouseMode, 2);
  EXPECT_TRUE(form.Action("ZoomOut")->isChecked());
  EXPECT_FALSE(form.Action("ZoomIn")->isChecked());
  Press(window.View(), 5, 5, Qt::RightButton);
  EXPECT_EQ(window.MouseMode, 1);
  EXPECT_TRUE(form.Action("ZoomIn")->isChecked());
}

TEST_F(MainFormTest, WheelChangesTheZoomFactorOnlyInAZoomMode) {
  Trigger("FileNewFract");
  TMDIChildResult& window = Active();
  auto wheel = [&](int delta) {
    QWheelEvent event(QPointF(10, 10), window.View().mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window.View(), &event);
  };
  wheel(-120);
  EXPECT_EQ(window.ZoomRectFactor, 0.5);
  Trigger("ZoomIn");
  wheel(-120);
  EXPECT_DOUBLE_EQ(window.ZoomRectFactor, 0.4455);
  window.ZoomRectFactor = 0.5;
  wheel(60);
  wheel(60);  // two half steps of a fine wheel make one step
  EXPECT_DOUBLE_EQ(window.ZoomRectFactor, 0.55);
}

TEST_F(MainFormTest, ZoomClickRestartsAndMarksTheDocumentChanged) {
  const std::string file = folder.File("z.kvf");
  TUnitFract saved("", file);
  saved.Content = SmallContent();
  ASSERT_TRUE(saved.SaveDocument(file, ui));
  ASSERT_TRUE(form.OpenFractFile(file));
  TMDIChildResult& window = Active();
  ASSERT_TRUE(Finished(window));
  EXPECT_EQ(form.StatusPanel(4)->text(), "");
  window.View().resize(200, 100);
  Trigger("ZoomIn");
  Press(window.View(), 100, 50);
  const TFractProps& props = window.Document().Content.Fractal;
  EXPECT_DOUBLE_EQ(props.Left.GetValue(), -0.75);
  EXPECT_DOUBLE_EQ(props.Right.GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(props.Top.GetValue(), 0.75);
  EXPECT_EQ(form.StatusPanel(4)->text(), "Changed");
  EXPECT_TRUE(form.Action("FileRevert")->isEnabled());
  EXPECT_TRUE(Finished(window));
}

TEST_F(MainFormTest, StatusBarShowsTheSampleFromTheSecondMove) {
  Trigger("FileNewFract");
  TMDIChildResult& window = Active();
  ASSERT_TRUE(Finished(window));
  window.View().resize(48, 40);
  auto move = [&](int x, int y) {
    QMouseEvent event(QEvent::MouseMove, QPointF(x, y), window.View().mapToGlobal(QPointF(x, y)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window.View(), &event);
  };
  move(0, 0);
  EXPECT_EQ(form.StatusPanel(0)->text(), "");
  move(24, 20);
  EXPECT_EQ(form.StatusPanel(0)->text(), "Z: (0,0)");
  EXPECT_TRUE(form.StatusPanel(1)->text().startsWith("Type: ")) << form.StatusPanel(1)->text().toStdString();
  move(0, 0);
  EXPECT_EQ(form.StatusPanel(1)->text(), "Type: Outside");
  EXPECT_TRUE(form.StatusPanel(2)->text().startsWith("Depth: "));
}

TEST_F(MainFormTest, ExportedBitmapIsTheHeadlessRenderersBitmap) {
  const std::string file = folder.File("e.kvf");
  TUnitFract saved("", file);
  saved.Content = SmallContent();
  saved.Content.View.ValuesPerPixel = unitIntegerPosMore(2);
  ASSERT_TRUE(saved.SaveDocument(file, ui));
  ASSERT_TRUE(form.OpenFractFile(file));
  ASSERT_TRUE(Finished(Active()));
  ui.saveAnswers = {folder.File("window.bmp")};
  Trigger("actFileExportBitmap");
  ASSERT_EQ(ui.shown.size(), 1u) << ui.shown.back().text;  // the save dialog, no message
  EXPECT_EQ(ui.shown[0].title, "Export to Bitmap");

  TUnitFract headless("", file);
  std::string error;
  ASSERT_TRUE(headless.LoadDocument(error)) << error;
  ASSERT_TRUE(headless.Computation.Restart(headless.Content, 1, {}, error)) << error;
  headless.Computation.NewBitmap();
  headless.Computation.Wait();
  ASSERT_TRUE(WritePicture(*headless.Computation.Result(), headless.Content.View,
                           headless.Content.Fractal.MaxCycle.GetValue(), folder.File("cli.bmp"),
                           true, error))
      << error;
  EXPECT_EQ(FileBytes(folder.File("window.bmp")), FileBytes(folder.File("cli.bmp")));
}

TEST_F(MainFormTest, DuplicateAndJuliaMakeNewDocuments) {
  Trigger("FileNewFract");
  TMDIChildResult& first = Active();
  first.Document().Content.Fractal.MapVar = MapC;
  Trigger("DuplicateFract");
  EXPECT_EQ(Captions().back(), "NONAME2");
  EXPECT_EQ(Active().Document().Content.Fractal.MapVar, MapC);
  TMDIChildResult& second = Active();
  second.View().resize(100, 100);
  form.SetActiveMouseMode(4);
  Press(second.View(), 50, 25);
  EXPECT_EQ(second.MouseMode, 4);
  EXPECT_EQ(Captions().back(), "NONAME3");
  const TFractProps& julia = Active().Document().Content.Fractal;
  EXPECT_EQ(julia.MapVar, MapZ);
  EXPECT_DOUBLE_EQ(julia.CR.GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(julia.CI.GetValue(), 0.75);
}

TEST_F(MainFormTest, CommandLineOpensADocumentInAFolderWithADot) {
  std::filesystem::create_directories(folder.File("my.fractals"));
  const std::string file = folder.File("my.fractals/spiral.kvf");
  TUnitFract saved("", file);
  saved.Content = SmallContent();
  ASSERT_TRUE(saved.SaveDocument(file, ui));
  form.OpenCommandLine(file);
  EXPECT_EQ(Captions(), std::vector<QString>{QString::fromStdString(file)});
  form.OpenCommandLine(folder.File("broken.kvf"));
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "File Error");
  EXPECT_EQ(ui.shown[0].icon, Interaction::Icon::Error);
  EXPECT_EQ(Captions().size(), 1u);
}

TEST_F(MainFormTest, ClosingWindowsWhileTheyComputeNeitherHangsNorCrashes) {
  form.editNewProperties = [](TMDIChildResult& window) {
    TFractalContent& content = window.Document().Content;
    content.Fractal.XResolution = unitIntegerPosMore(1600);
    content.Fractal.YResolution = unitIntegerPosMore(1600);
    content.Fractal.MaxDepth = unitIntegerPosMore(5000);
    content.Fractal.MaxCycle = unitIntegerPos(0);
    return true;
  };
  for (int i = 0; i < 3; ++i) Trigger("FileNewFract");
  ProcessUntil([] { return false; }, std::chrono::milliseconds(100));
  EXPECT_TRUE(Active().Document().Computation.IsRunning());
  ui.answers = {Answer::No, Answer::No, Answer::No};
  EXPECT_TRUE(form.CloseAllWindows());
  QCoreApplication::processEvents();
  EXPECT_TRUE(form.MdiArea().subWindowList().empty());
}

TEST_F(MainFormTest, ResultTooLargeIsReportedAndTheWindowStaysUsable) {
  form.editNewProperties = [](TMDIChildResult& window) {
    TFractalContent& content = window.Document().Content;
    content.Fractal.XResolution = unitIntegerPosMore(2000000000);
    content.Fractal.YResolution = unitIntegerPosMore(2000000000);
    return true;
  };
  Trigger("FileNewFract");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.rfind("Not enough memory", 0), 0u) << ui.shown[0].text;
  EXPECT_EQ(form.MdiArea().subWindowList().size(), 1);
  Active().View().repaint();
  Trigger("HelpAbout");
  EXPECT_EQ(dialogs, 1);
}

TEST_F(MainFormTest, ProjectKeepsTheWorkspaceWithoutQuestions) {
  const std::string project = folder.File("work.orp");
  ui.saveAnswers = {project};
  Trigger("ProjectNew");
  Trigger("FileNewFract");
  Active().resize(210, 160);
  EXPECT_EQ(form.windowTitle().toStdString(), "Korvana 2.1 - " + project);
  EXPECT_TRUE(form.Action("ProjectSave")->isEnabled());
  EXPECT_TRUE(form.close());  // saves the project, asks nothing
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_TRUE(form.MdiArea().subWindowList().empty());

  ScriptedInteraction other;
  TMainForm reopened(&other);
  reopened.show();
  reopened.OpenCommandLine(project);
  ASSERT_EQ(reopened.MdiArea().subWindowList().size(), 1) << (other.shown.empty() ? "" : other.Texts()[0]);
  auto* window = reopened.ActiveFractalWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "NONAME1");
  EXPECT_EQ(window->size(), QSize(210, 160));
  EXPECT_TRUE(window->Document().NeedsSave());
  EXPECT_EQ(reopened.NoNameCounter, 1);
  EXPECT_EQ(reopened.windowTitle().toStdString(), "Korvana 2.1 - " + project);
  EXPECT_TRUE(other.shown.empty());
  EXPECT_TRUE(reopened.close());
  EXPECT_TRUE(other.shown.empty());
}

TEST_F(MainFormTest, BackForwardAndHomeRetraceTheZooms) {
  const std::string file = folder.File("h.kvf");
  TUnitFract saved("", file);
  saved.Content = SmallContent();
  ASSERT_TRUE(saved.SaveDocument(file, ui));
  ASSERT_TRUE(form.OpenFractFile(file));
  TMDIChildResult& window = Active();
  window.View().resize(200, 200);
  const TFractProps& props = window.Document().Content.Fractal;
  Trigger("ZoomIn");
  std::vector<double> lefts = {props.Left.GetValue()};
  for (int i = 0; i < 3; ++i) {
    Press(window.View(), 60, 60);
    lefts.push_back(props.Left.GetValue());
  }
  EXPECT_FALSE(form.Action("NavigateForward")->isEnabled());
  Trigger("NavigateBack");
  Trigger("NavigateBack");
  EXPECT_EQ(props.Left.GetValue(), lefts[1]);
  Trigger("NavigateForward");
  EXPECT_EQ(props.Left.GetValue(), lefts[2]);
  Trigger("NavigateHome");
  EXPECT_EQ(props.Left.GetValue(), lefts[0]);
  EXPECT_FALSE(form.Action("NavigateHome")->isEnabled());
  EXPECT_TRUE(window.Document().Computation.IsRunning() || window.Document().Computation.Result());
  EXPECT_EQ(form.StatusPanel(4)->text(), "Changed");
  Trigger("NavigateBack");
  EXPECT_EQ(props.Left.GetValue(), lefts[2]);
  EXPECT_TRUE(Finished(window));
}

TEST_F(MainFormTest, ZoomStopsAtThePrecisionOfDoubles) {
  form.editNewProperties = [](TMDIChildResult& window) {
    TFractProps& f = window.Document().Content.Fractal;
    f.XResolution = unitIntegerPosMore(64);
    f.YResolution = unitIntegerPosMore(64);
    f.Left = unitFactor(0.5 - 2e-13);
    f.Right = unitFactor(0.5 + 2e-13);
    f.Top = unitFactor(2e-13);
    f.Bottom = unitFactor(-2e-13);
    return true;
  };
  Trigger("FileNewFract");
  TMDIChildResult& window = Active();
  window.View().resize(100, 100);
  Trigger("ZoomIn");
  window.ZoomRectFactor = 0.05;
  Press(window.View(), 50, 50);
  EXPECT_EQ(window.Document().Content.Fractal.Left.GetValue(), 0.5 - 2e-13);
  EXPECT_EQ(form.StatusPanel(0)->text(), "Zoom limit reached: double precision");
}

TEST_F(MainFormTest, HelpOpensTheBuiltInPageAtASection) {
  Trigger("HelpContents");
  ASSERT_NE(form.HelpWindow(), nullptr);
  EXPECT_TRUE(form.HelpWindow()->isVisible());
  const QString text = form.HelpWindow()->Browser().toPlainText();
  for (const char* shortcut : {"Ctrl+N", "Shift+Z", "Alt+Left", "Shift+Alt+O", "korvana-render"}) {
    EXPECT_TRUE(text.contains(shortcut)) << shortcut;
  }
  form.ShowHelp("projects");
  EXPECT_EQ(form.HelpWindow()->Browser().source().fragment(), "projects");

  // A dialog's Help button opens its section in the main window's help.
  QDialog dialog(&form);
  QDialogButtonBox buttons(&dialog);
  AddHelpButton(buttons, "palette");
  QPushButton* help = buttons.button(QDialogButtonBox::Help);
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->text(), "&Help");
  help->click();
  EXPECT_EQ(form.HelpWindow()->Browser().source().fragment(), "palette");
}

TEST_F(MainFormTest, ABitmapBeyondTheMemoryLimitIsReportedAndTheWindowStaysUsable) {
  SetPictureMemoryLimit(1000);  // bytes: the 48 x 40 bitmap does not fit
  Trigger("FileNewFract");
  SetPictureMemoryLimit(0);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Not enough memory for a picture of 48 x 40 pixels.");
  EXPECT_TRUE(Finished(Active()));
  Active().View().repaint();
  Trigger("DuplicateFract");
  EXPECT_TRUE(Finished(Active()));
  EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(MainFormTest, ExportAtSizeRendersANewPictureWithoutTouchingTheWindow) {
  Trigger("FileNewFract");
  TMDIChildResult& window = Active();
  ASSERT_TRUE(Finished(window));
  const TFractResult* before = window.Document().Computation.Result();
  ui.saveAnswers = {folder.File("big.bmp")};
  Trigger("actFileExportAtSize");  // the size dialog accepts the window's picture size
  EXPECT_EQ(dialogs, 1);
  TifImage read;
  std::string error;
  ASSERT_TRUE(BmpFile::Read(folder.File("big.bmp"), read, error)) << error;
  EXPECT_EQ(read.GetWidth(), window.View().GetBitmapWidth());
  EXPECT_EQ(window.Document().Computation.Result(), before);

  ASSERT_TRUE(form.ExportAtSize(window.Document().Content, 30, 20, 2, folder.File("s.bmp")));
  ASSERT_TRUE(BmpFile::Read(folder.File("s.bmp"), read, error)) << error;
  EXPECT_EQ(read.GetWidth(), 30);
  EXPECT_EQ(read.GetHeight(), 20);
  EXPECT_FALSE(form.ExportAtSize(window.Document().Content, 30, 20, 2, folder.File("s.gif")));
  ASSERT_FALSE(ui.shown.empty());
  EXPECT_EQ(ui.shown.back().title, "File Error");
}

}  // namespace
