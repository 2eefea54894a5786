#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "palette/PaletteTable.h"
#include "view/SampleColorRules.h"

// The window's pixels of one sample each, without picture colours, four samples at a time with
// AVX2: the same bytes as the sample colour rules, the background blend and the truncation to
// bytes, computed by the same operations in the same order on each lane.
//
// A group of four samples is painted by vector when all four are outside, all inside or all at
// the maximum depth; the others (mixed groups, a palette lookup that would run off a broken
// chain, the last samples of a run) are left to the caller's one-sample path.
class PixelVector {
 public:
  // usable() is false when this processor, the sensitivities (the power curves) or the palettes
  // leave nothing to vectorise. cycleColors: the inside mix colours of cycle numbers
  // 1..cycleColors.size() (numbers beyond taken as the nearest end); empty when there is no
  // table, which leaves inside mixes to the caller. maxDepthPixel: the pixel of a sample at
  // the maximum depth.
  PixelVector(const SampleColorRules::Settings& settings, const PaletteTable& outside,
              const PaletteTable& inside, const std::vector<TCycleColors>& cycleColors,
              const double background[3], const std::uint8_t maxDepthPixel[3]);

  bool usable() const { return usable_; }

  // Paints the pixels of count samples (depths[i], cycle number cycles[i], all 1 when cycles is
  // nullptr) to out + i * stride (three bytes, red first). Writes the indices of the samples it
  // left to undone (room for count) and returns how many.
  int Paint(const float* depths, const std::int32_t* cycles, int count, std::uint8_t* out,
            std::ptrdiff_t stride, int* undone) const;

  // One side's sample rules: the curve, the strength and either a palette or two mix colours.
  struct Side {
    int curve = 0;  // 0: x * x, 1: x, 2: sqrt(x)
    double strength = 0;
    const PaletteTable* palette = nullptr;  // nullptr: mix
    double mixFrom[4] = {}, mixTo[4] = {};  // red, green, blue, opacity (outside mix)
  };

 private:
  bool usable_ = false;
  Side outside_, inside_;
  // Per cycle number: background red, green, blue, opacity, foreground red, green, blue, opacity.
  std::vector<double> cycleMix_;
  double background_[3];
  std::uint8_t maxDepth_[3] = {};
};
