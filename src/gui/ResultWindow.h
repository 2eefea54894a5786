#pragma once

#include <QMdiSubWindow>
#include <cstdint>
#include <memory>
#include <string>

#include "app/NavigationHistory.h"

class TMainForm;
class TUnit;
class TUnitFract;
class TViewResult;

// The base of the document windows inside the main window: the document it shows, its kind and
// its caption.
class TMDIChildKorvana : public QMdiSubWindow {
  Q_OBJECT
 public:
  TMDIChildKorvana(TMainForm& main, TUnit& unit);

  // Shows one of the program's cursors (by number) over the window.
  virtual void SetCursorKind(int cursor) = 0;
  // After the document's name changed.
  virtual void NameChanged(const std::string& oldName);
  std::uint8_t GetKind() const;
  // Name + " - " + File, or whichever is not empty.
  void UpdateCaption();

  TUnit* Unit;

 protected:
  TMainForm& main_;
};

// A fractal window: owns its document and the view that shows it, and holds the mouse mode and
// the zoom rectangle factor. Closing runs the close query; a closing window stops its
// computation before anything is destroyed.
class TMDIChildResult : public TMDIChildKorvana {
  Q_OBJECT
 public:
  TMDIChildResult(TMainForm& main, std::unique_ptr<TUnitFract> document);
  ~TMDIChildResult() override;

  void SetCursorKind(int cursor) override;
  // Stores the mode and shows its cursor.
  void SetMouseMode(std::uint8_t mode);
  // Passes the view mode to the view, then mouse mode 0.
  void SetViewMode(std::uint8_t mode);

  TUnitFract& Document() { return *unitFract_; }
  TViewResult& View() { return *viewResult_; }
  std::uint8_t MouseMode = 0;
  double ZoomRectFactor = 0.5;
  // Closes without the close query (a new document whose first dialog was cancelled, projects).
  void CloseWithoutQuery();

  // Called whenever a computation starts: records the plane rectangle it shows.
  void PlaneShown();
  // Back, Forward and Home through the plane rectangles shown; each goes through the view's
  // SetCoordinates like a zoom.
  void GoBack();
  void GoForward();
  void GoHome();
  const TNavigationHistory& History() const { return history_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<TUnitFract> unitFract_;
  TViewResult* viewResult_;  // owned through Qt's parent chain, deleted first
  bool skipQuery_ = false;
  TNavigationHistory history_;
};
