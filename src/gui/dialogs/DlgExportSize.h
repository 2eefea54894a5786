#pragma once

#include <QDialog>

class QSpinBox;

// "Export at Size": the pixel size of the exported picture and its samples per pixel side.
class TDlgExportSize : public QDialog {
  Q_OBJECT
 public:
  TDlgExportSize(QWidget* parent, int width, int height, int supersample);

  int PictureWidth() const;
  int PictureHeight() const;
  int Supersample() const;
  QSpinBox& WidthEdit() { return *width_; }
  QSpinBox& HeightEdit() { return *height_; }
  QSpinBox& SupersampleEdit() { return *supersample_; }

 private:
  QSpinBox* width_;
  QSpinBox* height_;
  QSpinBox* supersample_;
};
