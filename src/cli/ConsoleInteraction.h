#pragma once

#include <cstdio>

#include "common/Interaction.h"

// The interaction of the headless renderer: messages go to a stream (stderr) as
// "korvana-render: " + text; there is nobody to ask, so questions answer Yes and file dialogs
// choose nothing. Counts the error messages shown.
class ConsoleInteraction : public Interaction {
 public:
  explicit ConsoleInteraction(std::FILE* out) : out_(out) {}

  void ShowMessage(const std::string& title, const std::string& text, Icon icon) override;
  Answer AskYesNo(const std::string& title, const std::string& text) override;
  Answer AskYesNoCancel(const std::string& title, const std::string& text) override;
  std::vector<std::string> AskOpenFiles(const FileDialog& dialog, bool multiSelect) override;
  std::string AskSaveFile(const FileDialog& dialog) override;

  int Errors() const { return errors_; }

 private:
  std::FILE* out_;
  int errors_ = 0;
};
