#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "palette/PaletteTable.h"
#include "view/PixelVector.h"
#include "view/SampleColorRules.h"
#include "view/TFractViewProps.h"

// The sample colour function for one painting pass: the view's settings, its depth palettes (as
// tables) and the inside mix colours of every cycle number are read once at construction instead
// of per sample. Gives exactly the results of TFractViewProps::SampleColor. Refers to props,
// which must outlive the colorer and stay unchanged while it is used (as during painting).
// Allocation-free per sample.
class TSampleColorer {
 public:
  TSampleColorer(const TFractViewProps& props, std::int32_t maxCycle);
  // Not copied: the palette tables are referred to by the vector painters made from them.
  TSampleColorer(const TSampleColorer&) = delete;
  TSampleColorer& operator=(const TSampleColorer&) = delete;

  TSampleColor operator()(float depth, std::int32_t cycle, bool interpolated) const;
  // The colours of count samples: depths[i] with cycle number cycles[i] (cycle 1 for all when
  // cycles is nullptr) into out[i]. The same results as operator(), most samples a vector at a
  // time by the vector painter.
  void ColorRun(const float* depths, const std::int32_t* cycles, int count, bool interpolated,
                TSampleColor* out) const;
  // The vector painter of these colours, with the widest vector units given. Refers to this
  // colorer.
  PixelVector MakePixelVector(KernelPath widest = KernelPath::Auto) const {
    return PixelVector(settings_, outside_, inside_, cycleColors_, widest);
  }
  // The one this colorer paints with, on the widest vector units.
  const PixelVector& Vector() const { return *vector_; }

 private:
  // Cycle numbers above this are coloured without the table.
  static constexpr std::int32_t kMaxTable = 1 << 16;

  const TFractViewProps& props_;
  std::int32_t maxCycle_;
  SampleColorRules::Settings settings_;
  PaletteTable outside_, inside_;
  // The colours of cycle numbers 1..size(); every cycle number beyond the table's ends gives the
  // colours of the nearest end, because the cycle position is taken into 0..1.
  std::vector<TCycleColors> cycleColors_;
  TSampleColor maxDepth_;
  std::optional<PixelVector> vector_;  // made once the tables are
};
