#pragma once

#include <cstdint>
#include <string>

#include "fractal/FractEnums.h"
#include "view/TFractViewProps.h"

class TFractProps;

// The rules of the fractal properties dialog without its widgets: which formula fields accept
// input, how internal and pixel resolution follow each other, how strengths follow a change of
// the maximal depth, and how the texts of all fields are stored into the parameters and view
// properties on OK.

// Which edits of the formula page accept input.
struct TFormulaFieldsEnabled {
  bool c = true;   // CR, CI: unless c receives the plane point
  bool d = false;  // DR, DI: formulas 4, 5 and 8, unless d receives the plane point
  bool n = false;  // formulas 3, 5, 6, 7 and 8
  bool m = false;  // formula 5
};
TFormulaFieldsEnabled FormulaFieldsEnabled(int formula, EMapVar mapVar);

// The most samples a result array can hold; larger resolutions are refused as input.
inline constexpr std::int64_t kMaxResolutionSamples = 0x7FFFFFFF;

// Pixels of an internal resolution: internal / valuesPerPixel, rounded towards zero.
std::int32_t PixelsOfInternal(std::int32_t internal, std::int32_t valuesPerPixel);
// trunc(value × factor) into scaled; false (scaled untouched) when the result is not a 32-bit
// integer or the factor is not finite.
bool ScaleResolution(std::int32_t value, double factor, std::int32_t& scaled);

// The exponent of a sensitivity curve: 2, 1, 0.5, 0.25 or the custom exponent.
double SensitivityExponent(ESensitivity sensitivity, double customExponent);
// The factor by which a strength follows a change of the maximal depth: (new / old)^exponent.
double StrengthAdaptFactor(std::int32_t oldDepth, std::int32_t newDepth, double exponent);

// What the user entered in the dialog: the texts of the value edits and the choices of the
// lists, radio buttons and check boxes.
struct TPropertiesFields {
  std::string Left, Right, Top, Bottom, XResolution, YResolution, CR, CI, DR, DI, N, M;
  std::string MaxDepth, OuterCircle, InnerDist, MaxCycle;
  std::string SensExponentInside, SensExponentOutside, StrengthOutside, StrengthInside;
  std::string ValuesPerPixel, MaxDepthTransFactor;
  ECycleSelection CycleSelection = CycleLowest;
  bool ColorsDiscontinue = false;
  EMapVar MapVar = MapZ;
  std::uint8_t Formula = 0;
  ESensitivity SensOutside = ESensitivity::SensHigh;
  ESensitivity SensInside = ESensitivity::SensHigh;
  bool AdaptStrengthOutside = true;
  bool AdaptStrengthInside = true;
  bool UsePalOutside = false;
  bool UsePalDepthInside = false;
  bool UsePalDepthBackgroundInside = false;
  bool UsePalDepthForegroundInside = false;
  bool UpdateResolution = true;
};

// The texts and choices that show fract and view in the dialog.
TPropertiesFields FieldsOf(const TFractProps& fract, const TFractViewProps& view);

// Parses every field in the dialog's order, each with its message label, into copies of fract
// and view (which hold the dialog's colour and palette choices). Only when every field parsed,
// and the resolution fits a result array with at least one pixel each way, are the copies
// assigned to fract and view. Otherwise returns false with the first field's message
// ("In " + label + ": " + reason) and leaves fract and view exactly as they were.
bool StoreProperties(const TPropertiesFields& fields, TFractProps& fract, TFractViewProps& view,
                     std::string& message);
