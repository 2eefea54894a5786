#include "values/unitInteger.h"

#include "values/NumberFormat.h"
#include "values/NumberParse.h"

namespace {
// Every 32-bit integer has at most 10 digits, well within the formatter's 15.
constexpr int kIntegerPrecision = 7;
}  // namespace

std::string unitInteger::ToText() const { return FormatNumber(value_, kIntegerPrecision, true); }

bool unitInteger::Parse(const std::string& text, const std::string& label, std::string& message) {
  std::int32_t value = 0;
  std::string reason;
  if (!ParseInteger(text, value, reason) || !CheckRange(rule_, value, EUnitKind::EHNone, reason)) {
    message = ErrorMessage(label, reason);
    return false;
  }
  value_ = value;
  unit_ = EUnitKind::EHNone;
  return true;
}
