#include "gui/HelpWindow.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/MainForm.h"

void AddHelpButton(QDialogButtonBox& buttons, const char* section) {
  QPushButton* help = buttons.addButton(QDialogButtonBox::Help);
  help->setText("&Help");
  help->setAccessibleName("Help");
  QObject::connect(&buttons, &QDialogButtonBox::helpRequested, &buttons, [&buttons, section] {
    // The main window owns the help window; a dialog without one gets a window of its own.
    for (QWidget* w = buttons.window(); w; w = w->parentWidget()) {
      if (auto* main = dynamic_cast<TMainForm*>(w)) {
        main->ShowHelp(section);
        return;
      }
    }
    auto* own = new THelpWindow(buttons.window());
    own->setAttribute(Qt::WA_DeleteOnClose);
    own->ShowSection(section);
  });
}

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
