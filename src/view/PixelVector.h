#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "palette/PaletteTable.h"
#include "view/SampleColorRules.h"

// The window's pixels of one sample each, without picture colours, four samples at a time with
// AVX2: the same bytes as the sample colour rules, the background blend and the truncation to
// bytes, computed by the same operations in the same order on each lane. Also the exported
// colours, and the sample colours themselves for supersampled pixels.
//
// Samples are painted by vector in groups of four, a group that mixes outside, inside and maximum
// depth samples too; a group whose palette lookup would run off a broken chain and the last
// samples of a run are left to the caller's one-sample path.
class PixelVector {
 public:
  // The pixel of a sample at the maximum depth, as the window shows it and as it is exported.
  struct MaxDepthPixel {
    std::uint8_t display[3] = {};   // red, green, blue
    std::uint32_t exportColor = 0;  // colour word, red in the low byte
    std::uint8_t exportAlpha = 0;
  };

  // usable() is false when this processor, the sensitivities (the power curves) or the palettes
  // leave nothing to vectorise. cycleColors: the inside mix colours of cycle numbers
  // 1..cycleColors.size() (numbers beyond taken as the nearest end); empty when there is no
  // table, which leaves inside mixes to the caller. background: red, green, blue of the window.
  PixelVector(const SampleColorRules::Settings& settings, const PaletteTable& outside,
              const PaletteTable& inside, const std::vector<TCycleColors>& cycleColors,
              const double background[3], const MaxDepthPixel& maxDepth);

  bool usable() const { return usable_; }

  // Paints the window's pixels of count samples (depths[i], cycle number cycles[i], all 1 when
  // cycles is nullptr) to out + i * stride (three bytes, red first). Writes the indices of the
  // samples it left to undone (room for count) and returns how many.
  int Paint(const float* depths, const std::int32_t* cycles, int count, std::uint8_t* out,
            std::ptrdiff_t stride, int* undone) const;
  // The same for export: the sample colours without the background, as colour words (red in
  // the low byte) in colors[i] and their opacity as alpha bytes in alpha[i].
  int Export(const float* depths, const std::int32_t* cycles, int count, std::uint32_t* colors,
             std::uint8_t* alpha, int* undone) const;
  // The same for the sample colours themselves (the palettes' super colours when interpolated),
  // maxDepth for the samples at the maximum depth.
  int Samples(const float* depths, const std::int32_t* cycles, int count, bool interpolated,
              const TSampleColor& maxDepth, TSampleColor* out, int* undone) const;

  // The colours of four samples (defined with the vector code).
  struct Color4;
  // One side's sample rules: the curve, the strength and either a palette or two mix colours.
  struct Side {
    int curve = 0;  // 0: x * x, 1: x, 2: sqrt(x)
    double strength = 0;
    const PaletteTable* palette = nullptr;  // nullptr: mix
    double mixFrom[4] = {}, mixTo[4] = {};  // red, green, blue, opacity (outside mix)
  };

 private:
  // Lists all count samples as left; returns count.
  static int LeaveAll(int count, int* undone);
  // Colours count samples four at a time (with the palettes' super colours when super):
  // store.MaxDepth(i) or store.Colors(i, colours, lanes) takes samples i .. i + 3, where the
  // lanes set in the mask are at the maximum depth; the samples left are listed in undone, their
  // number returned.
  template <class Store>
  int Run(const float* depths, const std::int32_t* cycles, int count, bool super, Store& store,
          int* undone) const;

  bool usable_ = false;
  Side outside_, inside_;
  // Per cycle number: background red, green, blue, opacity, foreground red, green, blue, opacity.
  std::vector<double> cycleMix_;
  double background_[3];
  MaxDepthPixel maxDepth_;
};
