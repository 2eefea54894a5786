#include "gui/dialogs/DlgExportSize.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>

namespace {

QSpinBox* SizeBox(QWidget* parent, int value, int maximum, const QString& name) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, maximum);
  box->setValue(std::clamp(value, 1, maximum));
  box->setAccessibleName(name);
  box->setObjectName(name);
  return box;
}

}  // namespace

TDlgExportSize::TDlgExportSize(QWidget* parent, int width, int height, int supersample)
    : QDialog(parent) {
  setWindowTitle("Export at Size");
  setObjectName("DlgExportSize");
  // The renderer refuses what a format cannot hold; these bounds only keep typing sane.
  width_ = SizeBox(this, width, 1000000, "Width");
  height_ = SizeBox(this, height, 1000000, "Height");
  supersample_ = SizeBox(this, supersample, 16, "Samples per pixel side");
  auto* form = new QFormLayout(this);
  form->addRow("&Width (pixels):", width_);
  form->addRow("&Height (pixels):", height_);
  form->addRow("&Samples per pixel side:", supersample_);
  form->addRow(new QLabel("The picture is computed anew in bands, in bounded memory; the\n"
                          "file name chosen next decides the format (.png, .tif or .bmp).",
                          this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

int TDlgExportSize::PictureWidth() const { return width_->value(); }
int TDlgExportSize::PictureHeight() const { return height_->value(); }
int TDlgExportSize::Supersample() const { return supersample_->value(); }
