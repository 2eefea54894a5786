#include "gui/ViewResult.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include "app/TUnitFract.h"
#include "fractal/TKernelParams.h"
#include "gui/MainForm.h"
#include "gui/ResultWindow.h"
#include "gui/ViewOverlays.h"
#include "view/TResultRenderer.h"

namespace {

QColor ColorOfWord(std::uint32_t word) {
  return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
}

}  // namespace

TViewResult::TViewResult(TMainForm& main, TMDIChildResult& window, TUnitFract& document)
    : main_(main), window_(window), document_(document) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAccessibleName("Fractal view");
  setMinimumSize(1, 1);
}

bool TViewResult::Restart() {
  TFractComputation::Listener listener;
  listener.painted = [this](int) { update(); };
  // From a worker: the hand-over is serviced by a queued call on the GUI thread. The engine is
  // always stopped before the view goes, and Qt drops calls queued for a deleted object.
  listener.wake = [this] {
    QMetaObject::invokeMethod(
        this, [this] { document_.Computation.ServiceHandOvers(); }, Qt::QueuedConnection);
  };
  // Runs inside the engine's servicing: a message box there would run an event loop that
  // services the engine again, so the report of a failed run is queued.
  listener.finished = [this] {
    update();  // the repaint draws the orbit points over the finished picture
    QMetaObject::invokeMethod(
        this, [this] { main_.ComputationFinished(window_); }, Qt::QueuedConnection);
  };
  std::string error;
  const bool ok = document_.Computation.Restart(document_.Content, main_.Threads(),
                                                std::move(listener), error);
  window_.PlaneShown();
  if (!ok) main_.ShowComputationError(error);
  update();
  return ok;
}

void TViewResult::NewBitmap() {
  // Without a result there is nothing to make a bitmap for (its failure has been shown).
  std::string error;
  if (document_.Computation.Result() && !document_.Computation.NewBitmap(error)) {
    main_.ShowComputationError(error);
  }
  update();
}

void TViewResult::PaintNewColumns() {
  document_.Computation.PaintNewColumns();
  update();
}

void TViewResult::StopThread() { document_.Computation.Stop(); }

void TViewResult::SetViewMode(std::uint8_t mode) {
  viewMode_ = mode;
  update();
}

void TViewResult::SetCoordinates(const PlaneRect& plane) {
  if (viewMode_ == 1) {
    update();
    return;
  }
  TFractProps& props = document_.Content.Fractal;
  document_.Computation.Stop();  // the engine reads the parameters
  props.Left.SetValue(plane.left);
  props.Top.SetValue(plane.top);
  props.Right.SetValue(plane.right);
  props.Bottom.SetValue(plane.bottom);
  // The rectangle is document content: a zoom is a change to save.
  document_.SetChanged();
  Restart();
  NewBitmap();
  main_.UpdateCommandStates();
}

int TViewResult::GetBitmapWidth() const {
  const int g = document_.Content.View.ValuesPerPixel.GetValue();
  return document_.Content.Fractal.XResolution.GetValue() / g;
}

int TViewResult::GetBitmapHeight() const {
  const int g = document_.Content.View.ValuesPerPixel.GetValue();
  return document_.Content.Fractal.YResolution.GetValue() / g;
}

void TViewResult::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TFractResult* result = document_.Computation.Result();
  const Bitmap24* bitmap = result ? result->GetBitmap() : nullptr;
  if (viewMode_ == 0 && bitmap && bitmap->width > 0 && bitmap->height > 0) {
    const QImage image(bitmap->rgb.data(), bitmap->width, bitmap->height, bitmap->width * 3,
                       QImage::Format_RGB888);
    painter.drawImage(rect(), image);
  } else {
    painter.fillRect(rect(), ColorOfWord(document_.Content.View.BackgroundColor.GetValue()));
  }
  // Orbit points and the grid are drawn here, between the bitmap and the zoom rectangle.
  const PlaneRect plane = PlaneOf(document_.Content.Fractal);
  DrawOrbitPoints(painter, points_, plane, width(), height());
  DrawGrid(painter, GetGrid(), plane, width(), height());
  zoomRectDrawn_ = false;
  const std::uint8_t mode = window_.MouseMode;
  if (mode == 2 || (mode == 1 && mouseSeen_)) {
    zoomRect_ = ZoomRectAt(lastMouse_.x(), lastMouse_.y(), window_.ZoomRectFactor, width(),
                           height());
    QPen pen(ColorOfWord(document_.Content.View.CursorColor.GetValue()));
    pen.setStyle(Qt::DotLine);
    painter.setPen(pen);
    const QPoint outline[] = {{zoomRect_.left, zoomRect_.top}, {zoomRect_.right, zoomRect_.top},
                              {zoomRect_.right, zoomRect_.bottom},
                              {zoomRect_.left, zoomRect_.bottom}, {zoomRect_.left, zoomRect_.top}};
    painter.drawPolyline(outline, 5);
    zoomRectDrawn_ = true;
  }
}

void TViewResult::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (at == prevMouse_) return;
  const bool first = prevMouse_ == QPoint(-1, -1);
  prevMouse_ = at;
  if (first) return;  // the first report only records the position
  lastMouse_ = at;
  mouseSeen_ = true;
  if (window_.MouseMode == 1 || window_.MouseMode == 2) update();
  ShowMouseStatus();
}

void TViewResult::ShowMouseStatus() {
  const StatusTexts status =
      MouseStatus(document_.Content.Fractal, document_.Computation.Result(),
                  document_.Content.Bitmaps.IsActive(), lastMouse_.x(), lastMouse_.y(), width(),
                  height());
  for (int panel = 0; panel < 4; ++panel) {
    if (status.update[panel]) main_.SetStatusPanel(panel, status.panel[panel]);
  }
}

void TViewResult::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    if (window_.MouseMode == 1) window_.SetMouseMode(2);
    else if (window_.MouseMode == 2) window_.SetMouseMode(1);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  switch (window_.MouseMode) {
    case 1: Zoom(at, true); break;
    case 2: Zoom(at, false); break;
    case 4: {
      const PlanePoint point =
          PlanePointAt(PlaneOf(document_.Content.Fractal), at.x(), at.y(), width(), height());
      main_.NewJuliaFractal(document_.Content, point.re, point.im);
      break;
    }
    case 5: Pipette(at); break;
    case 3: {
      const PlanePoint point =
          PlanePointAt(PlaneOf(document_.Content.Fractal), at.x(), at.y(), width(), height());
      points_.AddSeries(point.re, point.im, PointsGrouping ? 1 : 0,
                        TKernelParams::FromProps(document_.Content.Fractal));
      update();
      break;
    }
    default: break;
  }
}

void TViewResult::Zoom(QPoint at, bool in) {
  const PixelRect zoom = ZoomRectAt(at.x(), at.y(), window_.ZoomRectFactor, width(), height());
  const PlaneRect plane = PlaneOf(document_.Content.Fractal);
  const PlaneRect next = in ? ZoomInPlane(plane, zoom, width(), height())
                            : ZoomOutPlane(plane, zoom, width(), height());
  if (!ZoomUsable(next, zoom, width(), height())) return;
  const TFractProps& props = document_.Content.Fractal;
  if (!WithinPrecision(next, props.XResolution.GetValue(), props.YResolution.GetValue())) {
    main_.SetStatusPanel(0, kZoomLimitText);
    return;
  }
  SetCoordinates(next);
}

void TViewResult::Pipette(QPoint at) {
  const TFractResult* result = document_.Computation.Result();
  const Bitmap24* bitmap = result ? result->GetBitmap() : nullptr;
  if (viewMode_ != 0 || !bitmap || bitmap->width <= 0 || bitmap->height <= 0) return;
  const BitmapPoint p =
      BitmapPointAt(at.x(), at.y(), width(), height(), bitmap->width, bitmap->height);
  const std::uint8_t* rgb = bitmap->Pixel(p.x, p.y);
  main_.SetPipetColor(rgb[0] | (rgb[1] << 8) | (rgb[2] << 16));
}

void TViewResult::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (window_.MouseMode == 0) return;
  wheelRemainder_ += event->angleDelta().y();
  const int steps = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
  wheelRemainder_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  for (int i = 0; i < std::abs(steps); ++i) {
    window_.ZoomRectFactor = WheelFactor(window_.ZoomRectFactor, steps > 0);
  }
  lastMouse_ = event->position().toPoint();
  mouseSeen_ = true;
  update();
}
