// The Project menu (hidden; its commands work through their shortcuts): a project keeps the whole
// workspace, unsaved changes included.
#include "app/ProjectFile.h"
#include "common/Version.h"
#include "gui/MainForm.h"
#include "gui/MainWorkspace.h"

namespace {

Interaction::FileDialog ProjectDialog(const char* title) {
  return {title, "Project Files (*.orp)|*.orp|XML Files (*.xml)|*.xml|All files (*.*)|*.*", "orp",
          ""};
}

}  // namespace

void TMainForm::SetProjectCaption(const std::string& file) {
  projectFile_ = file;
  std::string caption = std::string(korvana::kProgramName) + " " + std::string(korvana::kVersionText);
  if (!file.empty()) caption += " - " + file;
  setWindowTitle(QString::fromStdString(caption));
  UpdateCommandStates();
}

bool TMainForm::OpenProjectFile(const std::string& file) {
  WaitCursor wait(*this);
  SetProjectCaption(file);
  const bool opened = OpenProject(*workspace_, file, *ui_);
  if (!opened) SetProjectCaption("");
  UpdateCommandStates();
  return opened;
}

void TMainForm::ProjectNewCommand() {
  const std::string file = ui_->AskSaveFile(ProjectDialog("New Project"));
  if (file.empty()) return;
  if (SaveProject(*workspace_, projectFile_, false, *ui_) && CloseAllWindows()) {
    SetProjectCaption(file);
  }
}

void TMainForm::ProjectOpenCommand() {
  const std::vector<std::string> files = ui_->AskOpenFiles(ProjectDialog("Open Project"), false);
  if (files.empty()) return;
  if (SaveProject(*workspace_, projectFile_, false, *ui_) && CloseAllWindows()) {
    OpenProjectFile(files.front());
  }
}

void TMainForm::ProjectCloseCommand() {
  if (projectFile_.empty()) return;  // the shortcut works while the action is disabled
  if (SaveProject(*workspace_, projectFile_, false, *ui_) && CloseAllWindows()) {
    SetProjectCaption("");
  }
}

void TMainForm::ProjectSaveCommand() {
  if (projectFile_.empty()) return;
  WaitCursor wait(*this);
  SaveProject(*workspace_, projectFile_, false, *ui_);
  UpdateCommandStates();
}

void TMainForm::ProjectExportCommand() {
  if (projectFile_.empty()) return;
  const std::string file = ui_->AskSaveFile(ProjectDialog("Export Project"));
  if (file.empty()) return;
  WaitCursor wait(*this);
  SaveProject(*workspace_, file, true, *ui_);
}
