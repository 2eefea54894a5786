#include "gui/PipetBox.h"

#include <QPainter>

TPipetBox::TPipetBox(QWidget* parent) : TColorSwatch(parent) {
  setFixedSize(38, 32);
  setToolTip("Color in the Pipet");
  setStatusTip("Color in the Pipet");
  setAccessibleName("Color in the Pipet");
  SetColor(0);
}

void TPipetBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(192, 192, 192));
  const std::uint32_t color = Color();
  painter.setBrush(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  painter.drawEllipse(QRectF(3, 3, width() - 6, height() - 6));
}
