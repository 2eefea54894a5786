#include "app/TUnitFract.h"

#include "app/FractalDocumentFile.h"
#include "app/PictureExport.h"

std::string TUnitFract::SaveQuestion() const {
  std::string text = "Do you want to save the Fractal";
  text += Name.empty() ? " without name" : " with name \"" + Name + "\"";
  if (IsNew()) {
    text += " to a new file";
  } else {
    text += " to current file \"" + File + "\"";
  }
  return text + "?";
}

std::string TUnitFract::StatusText() const {
  if (IsNew()) return "New";
  return NeedsSave() ? "Changed" : "";
}

bool TUnitFract::LoadDocument(std::string& error) {
  return LoadFractalDocument(Content, File, error);
}

bool TUnitFract::SaveDocument(const std::string& file, Interaction& ui) const {
  return SaveFractalDocument(Content, file, ui);
}

bool TUnitFract::SaveIfNeeded(const std::string& file, Interaction& ui) const {
  return NeedsSave() ? SaveDocument(file, ui) : true;
}

bool TUnitFract::ExportPicture(const std::string& fileName, Interaction& ui,
                               std::string& error) const {
  return ::ExportPicture(Computation.Result(), Content.View, Content.Fractal.MaxCycle.GetValue(),
                         fileName, ui, error, BuildFractalDocument(Content)->WriteXMLString());
}
