#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>

#include "view/Grid.h"
#include "view/OrbitPoints.h"
#include "view/ViewGeometry.h"

class TMainForm;
class TMDIChildResult;
class TUnitFract;

// The canvas of a fractal window: shows the document's off-screen bitmap stretched over the
// whole widget, grows it column by column while the engine computes (the engine's hand-overs
// are serviced here, on the GUI thread), draws the zoom rectangle, reacts to the mouse by the
// window's mouse mode and reports the plane point and the sample under the mouse in the status
// bar.
class TViewResult : public QWidget {
  Q_OBJECT
 public:
  TViewResult(TMainForm& main, TMDIChildResult& window, TUnitFract& document);

  // Stops the running computation and starts a new one from the document's parameters. A
  // failure (not enough memory) is shown; the window stays usable with no picture.
  bool Restart();
  // A new black bitmap of the current pixel size.
  void NewBitmap();
  // Paints what has been computed but not painted, then refreshes the window.
  void PaintNewColumns();
  // Sets the plane rectangle (marking the document changed) and restarts; only repaints in view
  // mode 1.
  void SetCoordinates(const PlaneRect& plane);
  void StopThread();
  void SetViewMode(std::uint8_t mode);
  std::uint8_t ViewMode() const { return viewMode_; }
  bool PointsGrouping = false;

  // The grid of the current view mode (each view mode has its own).
  TGrid& GetGrid() { return grids_[viewMode_ == 0 ? 0 : 1]; }
  // The orbit points over this view; they live as long as the view.
  TOrbitPoints& Points() { return points_; }

  int GetBitmapWidth() const;
  int GetBitmapHeight() const;

  // The zoom rectangle last drawn, if any (window pixels).
  bool ZoomRectDrawn() const { return zoomRectDrawn_; }
  PixelRect ZoomRect() const { return zoomRect_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Zoom(QPoint at, bool in);
  void Pipette(QPoint at);
  void ShowMouseStatus();

  TMainForm& main_;
  TMDIChildResult& window_;
  TUnitFract& document_;
  std::uint8_t viewMode_ = 0;
  QPoint lastMouse_;
  bool mouseSeen_ = false;
  QPoint prevMouse_{-1, -1};
  PixelRect zoomRect_{};
  bool zoomRectDrawn_ = false;
  int wheelRemainder_ = 0;  // angle delta not yet turned into whole wheel steps
  // The grids of view mode 0 (all off) and view mode 1 (real and imaginary lines on).
  TGrid grids_[2] = {TGrid{}, TGrid{0xFFFFFF, 0x808080, true, true, false, false}};
  TOrbitPoints points_;
};
