#pragma once

#include "app/Workspace.h"

class TMainForm;
class TMDIChildResult;

// The workspace of the project logic over the main window: its fractal windows in stacking
// order, their geometry inside the window area, and the main window's own geometry. Geometry read
// from a project is kept on the screen.
class TMainWorkspace : public Workspace {
 public:
  explicit TMainWorkspace(TMainForm& main) : main_(main) {}

  std::vector<TUnitFract*> Documents() override;
  WindowGeometry GetWindowGeometry(const TUnitFract& document) override;
  void SetWindowGeometry(TUnitFract& document, const WindowGeometry& geometry) override;
  WindowGeometry GetFrameGeometry() override;
  void SetFrameGeometry(const WindowGeometry& geometry) override;
  int GetNoNameCounter() override;
  void SetNoNameCounter(int counter) override;
  TUnitFract* OpenDocument(const std::string& file, const std::string& readFrom) override;
  bool CloseDocument(TUnitFract& document, bool ask) override;

 private:
  TMDIChildResult* WindowOf(const TUnitFract& document) const;

  TMainForm& main_;
};
