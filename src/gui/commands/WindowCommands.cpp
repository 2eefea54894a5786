// The Window and Help menus: arranging the fractal windows and the About box.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

#include "common/Version.h"
#include "gui/HelpWindow.h"
#include "gui/MainForm.h"

namespace {

QList<QMdiSubWindow*> Visible(const QList<QMdiSubWindow*>& windows) {
  QList<QMdiSubWindow*> visible;
  for (QMdiSubWindow* window : windows) {
    if (!window->isMinimized() && window->isVisible()) visible << window;
  }
  return visible;
}

}  // namespace

void TMainForm::TileWindows(bool horizontally) {
  // Horizontally: one row per window, each the full width; vertically: one column per window.
  const QList<QMdiSubWindow*> windows = Visible(mdiArea_->subWindowList());
  if (windows.isEmpty()) return;
  const QRect area = mdiArea_->viewport()->rect();
  const int count = static_cast<int>(windows.size());
  for (int i = 0; i < count; ++i) {
    windows[i]->showNormal();
    if (horizontally) {
      const int top = area.height() * i / count, bottom = area.height() * (i + 1) / count;
      windows[i]->setGeometry(0, top, area.width(), bottom - top);
    } else {
      const int left = area.width() * i / count, right = area.width() * (i + 1) / count;
      windows[i]->setGeometry(left, 0, right - left, area.height());
    }
  }
}

void TMainForm::ArrangeMinimized() {
  // Lines the minimised windows up along the bottom edge, left to right.
  const QRect area = mdiArea_->viewport()->rect();
  int left = 0;
  for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
    if (!window->isMinimized()) continue;
    const QSize size = window->size();
    window->move(left, area.height() - size.height());
    left += size.width();
  }
}

void TMainForm::ShowHelp(const std::string& section) {
  if (!help_) help_ = new THelpWindow(this);
  help_->ShowSection(QString::fromStdString(section));
}

void TMainForm::ShowAbout() {
  QDialog about(this);
  about.setObjectName("AboutBox");
  about.setWindowTitle("About Korvana");
  auto* layout = new QVBoxLayout(&about);
  auto* name = new QLabel(QString("%1 %2").arg(QString::fromUtf8(korvana::kProgramName.data(),
                                                                  korvana::kProgramName.size()),
                                               QString::fromUtf8(korvana::kVersionText.data(),
                                                                 korvana::kVersionText.size())),
                          &about);
  QFont font = name->font();
  font.setPointSize(font.pointSize() * 2);
  name->setFont(font);
  layout->addWidget(name);
  layout->addWidget(new QLabel("An explorer of escape-time fractals.", &about));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &about);
  connect(buttons, &QDialogButtonBox::accepted, &about, &QDialog::accept);
  layout->addWidget(buttons);
  about.setFixedSize(about.sizeHint());
  execDialog(about);
}
