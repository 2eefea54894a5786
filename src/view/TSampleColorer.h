#pragma once

#include <cstdint>
#include <vector>

#include "view/TFractViewProps.h"

// The sample colour function for one painting pass: the inside mix colours of every cycle number
// are looked up once at construction instead of walking two palettes per sample. Gives exactly
// the results of TFractViewProps::SampleColor. Refers to props, which must outlive the colorer
// and stay unchanged while it is used (as during painting). Allocation-free per sample.
class TSampleColorer {
 public:
  TSampleColorer(const TFractViewProps& props, std::int32_t maxCycle);

  TSampleColor operator()(float depth, std::int32_t cycle, bool interpolated) const;
  // The colours of count samples: depths[i] with cycle number cycles[i] (cycle 1 for all when
  // cycles is nullptr) into out[i]. The same results as operator(), without a call per sample.
  void ColorRun(const float* depths, const std::int32_t* cycles, int count, bool interpolated,
                TSampleColor* out) const;

 private:
  // Cycle numbers above this are coloured without the table.
  static constexpr std::int32_t kMaxTable = 1 << 16;

  const TFractViewProps& props_;
  std::int32_t maxCycle_;
  // The colours of cycle numbers 1..size(); every cycle number beyond the table's ends gives the
  // colours of the nearest end, because the cycle position is taken into 0..1.
  std::vector<TCycleColors> cycleColors_;
};
