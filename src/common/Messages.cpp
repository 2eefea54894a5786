#include "common/Messages.h"

#include "common/Interaction.h"

std::string CannotReadFileText(const std::string& file, const std::string& reason) {
  return "Cannot read the file: \"" + file + "\", " + reason;
}

std::string WindowNameExistsText(const std::string& file, const std::string& name) {
  return "When opening file \"" + file + "\" from project, a window with name \"" + name +
         "\" already exists";
}

std::string AssertionText(const std::string& unit, int line, const std::string& condition) {
  return "In " + unit + " line " + std::to_string(line) + ": Condition \"" + condition +
         "\"failed!";
}

void ShowFileError(Interaction& ui, const std::string& text) {
  ui.ShowMessage("File Error", text, Interaction::Icon::Error);
}

void ShowCannotReadFile(Interaction& ui, const std::string& file, const std::string& reason) {
  ui.ShowMessage("File Error", CannotReadFileText(file, reason), Interaction::Icon::Error);
}

void ShowInputError(Interaction& ui, const std::string& text) {
  ui.ShowMessage("Input Error", text, Interaction::Icon::Information);
}

void ShowWindowNameExists(Interaction& ui, const std::string& file, const std::string& name) {
  ui.ShowMessage("Error", WindowNameExistsText(file, name), Interaction::Icon::Information);
}

void ShowAssertion(Interaction& ui, const std::string& unit, int line,
                   const std::string& condition) {
  ui.ShowMessage("Assertion failed", AssertionText(unit, line, condition),
                 Interaction::Icon::Information);
}
