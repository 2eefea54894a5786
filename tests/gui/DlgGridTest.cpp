#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMouseEvent>

#include "GuiTestSupport.h"
#include "ScriptedInteraction.h"
#include "app/TUnitFract.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/DlgGrid.h"
#include "gui/widgets/ColorBox.h"

namespace {

// A fractal window with a small, quick document, for the grid and orbit point commands.
class StudyCommandsTest : public ::testing::Test {
 protected:
  StudyCommandsTest() : form(&ui) {
    form.editNewProperties = [](TMDIChildResult& window) {
      TFractProps& f = window.Document().Content.Fractal;
      f.XResolution = unitIntegerPosMore(40);
      f.YResolution = unitIntegerPosMore(40);
      f.MaxDepth = unitIntegerPosMore(20);
      return true;
    };
    form.show();
    form.Action("FileNewFract")->trigger();
    window = form.ActiveFractalWindow();
  }
  ~StudyCommandsTest() override {
    if (window) window->CloseWithoutQuery();
    QCoreApplication::processEvents();
  }
  void Click(QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), window->View().mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window->View(), &press);
  }

  ScriptedInteraction ui;
  TMainForm form;
  TMDIChildResult* window = nullptr;
};

TEST_F(StudyCommandsTest, GridDialogEditsTheGridOfTheCurrentViewMode) {
  ASSERT_NE(window, nullptr);
  const struct {
    std::uint8_t viewMode;
    bool horizontalBefore;
    bool accept;
  } cases[] = {{0, false, true}, {1, true, true}, {0, true, false}};
  for (const auto& c : cases) {
    window->SetViewMode(c.viewMode);
    TGrid& grid = window->View().GetGrid();
    EXPECT_EQ(grid.Horizontal, c.horizontalBefore) << int(c.viewMode);
    const TGrid before = grid;
    form.execDialog = [&](QDialog& dialog) {
      auto& dlg = dynamic_cast<TDlgGrid&>(dialog);
      EXPECT_EQ(dlg.windowTitle(), "Grid");
      EXPECT_EQ(dlg.HorizontalBox()->isChecked(), before.Horizontal);
      EXPECT_EQ(dlg.SubColorBox()->Color(), before.SubColor);
      dlg.HorizontalBox()->setChecked(!before.Horizontal);
      dlg.BeamsBox()->setChecked(true);
      dlg.MainColorBox()->SetColor(0x0000FF);
      if (!c.accept) return 0;
      dlg.Accept();
      return dlg.result();
    };
    form.GridCommand();
    if (c.accept) {
      EXPECT_EQ(grid.Horizontal, !before.Horizontal);
      EXPECT_TRUE(grid.Beams);
      EXPECT_EQ(grid.MainColor, 0x0000FFu);
      EXPECT_EQ(grid.SubColor, before.SubColor);
    } else {
      EXPECT_EQ(grid, before);
    }
  }
  // The two view modes keep their own grids.
  window->SetViewMode(1);
  EXPECT_TRUE(window->View().GetGrid().Vertical);
}

TEST_F(StudyCommandsTest, ClicksStartSeriesThatStepAndGroupIntoARing) {
  ASSERT_NE(window, nullptr);
  TViewResult& view = window->View();
  view.resize(200, 200);
  form.Action("DrawPoints")->trigger();
  ASSERT_EQ(window->MouseMode, 3);
  form.GroupAsPolynoomCommand();  // on: the next series are marked
  for (QPoint at : {QPoint(10, 10), QPoint(100, 50), QPoint(150, 150)}) Click(at);
  ASSERT_EQ(view.Points().Count(), 3u);
  // The newest series starts at the clicked plane point.
  const PlanePoint p = PlanePointAt(PlaneOf(window->Document().Content.Fractal), 150, 150, 200, 200);
  EXPECT_EQ(view.Points().Newest(0).Points[0].re, p.re);
  EXPECT_EQ(view.Points().Newest(0).Points[0].im, p.im);
  form.GroupAsPolynoomCommand();  // off: grouped
  EXPECT_EQ(view.Points().Newest(0).GroupPartner, view.Points().IndexOf(1));
  EXPECT_EQ(view.Points().Newest(2).GroupPartner, view.Points().IndexOf(0));
  form.AddNextPointsCommand();
  form.AddNextPointsCommand();
  EXPECT_EQ(view.Points().Newest(1).Points.size(), 3u);
  QImage shot(view.size(), QImage::Format_RGB32);
  view.render(&shot);  // paints points without trouble
  form.RemovePointsCommand();
  EXPECT_EQ(view.Points().Count(), 0u);
}

}  // namespace
