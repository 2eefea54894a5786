#include "view/TSampleColorer.h"

#include <algorithm>

TSampleColorer::TSampleColorer(const TFractViewProps& props, std::int32_t maxCycle)
    : props_(props), maxCycle_(maxCycle) {
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
  if (cycleColors_.empty()) return props_.SampleColor(depth, cycle, maxCycle_, interpolated);
  const auto last = static_cast<std::int32_t>(cycleColors_.size());
  const std::int32_t index = std::clamp(cycle, std::int32_t{1}, last) - 1;
  return props_.SampleColor(depth, cycleColors_[static_cast<std::size_t>(index)], interpolated);
}
