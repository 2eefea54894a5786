#pragma once

#include <QDialog>

#include "view/Grid.h"

class QCheckBox;
class TColorBox;

// "Grid": the four line families and the two colours of one grid setting. Shows the settings on
// creation; Accept (OK) stores all six back, Cancel leaves them.
class TDlgGrid : public QDialog {
  Q_OBJECT
 public:
  TDlgGrid(TGrid& grid, QWidget* parent = nullptr);

  // OK: stores the controls into the grid and closes with Accepted.
  void Accept();

  QCheckBox* HorizontalBox() const { return horizontal_; }
  QCheckBox* VerticalBox() const { return vertical_; }
  QCheckBox* CirclesBox() const { return circles_; }
  QCheckBox* BeamsBox() const { return beams_; }
  TColorBox* MainColorBox() const { return mainColor_; }
  TColorBox* SubColorBox() const { return subColor_; }

 private:
  TGrid& grid_;
  QCheckBox* horizontal_;
  QCheckBox* vertical_;
  QCheckBox* circles_;
  QCheckBox* beams_;
  TColorBox* mainColor_;
  TColorBox* subColor_;
};
