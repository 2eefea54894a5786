#include "cli/RenderCommand.h"

#include <string>

#include "app/FractalDocumentFile.h"
#include "app/PictureExport.h"
#include "app/TUnitFract.h"
#include "cli/ConsoleInteraction.h"
#include "cli/ProgressBar.h"
#include "common/Assert.h"
#include "common/Messages.h"

namespace {

int Fail(std::FILE* err, const std::string& message) {
  std::fprintf(err, "korvana-render: %s\n", message.c_str());
  return 1;
}

bool Compute(TUnitFract& document, int threads, std::FILE* err, bool showProgress,
             std::string& error) {
  ProgressBar progress(err);
  TFractComputation::Listener listener;
  const long long width = document.Content.Fractal.XResolution.GetValue();
  if (showProgress) {
    listener.painted = [&progress, width](int computed) { progress.Update(computed, width); };
  }
  if (!document.Computation.Restart(document.Content, threads, std::move(listener), error)) {
    return false;
  }
  document.Computation.NewBitmap();
  document.Computation.Wait();
  if (showProgress) progress.Finish();
  error = document.Computation.LastError();
  return error.empty();
}

}  // namespace

int RunRender(const RenderOptions& options, std::FILE* err, bool showProgress) {
  ConsoleInteraction ui(err);
  korvana::SetCheckInteraction(&ui);
  TUnitFract document(options.document.empty() ? "NONAME1" : "", options.document);
  std::string error;
  if (!options.document.empty()) {
    if (!document.LoadDocument(error)) {
      korvana::SetCheckInteraction(nullptr);
      return Fail(err, CannotReadFileText(options.document, error));
    }
    document.Content.Bitmaps.LoadPictures(options.document, ui);
  }
  // A picture that could not be loaded has been reported; the fractal is rendered without it,
  // as the desktop program shows it, but the run does not count as a success.
  int status = ui.Errors() > 0 ? 1 : 0;
  if (!Compute(document, options.threads, err, showProgress, error)) {
    status = Fail(err, error);
  } else {
    const TFractResult& result = *document.Computation.Result();
    if (!WritePicture(result, document.Content.View, document.Content.Fractal.MaxCycle.GetValue(),
                      options.output, true, error)) {
      status = Fail(err, error);
    } else if (!options.saveDocument.empty() &&
               !SaveFractalDocument(document.Content, options.saveDocument, ui)) {
      status = 1;
    }
  }
  korvana::SetCheckInteraction(nullptr);
  return status;
}
