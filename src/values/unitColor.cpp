#include "values/unitColor.h"

#include "files/XMLItem.h"
#include "files/XMLText.h"
#include "values/NumberParse.h"

std::string unitColor::ToText() const {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::uint32_t v = value_; v != 0; v >>= 4) text.insert(text.begin(), kHex[v & 0xF]);
  if (text.size() < 6) text.insert(0, 6 - text.size(), '0');
  return text;
}

bool unitColor::Parse(const std::string&, const std::string& label, std::string& message) {
  message = ErrorMessage(label, "A colour cannot be entered as text.");
  return false;
}

bool unitColor::ReadXML(const TXMLItem& element, std::string& message, int& line, int& column) {
  line = element.line;
  column = element.column;
  const std::string& name = element.GetElement();
  if (!element.IsString()) {
    message = ErrorMessage(name, "Element holds no value.");
    return false;
  }
  const std::string& text = element.GetString();
  std::uint32_t colour = 0;
  if (!ParseHexColour(text, colour)) {
    message = ErrorMessage(name, "Invalid Hexdecimal value: \"" + ShownText(text) + "\".");
    return false;
  }
  value_ = colour;
  return true;
}
