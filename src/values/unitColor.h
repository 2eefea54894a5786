#pragma once

#include <cstdint>
#include <string>

#include "values/unitValue.h"

// A 32-bit colour word: red in the low byte, then green, then blue. It has no unit and no range
// rule (its rule reads as AllValues). Its text is hexadecimal, upper case, at least six digits,
// so blue comes first ("0000FF" is pure red). Equality compares the colour word only.
class unitColor : public unitValue {
 public:
  explicit unitColor(std::uint32_t colour = 0)
      : unitValue(EUnitKind::EHNone, ERangeRule::AllValues), value_(colour) {}

  std::string ToText() const override;
  // Colours are chosen with a colour box, never typed: always fails with a message saying so.
  bool Parse(const std::string& text, const std::string& label, std::string& message) override;
  // Reads the element's text as a hexadecimal number (either case); a text that is not one gives
  // "In " + name + ": Invalid Hexdecimal value: \"" + text + "\".".
  bool ReadXML(const TXMLItem& element, std::string& message, int& line, int& column) override;

  std::uint32_t GetValue() const { return value_; }
  void SetValue(std::uint32_t colour) { value_ = colour; }

  friend bool operator==(const unitColor& a, const unitColor& b) { return a.value_ == b.value_; }

 private:
  std::uint32_t value_ = 0;
};
