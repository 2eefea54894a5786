#include "values/NumberFormat.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "common/Assert.h"
#include "values/NumberParse.h"

namespace {

constexpr int kMaxSignificantDigits = 15;
// A precision that never limits the digits below the 15 significant ones.
constexpr int kAllDigits = 99;

// The exact decimal expansion of a finite m >= 0. The digit for 10^p is digits[intLength-1-p].
struct ExactDecimal {
  std::string digits;
  int intLength = 0;

  int DigitAt(int position) const {
    long index = static_cast<long>(intLength) - 1 - position;
    if (index < 0 || index >= static_cast<long>(digits.size())) return 0;
    return digits[static_cast<std::size_t>(index)] - '0';
  }
};

ExactDecimal Expand(double m) {
  // A double has at most 1074 binary, hence at most 1074 decimal, fraction digits and at most
  // 309 integer digits, so 1100 fixed decimals are the exact value.
  std::array<char, 1500> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), m,
                              std::chars_format::fixed, 1100);
  KORVANA_ASSERT(result.ec == std::errc());
  std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  std::size_t dot = text.find('.');
  KORVANA_ASSERT(dot != std::string_view::npos);
  ExactDecimal e;
  e.intLength = static_cast<int>(dot);
  e.digits.reserve(text.size() - 1);
  e.digits.append(text.substr(0, dot));
  e.digits.append(text.substr(dot + 1));
  return e;
}

// trunc(log10 m) + 1 for m >= 1, trunc(log10 m) for 0 < m < 1, 1 for 0; taken from the exact
// digits, so powers of ten are never misjudged by a rounded logarithm.
int DigitsBeforePoint(const ExactDecimal& e, double m) {
  if (m == 0) return 1;
  if (m >= 1) return e.intLength;
  int zeros = 0;
  while (e.DigitAt(-1 - zeros) == 0) ++zeros;
  return -zeros;
}

// The digits of m + 10^(lowPos-1) at positions top..lowPos (truncated below lowPos); the first
// entry is for 10^top, where top is width or width + 1 when the addition carries over.
std::vector<int> BiasedDigits(const ExactDecimal& e, int width, int lowPos, int& top) {
  std::vector<int> digits;
  for (int p = width; p >= lowPos - 1; --p) digits.push_back(e.DigitAt(p));
  top = width;
  int carry = 1;
  for (auto it = digits.rbegin(); it != digits.rend() && carry; ++it) {
    *it += carry;
    carry = *it / 10;
    *it %= 10;
  }
  if (carry) {
    digits.insert(digits.begin(), 1);
    ++top;
  }
  digits.pop_back();
  return digits;
}

std::string NonFiniteText(double x) {
  if (std::isnan(x)) return "NaN";
  return x < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

std::string FormatNumber(double x, int precision, bool trim) {
  KORVANA_ASSERT(precision >= 1);
  if (!std::isfinite(x)) return NonFiniteText(x);
  const double m = std::fabs(x);
  const ExactDecimal exact = Expand(m);
  const int b = DigitsBeforePoint(exact, m);
  const int d = (m == 0) ? 1 : (m >= 1 ? b - 1 : b);  // trunc(log10 |x|)
  const int minBefore = std::max(d, 1);
  const int width = std::max(b, minBefore);
  const int maxAfter = std::min(d < precision ? precision - d - 1 : 0, kMaxSignificantDigits - b);
  const int minAfter = trim ? 0 : std::max(maxAfter, 0);
  const int lowPos = -maxAfter;  // lowest shown position; above 0 for more than 15 digits

  int top = 0;
  const std::vector<int> digits = BiasedDigits(exact, width, lowPos, top);
  auto digitAt = [&](int p) { return p >= lowPos ? digits[static_cast<std::size_t>(top - p)] : 0; };

  std::string integer;
  for (int p = top; p >= 0; --p) {
    int h = digitAt(p);
    if (!integer.empty() || h != 0 || p <= width - 1) integer.push_back(static_cast<char>('0' + h));
  }
  std::string fraction;
  for (int p = -1; p >= lowPos; --p) fraction.push_back(static_cast<char>('0' + digitAt(p)));
  std::size_t keep = fraction.find_last_not_of('0');
  keep = (keep == std::string::npos) ? 0 : keep + 1;
  fraction.resize(std::max(keep, static_cast<std::size_t>(minAfter)));

  const bool allZero = integer.find_first_not_of('0') == std::string::npos && keep == 0;
  std::string text = (x < 0 && !allZero) ? "-" : "";
  text += integer;
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::string FormatShortestNumber(double x, int shift) {
  if (!std::isfinite(x)) return NonFiniteText(x);
  if (x == 0) return "0";
  // The shortest digits that read back, as "d.ddde+XX" (or "de+XX" for one digit).
  std::array<char, 64> buffer;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(x),
                              std::chars_format::scientific);
  KORVANA_ASSERT(result.ec == std::errc());
  const std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
  const std::size_t e = text.find('e');
  KORVANA_ASSERT(e != std::string_view::npos);
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  int exponent = 0;
  std::string_view exponentText = text.substr(e + 1);
  if (exponentText.front() == '+') exponentText.remove_prefix(1);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  // Digits before the decimal point; the value is 0.digits * 10^before.
  const long before = static_cast<long>(exponent) + 1 + shift;
  const long count = static_cast<long>(digits.size());
  std::string plain = x < 0 ? "-" : "";
  if (before <= 0) {
    plain += "0." + std::string(static_cast<std::size_t>(-before), '0') + digits;
  } else if (before >= count) {
    plain += digits + std::string(static_cast<std::size_t>(before - count), '0');
  } else {
    const auto split = static_cast<std::size_t>(before);
    plain += digits.substr(0, split) + "." + digits.substr(split);
  }
  return plain;
}

std::string FormatFileNumber(double x) {
  std::string text = FormatNumber(x, kAllDigits, true);
  double back = 0;
  EUnitKind unit = EUnitKind::EHNone;
  std::string reason;
  if (!std::isfinite(x) || (ParseReal(text, back, unit, reason) && back == x)) return text;
  return FormatShortestNumber(x);
}
