#include "gui/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow::THelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Korvana Help");
  setObjectName("HelpWindow");
  setModal(false);
  browser_ = new QTextBrowser(this);
  browser_->setAccessibleName("Korvana Help");
  browser_->setOpenExternalLinks(false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  resize(640, 560);
}

void THelpWindow::ShowSection(const QString& anchor) {
  QUrl page("qrc:/help/korvana.html");
  if (!anchor.isEmpty()) page.setFragment(anchor);
  browser_->setSource(page);
  if (!anchor.isEmpty()) browser_->scrollToAnchor(anchor);
  show();
  raise();
}
