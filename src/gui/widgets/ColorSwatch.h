#pragma once

#include <QWidget>
#include <cstdint>

// A small area filled with one colour (a colour word) and outlined with a black 1-pixel frame.
class TColorSwatch : public QWidget {
  Q_OBJECT
 public:
  explicit TColorSwatch(QWidget* parent = nullptr);
  void SetColor(std::uint32_t color);
  std::uint32_t Color() const { return color_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::uint32_t color_ = 0;
};
