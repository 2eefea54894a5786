#pragma once

#include "gui/widgets/ColorSwatch.h"

// The pipette box of the tool bar: the pipette colour as an ellipse with a silver outline.
class TPipetBox : public TColorSwatch {
  Q_OBJECT
 public:
  explicit TPipetBox(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
