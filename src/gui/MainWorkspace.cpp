#include "gui/MainWorkspace.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include "app/TUnitFract.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"

namespace {

WindowGeometry GeometryOf(const QWidget& widget) {
  WindowGeometry geometry{widget.x(), widget.y(), widget.width(), widget.height(),
                          WindowGeometry::State::Normal};
  if (widget.isMinimized()) geometry.state = WindowGeometry::State::Minimized;
  if (widget.isMaximized()) geometry.state = WindowGeometry::State::Maximized;
  return geometry;
}

// The rectangle moved and shrunk as far as needed to lie inside `area`.
QRect KeptInside(const WindowGeometry& g, const QRect& area) {
  QRect rect(g.left, g.top, std::min(g.width, area.width()), std::min(g.height, area.height()));
  rect.moveLeft(std::clamp(rect.left(), area.left(), area.right() - rect.width() + 1));
  rect.moveTop(std::clamp(rect.top(), area.top(), area.bottom() - rect.height() + 1));
  return rect;
}

void ApplyState(QWidget& widget, WindowGeometry::State state) {
  switch (state) {
    case WindowGeometry::State::Minimized: widget.showMinimized(); break;
    case WindowGeometry::State::Maximized: widget.showMaximized(); break;
    case WindowGeometry::State::Normal: widget.showNormal(); break;
  }
}

}  // namespace

std::vector<TUnitFract*> TMainWorkspace::Documents() {
  std::vector<TUnitFract*> documents;
  for (QMdiSubWindow* window : main_.MdiArea().subWindowList(QMdiArea::StackingOrder)) {
    if (auto* result = dynamic_cast<TMDIChildResult*>(window)) documents.push_back(&result->Document());
  }
  return documents;
}

TMDIChildResult* TMainWorkspace::WindowOf(const TUnitFract& document) const {
  for (QMdiSubWindow* window : main_.MdiArea().subWindowList()) {
    auto* result = dynamic_cast<TMDIChildResult*>(window);
    if (result && &result->Document() == &document) return result;
  }
  return nullptr;
}

WindowGeometry TMainWorkspace::GetWindowGeometry(const TUnitFract& document) {
  const TMDIChildResult* window = WindowOf(document);
  return window ? GeometryOf(*window) : WindowGeometry{};
}

void TMainWorkspace::SetWindowGeometry(TUnitFract& document, const WindowGeometry& geometry) {
  TMDIChildResult* window = WindowOf(document);
  if (!window) return;
  QRect area = main_.MdiArea().viewport()->rect();
  if (area.width() < 100 || area.height() < 100) area = QRect(0, 0, 4096, 4096);
  window->showNormal();
  window->setGeometry(KeptInside(geometry, area));
  ApplyState(*window, geometry.state);
}

WindowGeometry TMainWorkspace::GetFrameGeometry() { return GeometryOf(main_); }

void TMainWorkspace::SetFrameGeometry(const WindowGeometry& geometry) {
  const QScreen* screen = main_.screen() ? main_.screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 4096, 4096);
  main_.setGeometry(KeptInside(geometry, area));
  if (geometry.state != WindowGeometry::State::Normal) ApplyState(main_, geometry.state);
}

int TMainWorkspace::GetNoNameCounter() { return main_.NoNameCounter; }

void TMainWorkspace::SetNoNameCounter(int counter) { main_.NoNameCounter = counter; }

TUnitFract* TMainWorkspace::OpenDocument(const std::string& file, const std::string& readFrom) {
  TMDIChildResult* window = main_.OpenDocumentWindow(file, readFrom);
  return window ? &window->Document() : nullptr;
}

bool TMainWorkspace::CloseDocument(TUnitFract& document, bool ask) {
  TMDIChildResult* window = WindowOf(document);
  if (!window) return true;
  if (ask) {
    if (!window->close()) return false;
  } else {
    window->CloseWithoutQuery();
  }
  delete window;  // at once, so the window list no longer holds it
  return true;
}
