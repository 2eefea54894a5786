#include "values/RangeRule.h"

#include <array>

namespace {

struct RuleName {
  std::string_view display;
  std::string_view key;
};

constexpr std::array<RuleName, kRangeRuleCount> kRuleNames = {{
    {"All Values", "AllValues"},
    {"Not Zero", "NotZero"},
    {"Negative", "Negative"},
    {"Positive", "Positive"},
    {"Negative Not Zero", "NegativeNotZero"},
    {"Positive Not Zero", "PositiveNotZero"},
    {"[0,1]", "ZeroInclOneIncl"},
    {"<0,1>", "ZeroExclOneExcl"},
    {"[0,1>", "ZeroInclOneExcl"},
    {"Positive More Than 1", "OneMore"},
    {"[-1,1]", "NegOneInclPosOneIncl"},
}};

const RuleName* Find(ERangeRule rule) {
  auto index = static_cast<std::size_t>(rule);
  return index < kRuleNames.size() ? &kRuleNames[index] : nullptr;
}

constexpr const char* kMustBePositive = "Value must be positive.";
constexpr const char* kMustBeMoreThan0 = "Value must be positive and more than 0.";
constexpr const char* kTooHighPercent = "Value is too high. (maximum: less than 1 or 100 %)";
constexpr const char* kTooHighAngle = "Fase is too high. (maximum: less than 360' )";

bool IsPlainOrPercent(EUnitKind unit) {
  return unit == EUnitKind::EHNone || unit == EUnitKind::EHPerc;
}

// The reason for a value above the top of [0,1> or [-1,1]: worded for the unit it was typed in.
std::string TooHighReason(EUnitKind unit) {
  if (IsPlainOrPercent(unit)) return kTooHighPercent;
  if (unit == EUnitKind::EHAngle) return kTooHighAngle;
  return "";
}

std::string TooLowReason(EUnitKind unit) {
  if (IsPlainOrPercent(unit)) return "Value is too low. (minimum: -1 or -100 %)";
  if (unit == EUnitKind::EHAngle) return "Fase is too low. (minimum: -360' )";
  return "";
}

bool Fail(std::string& reason, std::string text) {
  reason = std::move(text);
  return false;
}

}  // namespace

std::string_view RangeRuleDisplayName(ERangeRule rule) {
  const RuleName* name = Find(rule);
  return name ? name->display : std::string_view{};
}

std::string_view RangeRuleKeyName(ERangeRule rule) {
  const RuleName* name = Find(rule);
  return name ? name->key : std::string_view{};
}

bool CheckRange(ERangeRule rule, double value, EUnitKind unit, std::string& reason) {
  switch (rule) {
    case ERangeRule::AllValues:
      return true;
    case ERangeRule::NotZero:
      return value == 0 ? Fail(reason, "Value must be not 0.") : true;
    case ERangeRule::Negative:
      return value > 0 ? Fail(reason, "Value must be negative.") : true;
    case ERangeRule::Positive:
      return value < 0 ? Fail(reason, kMustBePositive) : true;
    case ERangeRule::NegativeNotZero:
      return value >= 0 ? Fail(reason, "Value must be negative and less than 0.") : true;
    case ERangeRule::PositiveNotZero:
      return value <= 0 ? Fail(reason, kMustBeMoreThan0) : true;
    case ERangeRule::ZeroInclOneIncl:
      if (value < 0) return Fail(reason, kMustBePositive);
      return value > 1 ? Fail(reason, "Value must be no more than 1.") : true;
    case ERangeRule::ZeroExclOneExcl:
      if (value <= 0) return Fail(reason, kMustBeMoreThan0);
      return value >= 1 ? Fail(reason, "Value must be less than 1.") : true;
    case ERangeRule::ZeroInclOneExcl:
      if (value < 0) return Fail(reason, kMustBePositive);
      return value >= 1 ? Fail(reason, TooHighReason(unit)) : true;
    case ERangeRule::OneMore:
      return value <= 1 ? Fail(reason, "Value must be more than 1.") : true;
    case ERangeRule::NegOneInclPosOneIncl:
      if (value < -1) return Fail(reason, TooLowReason(unit));
      return value > 1 ? Fail(reason, TooHighReason(unit)) : true;
  }
  return true;
}
