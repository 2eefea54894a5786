#include "app/DocumentCommands.h"

#include <algorithm>
#include <cctype>

#include "app/BusyIndicator.h"
#include "app/FractalDocumentFile.h"
#include "app/TUnitFract.h"
#include "common/FileNames.h"
#include "common/Messages.h"

namespace {

constexpr const char* kFractalFilter = "Fractals (*.kvf)|*.kvf|All files (*.*)|*.*";

std::string Lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

Interaction::FileDialog OpenFractalDialog() {
  // Pictures exported as PNG carry their fractal and open like a document.
  return {"Open Fractal",
          "Fractals (*.kvf)|*.kvf|Fractal pictures (*.png)|*.png|All files (*.*)|*.*", "kvf", ""};
}

Interaction::FileDialog SaveFractalDialog() { return {"Save Fractal", kFractalFilter, "kvf", ""}; }

Interaction::FileDialog ExportBitmapDialog() {
  return {"Export to Bitmap",
          "Bitmaps (*.bmp)|*.bmp|Tiff Files (*.tif)|*.tif|PNG Files (*.png)|*.png|"
          "All files (*.*)|*.*",
          "bmp", ""};
}

std::string NoNameName(int counter) { return "NONAME" + std::to_string(counter); }

bool SaveFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy) {
  if (document.IsNew()) return SaveFractAs(document, ui, busy);
  WaitCursor wait(busy);
  if (!document.SaveIfNeeded(document.File, ui)) return false;
  document.ClearChanged();
  return true;
}

bool SaveFractAs(TUnitFract& document, Interaction& ui, BusyIndicator& busy) {
  const std::string file = ui.AskSaveFile(SaveFractalDialog());
  if (file.empty()) return false;
  WaitCursor wait(busy);
  if (!document.SaveDocument(file, ui)) return false;
  document.SetFile(file);
  document.ClearChanged();
  return true;
}

bool QueryCloseFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy) {
  if (!document.NeedsSave()) return true;
  switch (ui.AskYesNoCancel("You have unsaved changes", document.SaveQuestion())) {
    case Interaction::Answer::Yes: return SaveFract(document, ui, busy);
    case Interaction::Answer::No: return true;
    case Interaction::Answer::Cancel: break;
  }
  return false;
}

bool RevertFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy) {
  if (document.IsNew() || !document.NeedsSave()) return false;
  WaitCursor wait(busy);
  TFractalContent content;
  std::string message;
  if (!LoadFractalDocument(content, document.File, message)) {
    ui.ShowMessage("File Error", "Cannot revert the file: \"" + document.File + "\", " + message,
                   Interaction::Icon::Information);
    return false;
  }
  // The running computation reads the content: stop it before the content is replaced.
  document.Computation.Stop();
  document.Content = std::move(content);
  document.Content.Bitmaps.LoadPictures(document.File, ui);
  document.ClearChanged();
  return true;
}

void ExportFract(TUnitFract& document, Interaction& ui, BusyIndicator& busy) {
  const std::string file = ui.AskSaveFile(ExportBitmapDialog());
  if (file.empty()) return;
  std::string error;
  bool ok;
  {
    WaitCursor wait(busy);
    ok = document.ExportPicture(file, ui, error);
  }
  if (!ok) ui.ShowMessage("File Error", error, Interaction::Icon::Information);
}

StartupTarget CommandLineTarget(const std::string& argument, Interaction& ui) {
  std::string name, extension;
  SplitFileExtension(argument, name, extension);
  if (name == argument) {
    ui.ShowMessage("File Error",
                   "Cannot read the file: \"" + argument + "\" File has no extension",
                   Interaction::Icon::Information);
    extension = argument;
  }
  extension = Lowered(extension);
  if (extension == "orp") return {StartupTarget::Kind::Project, argument};
  if (extension == "kvf" || extension == "png") return {StartupTarget::Kind::Fractal, argument};
  ui.ShowMessage("File Error", "Invalid extension \"" + extension + "\" used.",
                 Interaction::Icon::Information);
  return {};
}

TFractProps JuliaProps(const TFractProps& clicked, double re, double im) {
  TFractProps julia = clicked;
  if (clicked.MapVar == MapC) {
    julia.CR.SetValue(re);
    julia.CI.SetValue(im);
  }
  if (clicked.MapVar == MapD) {
    julia.DR.SetValue(re);
    julia.DI.SetValue(im);
  }
  julia.Left.SetValue(-1.6);
  julia.Right.SetValue(1.6);
  julia.Top.SetValue(1.4);
  julia.Bottom.SetValue(-1.4);
  julia.MapVar = MapZ;
  return julia;
}
