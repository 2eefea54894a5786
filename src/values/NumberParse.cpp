#include "values/NumberParse.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "files/XMLText.h"

namespace {

// Reads a text from left to right; only blanks and tabs count as blanks in number text.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool Accept(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  void SkipBlanks() {
    while (!AtEnd() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }
  std::string_view Digits() {
    std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
    return text_.substr(start, pos_ - start);
  }
  std::string_view Rest() const { return text_.substr(std::min(pos_, text_.size())); }
  std::size_t Position() const { return pos_; }
  void Restore(std::size_t pos) { pos_ = pos; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The typed number before its unit: a decimal digits * 10^exponent, or a fraction a / b.
struct TypedNumber {
  bool negative = false;
  bool isFraction = false;
  std::string digits;         // decimal: integer and fraction digits together; fraction: a
  std::int64_t exponent = 0;  // decimal only
  std::string divisor;        // fraction only
};

// Saturates far beyond any exponent a double can use, so absurd texts cannot overflow it.
constexpr std::int64_t kExponentLimit = 1'000'000'000;

// Optional exponent: blanks, "e" or "E", blanks, a sign that must be present, blanks, digits.
// Reads it and returns true; without one the cursor stays where it was and exponent is 0.
bool ReadExponent(Cursor& in, std::int64_t& exponent) {
  exponent = 0;
  const std::size_t start = in.Position();
  in.SkipBlanks();
  bool found = in.Accept('e') || in.Accept('E');
  in.SkipBlanks();
  const bool negative = found && in.Peek() == '-';
  found = found && (in.Accept('+') || in.Accept('-'));
  in.SkipBlanks();
  const std::string_view digits = found ? in.Digits() : std::string_view{};
  if (digits.empty()) {
    in.Restore(start);
    return false;
  }
  for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), kExponentLimit);
  if (negative) exponent = -exponent;
  return true;
}

bool Fail(std::string& reason, const char* text) {
  reason = text;
  return false;
}

// Step 1 of real parsing: the number up to (not including) the blanks before the unit.
bool ReadNumber(Cursor& in, TypedNumber& number, std::string& reason) {
  if (!in.Accept('+')) number.negative = in.Accept('-');
  in.SkipBlanks();
  std::string_view integer = in.Digits();
  in.SkipBlanks();
  if (in.Accept('.') || in.Accept(',')) {
    std::string_view fraction = in.Digits();
    number.digits = std::string(integer) + std::string(fraction);
    ReadExponent(in, number.exponent);
    number.exponent -= static_cast<std::int64_t>(fraction.size());
    return true;
  }
  if (in.Accept('/')) {
    if (integer.empty()) return Fail(reason, "Input has no value before '/'.");
    std::string_view divisor = in.Digits();
    if (divisor.empty()) return Fail(reason, "Input has no value after '/'.");
    if (divisor.find_first_not_of('0') == std::string_view::npos) {
      return Fail(reason, "Broke is invalid.");
    }
    number.isFraction = true;
    number.digits = integer;
    number.divisor = divisor;
    return true;
  }
  ReadExponent(in, number.exponent);
  if (integer.empty()) return Fail(reason, "Input has no value.");
  number.digits = integer;
  return true;
}

// The nearest double to digits * 10^exponent (>= 0); false when it overflows. Results below the
// smallest double become 0.
bool DecimalToDouble(std::string_view digits, std::int64_t exponent, double& value) {
  std::size_t first = digits.find_first_not_of('0');
  if (first == std::string_view::npos) {
    value = 0;
    return true;
  }
  digits.remove_prefix(first);
  // The value lies in [10^(lead-1), 10^lead).
  std::int64_t lead = static_cast<std::int64_t>(digits.size()) + exponent;
  if (lead > 400) return false;
  if (lead < -400) {
    value = 0;
    return true;
  }
  std::string text = std::string(digits) + "e" + std::to_string(exponent);
  double result = 0;
  if (std::from_chars(text.data(), text.data() + text.size(), result).ec ==
      std::errc::result_out_of_range) {
    if (lead > 0) return false;
    result = 0;
  }
  value = result;
  return true;
}

// The typed number as a double; percent is applied as a decimal shift so that "12.5 %" is
// exactly the double nearest 0.125.
bool NumberToDouble(const TypedNumber& number, bool percent, double& value) {
  double v = 0;
  if (number.isFraction) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double a = 0, b = 0;
    if (!DecimalToDouble(number.digits, 0, a)) a = inf;
    if (!DecimalToDouble(number.divisor, 0, b)) b = inf;
    v = a / b;
    if (percent) v /= 100;
  } else if (!DecimalToDouble(number.digits, number.exponent - (percent ? 2 : 0), v)) {
    return false;
  }
  value = number.negative ? -v : v;
  return std::isfinite(value);
}

// Step 3: a factor accepts no unit, "%", "DB", "#", "OCTAVE" and "'".
bool CheckFactorUnit(EUnitKind unit, std::string& reason) {
  switch (unit) {
    case EUnitKind::EHNone:
    case EUnitKind::EHPerc:
    case EUnitKind::EHDB:
    case EUnitKind::EHPitch:
    case EUnitKind::EHOctave:
    case EUnitKind::EHAngle:
      return true;
    case EUnitKind::EHError:
      return Fail(reason, "This unit does not exist, use: '%' or no unit.");
    default:
      return Fail(reason, "Wrong unit used, use: '%' or no unit.");
  }
}

// The typed number in the value's own scale (percent is applied while reading the digits).
double ConvertUnit(EUnitKind unit, double v) {
  switch (unit) {
    case EUnitKind::EHDB:
      return std::pow(10.0, v / 20);
    case EUnitKind::EHPitch:
      return std::exp2(v / 12);
    case EUnitKind::EHOctave:
      return std::exp2(v);
    case EUnitKind::EHAngle:
      return v / 360;
    default:
      return v;
  }
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

bool ParseReal(std::string_view text, double& value, EUnitKind& unit, std::string& reason) {
  Cursor in(text);
  TypedNumber number;
  if (!ReadNumber(in, number, reason)) return false;
  in.SkipBlanks();
  EUnitKind typedUnit = MatchUnitSuffix(in.Rest());
  if (!CheckFactorUnit(typedUnit, reason)) return false;
  double v = 0;
  if (!NumberToDouble(number, typedUnit == EUnitKind::EHPerc, v)) {
    return Fail(reason, kValueTooLarge);
  }
  v = ConvertUnit(typedUnit, v);
  if (!std::isfinite(v)) return Fail(reason, kValueTooLarge);
  value = v;
  unit = typedUnit;
  return true;
}

bool ParseInteger(std::string_view text, std::int32_t& value, std::string& reason) {
  Cursor in(text);
  in.Accept('+');
  bool negative = in.Accept('-');
  std::string_view digits = in.Digits();
  std::string_view rest = in.Rest();
  while (!rest.empty() && IsTrimmed(rest.front())) rest.remove_prefix(1);
  if (digits.empty() || !rest.empty()) {
    reason = "Invalid value: \"" + ShownText(text) + "\".";
    return false;
  }
  std::size_t first = digits.find_first_not_of('0');
  digits.remove_prefix(first == std::string_view::npos ? digits.size() : first);
  if (digits.size() > 10) return Fail(reason, kValueTooLarge);
  std::int64_t magnitude = 0;
  for (char c : digits) magnitude = magnitude * 10 + (c - '0');
  const std::int64_t limit =
      std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
  if (magnitude > limit) return Fail(reason, kValueTooLarge);
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return true;
}

bool ParseHexColour(std::string_view text, std::uint32_t& value) {
  if (text.empty()) return false;
  std::uint64_t result = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return false;
    result = result * 16 + static_cast<std::uint64_t>(digit);
    if (result > 0xFFFFFFFFu) return false;
  }
  value = static_cast<std::uint32_t>(result);
  return true;
}
