// The study commands: bitmaps dialog, grid and orbit points on the active fractal window.
#include <QDialog>

#include "app/TUnitFract.h"
#include "fractal/TKernelParams.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/DlgBitmapsProps.h"
#include "gui/dialogs/DlgGrid.h"

void TMainForm::BitmapPropertiesCommand() {
  OnActive([this](TMDIChildResult& window) {
    TUnitFract& document = window.Document();
    const BitmapsProps before = document.Content.Bitmaps;
    TDlgBitmapsProps dialog(*this, window, this);
    if (execDialog(dialog) != QDialog::Accepted) return;
    // OK stopped the computation. It starts again when the properties changed, when pictures
    // were loaded (a file may have new content under the same name), and when it had not
    // finished, so that OK never leaves a half-computed picture behind.
    const bool changed = !document.Content.Bitmaps.Equals(before);
    const TFractResult* result = document.Computation.Result();
    const bool unfinished = !result || result->GetComputed() < result->GetWidth();
    if (changed) document.SetChanged();
    if (changed || dialog.PicturesLoaded() || unfinished) {
      TViewResult& view = window.View();
      view.Restart();
      view.NewBitmap();
      view.PaintNewColumns();
    }
    UpdateCommandStates();
  });
}

void TMainForm::GridCommand() {
  OnActive([this](TMDIChildResult& window) {
    TDlgGrid dialog(window.View().GetGrid(), this);
    if (execDialog(dialog) == QDialog::Accepted) window.View().update();
  });
}

void TMainForm::AddNextPointsCommand() {
  OnActive([](TMDIChildResult& window) {
    window.View().Points().AddNextPoints(
        TKernelParams::FromProps(window.Document().Content.Fractal));
    window.View().update();
  });
}

void TMainForm::GroupAsPolynoomCommand() {
  OnActive([](TMDIChildResult& window) {
    TViewResult& view = window.View();
    view.PointsGrouping = !view.PointsGrouping;
    // Switching off closes the series marked meanwhile into a polygon.
    if (!view.PointsGrouping) view.Points().Group();
    view.update();
  });
  UpdateCommandStates();
}

void TMainForm::RemovePointsCommand() {
  OnActive([](TMDIChildResult& window) {
    window.View().Points().RemoveAll();
    window.View().update();
  });
}
