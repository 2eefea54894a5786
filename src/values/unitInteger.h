#pragma once

#include <cstdint>
#include <string>

#include "values/unitValue.h"

// A signed 32-bit integer value without unit; the subclasses only fix the range rule.
// Equality compares the number only.
class unitInteger : public unitValue {
 public:
  explicit unitInteger(std::int32_t value = 0) : unitInteger(value, ERangeRule::AllValues) {}

  // Plain digits with a leading "-" when negative.
  std::string ToText() const override;
  // Accepts an optional "+", an optional "-", digits and trailing blanks; a number beyond 32
  // bits is refused. On success the unit becomes no unit.
  bool Parse(const std::string& text, const std::string& label, std::string& message) override;

  std::int32_t GetValue() const { return value_; }
  // Stores the number unchecked.
  void SetValue(std::int32_t value) { value_ = value; }

  friend bool operator==(const unitInteger& a, const unitInteger& b) {
    return a.value_ == b.value_;
  }

 protected:
  unitInteger(std::int32_t value, ERangeRule rule)
      : unitValue(EUnitKind::EHNone, rule), value_(value) {}

 private:
  std::int32_t value_ = 0;
};

// 0 or more.
class unitIntegerPos : public unitInteger {
 public:
  explicit unitIntegerPos(std::int32_t value = 0) : unitInteger(value, ERangeRule::Positive) {}
};

// More than 0.
class unitIntegerPosMore : public unitInteger {
 public:
  explicit unitIntegerPosMore(std::int32_t value = 0)
      : unitInteger(value, ERangeRule::PositiveNotZero) {}
};
