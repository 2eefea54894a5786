#include "view/TFractViewProps.h"

#include "view/SampleColorRules.h"

#include <algorithm>



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

TCycleColors TFractViewProps::CycleColors(std::int32_t cycle, std::int32_t maxCycle) const {
  const double p = SampleColorRules::CyclePosition(cycle, maxCycle);
  TCycleColors colors{ColorBackgroundInside.GetValue(), 1.0, ColorForegroundInside.GetValue(), 1.0};
  if (UsePalDepthBackgroundInside) {
    colors.background = PalDepthBackgroundInside.GetColor(p);
    colors.backgroundOpacity = PalDepthBackgroundInside.GetTransFactor(p);
  }
  if (UsePalDepthForegroundInside) {
    colors.foreground = PalDepthForegroundInside.GetColor(p);
    colors.foregroundOpacity = PalDepthForegroundInside.GetTransFactor(p);
  }
  return colors;
}

TSampleColor TFractViewProps::SampleColor(float depth, std::int32_t cycle, std::int32_t maxCycle,
                                          bool interpolated) const {
  return SampleColorRules::Sample(SampleColorRules::Settings(*this), PalOutside, PalDepthInside,
                                  depth, interpolated,
                                  [&] { return CycleColors(cycle, maxCycle); });
}

TSampleColor TFractViewProps::SampleColor(float depth, const TCycleColors& cycleColors,
                                          bool interpolated) const {
  return SampleColorRules::Sample(SampleColorRules::Settings(*this), PalOutside, PalDepthInside,
                                  depth, interpolated, [&] { return cycleColors; });
}
