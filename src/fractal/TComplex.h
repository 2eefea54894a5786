#pragma once

#include <cmath>
#include <cstdint>

// A complex number as a pair of doubles, with the operations of the iteration formulas. Every
// operation rounds each component to double in the written order (the build forbids FMA
// contraction), so results are the same on every machine and code path.
struct TComplex {
  double re = 0.0;
  double im = 0.0;
};

inline TComplex operator+(TComplex a, TComplex b) { return {a.re + b.re, a.im + b.im}; }
inline TComplex operator-(TComplex a, TComplex b) { return {a.re - b.re, a.im - b.im}; }
inline TComplex operator-(TComplex a) { return {-a.re, -a.im}; }

// (a + bi)(c + di) = (ac - bd) + (ad + bc)i
inline TComplex operator*(TComplex a, TComplex b) {
  return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

inline TComplex operator*(double k, TComplex a) { return {k * a.re, k * a.im}; }

// Sum with a real: changes the real part only.
inline TComplex AddReal(TComplex a, double r) { return {a.re + r, a.im}; }

// Quotient a / b by Smith's method, which scales by the larger component of b so that no
// intermediate overflows or underflows where the quotient itself is representable. A zero
// divisor gives a non-finite result.
inline TComplex operator/(TComplex a, TComplex b) {
  if (std::fabs(b.re) >= std::fabs(b.im)) {
    const double r = b.im / b.re;
    const double den = b.re + b.im * r;
    return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
  }
  const double r = b.re / b.im;
  const double den = b.re * r + b.im;
  return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

inline bool IsFinite(TComplex a) { return std::isfinite(a.re) && std::isfinite(a.im); }

// z^k for k >= 1 by repeated squaring (left to right over the bits of k), so that exponents
// near 2^31 cost a few dozen products. Stops early once the value is no longer finite.
inline TComplex IntPower(TComplex z, std::int32_t k) {
  std::uint32_t bits = static_cast<std::uint32_t>(k);
  int top = 31;
  while (top > 0 && !(bits & (1u << top))) --top;
  TComplex result = z;
  for (int bit = top - 1; bit >= 0; --bit) {
    result = result * result;
    if (bits & (1u << bit)) result = result * z;
    if (!IsFinite(result)) break;
  }
  return result;
}

// e^z = e^x (cos y + i sin y)
inline TComplex Exp(TComplex z) {
  const double e = std::exp(z.re);
  return {e * std::cos(z.im), e * std::sin(z.im)};
}

// sin z = sin x cosh y + i cos x sinh y
inline TComplex Sin(TComplex z) {
  return {std::sin(z.re) * std::cosh(z.im), std::cos(z.re) * std::sinh(z.im)};
}
