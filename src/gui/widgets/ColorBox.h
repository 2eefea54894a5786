#pragma once

#include <QComboBox>
#include <cstdint>
#include <functional>
#include <optional>

// A drop-down of named colours (the standard and extended colours) with a first entry
// "Custom..." that opens a colour dialog. Colours are colour words (red in the low byte).
// ColorSelected is emitted only for a user's choice, never for SetColor.
class TColorBox : public QComboBox {
  Q_OBJECT
 public:
  // Asks for a custom colour starting at initial; nullopt when cancelled. The default runs
  // QColorDialog; tests replace it so nothing blocks.
  using Chooser = std::function<std::optional<std::uint32_t>(std::uint32_t initial, QWidget* parent)>;
  static void SetChooser(Chooser chooser);

  explicit TColorBox(QWidget* parent = nullptr);

  // Selects the named entry of this colour, else shows it as the custom entry.
  void SetColor(std::uint32_t color);
  std::uint32_t Color() const { return color_; }

  // What a user's pick of entry index does: a named colour is taken at once, "Custom..." asks
  // the chooser (cancel keeps the colour). Emits ColorSelected when a colour was taken.
  void Choose(int index);

 Q_SIGNALS:
  void ColorSelected(std::uint32_t color);

 private:
  std::uint32_t color_ = 0;
};
