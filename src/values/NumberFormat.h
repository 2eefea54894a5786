#pragma once

#include <string>

// Formats x in plain decimal notation, independent of the process locale: an optional "-", the
// integer digits (at least one), and the decimals; never an exponent or thousands separators.
//
// precision (>= 1) limits the digits roughly to that many significant ones; at most 15
// significant digits are ever shown, so 0.1 + 0.2 gives "0.3". The shown digits are those of
// x + one tenth of the last shown unit, truncated; digits below the 15 significant ones of a
// large number are written as zeros, so the magnitude is kept ("100000000000000000000" for 1e20).
// With trim, trailing decimal zeros and a bare decimal point are dropped; without it all decimal
// places up to the limit are written. A result whose digits are all zero has no sign.
// NaN gives "NaN" and infinities give "Infinity" and "-Infinity"; no value parser accepts
// these, so a broken number is noticed when read back instead of silently becoming another one.
std::string FormatNumber(double x, int precision, bool trim);
