#pragma once

#include "common/Interaction.h"

class QWidget;

// The interaction interface of the desktop program: Qt message boxes and file dialogs, modal to
// the main window. The only code that shows QMessageBox and QFileDialog.
class QtInteraction : public Interaction {
 public:
  explicit QtInteraction(QWidget* parent) : parent_(parent) {}

  void ShowMessage(const std::string& title, const std::string& text, Icon icon) override;
  Answer AskYesNo(const std::string& title, const std::string& text) override;
  Answer AskYesNoCancel(const std::string& title, const std::string& text) override;
  std::vector<std::string> AskOpenFiles(const FileDialog& dialog, bool multiSelect) override;
  std::string AskSaveFile(const FileDialog& dialog) override;

 private:
  QWidget* parent_;
};
