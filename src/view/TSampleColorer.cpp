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
  if (count <= kMaxTable) {
    cycleColors_.reserve(static_cast<std::size_t>(count));
    for (std::int32_t cycle = 1; cycle <= count; ++cycle) {
      cycleColors_.push_back(props.CycleColors(cycle, maxCycle));
    }
  }
  maxDepth_ = (*this)(0.0f, 1, false);
  vector_.emplace(MakePixelVector());
}

TSampleColor TSampleColorer::operator()(float depth, std::int32_t cycle, bool interpolated) const {
  const auto last = static_cast<std::int32_t>(cycleColors_.size());
  auto cycleColors = [&] {
    if (last == 0) return props_.CycleColors(cycle, maxCycle_);
    return cycleColors_[static_cast<std::size_t>(std::clamp(cycle, std::int32_t{1}, last) - 1)];
  };
  return SampleColorRules::Sample(settings_, outside_, inside_, depth, interpolated, cycleColors);
}

void TSampleColorer::ColorRun(const float* depths, const std::int32_t* cycles, int count,
                              bool interpolated, TSampleColor* out) const {
  // Pieces of the run by vector, the samples it leaves one at a time.
  constexpr int kPiece = 256;
  int undone[kPiece];
  for (int first = 0; first < count; first += kPiece) {
    const int n = std::min(kPiece, count - first);
    const int left = vector_->Samples(depths + first, cycles ? cycles + first : nullptr, n,
                                      interpolated, maxDepth_, out + first, undone);
    for (int k = 0; k < left; ++k) {
      const int i = first + undone[k];
      out[i] = (*this)(depths[i], cycles ? cycles[i] : 1, interpolated);
    }
  }
}
