#include "gui/widgets/PaletteStrip.h"

#include <QPainter>

#include "app/PaletteEditorRules.h"
#include "palette/TColorPalette1D.h"

namespace {

QColor ToQColor(std::uint32_t word) {
  return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
}

// A vertical line in column x from row y1 up to, not including, row y2.
void Column(QPainter& painter, int x, int y1, int y2, std::uint32_t color) {
  if (y2 <= y1) return;
  painter.fillRect(x, y1, 1, y2 - y1, ToQColor(color));
}

}  // namespace

TPaletteStrip::TPaletteStrip(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setMinimumSize(8, 8);
}

void TPaletteStrip::SetPalette(const TColorPalette1D* palette) {
  palette_ = palette;
  update();
}

void TPaletteStrip::paintEvent(QPaintEvent*) {
  if (!palette_ || width() < 4 || height() < 1) return;
  const std::vector<TStripColumn> columns = StripColumns(*palette_, 0, width());
  const int top = 0;
  const int bottom = height();
  QPainter painter(this);
  const std::uint32_t frame = kind_ == Kind::Curve ? palette_->GetFirst()->GetColor(0.0) : 0;
  painter.setPen(ToQColor(frame));
  painter.drawRect(0, 0, width() - 1, height() - 1);
  const int y1 = (2 * top + bottom) / 3;
  const int y2 = (top + 2 * bottom) / 3;
  for (std::size_t k = 0; k < columns.size(); ++k) {
    const int x = static_cast<int>(k) + 1;
    const std::uint32_t q = columns[k].color;
    const double t = columns[k].transFactor;
    const std::uint32_t checker = (x % 2 == 1) ? 0xFFFFFF : 0x000000;
    switch (kind_) {
      case Kind::Opaque: Column(painter, x, top + 1, bottom - 1, q); break;
      case Kind::Transparency:
        Column(painter, x, top + 1, y1, MixColor(0x000000, q, t));
        Column(painter, x, y1, y2, MixColor(checker, q, t));
        Column(painter, x, y2, bottom - 1, MixColor(0xFFFFFF, q, t));
        break;
      case Kind::Curve: {
        const int y = CurveRow(top, bottom, t);
        Column(painter, x, top + 1, y, checker);
        Column(painter, x, y, bottom - 1, q);
        break;
      }
    }
  }
}
