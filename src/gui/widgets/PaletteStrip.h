#pragma once

#include <QWidget>

class TColorPalette1D;

// A preview of a palette from position 0 (left) to 1 (right) inside a 1-pixel frame:
// - Opaque: each column in the palette's colour (the palette swatches of the properties dialog
//   and the first strip of the palette editor);
// - Transparency: the colour mixed by its transparency factor over black (top third), a
//   black and white checker (middle third) and white (bottom third);
// - Curve: a checker above and the colour below a row that rises with the opacity, framed in
//   the colour at position 0.
// A strip narrower than 4 pixels paints nothing.
class TPaletteStrip : public QWidget {
  Q_OBJECT
 public:
  enum class Kind { Opaque, Transparency, Curve };
  explicit TPaletteStrip(Kind kind, QWidget* parent = nullptr);
  // The palette shown (not owned; nullptr shows nothing). Repaints.
  void SetPalette(const TColorPalette1D* palette);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  const TColorPalette1D* palette_ = nullptr;
};
