#include "gui/ResultWindow.h"

#include <QCloseEvent>

#include "app/CommandState.h"
#include "app/TUnitFract.h"
#include "gui/Cursors.h"
#include "gui/MainForm.h"
#include "gui/ViewResult.h"

TMDIChildKorvana::TMDIChildKorvana(TMainForm& main, TUnit& unit) : Unit(&unit), main_(main) {
  setWindowTitle("MDI Child");
}

void TMDIChildKorvana::NameChanged(const std::string&) { UpdateCaption(); }

std::uint8_t TMDIChildKorvana::GetKind() const { return Unit->Kind; }

void TMDIChildKorvana::UpdateCaption() {
  setWindowTitle(QString::fromStdString(Unit->Caption()));
  main_.UpdateCommandStates();
}

TMDIChildResult::TMDIChildResult(TMainForm& main, std::unique_ptr<TUnitFract> document)
    : TMDIChildKorvana(main, *document), unitFract_(std::move(document)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowIcon(KorvanaAppIcon());
  unitFract_->nameChanged = [this](const std::string& old) { NameChanged(old); };
  unitFract_->captionChanged = [this] { UpdateCaption(); };
  viewResult_ = new TViewResult(main, *this, *unitFract_);
  setWidget(viewResult_);
  resize(328, 418);
}

TMDIChildResult::~TMDIChildResult() {
  // The engine hands strips over to the view: stop it while the view still exists.
  unitFract_->Computation.Stop();
  unitFract_->nameChanged = nullptr;
  unitFract_->captionChanged = nullptr;
  delete viewResult_;
}

void TMDIChildResult::SetCursorKind(int cursor) { viewResult_->setCursor(KorvanaCursor(cursor)); }

void TMDIChildResult::SetMouseMode(std::uint8_t mode) {
  MouseMode = mode;
  SetCursorKind(CursorOfMouseMode(mode));
  viewResult_->update();
  main_.UpdateCommandStates();
}

void TMDIChildResult::SetViewMode(std::uint8_t mode) {
  viewResult_->SetViewMode(mode);
  SetMouseMode(0);
}

void TMDIChildResult::CloseWithoutQuery() {
  skipQuery_ = true;
  close();
}

void TMDIChildResult::PlaneShown() {
  const PlaneRect plane = PlaneOf(unitFract_->Content.Fractal);
  if (history_.Size() == 0) {
    history_.Reset(plane);
  } else {
    history_.Visit(plane);
  }
  main_.UpdateCommandStates();
}

void TMDIChildResult::GoBack() {
  if (history_.CanGoBack()) viewResult_->SetCoordinates(history_.Back());
}

void TMDIChildResult::GoForward() {
  if (history_.CanGoForward()) viewResult_->SetCoordinates(history_.Forward());
}

void TMDIChildResult::GoHome() {
  if (history_.CanGoHome()) viewResult_->SetCoordinates(history_.Home());
}

void TMDIChildResult::closeEvent(QCloseEvent* event) {
  if (!skipQuery_ && !main_.QueryCloseFract(*unitFract_)) {
    event->ignore();
    return;
  }
  unitFract_->Computation.Stop();
  QMdiSubWindow::closeEvent(event);
}
