#include "gui/dialogs/DlgGrid.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/HelpWindow.h"
#include "gui/widgets/ColorBox.h"

namespace {

QCheckBox* CheckBox(const char* text, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(text, parent);
  box->setAccessibleName(text);
  box->setChecked(checked);
  return box;
}

TColorBox* ColorChooser(const char* name, std::uint32_t color, QWidget* parent) {
  auto* box = new TColorBox(parent);
  box->setAccessibleName(name);
  box->SetColor(color);
  return box;
}

}  // namespace

TDlgGrid::TDlgGrid(TGrid& grid, QWidget* parent) : QDialog(parent), grid_(grid) {
  setWindowTitle("Grid");
  setAccessibleName("Grid");
  auto* lines = new QGroupBox("Lines", this);
  auto* lineLayout = new QVBoxLayout(lines);
  horizontal_ = CheckBox("Horizontal", grid.Horizontal, lines);
  vertical_ = CheckBox("Vertical", grid.Vertical, lines);
  circles_ = CheckBox("Circles", grid.Circles, lines);
  beams_ = CheckBox("Beams", grid.Beams, lines);
  for (QCheckBox* box : {horizontal_, vertical_, circles_, beams_}) lineLayout->addWidget(box);

  auto* colors = new QFormLayout;
  mainColor_ = ColorChooser("Main Lines", grid.MainColor, this);
  subColor_ = ColorChooser("Sub Lines", grid.SubColor, this);
  colors->addRow("Main Lines", mainColor_);
  colors->addRow("Sub Lines", subColor_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName("OK");
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName("Cancel");
  AddHelpButton(*buttons, "bitmaps");
  connect(buttons, &QDialogButtonBox::accepted, this, &TDlgGrid::Accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lines);
  layout->addLayout(colors);
  layout->addWidget(buttons);
}

void TDlgGrid::Accept() {
  grid_.Horizontal = horizontal_->isChecked();
  grid_.Vertical = vertical_->isChecked();
  grid_.Circles = circles_->isChecked();
  grid_.Beams = beams_->isChecked();
  grid_.MainColor = mainColor_->Color();
  grid_.SubColor = subColor_->Color();
  accept();
}
