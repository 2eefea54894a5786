#include "gui/widgets/ColorBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

struct NamedColor {
  const char* name;
  std::uint32_t color;
};

constexpr NamedColor kNamedColors[] = {
    {"Black", 0x000000},   {"Maroon", 0x000080},     {"Green", 0x008000},   {"Olive", 0x008080},
    {"Navy", 0x800000},    {"Purple", 0x800080},     {"Teal", 0x808000},    {"Gray", 0x808080},
    {"Silver", 0xC0C0C0},  {"Red", 0x0000FF},        {"Lime", 0x00FF00},    {"Yellow", 0x00FFFF},
    {"Blue", 0xFF0000},    {"Fuchsia", 0xFF00FF},    {"Aqua", 0xFFFF00},    {"White", 0xFFFFFF},
    {"Money Green", 0xC0DCC0}, {"Sky Blue", 0xF0CAA6}, {"Cream", 0xF0FBFF}, {"Medium Gray", 0xA4A0A0},
};

QColor ToQColor(std::uint32_t word) {
  return QColor(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF);
}

std::uint32_t ToWord(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

QIcon SwatchIcon(std::uint32_t word) {
  QPixmap pixmap(16, 12);
  pixmap.fill(ToQColor(word));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

TColorBox::Chooser& CurrentChooser() {
  static TColorBox::Chooser chooser = [](std::uint32_t initial, QWidget* parent)
      -> std::optional<std::uint32_t> {
    const QColor chosen = QColorDialog::getColor(ToQColor(initial), parent);
    if (!chosen.isValid()) return std::nullopt;
    return ToWord(chosen);
  };
  return chooser;
}

}  // namespace

void TColorBox::SetChooser(Chooser chooser) { CurrentChooser() = std::move(chooser); }

TColorBox::TColorBox(QWidget* parent) : QComboBox(parent) {
  addItem(SwatchIcon(0), "Custom...", QVariant::fromValue<uint>(0));
  for (const NamedColor& named : kNamedColors) {
    addItem(SwatchIcon(named.color), named.name, QVariant::fromValue<uint>(named.color));
  }
  setMaxVisibleItems(count());
  // Narrow in layouts; the open list still shows the full names.
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(7);
  connect(this, &QComboBox::activated, this, &TColorBox::Choose);
  SetColor(0);
}

void TColorBox::SetColor(std::uint32_t color) {
  color_ = color & 0xFFFFFF;
  for (int i = 1; i < count(); ++i) {
    if (itemData(i).toUInt() == color_) {
      setCurrentIndex(i);
      return;
    }
  }
  setItemData(0, QVariant::fromValue<uint>(color_));
  setItemIcon(0, SwatchIcon(color_));
  setCurrentIndex(0);
}

void TColorBox::Choose(int index) {
  if (index < 0 || index >= count()) return;
  if (index > 0) {
    SetColor(itemData(index).toUInt());
  } else {
    const std::optional<std::uint32_t> chosen = CurrentChooser()(color_, this);
    if (!chosen) {
      SetColor(color_);  // the box shows the colour it had
      return;
    }
    SetColor(*chosen);
  }
  Q_EMIT ColorSelected(color_);
}
