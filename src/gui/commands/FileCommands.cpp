// The File menu: new, open, duplicate, save, save as, revert, export, the close query and the
// command line.
#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/DocumentCommands.h"
#include "app/ProjectFile.h"
#include "files/PngText.h"
#include "app/TUnitFract.h"
#include "common/Messages.h"
#include "gui/MainForm.h"
#include "gui/MainWorkspace.h"
#include "gui/ResultWindow.h"
#include "gui/ViewResult.h"

TMDIChildResult* TMainForm::CreateResultWindow(std::unique_ptr<TUnitFract> document) {
  auto* window = new TMDIChildResult(*this, std::move(document));
  mdiArea_->addSubWindow(window);
  window->UpdateCaption();
  window->show();
  return window;
}

void TMainForm::OnActive(const std::function<void(TMDIChildResult&)>& command) {
  if (TMDIChildResult* window = ActiveFractalWindow()) command(*window);
}

void TMainForm::FileNewFract() {
  WaitCursor wait(*this);
  ++NoNameCounter;  // counted even when the dialog is cancelled
  auto document = std::make_unique<TUnitFract>(NoNameName(NoNameCounter), "");
  document->TrackChanges = false;
  TMDIChildResult* window = CreateResultWindow(std::move(document));
  TUnitFract& created = window->Document();
  if (!editNewProperties(*window)) {
    window->CloseWithoutQuery();
    return;
  }
  created.TrackChanges = true;
  window->View().Restart();
  window->View().NewBitmap();
  UpdateCommandStates();
}

void TMainForm::FileOpenFract() {
  const std::vector<std::string> files = ui_->AskOpenFiles(OpenFractalDialog(), true);
  if (files.empty()) return;
  WaitCursor wait(*this);
  for (const std::string& file : files) OpenFractFile(file);
}

bool TMainForm::OpenFractFile(const std::string& file) {
  TMDIChildResult* window = OpenDocumentWindow(file, file);
  if (window && IsPngFile(file)) {
    // The fractal of a picture is a new document: Save asks where to write it.
    TUnitFract& document = window->Document();
    document.File.clear();
    document.SetName(NoNameName(++NoNameCounter));
  }
  if (window) window->Document().TrackChanges = true;
  UpdateCommandStates();
  return window != nullptr;
}

TMDIChildResult* TMainForm::OpenDocumentWindow(const std::string& file, const std::string& readFrom) {
  auto document = std::make_unique<TUnitFract>("", readFrom);
  std::string error;
  if (!document->LoadDocument(error)) {
    ShowCannotReadFile(*ui_, readFrom, error);
    return nullptr;
  }
  document->TrackChanges = false;
  document->File = file;
  document->Content.Bitmaps.LoadPictures(file.empty() ? readFrom : file, *ui_);
  TMDIChildResult* window = CreateResultWindow(std::move(document));
  window->View().Restart();
  window->View().NewBitmap();
  window->View().PaintNewColumns();
  return window;
}

void TMainForm::NewDocumentFrom(const TFractalContent& content) {
  ++NoNameCounter;
  auto document = std::make_unique<TUnitFract>(NoNameName(NoNameCounter), "");
  document->Content = content;
  TMDIChildResult* window = CreateResultWindow(std::move(document));
  window->View().Restart();
  window->View().NewBitmap();
  UpdateCommandStates();
}

void TMainForm::DuplicateFract() {
  OnActive([this](TMDIChildResult& window) {
    if (!Action("DuplicateFract")->isEnabled()) return;
    WaitCursor wait(*this);
    const TFractalContent copy = window.Document().Content;
    NewDocumentFrom(copy);
  });
}

void TMainForm::FileSave() {
  OnActive([this](TMDIChildResult& window) {
    SaveFract(window.Document(), *ui_, *this);
    UpdateCommandStates();
  });
}

void TMainForm::FileSaveAs() {
  OnActive([this](TMDIChildResult& window) {
    SaveFractAs(window.Document(), *ui_, *this);
    UpdateCommandStates();
  });
}

void TMainForm::FileRevert() {
  OnActive([this](TMDIChildResult& window) {
    if (RevertFract(window.Document(), *ui_, *this)) {
      window.View().Restart();
      window.View().NewBitmap();
    }
    UpdateCommandStates();
  });
}

void TMainForm::ExportBitmap() {
  OnActive([this](TMDIChildResult& window) { ExportFract(window.Document(), *ui_, *this); });
}

bool TMainForm::QueryCloseFract(TUnitFract& document) {
  const bool close = ::QueryCloseFract(document, *ui_, *this);
  UpdateCommandStates();
  return close;
}

bool TMainForm::CloseAllWindows() {
  const bool closed = ::CloseAllWindows(*workspace_, !projectFile_.empty());
  UpdateCommandStates();
  return closed;
}

void TMainForm::OpenCommandLine(const std::string& argument) {
  const StartupTarget target = CommandLineTarget(argument, *ui_);
  switch (target.kind) {
    case StartupTarget::Kind::Fractal: {
      WaitCursor wait(*this);
      OpenFractFile(target.file);
      SetProjectCaption("");
      break;
    }
    case StartupTarget::Kind::Project: OpenProjectFile(target.file); break;
    case StartupTarget::Kind::None: break;
  }
}
