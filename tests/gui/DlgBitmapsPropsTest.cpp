#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <functional>

#include "../app/DocumentTestSupport.h"
#include "GuiTestSupport.h"
#include "ScriptedInteraction.h"
#include "app/TUnitFract.h"
#include "common/Bitmap24.h"
#include "files/BmpFile.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/DlgBitmapsProps.h"

namespace {

class DlgBitmapsPropsTest : public ::testing::Test {
 protected:
  DlgBitmapsPropsTest() : form(&ui) {
    form.editNewProperties = [](TMDIChildResult& window) {
      TFractProps& f = window.Document().Content.Fractal;
      f.XResolution = unitIntegerPosMore(32);
      f.YResolution = unitIntegerPosMore(32);
      f.MaxDepth = unitIntegerPosMore(20);
      return true;
    };
    form.show();
    form.Action("FileNewFract")->trigger();
    window = form.ActiveFractalWindow();
  }
  ~DlgBitmapsPropsTest() override {
    if (window) window->CloseWithoutQuery();
    QCoreApplication::processEvents();
  }
  // A w x h picture of one colour in the temporary folder.
  std::string Picture(const std::string& name, int w, int h, std::uint8_t red) {
    Bitmap24 bitmap(w, h);
    for (std::size_t i = 0; i < bitmap.rgb.size(); i += 3) bitmap.rgb[i] = red;
    std::string error;
    EXPECT_TRUE(BmpFile::Write(folder.File(name), bitmap, error)) << error;
    return folder.File(name);
  }
  TUnitFract& Document() { return window->Document(); }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& s : ui.shown) titles.push_back(s.title);
    return titles;
  }

  TempFolder folder;
  ScriptedInteraction ui;
  TMainForm form;
  TMDIChildResult* window = nullptr;
};

TEST_F(DlgBitmapsPropsTest, ADuplicateNameKeepsTheEntry) {
  ASSERT_NE(window, nullptr);
  const struct {
    const char* action;
    std::function<void(TDlgBitmapsProps&)> run;
  } cases[] = {
      {"First", [](TDlgBitmapsProps& d) { d.FirstFile(); }},
      {"Previous", [](TDlgBitmapsProps& d) { d.PrevFile(); }},
      {"Append", [](TDlgBitmapsProps& d) { d.AppendFile(); }},
      {"leaving the page", [](TDlgBitmapsProps& d) { EXPECT_FALSE(d.SwitchPage(1)); }},
      {"OK", [](TDlgBitmapsProps& d) { EXPECT_FALSE(d.Accept()); }},
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    TDlgBitmapsProps dialog(form, *window);
    dialog.NameEdit()->setText("A");
    dialog.AppendFile();
    dialog.NameEdit()->setText("A");
    c.run(dialog);
    ASSERT_EQ(ui.Texts(), std::vector<std::string>{"Bitmap with name \"A\" already exists."})
        << c.action;
    EXPECT_EQ(ui.shown[0].title, "Input Error");
    // Still the second entry, with the refused name in the field.
    EXPECT_TRUE(dialog.FileButton("Previous")->isEnabled()) << c.action;
    EXPECT_EQ(dialog.NameEdit()->text(), "A");
    EXPECT_EQ(dialog.Pages()->currentIndex(), 0);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
  }
}

TEST_F(DlgBitmapsPropsTest, CrossChecksOfAUseKeepTheDialogOpen) {
  ASSERT_NE(window, nullptr);
  const struct {
    const char* maxTrans;
    const char* noTrans;
    const char* depthMin;
    const char* depthMax;
    std::string message;  // "" when OK succeeds
  } cases[] = {
      {"0.5", "0.5", "1", "0",
       "\"Color Width Max Transparancy\" must be lower than \"Color Width No Transparancy\""},
      {"0.6", "0.5", "1", "0",
       "\"Color Width Max Transparancy\" must be lower than \"Color Width No Transparancy\""},
      {"0", "0.5", "5", "4", "\"Depth Max\" must be 0, or greater or equal than \"Depth Min\" "},
      {"0", "0.5", "5", "5", ""},
      {"0", "0.5", "5", "0", ""},
  };
  for (const auto& c : cases) {
    ui.shown.clear();
    TDlgBitmapsProps dialog(form, *window);
    dialog.NameEdit()->setText("pic");
    dialog.UseEdit("Color Width Max Transparancy")->setText(c.maxTrans);
    dialog.UseEdit("Color Width No Transparancy")->setText(c.noTrans);
    dialog.UseEdit("Depth Min")->setText(c.depthMin);
    dialog.UseEdit("Depth Max")->setText(c.depthMax);
    const bool ok = dialog.Accept();
    EXPECT_EQ(ok, c.message.empty()) << c.maxTrans << " " << c.depthMax;
    if (c.message.empty()) {
      EXPECT_TRUE(ui.shown.empty());
      EXPECT_EQ(Document().Content.Bitmaps.Uses.front().DepthMin.GetValue(), 5);
    } else {
      EXPECT_EQ(ui.Texts(), std::vector<std::string>{c.message});
      EXPECT_EQ(dialog.Working().Uses.front().DepthMin.GetValue(), 1);  // the use kept
    }
  }
}

TEST_F(DlgBitmapsPropsTest, UseNavigationAndTheOnlyUseCannotBeDeleted) {
  ASSERT_NE(window, nullptr);
  TDlgBitmapsProps dialog(form, *window);
  EXPECT_FALSE(dialog.UseButton("Delete")->isEnabled());
  EXPECT_FALSE(dialog.UseButton("Next")->isEnabled());
  dialog.UseEdit("Depth Min")->setText("7");
  dialog.AppendUse();  // a default use after the first
  EXPECT_TRUE(dialog.UseButton("Delete")->isEnabled());
  EXPECT_TRUE(dialog.UseButton("First")->isEnabled());
  EXPECT_EQ(dialog.UseEdit("Depth Min")->text(), "1");
  dialog.InsertUse();  // before the second: now the second of three
  EXPECT_EQ(dialog.Working().Uses.size(), 3u);
  dialog.DeleteUse();  // the next one becomes current: the last
  EXPECT_FALSE(dialog.UseButton("Next")->isEnabled());
  dialog.FirstUse();
  EXPECT_EQ(dialog.UseEdit("Depth Min")->text(), "7");
  dialog.DeleteUse();
  EXPECT_FALSE(dialog.UseButton("Delete")->isEnabled());
  EXPECT_EQ(dialog.Working().Uses.size(), 1u);
  // The picture names of the entries fill the "Bitmap" box when the files page is left.
  dialog.NameEdit()->setText("one");
  ASSERT_TRUE(dialog.SwitchPage(1));
  EXPECT_EQ(dialog.BitmapBox()->count(), 1);
  EXPECT_EQ(dialog.BitmapBox()->itemText(0), "one");
}

TEST_F(DlgBitmapsPropsTest, ReferenceToTheFileFollowsTheDocumentsFolder) {
  ASSERT_NE(window, nullptr);
  const std::string picture = Picture("pic.bmp", 4, 3, 200);
  const struct {
    const char* name;
    std::string documentFile;
    bool groupEnabled;
    std::string specified;
  } cases[] = {
      {"never saved", "", false, picture},
      {"saved beside the picture", folder.File("doc.kvf"), true, "pic.bmp"},
  };
  for (const auto& c : cases) {
    Document().File = c.documentFile;
    TDlgBitmapsProps dialog(form, *window);
    EXPECT_EQ(dialog.ReferenceGroup()->isEnabled(), c.groupEnabled) << c.name;
    ui.openAnswers.push_back({picture});
    dialog.ImportPlain();
    EXPECT_EQ(dialog.FileSpecifiedEdit()->text().toStdString(), c.specified) << c.name;
    EXPECT_EQ(dialog.FileEffectiveEdit()->text().toStdString(), picture) << c.name;
    EXPECT_EQ(dialog.NameEdit()->text().toStdString(), picture) << c.name;
    EXPECT_FALSE(dialog.Preview()->pixmap().isNull());
    if (c.groupEnabled) {
      dialog.AbsoluteButton()->setChecked(true);
      EXPECT_EQ(dialog.FileSpecifiedEdit()->text().toStdString(), picture);
      dialog.RelativeButton()->setChecked(true);
      EXPECT_EQ(dialog.FileSpecifiedEdit()->text().toStdString(), "pic.bmp");
    }
  }
  ASSERT_EQ(ui.shown.size(), 2u);  // only the two open dialogs
  EXPECT_EQ(ui.shown[0].text,
            "All Tiff and Bmp(*.bmp; *.tif)|*.bmp; *.tif|Tiff (*.tif)|*.tif|Bitmaps (*.bmp)|*.bmp|"
            "All (*.*)|*.*");
}

TEST_F(DlgBitmapsPropsTest, CancelAfterLoadLeavesTheDocumentsPictureAndOkTakesTheNewOne) {
  ASSERT_NE(window, nullptr);
  const std::string before = Picture("before.bmp", 2, 2, 10);
  const std::string after = Picture("after.bmp", 5, 5, 250);
  BitmapsProps& props = Document().Content.Bitmaps;
  std::string error;
  ASSERT_TRUE(props.Files.front().Load("", before, false, error)) << error;
  props.Files.front().Name = "pic";
  props.Uses.front().BitmapName = "pic";  // the running computation started without pictures
  const auto plane = props.Files.front().Old.BmpShadowRGB;
  for (const bool accept : {false, true}) {
    form.execDialog = [&](QDialog& d) {
      auto& dialog = dynamic_cast<TDlgBitmapsProps&>(d);
      dialog.FileEdit()->setText(QString::fromStdString(after));
      dialog.LoadTyped();
      EXPECT_EQ(dialog.FileSpecifiedEdit()->text().toStdString(), after);
      if (!accept) {
        dialog.reject();
        return dialog.result();
      }
      EXPECT_TRUE(dialog.Accept());
      return dialog.result();
    };
    form.BitmapPropertiesCommand();
    // OK with a new picture starts a new computation, which maps the picture; Cancel keeps the
    // running one.
    ASSERT_NE(Document().Computation.Result(), nullptr);
    EXPECT_EQ(Document().Computation.Result()->HasColors(), accept);
    const BitmapFileProps& file = Document().Content.Bitmaps.Files.front();
    EXPECT_EQ(file.BmpFile, accept ? after : before);
    EXPECT_EQ(file.Old.Width, accept ? 5 : 2);
    EXPECT_EQ(file.Old.BmpShadowRGB == plane, !accept);
    EXPECT_TRUE(file.New.IsEmpty());
  }
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(DlgBitmapsPropsTest, OkNeedsANameAndLoadFailuresAreShown) {
  ASSERT_NE(window, nullptr);
  TDlgBitmapsProps dialog(form, *window);
  dialog.FileEdit()->setText(QString::fromStdString(folder.File("missing.bmp")));
  dialog.LoadTyped();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "Error");
  EXPECT_TRUE(dialog.FileSpecifiedEdit()->text().isEmpty());
  ui.shown.clear();
  EXPECT_FALSE(dialog.Accept());
  EXPECT_EQ(Titles(), std::vector<std::string>{"Empty Field"});
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Name is mandatory"});
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

}  // namespace
