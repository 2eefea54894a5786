#include "cli/ConsoleInteraction.h"

void ConsoleInteraction::ShowMessage(const std::string&, const std::string& text, Icon icon) {
  if (icon == Icon::Error) ++errors_;
  std::fprintf(out_, "korvana-render: %s\n", text.c_str());
}

Interaction::Answer ConsoleInteraction::AskYesNo(const std::string&, const std::string&) {
  return Answer::Yes;
}

Interaction::Answer ConsoleInteraction::AskYesNoCancel(const std::string&, const std::string&) {
  return Answer::Yes;
}

std::vector<std::string> ConsoleInteraction::AskOpenFiles(const FileDialog&, bool) { return {}; }

std::string ConsoleInteraction::AskSaveFile(const FileDialog&) { return {}; }
