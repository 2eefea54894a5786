#include "gui/widgets/ColorSwatch.h"

#include <QPainter>

TColorSwatch::TColorSwatch(QWidget* parent) : QWidget(parent) { setMinimumSize(16, 16); }

void TColorSwatch::SetColor(std::uint32_t color) {
  color_ = color & 0xFFFFFF;
  // Assistive technology reads the colour as #RRGGBB.
  setAccessibleDescription(QString("#%1%2%3")
                               .arg(color_ & 0xFF, 2, 16, QChar('0'))
                               .arg((color_ >> 8) & 0xFF, 2, 16, QChar('0'))
                               .arg((color_ >> 16) & 0xFF, 2, 16, QChar('0'))
                               .toUpper());
  update();
}

void TColorSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(color_ & 0xFF, (color_ >> 8) & 0xFF, (color_ >> 16) & 0xFF));
  painter.setPen(Qt::black);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
