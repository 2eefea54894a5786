#include "values/unitValue.h"

#include "common/Messages.h"
#include "files/XMLItem.h"

void unitValue::SetTextChecked(bool& valid, const std::string& text, const std::string& label,
                               Interaction& ui) {
  if (!valid) return;
  std::string message;
  if (!Parse(text, label, message)) {
    ShowInputError(ui, message);
    valid = false;
  }
}

void unitValue::SetTextQuiet(bool& valid, const std::string& text) {
  if (!valid) return;
  std::string message;
  if (!Parse(text, "", message)) valid = false;
}

void unitValue::WriteXML(TXMLComplexElement& parent, const std::string& name) const {
  parent.AddString(name, ToFileText());
}

bool unitValue::ReadXML(const TXMLItem& element, std::string& message, int& line, int& column) {
  line = element.line;
  column = element.column;
  if (!element.IsString()) {
    message = ErrorMessage(element.GetElement(), "Element holds no value.");
    return false;
  }
  return Parse(element.GetString(), element.GetElement(), message);
}

std::string unitValue::ErrorMessage(const std::string& label, const std::string& reason) {
  return "In " + label + ": " + reason;
}
