#include "gui/ViewOverlays.h"

#include <QPainter>

#include "view/Grid.h"
#include "view/OrbitPoints.h"

void DrawOverlayShapes(QPainter& painter, const OverlayShapes& shapes) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  QPen pen;
  pen.setStyle(Qt::SolidLine);
  pen.setWidth(1);
  for (const OverlayShape& s : shapes) {
    pen.setColor(QColor(s.color & 0xFF, (s.color >> 8) & 0xFF, (s.color >> 16) & 0xFF));
    painter.setPen(pen);
    if (s.kind == OverlayShape::Kind::Line) {
      painter.drawLine(s.x1, s.y1, s.x2, s.y2);
    } else {
      // The box's corners may come in any order (the plane's axes may be flipped).
      painter.drawEllipse(QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)).normalized());
    }
  }
  painter.restore();
}

void DrawOrbitPoints(QPainter& painter, const TOrbitPoints& points, const PlaneRect& plane,
                     int width, int height) {
  DrawOverlayShapes(painter, points.Draw(plane, width, height));
}

void DrawGrid(QPainter& painter, const TGrid& grid, const PlaneRect& plane, int width,
              int height) {
  DrawOverlayShapes(painter, GridShapes(grid, plane, width, height));
}
