// The fractal properties dialog: on the active window's document, and on a new document.
#include "app/TUnitFract.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/AllProperties.h"
#include "view/ViewPropsContent.h"

void TMainForm::FractalPropertiesCommand() {
  OnActive([this](TMDIChildResult& window) {
    TUnitFract& document = window.Document();
    TFractalContent& content = document.Content;
    const TFractProps fractBefore = content.Fractal;
    const TFractViewProps viewBefore = content.View;
    TAllProperties::Services services{Ui(), execDialog, GetPipetColor(), nullptr};
    // The engine computes from its own copy of the parameters, but a computation whose
    // parameters are replaced would finish a picture of parameters the document no longer has.
    services.beforeStore = [&window](bool fractalChanges) {
      if (fractalChanges) window.View().StopThread();
    };
    TAllProperties dialog(this, content.View, window.View().height(), window.View().width(),
                          content.Fractal, std::move(services));
    if (execDialog(dialog) != QDialog::Accepted) return;

    const bool fractChanged = content.Fractal.Changed(fractBefore);
    // Palettes by content: an untouched palette is no change.
    const bool viewChanged = !ViewColoringEqual(content.View, viewBefore);
    if (fractChanged || (viewChanged && content.Bitmaps.IsActive())) window.View().Restart();
    if (fractChanged || viewChanged) {
      // Colours alone repaint what has been computed; the computation goes on.
      window.View().NewBitmap();
      document.SetChanged();
      if (TFractResult* result = document.Computation.Result()) result->SetPainted(0);
      window.View().PaintNewColumns();
      window.View().update();
    } else if (!ViewStoredEqual(content.View, viewBefore)) {
      document.SetChanged();  // settings that colour nothing are still the document's
    }
    UpdateCommandStates();
  });
}

bool TMainForm::EditNewProperties(TMDIChildResult& window) {
  TFractalContent& content = window.Document().Content;
  TAllProperties dialog(this, content.View, window.View().height(), window.View().width(),
                        content.Fractal, {Ui(), execDialog, GetPipetColor(), nullptr});
  return execDialog(dialog) == QDialog::Accepted;
}
