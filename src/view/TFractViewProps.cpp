#include "view/TFractViewProps.h"

#include <algorithm>
#include <cmath>

namespace {

double Byte(std::uint32_t color, int shift) {
  return static_cast<double>((color >> shift) & 0xFFu);
}

// The sensitivity curve at x > 0.
double Curve(ESensitivity sensitivity, double x, double exponent) {
  switch (sensitivity) {
    case ESensitivity::SensLow:
      return x * x;
    case ESensitivity::SensNormal:
      return x;
    case ESensitivity::SensHigh:
      return std::sqrt(x);
    case ESensitivity::SensVeryHigh:
      return std::pow(x, 0.25);
    case ESensitivity::SensCustom:
      return std::pow(x, exponent);
  }
  return x;
}

TSampleColor FromPalette(const TColorPalette1D& palette, double e, bool interpolated) {
  TSampleColor result;
  if (interpolated) {
    palette.GetSuperColor(e, result.red, result.green, result.blue);
  } else {
    const std::uint32_t color = palette.GetColor(e);
    result.red = Byte(color, 0);
    result.green = Byte(color, 8);
    result.blue = Byte(color, 16);
  }
  result.opacity = palette.GetTransFactor(e);
  return result;
}

// From colour a (opacity oa) at m = 0 to colour b (opacity ob) at m = 1, with m = e limited to at
// most 1 (e is not negative for strengths in their range, so there is no lower limit).
TSampleColor Mix(std::uint32_t a, double oa, std::uint32_t b, double ob, double e) {
  const double m = e > 1 ? 1.0 : e;
  TSampleColor result;
  result.red = Byte(a, 0) * (1 - m) + Byte(b, 0) * m;
  result.green = Byte(a, 8) * (1 - m) + Byte(b, 8) * m;
  result.blue = Byte(a, 16) * (1 - m) + Byte(b, 16) * m;
  result.opacity = oa * (1 - m) + ob * m;
  return result;
}

// (cycle - 1) / max(maxCycle - 1, 1), taken into 0..1 for cycle numbers out of range.
double CyclePosition(std::int32_t cycle, std::int32_t maxCycle) {
  const double span = std::max(static_cast<double>(maxCycle) - 1, 1.0);
  const double position = (static_cast<double>(cycle) - 1) / span;
  if (position < 0) return 0.0;
  return position > 1 ? 1.0 : position;
}

}  // namespace

TFractViewProps::TFractViewProps()
    : PalOutside(false, 0x000000, 1.0, 1.0, 0x000000, 0xFF8000, 1.0, 1.0, 0x000000),
      PalDepthInside(false, 0x000000, 1.0, 0x0080FF, 1.0),
      PalDepthBackgroundInside(false, 0x000000, 1.0, 0x808080, 1.0),
      PalDepthForegroundInside(false, 0x0080FF, 1.0, 0x00FF80, 1.0) {}

bool TFractViewProps::operator==(const TFractViewProps& other) const {
  return SensOutside == other.SensOutside && SensInside == other.SensInside &&
         SensExponentInside == other.SensExponentInside &&
         SensExponentOutside == other.SensExponentOutside &&
         BackgroundColorOutside == other.BackgroundColorOutside &&
         ColorBackgroundInside == other.ColorBackgroundInside &&
         ForegroundColorOutside == other.ForegroundColorOutside &&
         ColorForegroundInside == other.ColorForegroundInside &&
         CursorColor == other.CursorColor && MaxDepthColor == other.MaxDepthColor &&
         BackgroundColor == other.BackgroundColor && StrengthOutside == other.StrengthOutside &&
         StrengthInside == other.StrengthInside && PalOutside == other.PalOutside &&
         PalDepthInside == other.PalDepthInside &&
         PalDepthBackgroundInside == other.PalDepthBackgroundInside &&
         PalDepthForegroundInside == other.PalDepthForegroundInside &&
         UsePalOutside == other.UsePalOutside && UsePalDepthInside == other.UsePalDepthInside &&
         UsePalDepthBackgroundInside == other.UsePalDepthBackgroundInside &&
         UsePalDepthForegroundInside == other.UsePalDepthForegroundInside &&
         MaxDepthTransFactor == other.MaxDepthTransFactor &&
         ValuesPerPixel == other.ValuesPerPixel;
}

TSampleColor TFractViewProps::SampleColor(float depth, std::int32_t cycle, std::int32_t maxCycle,
                                          bool interpolated) const {
  if (depth == 0 || std::isnan(depth)) {
    const std::uint32_t color = MaxDepthColor.GetValue();
    return {Byte(color, 0), Byte(color, 8), Byte(color, 16), MaxDepthTransFactor.GetValue()};
  }
  if (depth > 0) {
    const double e = StrengthOutside.GetValue() *
                     Curve(SensOutside, depth, SensExponentOutside.GetValue());
    if (UsePalOutside) return FromPalette(PalOutside, e, interpolated);
    return Mix(BackgroundColorOutside.GetValue(), 1.0, ForegroundColorOutside.GetValue(), 1.0, e);
  }
  const double e = StrengthInside.GetValue() *
                   Curve(SensInside, -static_cast<double>(depth), SensExponentInside.GetValue());
  if (UsePalDepthInside) return FromPalette(PalDepthInside, e, interpolated);

  // Inside without the depth palette: mix by depth between colours chosen by the cycle number.
  const double p = CyclePosition(cycle, maxCycle);
  std::uint32_t a = ColorBackgroundInside.GetValue();
  double oa = 1.0;
  if (UsePalDepthBackgroundInside) {
    a = PalDepthBackgroundInside.GetColor(p);
    oa = PalDepthBackgroundInside.GetTransFactor(p);
  }
  std::uint32_t b = ColorForegroundInside.GetValue();
  double ob = 1.0;
  if (UsePalDepthForegroundInside) {
    b = PalDepthForegroundInside.GetColor(p);
    ob = PalDepthForegroundInside.GetTransFactor(p);
  }
  return Mix(a, oa, b, ob, e);
}
