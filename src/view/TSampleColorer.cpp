#include "view/TSampleColorer.h"

#include <algorithm>

TSampleColorer::TSampleColorer(const TFractViewProps& props, std::int32_t maxCycle)
    : props_(props),
      maxCycle_(maxCycle),
      settings_(props),
      outside_(props.PalOutside),
      inside_(props.PalDepthInside) {
  // Cycle positions 0 (cycle 1) to 1 (cycle max(maxCycle, 2)); without the cycle palettes the
  // colours are the same for every cycle number.
  const bool byCycle = props.UsePalDepthBackgroundInside || props.UsePalDepthForegroundInside;
  const std::int32_t count = byCycle ? std::max(maxCycle, 2) : 1;
  if (count > kMaxTable) return;
  cycleColors_.reserve(static_cast<std::size_t>(count));
  for (std::int32_t cycle = 1; cycle <= count; ++cycle) {
    cycleColors_.push_back(props.CycleColors(cycle, maxCycle));
  }
}

TSampleColor TSampleColorer::operator()(float depth, std::int32_t cycle, bool interpolated) const {
  TSampleColor color;
  ColorRun(&depth, &cycle, 1, interpolated, &color);
  return color;
}

void TSampleColorer::ColorRun(const float* depths, const std::int32_t* cycles, int count,
                              bool interpolated, TSampleColor* out) const {
  const auto last = static_cast<std::int32_t>(cycleColors_.size());
  for (int i = 0; i < count; ++i) {
    const std::int32_t cycle = cycles ? cycles[i] : 1;
    auto cycleColors = [&] {
      if (last == 0) return props_.CycleColors(cycle, maxCycle_);
      return cycleColors_[static_cast<std::size_t>(std::clamp(cycle, std::int32_t{1}, last) - 1)];
    };
    out[i] = SampleColorRules::Sample(settings_, outside_, inside_, depths[i], interpolated,
                                      cycleColors);
  }
}
