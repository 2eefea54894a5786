#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "values/UnitKind.h"

// The range a value class accepts for typed or read text. SetValue never checks it.
enum class ERangeRule : std::uint8_t {
  AllValues = 0,
  NotZero = 1,
  Negative = 2,
  Positive = 3,  // 0 or more
  NegativeNotZero = 4,
  PositiveNotZero = 5,        // more than 0
  ZeroInclOneIncl = 6,        // [0,1]
  ZeroExclOneExcl = 7,        // <0,1>
  ZeroInclOneExcl = 8,        // [0,1>
  OneMore = 9,                // more than 1
  NegOneInclPosOneIncl = 10,  // [-1,1]
};

inline constexpr int kRangeRuleCount = 11;

// "All Values", "Not Zero", ..., "[-1,1]"; "" outside the table.
std::string_view RangeRuleDisplayName(ERangeRule rule);
// "AllValues", "NotZero", ..., "NegOneInclPosOneIncl"; "" outside the table.
std::string_view RangeRuleKeyName(ERangeRule rule);

// Checks a value (after unit conversion) against a rule. On failure sets reason to the rule's
// message, which for the rules [0,1> and [-1,1] depends on the unit the value was typed in (and
// is empty for units other than none, "%" and "'"), and returns false.
bool CheckRange(ERangeRule rule, double value, EUnitKind unit, std::string& reason);
