#pragma once

#include <string>

#include "values/unitValue.h"

// A real value (IEEE double). Typed text may carry the units none, "%", "DB", "#", "OCTAVE" and
// "'", which convert into the stored number and are kept for the display text; the subclasses
// only fix the range rule. Equality compares the number only.
class unitFactor : public unitValue {
 public:
  explicit unitFactor(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::AllValues) {}

  // ToText(99, true): the number in its unit ("50 %", "-6 dB", "0.25").
  std::string ToText() const override;
  // The number shown in its unit with the formatter's precision and trimming. A number that the
  // unit cannot show (a logarithm of 0, an overflow) is shown without unit.
  std::string ToText(int precision, bool trim) const;
  // ToText() when it parses back to exactly this number, which keeps the 15-digit texts files
  // have always held. Else the shortest text in the unit that parses back exactly ("%" always
  // has one); else, for a unit whose conversion loses the last bit, the plain number without
  // unit, so the number survives and only the unit of its display is lost.
  std::string ToFileText() const override;
  bool Parse(const std::string& text, const std::string& label, std::string& message) override;

  double GetValue() const { return value_; }
  // Stores the number unchecked; a dB, pitch or octave unit whose number is not greater than 0
  // falls back to no unit, because its text would be the logarithm of a non-positive number.
  void SetValue(double value);

  friend bool operator==(const unitFactor& a, const unitFactor& b) { return a.value_ == b.value_; }

 protected:
  unitFactor(double value, EUnitKind unit, ERangeRule rule);

 private:
  void RepairUnit();

  double value_ = 0;
};

// 0 or more.
class unitFactorPos : public unitFactor {
 public:
  explicit unitFactorPos(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::Positive) {}
};

// More than 0.
class unitFactorPosMore : public unitFactor {
 public:
  explicit unitFactorPosMore(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::PositiveNotZero) {}
};

// More than 0 and less than 1.
class unitFactorPosMoreLess1 : public unitFactor {
 public:
  explicit unitFactorPosMoreLess1(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::ZeroExclOneExcl) {}
};

// 0 to 1.
class unitFactorPosMax1 : public unitFactor {
 public:
  explicit unitFactorPosMax1(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::ZeroInclOneIncl) {}
};

// More than 1.
class unitFactorPosMore1 : public unitFactor {
 public:
  explicit unitFactorPosMore1(double value = 0, EUnitKind unit = EUnitKind::EHNone)
      : unitFactor(value, unit, ERangeRule::OneMore) {}
};
