#include "gui/dialogs/DlgColorPalette1D.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <filesystem>

#include "../app/DocumentTestSupport.h"
#include "GuiTestSupport.h"
#include "ScriptedInteraction.h"
#include "gui/widgets/ColorBox.h"
#include "gui/widgets/PaletteStrip.h"

namespace {

std::vector<double> Positions(const TColorPalette1D& palette) {
  std::vector<double> positions;
  for (const TColorPalette1DItem* i = palette.GetFirst(); i; i = i->GetNext()) {
    positions.push_back(i->GetDPosition());
  }
  return positions;
}

class DlgColorPalette1DTest : public ::testing::Test {
 protected:
  // Black, fully transparent at 0, to red 200, opaque at 1.
  TColorPalette1D palette{false, 0x000000, 0.0, 0x0000C8, 1.0};
  ScriptedInteraction ui;

  std::unique_ptr<TDlgColorPalette1D> Open() {
    return std::make_unique<TDlgColorPalette1D>(nullptr, palette, ui);
  }
  template <typename W = QAbstractButton>
  W* Find(TDlgColorPalette1D& dialog, const char* name) {
    auto* widget = dialog.findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  void Click(TDlgColorPalette1D& dialog, const char* name) { Find(dialog, name)->click(); }
  void Type(TDlgColorPalette1D& dialog, const char* name, const char* text) {
    auto* edit = Find<QLineEdit>(dialog, name);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &in);
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
  }
  // The enabled state of the navigation controls, in a fixed order.
  std::string Enabled(TDlgColorPalette1D& dialog) {
    std::string states;
    for (const char* name : {"btnPalItemFirst", "btnPalItemPrevious", "btnColorPrevious",
                             "btnPalItemNext", "btnPalItemLast", "btnColorNext", "btnPalItemAdd",
                             "btnPalItemDelete", "chkColorAfter"}) {
      states += Find(dialog, name)->isEnabled() ? '1' : '0';
    }
    states += Find<QLineEdit>(dialog, "editPosition")->isEnabled() ? '1' : '0';
    return states;
  }
};

TEST_F(DlgColorPalette1DTest, NavigationEnablesByPosition) {
  auto dialog = Open();
  EXPECT_EQ(dialog->windowTitle(), "Color Palette");
  //                        first prev <prev next last <next add del after pos
  EXPECT_EQ(Enabled(*dialog), "0001111000");
  Click(*dialog, "btnPalItemLast");
  EXPECT_EQ(Enabled(*dialog), "1110001000");
  Click(*dialog, "btnPalItemAdd");  // an inner item
  EXPECT_EQ(Enabled(*dialog), "1111111111");
  Click(*dialog, "btnPalItemFirst");
  EXPECT_EQ(dialog->CurrentItem(), dialog->GetPalette()->GetFirst());
  Click(*dialog, "btnPalItemNext");
  EXPECT_DOUBLE_EQ(dialog->CurrentItem()->GetDPosition(), 0.5);
}

TEST_F(DlgColorPalette1DTest, AddPutsAnOpaqueItemHalfwayAndDeleteGoesBack) {
  struct Case {
    const char* start;  // navigation button before Add
    double position;
  } const cases[] = {{"btnPalItemFirst", 0.5}, {"btnPalItemLast", 0.75}};
  auto dialog = Open();
  Click(*dialog, "btnPalItemAdd");  // 0, 0.5, 1
  Click(*dialog, "btnPalItemFirst");
  for (const Case& c : cases) {
    auto fresh = Open();
    if (c.position == 0.75) Click(*fresh, "btnPalItemAdd");
    Click(*fresh, c.start);
    Click(*fresh, "btnPalItemAdd");
    const TColorPalette1DItem* added = fresh->CurrentItem();
    EXPECT_DOUBLE_EQ(added->GetDPosition(), c.position) << c.start;
    EXPECT_EQ(added->GetColorBefore(), palette.GetColor(c.position)) << c.start;
    EXPECT_EQ(added->GetTransFactorBefore().GetValue(), 1.0) << c.start;  // though half transparent there
    EXPECT_EQ(Find<QLineEdit>(*fresh, "editPosition")->text().toStdString(),
              c.position == 0.5 ? "50 %" : "75 %");
  }
  Click(*dialog, "btnPalItemNext");
  Click(*dialog, "btnPalItemDelete");
  EXPECT_EQ(Positions(*dialog->GetPalette()), (std::vector<double>{0, 1}));
  EXPECT_EQ(dialog->CurrentItem(), dialog->GetPalette()->GetFirst());
}

TEST_F(DlgColorPalette1DTest, PositionEditRefusesDuplicatesAndBadValues) {
  struct Case {
    const char* text;
    std::vector<double> positions;
    std::string shown;  // position edit afterwards
    std::vector<std::string> messages;
  } const cases[] = {
      {"25 %", {0, 0.25, 0.5, 1}, "50 %", {"This Position already exists in the pallette."}},
      {"150%", {0, 0.25, 0.5, 1}, "50 %", {"In Position: Value must be less than 1."}},
      {"0", {0, 0.25, 0.5, 1}, "50 %", {"In Position: Value must be positive and more than 0."}},
      {"10%", {0, 0.1, 0.25, 1}, "10 %", {}},
      {"0.9", {0, 0.25, 0.9, 1}, "0.9", {}},
  };
  for (const Case& c : cases) {
    ui.shown.clear();
    auto dialog = Open();
    Click(*dialog, "btnPalItemAdd");  // 0.5
    Click(*dialog, "btnPalItemFirst");
    Click(*dialog, "btnPalItemAdd");  // 0.25
    Click(*dialog, "btnPalItemNext");
    Type(*dialog, "editPosition", c.text);
    EXPECT_EQ(Positions(*dialog->GetPalette()), c.positions) << c.text;
    EXPECT_EQ(Find<QLineEdit>(*dialog, "editPosition")->text().toStdString(), c.shown) << c.text;
    EXPECT_EQ(ui.Texts(), c.messages) << c.text;
    for (const auto& shown : ui.shown) EXPECT_EQ(shown.title, "Input Error");
  }
}

TEST_F(DlgColorPalette1DTest, NumberEditsStoreOrKeepTheirValue) {
  struct Case {
    const char* edit;
    const char* text;
    double before, after;
    std::vector<std::string> messages;
  } const cases[] = {
      {"editTransFactorBefore", "40%", 0.4, 1.0, {}},
      {"editTransFactorBefore", "2", 1.0, 1.0,
       {"In Transparency Factor Before: Value must be no more than 1."}},
      {"editTransFactorAfter", "0.25", 1.0, 0.25, {}},
      {"editTransFactorAfter", "5 x", 1.0, 1.0,
       {"In Transparency Factor After: This unit does not exist, use: '%' or no unit."}},
  };
  for (const Case& c : cases) {
    ui.shown.clear();
    auto dialog = Open();
    Click(*dialog, "btnPalItemAdd");
    Find(*dialog, "chkColorAfter")->click();
    Type(*dialog, c.edit, c.text);
    const TColorPalette1DItem* item = dialog->CurrentItem();
    EXPECT_EQ(item->GetTransFactorBefore().GetValue(), c.before) << c.edit << c.text;
    EXPECT_EQ(item->GetStoredAfterSide().TransFactor.GetValue(), c.after) << c.edit << c.text;
    EXPECT_EQ(ui.Texts(), c.messages) << c.edit << c.text;
  }
}

TEST_F(DlgColorPalette1DTest, ColorAfterAndCopyingFromNeighbours) {
  auto dialog = Open();
  Click(*dialog, "btnPalItemAdd");  // 0.5, colour 100 red
  auto* after = Find<QCheckBox>(*dialog, "chkColorAfter");
  auto* next = Find(*dialog, "btnColorNext");
  after->click();
  EXPECT_EQ(Find<QLabel>(*dialog, "lblColor")->text(), "Color Before");
  EXPECT_TRUE(Find<TColorBox>(*dialog, "cboColorAfter")->isEnabled());
  Click(*dialog, "btnColorNext");  // the last item's colour becomes the after colour
  EXPECT_EQ(dialog->CurrentItem()->GetColorAfter(), 0x0000C8u);
  EXPECT_EQ(Find<TColorBox>(*dialog, "cboColorAfter")->Color(), 0x0000C8u);
  after->click();
  EXPECT_FALSE(next->isEnabled());
  EXPECT_EQ(Find<QLabel>(*dialog, "lblColor")->text(), "Color");
  EXPECT_EQ(dialog->CurrentItem()->GetStoredAfterSide().Color, 0x0000C8u);  // kept while off
  Click(*dialog, "btnPalItemFirst");
  Click(*dialog, "btnPalItemNext");
  EXPECT_TRUE(next->isEnabled());
  Click(*dialog, "btnColorPrevious");  // the first item's colour and factor before
  EXPECT_EQ(dialog->CurrentItem()->GetColorBefore(), 0u);
  EXPECT_EQ(dialog->CurrentItem()->GetTransFactorBefore().GetValue(), 0.0);
  Find<TColorBox>(*dialog, "cboColorBefore")->Choose(
      Find<TColorBox>(*dialog, "cboColorBefore")->findText("Lime"));
  EXPECT_EQ(dialog->CurrentItem()->GetColorBefore(), 0x00FF00u);
  EXPECT_EQ(Find<TColorBox>(*dialog, "cboColorAfter")->Color(), 0x00FF00u);
}

// OK pressed with Enter in an edit that was typed into stores the edit first.
TEST_F(DlgColorPalette1DTest, OkStoresTheEditNotYetLeft) {
  struct Case {
    const char* text;
    bool closes;
    double stored;
  } const cases[] = {{"30 %", true, 0.3}, {"1.5", false, 0.0}};
  for (const Case& c : cases) {
    ui.shown.clear();
    auto dialog = Open();
    Find<QLineEdit>(*dialog, "editTransFactorBefore")->setText(c.text);
    dialog->accept();
    EXPECT_EQ(dialog->result() == QDialog::Accepted, c.closes) << c.text;
    EXPECT_EQ(dialog->GetPalette()->GetFirst()->GetTransFactorBefore().GetValue(), c.stored);
    EXPECT_EQ(ui.shown.size(), c.closes ? 0u : 1u) << c.text;
  }
}

TEST_F(DlgColorPalette1DTest, OkHandsTheCopyOverAndCancelDropsIt) {
  auto dialog = Open();
  Click(*dialog, "btnPalItemAdd");
  Find(*dialog, "chkCycleColors")->click();
  EXPECT_EQ(Positions(palette), (std::vector<double>{0, 1}));  // the caller's stays untouched
  dialog->accept();
  ASSERT_NE(dialog->GetPalette(), nullptr);
  EXPECT_EQ(Positions(*dialog->GetPalette()), (std::vector<double>{0, 0.5, 1}));
  EXPECT_TRUE(dialog->GetPalette()->GetCyclic());
  auto cancelled = Open();
  Click(*cancelled, "btnPalItemAdd");
  cancelled->reject();
  EXPECT_EQ(cancelled->GetPalette(), nullptr);
  EXPECT_EQ(Positions(palette), (std::vector<double>{0, 1}));
  EXPECT_FALSE(palette.GetCyclic());
}

TEST_F(DlgColorPalette1DTest, SavesAndOpensPaletteFiles) {
  TempFolder folder;
  const std::string file = folder.File("p.cp1");
  auto dialog = Open();
  Click(*dialog, "btnPalItemAdd");
  Click(*dialog, "btnPalItemAdd");  // 0, 0.5, 0.75, 1
  ui.saveAnswers = {file};
  Click(*dialog, "btnSave");
  ASSERT_TRUE(std::filesystem::exists(file));

  auto other = Open();
  Click(*other, "btnPalItemLast");
  ui.openAnswers = {{file}};
  Click(*other, "btnOpen");
  EXPECT_EQ(Positions(*other->GetPalette()), (std::vector<double>{0, 0.5, 0.75, 1}));
  EXPECT_EQ(other->CurrentItem(), other->GetPalette()->GetFirst());

  ui.openAnswers = {{folder.File("missing.cp1")}};
  Click(*other, "btnOpen");
  ASSERT_EQ(ui.shown.size(), 4u);
  EXPECT_EQ(ui.shown[0].title, "Save Color Palette 1D");
  EXPECT_EQ(ui.shown[0].text,
            "Color Palette 1D (*.cp1)|*.cp1|XML Files (*.xml)|*.xml|All files (*.*)|*.*");
  EXPECT_EQ(ui.shown[1].title, "Open Color Palette 1D");
  EXPECT_EQ(ui.shown[3].title, "File Error");
  EXPECT_EQ(ui.shown[3].icon, Interaction::Icon::Error);
  EXPECT_EQ(ui.shown[3].text.rfind("Cannot read file: \"" + folder.File("missing.cp1") + "\": ", 0),
            0u);
  EXPECT_EQ(Positions(*other->GetPalette()), (std::vector<double>{0, 0.5, 0.75, 1}));
}

TEST_F(DlgColorPalette1DTest, SuperColumnsWidenTheFormAndExistOnlyForSuperPalettes) {
  auto plain = Open();
  EXPECT_TRUE(Find<QCheckBox>(*plain, "chkSuperFactor")->isHidden());
  palette = TColorPalette1D(false, 0, 1.0, 1.0, 0, 0xFFFFFF, 1.0, 1.0, 0);
  auto dialog = Open();
  dialog->show();
  const int width = dialog->width();
  EXPECT_TRUE(Find<QLineEdit>(*dialog, "editSuperFactorBefore")->isHidden());
  Find(*dialog, "chkSuperFactor")->click();
  EXPECT_FALSE(Find<QLineEdit>(*dialog, "editSuperFactorBefore")->isHidden());
  EXPECT_GE(dialog->width(), width + 216);
  Type(*dialog, "editSuperFactorBefore", "-2.5");
  EXPECT_EQ(dialog->CurrentItem()->GetSuperFactorBefore().GetValue(), -2.5);
  Find(*dialog, "chkSuperFactor")->click();
  EXPECT_EQ(dialog->width(), width);
}

TEST(PaletteStrip, PaintsTheColumnsAndNothingWhenNarrowerThanFourPixels) {
  const TColorPalette1D palette(false, 0x0000FF, 1.0, 0x0000FF, 1.0);
  for (const int width : {2, 3, 4, 40}) {
    TPaletteStrip strip(TPaletteStrip::Kind::Opaque);
    strip.setMinimumSize(1, 1);
    strip.resize(width, 10);
    strip.SetPalette(&palette);
    const QImage image = strip.grab().toImage();
    const bool red = image.pixelColor(width / 2, 5) == QColor(255, 0, 0);
    const bool frame = image.pixelColor(0, 0) == QColor(0, 0, 0);
    EXPECT_EQ(red, width >= 4) << width;
    EXPECT_EQ(frame, width >= 4) << width;
  }
}

}  // namespace
