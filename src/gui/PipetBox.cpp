#include "gui/PipetBox.h"

#include <QPainter>

TPipetBox::TPipetBox(QWidget* parent) : QWidget(parent) {
  setFixedSize(38, 32);
  setToolTip("Color in the Pipet");
  setStatusTip("Color in the Pipet");
  setAccessibleName("Color in the Pipet");
  SetColor(0);
}

void TPipetBox::SetColor(std::uint32_t color) {
  color_ = color & 0xFFFFFF;
  setAccessibleDescription(QString("#%1%2%3")
                               .arg(color_ & 0xFF, 2, 16, QChar('0'))
                               .arg((color_ >> 8) & 0xFF, 2, 16, QChar('0'))
                               .arg((color_ >> 16) & 0xFF, 2, 16, QChar('0'))
                               .toUpper());
  update();
}

void TPipetBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QColor(192, 192, 192));
  painter.setBrush(QColor(color_ & 0xFF, (color_ >> 8) & 0xFF, (color_ >> 16) & 0xFF));
  painter.drawEllipse(QRectF(3, 3, width() - 6, height() - 6));
}
