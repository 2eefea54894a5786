#include "gui/dialogs/AllProperties.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>
#include <functional>
#include <set>

#include "GuiTestSupport.h"
#include "ScriptedInteraction.h"
#include "app/TUnitFract.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/DlgColorPalette1D.h"
#include "gui/widgets/ColorBox.h"

namespace {

void Focus(QWidget* widget, QEvent::Type type) {
  QFocusEvent event(type, Qt::TabFocusReason);
  QApplication::sendEvent(widget, &event);
}

// Drives a dialog's widgets as a user would: entering and leaving edits, typing, clicking.
struct Driver {
  QDialog& dialog;
  QLineEdit* Edit(const char* name) const {
    auto* edit = dialog.findChild<QLineEdit*>(name);
    EXPECT_NE(edit, nullptr) << name;
    return edit;
  }
  std::string Text(const char* name) const { return Edit(name)->text().toStdString(); }
  void Type(const char* name, const std::string& text) const {
    QLineEdit* edit = Edit(name);
    Focus(edit, QEvent::FocusIn);
    edit->setText(QString::fromStdString(text));
    Focus(edit, QEvent::FocusOut);
  }
  void Click(const char* name) const {
    auto* button = dialog.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    button->click();
  }
  // Checks the radio button with this caption in the group box of this name.
  void Choose(const char* group, const QString& caption) const {
    auto* box = dialog.findChild<QGroupBox*>(group);
    ASSERT_NE(box, nullptr) << group;
    for (QRadioButton* button : box->findChildren<QRadioButton*>()) {
      if (button->text() == caption) return button->setChecked(true);
    }
    FAIL() << group << ": " << caption.toStdString();
  }
  void PickColor(const char* box, const QString& name) const {
    auto* colorBox = dialog.findChild<TColorBox*>(box);
    ASSERT_NE(colorBox, nullptr) << box;
    colorBox->Choose(colorBox->findText(name));
  }
};

class AllPropertiesTest : public ::testing::Test {
 protected:
  AllPropertiesTest() {
    fract.XResolution = unitIntegerPosMore(600);
    fract.YResolution = unitIntegerPosMore(400);
    view.ValuesPerPixel = unitIntegerPosMore(2);
  }
  std::unique_ptr<TAllProperties> Open() {
    return std::make_unique<TAllProperties>(
        nullptr, view, 300, 512, fract,
        TAllProperties::Services{ui, [this](QDialog& d) { return exec(d); }, 0x00CC11, nullptr});
  }

  ScriptedInteraction ui;
  TFractProps fract;
  TFractViewProps view;
  std::function<int(QDialog&)> exec = [](QDialog&) { return int(QDialog::Rejected); };
};

TEST_F(AllPropertiesTest, OpensOnScanningWithEveryFieldShown) {
  fract.Formula = 6;
  fract.MapVar = MapD;
  fract.Left = unitFactor(-2.25);
  view.MaxDepthTransFactor = unitFactorPosMax1(0.5, EUnitKind::EHPerc);
  auto dialog = Open();
  Driver d{*dialog};
  EXPECT_EQ(dialog->windowTitle(), "Properties Fractal");
  auto* tabs = dialog->findChild<QTabWidget*>();
  ASSERT_EQ(tabs->count(), 6);
  const char* pages[] = {"Formula", "Scanning", "Depth", "Outside", "Inside", "Misc"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(tabs->tabText(i), pages[i]);
  EXPECT_EQ(tabs->currentIndex(), 1);
  auto* formulas = dialog->findChild<QListWidget*>("lstFormulas");
  EXPECT_EQ(formulas->count(), 13);
  EXPECT_EQ(formulas->currentRow(), 6);
  EXPECT_EQ(formulas->item(5)->text(), "z^n + d z^m + c");
  EXPECT_TRUE(dialog->findChild<QRadioButton*>("optD")->isChecked());
  const struct {
    const char* edit;
    const char* text;
  } shown[] = {{"editSelLeft", "-2.25"},      {"editIntHorizontal", "600"},
               {"editPixHorizontal", "300"},  {"editPixVertical", "200"},
               {"editValuesPerPixel", "2"},   {"editMaxDepth", "100"},
               {"editOuterCircle", "1000"},   {"editDeltaDist", "0.0001"},
               {"editCR", "-0.122561"},       {"editMaxDepthStrength", "50 %"}};
  for (const auto& s : shown) EXPECT_EQ(d.Text(s.edit), s.text) << s.edit;
  // Every edit and colour box carries a caption of its own for the accessibility tree.
  std::set<QString> names;
  for (QWidget* w : dialog->findChildren<QWidget*>()) {
    if (w->objectName().startsWith("edit") || w->objectName().startsWith("colb")) {
      EXPECT_TRUE(names.insert(w->accessibleName()).second)
          << w->objectName().toStdString() << ": " << w->accessibleName().toStdString();
    }
  }
  EXPECT_EQ(names.size(), 31u);  // 24 edits, 7 colour boxes
}

TEST_F(AllPropertiesTest, ResolutionsFollowEachOtherWhileTyping) {
  using Step = std::function<void(const Driver&)>;
  struct Case {
    const char* what;
    Step step;
    const char* intH;
    const char* intV;
    const char* pixH;
    const char* pixV;
    std::vector<std::string> messages;
  } const cases[] = {
      {"values per pixel 3 updating internal",
       [](const Driver& d) { d.Type("editValuesPerPixel", "3"); }, "900", "600", "300", "200", {}},
      {"values per pixel 4 updating pixels",
       [](const Driver& d) {
         d.Choose("optUpdateResolution", "Pixels");
         d.Type("editValuesPerPixel", "4");
       },
       "600", "400", "150", "100", {}},
      {"window width and height",
       [](const Driver& d) {
         d.Click("btnXResWindow");
         d.Click("btnYResWindow");
       },
       "1024", "600", "512", "300", {}},
      {"internal to pixels", [](const Driver& d) { d.Type("editIntHorizontal", "1001"); }, "1001",
       "400", "500", "200", {}},
      {"pixels to internal", [](const Driver& d) { d.Type("editPixVertical", "250"); }, "600",
       "500", "300", "250", {}},
      {"bad internal changes nothing", [](const Driver& d) { d.Type("editIntHorizontal", "abc"); },
       "abc", "400", "300", "200",
       {"In Horizontal Resolution - Internal: Invalid value: \"abc\"."}},
      {"pixels beyond 32 bits", [](const Driver& d) { d.Type("editPixHorizontal", "2000000000"); },
       "600", "400", "2000000000", "200",
       {"In Horizontal Resolution - Pixels: Value is too high."}},
      {"bad values per pixel changes nothing",
       [](const Driver& d) { d.Type("editValuesPerPixel", "0"); }, "600", "400", "300", "200",
       {"In Values per Pixel: Value must be positive and more than 0."}},
  };
  for (const Case& c : cases) {
    ui.shown.clear();
    auto dialog = Open();
    Driver d{*dialog};
    c.step(d);
    EXPECT_EQ(d.Text("editIntHorizontal"), c.intH) << c.what;
    EXPECT_EQ(d.Text("editIntVertical"), c.intV) << c.what;
    EXPECT_EQ(d.Text("editPixHorizontal"), c.pixH) << c.what;
    EXPECT_EQ(d.Text("editPixVertical"), c.pixV) << c.what;
    EXPECT_EQ(ui.Texts(), c.messages) << c.what;
  }
}

TEST_F(AllPropertiesTest, StrengthsFollowTheMaxDepthBySensitivity) {
  struct Case {
    const char* what;
    const char* outsideSensitivity;
    bool adaptOutside;
    const char* outsideExponent;
    double outsideFactor;
    double insideFactor;  // inside keeps "High (Square root)" and adaptation on
  } const cases[] = {
      {"square root", "High (Square root)", true, "0.7", std::sqrt(2.0), std::sqrt(2.0)},
      {"adaptation off", "High (Square root)", false, "0.7", 1.0, std::sqrt(2.0)},
      {"quadratic", "Low (Kwadratic)", true, "0.7", 4.0, std::sqrt(2.0)},
      {"custom", "Custom, Exponent:", true, "3", 8.0, std::sqrt(2.0)},
  };
  for (const Case& c : cases) {
    auto dialog = Open();
    Driver d{*dialog};
    d.Choose("rgrSensitivityOutside", c.outsideSensitivity);
    dialog->findChild<QCheckBox*>("chkAdaptOutsideStrength")->setChecked(c.adaptOutside);
    d.Edit("editOutsideExponent")->setText(c.outsideExponent);
    d.Edit("editStrengthOutside")->setText("1.5");
    d.Type("editMaxDepth", "200");
    // Display texts hold 15 significant digits.
    EXPECT_NEAR(std::stod(d.Text("editStrengthOutside")), 1.5 * c.outsideFactor, 1e-13) << c.what;
    EXPECT_NEAR(std::stod(d.Text("editStrengthInside")), c.insideFactor, 1e-13) << c.what;
    EXPECT_TRUE(ui.shown.empty()) << c.what;
  }
  // Leaving without a change keeps the strengths.
  auto dialog = Open();
  Driver d{*dialog};
  d.Type("editMaxDepth", "100");
  EXPECT_EQ(d.Text("editStrengthOutside"), "1");
}

TEST_F(AllPropertiesTest, FormulaAndMapVariableEnableTheirFields) {
  struct Case {
    int formula;
    const char* map;
    bool c, d, n, m;
  } const cases[] = {{5, "optZ", true, true, true, true},
                     {0, "optZ", true, false, false, false},
                     {0, "optC", false, false, false, false},
                     {8, "optD", true, false, true, false}};
  auto dialog = Open();
  Driver d{*dialog};
  for (const Case& c : cases) {
    dialog->findChild<QListWidget*>("lstFormulas")->setCurrentRow(c.formula);
    dialog->findChild<QRadioButton*>(c.map)->setChecked(true);
    EXPECT_EQ(d.Edit("editCR")->isEnabled(), c.c) << c.formula << c.map;
    EXPECT_EQ(d.Edit("editCI")->isEnabled(), c.c) << c.formula << c.map;
    EXPECT_EQ(d.Edit("editDR")->isEnabled(), c.d) << c.formula << c.map;
    EXPECT_EQ(d.Edit("editDI")->isEnabled(), c.d) << c.formula << c.map;
    EXPECT_EQ(d.Edit("editN")->isEnabled(), c.n) << c.formula << c.map;
    EXPECT_EQ(d.Edit("editM")->isEnabled(), c.m) << c.formula << c.map;
  }
}

// A failed OK keeps the dialog open and the document untouched, so Cancel afterwards leaves the
// document as it was; a corrected OK stores everything.
TEST_F(AllPropertiesTest, FailedOkStoresNothingAndTheNextOkStoresAll) {
  const TFractProps fractBefore = fract;
  auto dialog = Open();
  Driver d{*dialog};
  d.Edit("editSelLeft")->setText("-3");
  d.Edit("editCR")->setText("0.25");
  d.Edit("editOuterCircle")->setText("1");
  dialog->findChild<QListWidget*>("lstFormulas")->setCurrentRow(4);
  d.PickColor("colbCursor", "White");
  dialog->accept();
  EXPECT_NE(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"In Outer Circle: Value must be more than 1."});
  EXPECT_EQ(ui.shown.at(0).title, "Input Error");
  EXPECT_EQ(fract, fractBefore);
  EXPECT_EQ(view.CursorColor.GetValue(), 0xFF00FFu);

  d.Edit("editOuterCircle")->setText("4");
  dialog->accept();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(fract.Left.GetValue(), -3);
  EXPECT_EQ(fract.CR.GetValue(), 0.25);
  EXPECT_EQ(fract.OuterCircle.GetValue(), 4);
  EXPECT_EQ(fract.Formula, 4);
  EXPECT_EQ(view.CursorColor.GetValue(), 0xFFFFFFu);
}

TEST_F(AllPropertiesTest, ColourBoxesPipettesAndCustomColoursGoToTheCopy) {
  TColorBox::SetChooser([](std::uint32_t, QWidget*) { return std::optional<std::uint32_t>(0x010203); });
  auto dialog = Open();
  Driver d{*dialog};
  d.PickColor("colbBackground", "Navy");
  d.Click("bbtnMaxDepthColorPipet");
  d.PickColor("colbForegroundInside", "Custom...");
  const TFractViewProps& copy = dialog->ViewCopy();
  EXPECT_EQ(copy.BackgroundColor.GetValue(), 0x800000u);
  EXPECT_EQ(copy.MaxDepthColor.GetValue(), 0x00CC11u);
  EXPECT_EQ(copy.ColorForegroundInside.GetValue(), 0x010203u);
  EXPECT_EQ(dialog->findChild<TColorBox*>("colbMaxDepth")->Color(), 0x00CC11u);
  EXPECT_EQ(view.BackgroundColor.GetValue(), 0u);  // the document only on OK
  TColorBox::SetChooser([](std::uint32_t, QWidget*) { return std::optional<std::uint32_t>(); });
  d.PickColor("colbBackground", "Custom...");  // cancelled: the colour stays
  EXPECT_EQ(dialog->ViewCopy().BackgroundColor.GetValue(), 0x800000u);
  EXPECT_EQ(dialog->findChild<TColorBox*>("colbBackground")->Color(), 0x800000u);
}

TEST_F(AllPropertiesTest, ConfirmedPaletteEditReplacesTheCopyAndChecksUsePalette) {
  struct Case {
    const char* button;
    const char* usePalette;
    std::function<const TColorPalette1D&(const TFractViewProps&)> palette;
  } const cases[] = {
      {"btnDepthColorPaletteOutside", "optDepthPaletteOutside",
       [](const TFractViewProps& v) -> const TColorPalette1D& { return v.PalOutside; }},
      {"btnForegroundPaletteInside", "optForegroundPaletteInside",
       [](const TFractViewProps& v) -> const TColorPalette1D& { return v.PalDepthForegroundInside; }},
  };
  for (const Case& c : cases) {
    for (const bool confirm : {false, true}) {
      exec = [confirm](QDialog& dialog) {
        auto& editor = dynamic_cast<TDlgColorPalette1D&>(dialog);
        editor.findChild<QPushButton*>("btnPalItemAdd")->click();
        if (confirm) editor.accept();
        else editor.reject();
        return editor.result();
      };
      auto dialog = Open();
      Driver d{*dialog};
      d.Click(c.button);
      const TColorPalette1D& palette = c.palette(dialog->ViewCopy());
      const int items = palette.GetFirst()->GetNext()->GetNext() ? 3 : 2;
      EXPECT_EQ(items, confirm ? 3 : 2) << c.button;
      EXPECT_EQ(dialog->findChild<QRadioButton*>(c.usePalette)->isChecked(), confirm) << c.button;
    }
  }
}

// The main window's command: recolouring repaints the computed result, a parameter change
// recomputes, an untouched OK changes nothing.
class PropertiesCommandTest : public ::testing::Test {
 protected:
  PropertiesCommandTest() : form(&ui) {
    form.editNewProperties = [](TMDIChildResult& window) {
      TFractalContent& content = window.Document().Content;
      content.Fractal.XResolution = unitIntegerPosMore(64);
      content.Fractal.YResolution = unitIntegerPosMore(48);
      content.Fractal.MaxDepth = unitIntegerPosMore(60);
      return true;
    };
    form.show();
    form.Action("FileNewFract")->trigger();
    window = form.ActiveFractalWindow();
  }
  ~PropertiesCommandTest() override {
    if (window) window->CloseWithoutQuery();
    QCoreApplication::processEvents();
  }
  bool Finished() {
    return ProcessUntil([&] { return !window->Document().Computation.IsRunning(); });
  }
  // Runs the command with the dialog driven by edit, then OK.
  void Properties(const std::function<void(const Driver&)>& edit) {
    form.execDialog = [edit](QDialog& dialog) {
      edit(Driver{dialog});
      dialog.accept();
      return dialog.result();
    };
    form.Action("actFractProps")->trigger();
  }
  Bitmap24::Bytes Pixels() {
    const Bitmap24* bitmap = window->Document().Computation.Result()->GetBitmap();
    return bitmap ? bitmap->rgb : Bitmap24::Bytes{};
  }

  ScriptedInteraction ui;
  TMainForm form;
  TMDIChildResult* window = nullptr;
};

TEST_F(PropertiesCommandTest, RecolouringRepaintsWithoutRecomputing) {
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(Finished());
  window->Document().ClearChanged();
  const TFractResult* result = window->Document().Computation.Result();
  const Bitmap24::Bytes before = Pixels();

  Properties([](const Driver&) {});  // untouched palettes are no change
  EXPECT_EQ(window->Document().Computation.Result(), result);
  EXPECT_FALSE(window->Document().Changed);
  EXPECT_EQ(Pixels(), before);

  Properties([](const Driver& d) { d.PickColor("colbForegroundOutside", "White"); });
  EXPECT_EQ(window->Document().Computation.Result(), result);  // the same array: not recomputed
  EXPECT_FALSE(window->Document().Computation.IsRunning());
  EXPECT_TRUE(window->Document().Changed);
  EXPECT_EQ(window->Document().Content.View.ForegroundColorOutside.GetValue(), 0xFFFFFFu);
  EXPECT_NE(Pixels(), before);
  EXPECT_EQ(window->Document().Computation.Result()->GetPainted(), result->GetWidth());
}

TEST_F(PropertiesCommandTest, ParameterChangeRecomputesAndCancelChangesNothing) {
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(Finished());
  window->Document().ClearChanged();
  const TFractResult* result = window->Document().Computation.Result();
  const Bitmap24::Bytes before = Pixels();
  form.execDialog = [](QDialog& dialog) {
    Driver{dialog}.Edit("editMaxDepth")->setText("80");
    dialog.reject();
    return dialog.result();
  };
  form.Action("actFractProps")->trigger();
  EXPECT_EQ(window->Document().Content.Fractal.MaxDepth.GetValue(), 60);
  EXPECT_EQ(window->Document().Computation.Result(), result);
  EXPECT_FALSE(window->Document().Computation.IsRunning());
  EXPECT_FALSE(window->Document().Changed);
  EXPECT_EQ(Pixels(), before);

  Properties([](const Driver& d) { d.Edit("editMaxDepth")->setText("80"); });
  EXPECT_EQ(window->Document().Content.Fractal.MaxDepth.GetValue(), 80);
  // Restarted: the workers wait for this thread to paint their first strips.
  EXPECT_TRUE(window->Document().Computation.IsRunning());
  EXPECT_TRUE(window->Document().Changed);
  EXPECT_TRUE(Finished());
}

TEST_F(PropertiesCommandTest, NewDocumentStartsFromTheDialog) {
  form.editNewProperties = [this](TMDIChildResult& w) { return form.EditNewProperties(w); };
  form.execDialog = [](QDialog& dialog) {
    Driver d{dialog};
    d.Edit("editIntHorizontal")->setText("40");
    d.Edit("editIntVertical")->setText("30");
    dialog.accept();
    return dialog.result();
  };
  form.Action("FileNewFract")->trigger();
  TMDIChildResult* created = form.ActiveFractalWindow();
  ASSERT_NE(created, window);
  EXPECT_EQ(created->Document().Content.Fractal.XResolution.GetValue(), 40);
  EXPECT_TRUE(ProcessUntil([&] { return !created->Document().Computation.IsRunning(); }));
  EXPECT_EQ(created->Document().Computation.Result()->GetWidth(), 40);
  created->CloseWithoutQuery();
  QCoreApplication::processEvents();

  const auto windows = form.MdiArea().subWindowList().size();
  form.execDialog = [](QDialog& dialog) {
    dialog.reject();
    return dialog.result();
  };
  form.Action("FileNewFract")->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(form.MdiArea().subWindowList().size(), windows);
}

}  // namespace
