// "Export at Size...": the fractal of the active window computed anew at any size, in bounded
// memory, on a worker thread with a progress dialog and Cancel; the window's result is untouched.
#include <QProgressDialog>
#include <atomic>

#include "app/DocumentCommands.h"
#include "app/PosterRender.h"
#include "app/TUnitFract.h"
#include "gui/GuiThreads.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"
#include "gui/dialogs/DlgExportSize.h"

void TMainForm::ExportAtSizeCommand() {
  OnActive([this](TMDIChildResult& window) {
    const TFractalContent& content = window.Document().Content;
    TDlgExportSize dialog(this, window.View().GetBitmapWidth(), window.View().GetBitmapHeight(),
                          content.View.ValuesPerPixel.GetValue());
    if (execDialog(dialog) != QDialog::Accepted) return;
    const std::string file = ui_->AskSaveFile(ExportBitmapDialog());
    if (file.empty()) return;
    ExportAtSize(content, dialog.PictureWidth(), dialog.PictureHeight(), dialog.Supersample(),
                 file);
  });
}

bool TMainForm::ExportAtSize(const TFractalContent& content, int width, int height,
                             int supersample, const std::string& file) {
  QProgressDialog progress("Exporting the picture...", "Cancel", 0, 1000, this);
  progress.setWindowTitle("Export at Size");
  progress.setAccessibleName("Export progress");
  progress.setMinimumDuration(300);
  progress.setValue(0);
  std::atomic<bool> cancel{false};
  std::atomic<int> permille{0};
  std::string error;
  // The worker renders a copy; the GUI thread keeps painting and answers Cancel meanwhile.
  const bool ok = RunWhileProcessingEvents(
      [&] {
        return RenderPoster(
            content, width, height, supersample, file,
            [&permille](double done) { permille = static_cast<int>(done * 1000); }, &cancel,
            error);
      },
      [&] {
        progress.setValue(permille.load());
        if (progress.wasCanceled()) cancel = true;
      });
  progress.reset();
  if (!ok && !cancel) ui_->ShowMessage("File Error", error, Interaction::Icon::Information);
  return ok;
}
