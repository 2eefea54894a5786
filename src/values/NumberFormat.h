#pragma once

#include <string>

// Two entry points: FormatNumber gives display texts (dialogs, status bar; at most 15 significant
// digits), FormatFileNumber gives the texts written to files, which must read back exactly.

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

// The file text of x: FormatNumber(x, 99, true) when that text reads back as exactly x (so files
// keep their 15-digit texts wherever these suffice), else the shortest plain decimal text that
// does, which has 16 or 17 significant digits (1.000000000000001 stays "1.000000000000001"
// instead of becoming "1"). Non-finite values give the words of FormatNumber.
std::string FormatFileNumber(double x);

// The shortest plain decimal text that reads back as exactly x, written with the decimal point
// moved shift places to the right: the text of x * 10^shift computed on the decimal digits, not
// in doubles (shift 2 gives the number of a percent text, "30.000000000000004" for
// 0.30000000000000004). A zero has no sign; non-finite values give the words of FormatNumber.
std::string FormatShortestNumber(double x, int shift = 0);
