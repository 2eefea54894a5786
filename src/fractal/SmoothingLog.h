#pragma once

#include <cfloat>
#include <cstdint>

// The natural logarithm of the escape smoothing. The scalar kernel computes it one argument at a
// time and the vector kernels a vector at a time, by the same operations, so every path stores
// the same depths; a vector routine makes the smoothing of a batch of escapes several times
// cheaper than a library call per escape.
//
// It is the table method of Arm's optimized-routines log (MIT licence), which glibc's log uses
// too: for x = 2^k z, with z in [0x1.6p-1, 0x1.6p0) cut into 128 intervals around centres c,
//   log(x) = k ln 2 + log(c) + log1p(z / c - 1),
// log1p(r) - r by a polynomial of degree 6, with the fused multiply-adds in fixed places. On
// processors with FMA the results equal glibc's bit for bit. Arguments that are not positive
// normal numbers, or lie within about 1/16 of 1 (where the method switches to a polynomial in
// x - 1), are left to std::log; the vector kernels hand such lanes to it as well.
namespace smoothing_log {

inline constexpr int kIntervals = 128;
inline constexpr std::uint64_t kOffset = 0x3fe6000000000000;  // the bits of 0x1.6p-1
inline constexpr double kLn2Hi = 0x1.62e42fefa3800p-1;
inline constexpr double kLn2Lo = 0x1.ef35793c76730p-45;
inline constexpr double kPoly[5] = {-0x1.0000000000001p-1, 0x1.555555551305bp-2,
                                    -0x1.fffffffeb4590p-3, 0x1.999b324f10111p-3,
                                    -0x1.55575e506c89fp-3};
// Arguments in [kNearOneLow, kNearOneHigh) are left to std::log.
inline constexpr double kNearOneLow = 0x1.ep-1;
inline constexpr double kNearOneHigh = 0x1.109p+0;

struct LogInterval {
  double invc;  // 1 / c
  double logc;  // log(c)
};
extern const LogInterval kTable[kIntervals];

// Whether the table method computes log(x).
inline bool InTable(double x) {
  return x >= DBL_MIN && x <= DBL_MAX && !(x >= kNearOneLow && x < kNearOneHigh);
}

}  // namespace smoothing_log

double SmoothingLog(double x);
