#pragma once

#include <cstdint>

#include "fractal/FractEnums.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

// The complete mathematical description of one fractal: the sampled rectangle of the complex
// plane, the internal resolution, the iteration limits, the escape radius, the inside
// detection, the formula, the variable that receives the sample point, the constants c and d
// and the exponents N and M. A regular value type: copy copies every field, equality compares
// every field.
class TFractProps {
 public:
  unitIntegerPosMore XResolution{300};  // samples per row
  unitIntegerPosMore YResolution{300};  // samples per column
  unitFactor Left{-1.5};                // real part at the left edge
  unitFactor Right{1.5};                // real part at the right edge
  unitFactor Top{1.5};                  // imaginary part of the top row
  unitFactor Bottom{-1.5};              // imaginary part at the bottom edge
  ECycleSelection CycleSelection = CycleLowest;
  unitIntegerPosMore MaxDepth{100};           // maximal number of iterations
  unitFactorPosMore1 OuterCircle{1000.0};     // escape radius R
  unitFactorPosMoreLess1 InnerDist{0.0001};   // distance below which orbit points are equal
  unitIntegerPos MaxCycle{3};                 // longest period looked for; 0: no inside detection
  std::uint8_t Formula = 0;                   // index into the formula table, 0 .. 12
  EMapVar MapVar = MapZ;
  unitFactor CR{-0.122561};
  unitFactor CI{-0.744862};
  unitFactor DR{-0.3};
  unitFactor DI{-0.3};
  unitIntegerPosMore N{5};
  unitIntegerPosMore M{3};
  bool ColorsDiscontinue = false;  // true: escape counts are not smoothed

  // Every field equal (reals exactly), compared in the order YResolution, XResolution, Left,
  // Right, Top, Bottom, MaxDepth, OuterCircle, InnerDist, MaxCycle, CycleSelection, CR, CI,
  // DR, DI, N, M, ColorsDiscontinue, MapVar, Formula.
  friend bool operator==(const TFractProps& a, const TFractProps& b);
  // The negation of equality: whether an edit needs a new computation.
  bool Changed(const TFractProps& other) const { return !(*this == other); }

  // The plane point of column i and row j: Left + (i / XResolution) (Right - Left) and
  // Top + (j / YResolution) (Bottom - Top). Column 0 lies on Left, the last column one sample
  // step short of Right.
  double SampleX(std::int32_t i) const;
  double SampleY(std::int32_t j) const;
};
