#pragma once

#include <cmath>
#include <cstdint>

#include "view/TFractViewProps.h"

// The rules of the sample colour, inline so that a painting pass colours a whole column of
// samples without a call per sample. TFractViewProps::SampleColor and TSampleColorer use them
// alike, so their results are identical.
namespace SampleColorRules {

inline double Byte(std::uint32_t color, int shift) {
  return static_cast<double>((color >> shift) & 0xFFu);
}

// The sensitivity curve at x > 0.
inline double Curve(ESensitivity sensitivity, double x, double exponent) {
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

template <typename Palette>
inline TSampleColor FromPalette(const Palette& palette, double e, bool interpolated) {
  const TColorPalette1D::TSample sample = palette.GetSample(e, interpolated);
  return {sample.red, sample.green, sample.blue, sample.transFactor};
}

// From colour a (opacity oa) at m = 0 to colour b (opacity ob) at m = 1, with m = e limited to at
// most 1 (e is not negative for strengths in their range, so there is no lower limit).
inline TSampleColor Mix(std::uint32_t a, double oa, std::uint32_t b, double ob, double e) {
  const double m = e > 1 ? 1.0 : e;
  TSampleColor result;
  result.red = Byte(a, 0) * (1 - m) + Byte(b, 0) * m;
  result.green = Byte(a, 8) * (1 - m) + Byte(b, 8) * m;
  result.blue = Byte(a, 16) * (1 - m) + Byte(b, 16) * m;
  result.opacity = oa * (1 - m) + ob * m;
  return result;
}

// (cycle - 1) / max(maxCycle - 1, 1), taken into 0..1 for cycle numbers out of range.
inline double CyclePosition(std::int32_t cycle, std::int32_t maxCycle) {
  const double span = std::max(static_cast<double>(maxCycle) - 1, 1.0);
  const double position = (static_cast<double>(cycle) - 1) / span;
  if (position < 0) return 0.0;
  return position > 1 ? 1.0 : position;
}

// The view's colour settings that every sample reads, taken from the view once per pass.
struct Settings {
  explicit Settings(const TFractViewProps& p)
      : maxDepthColor(p.MaxDepthColor.GetValue()),
        maxDepthOpacity(p.MaxDepthTransFactor.GetValue()),
        strengthOutside(p.StrengthOutside.GetValue()),
        exponentOutside(p.SensExponentOutside.GetValue()),
        strengthInside(p.StrengthInside.GetValue()),
        exponentInside(p.SensExponentInside.GetValue()),
        sensOutside(p.SensOutside),
        sensInside(p.SensInside),
        usePalOutside(p.UsePalOutside),
        usePalDepthInside(p.UsePalDepthInside),
        backgroundOutside(p.BackgroundColorOutside.GetValue()),
        foregroundOutside(p.ForegroundColorOutside.GetValue()) {}

  std::uint32_t maxDepthColor;
  double maxDepthOpacity;
  double strengthOutside, exponentOutside, strengthInside, exponentInside;
  ESensitivity sensOutside, sensInside;
  bool usePalOutside, usePalDepthInside;
  std::uint32_t backgroundOutside, foregroundOutside;
};

// The sample colour from the settings and the outside and inside depth palettes (anything with
// TColorPalette1D::GetSample); cycleColorsOf() gives the inside mix colours and is called only
// when they are needed.
template <typename Palette, typename CycleColorsOf>
inline TSampleColor Sample(const Settings& s, const Palette& outside, const Palette& inside,
                           float depth, bool interpolated, const CycleColorsOf& cycleColorsOf) {
  if (depth == 0 || std::isnan(depth)) {
    return {Byte(s.maxDepthColor, 0), Byte(s.maxDepthColor, 8), Byte(s.maxDepthColor, 16),
            s.maxDepthOpacity};
  }
  if (depth > 0) {
    const double e = s.strengthOutside * Curve(s.sensOutside, depth, s.exponentOutside);
    if (s.usePalOutside) return FromPalette(outside, e, interpolated);
    return Mix(s.backgroundOutside, 1.0, s.foregroundOutside, 1.0, e);
  }
  const double e =
      s.strengthInside * Curve(s.sensInside, -static_cast<double>(depth), s.exponentInside);
  if (s.usePalDepthInside) return FromPalette(inside, e, interpolated);
  // Inside without the depth palette: mix by depth between colours chosen by the cycle number.
  const TCycleColors c = cycleColorsOf();
  return Mix(c.background, c.backgroundOpacity, c.foreground, c.foregroundOpacity, e);
}

}  // namespace SampleColorRules
