#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "values/UnitKind.h"

// Parsers of typed and stored value text. They never depend on the process locale. On failure
// they set reason (without the "In <label>: " prefix) and leave value and unit unchanged.

// The reason given for numbers that do not fit the value's type (or are not finite after the
// unit conversion).
inline constexpr const char* kValueTooLarge = "Value is too large.";

// A real of the factor classes: an optional sign, blanks, integer digits, blanks, then either
// a decimal point or comma with fraction digits and an optional exponent ("e+3", sign required),
// or "/" with a divisor, or an optional exponent; then blanks and an optional unit suffix
// (case-insensitive). The unit is converted: "%" divides by 100, "DB" gives 10^(v/20), "#" gives
// 2^(v/12), "OCTAVE" gives 2^v, "'" divides by 360; other units are refused. Decimal text
// (also with "%") becomes the nearest double to the number written; a fraction is a / b in doubles.
bool ParseReal(std::string_view text, double& value, EUnitKind& unit, std::string& reason);

// A signed 32-bit integer: an optional "+", an optional "-", at least one digit, and nothing but
// blanks after them. Syntax errors give "Invalid value: \"<text>\".", control bytes of the text
// shown escaped.
bool ParseInteger(std::string_view text, std::int32_t& value, std::string& reason);

// One or more hexadecimal digits of either case (leading zeros allowed) whose value fits in 32
// bits; nothing else.
bool ParseHexColour(std::string_view text, std::uint32_t& value);
