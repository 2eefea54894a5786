#pragma once

#include <QWidget>
#include <cstdint>

// The pipette box of the tool bar: an ellipse in the pipette colour with a silver outline.
class TPipetBox : public QWidget {
  Q_OBJECT
 public:
  explicit TPipetBox(QWidget* parent = nullptr);
  void SetColor(std::uint32_t color);
  std::uint32_t Color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::uint32_t color_ = 0;
};
