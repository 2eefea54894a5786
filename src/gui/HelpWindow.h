#pragma once

#include <QDialog>

class QTextBrowser;

class QDialogButtonBox;

// Gives a dialog's button box a "&Help" button that opens the built-in help at `section`.
void AddHelpButton(QDialogButtonBox& buttons, const char* section);

// The built-in help: one HTML page of the program's resources in a browser window that stays
// open beside the main window.
class THelpWindow : public QDialog {
  Q_OBJECT
 public:
  explicit THelpWindow(QWidget* parent);
  // Shows the page at the section with this anchor ("" for the top).
  void ShowSection(const QString& anchor);
  QTextBrowser& Browser() { return *browser_; }

 private:
  QTextBrowser* browser_;
};
