#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fractal/TKernelParams.h"
#include "palette/PaletteTable.h"
#include "view/SampleColorRules.h"

// The window's pixels of one sample each, without picture colours, a vector of samples at a time
// (4 with AVX2, 8 with AVX-512, the widest the processor and KORVANA_KERNEL allow): the same
// bytes as the sample colour rules, the background blend and the truncation to bytes, computed
// by the same operations in the same order on each lane. Also the exported colours, and the
// sample colours themselves for supersampled pixels.
//
// Samples are painted by vector in groups of a vector's width, a group that mixes outside,
// inside and maximum depth samples too; a group whose palette lookup would run off a broken
// chain and the last samples of a run are left to the caller's one-sample path.
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
  // table, which leaves inside mixes to the caller. widest: the widest vector units to use
  // (Auto: the widest the processor has).
  PixelVector(const SampleColorRules::Settings& settings, const PaletteTable& outside,
              const PaletteTable& inside, const std::vector<TCycleColors>& cycleColors,
              KernelPath widest = KernelPath::Auto);

  bool usable() const { return usable_; }

  // Paints the window's pixels of count samples (depths[i], cycle number cycles[i], all 1 when
  // cycles is nullptr) over background (red, green, blue) to out + i * stride (three bytes, red
  // first), maxDepth's for the samples at the maximum depth. Writes the indices of the samples
  // it left to undone (room for count) and returns how many.
  int Paint(const float* depths, const std::int32_t* cycles, int count,
            const double background[3], const MaxDepthPixel& maxDepth, std::uint8_t* out,
            std::ptrdiff_t stride, int* undone) const;
  // The same for export: the sample colours without the background, as colour words (red in
  // the low byte) in colors[i] and their opacity as alpha bytes in alpha[i].
  int Export(const float* depths, const std::int32_t* cycles, int count,
             const MaxDepthPixel& maxDepth, std::uint32_t* colors, std::uint8_t* alpha,
             int* undone) const;
  // The same for the sample colours themselves (the palettes' super colours when interpolated),
  // maxDepth for the samples at the maximum depth.
  int Samples(const float* depths, const std::int32_t* cycles, int count, bool interpolated,
              const TSampleColor& maxDepth, TSampleColor* out, int* undone) const;

  // One side's sample rules: the curve, the strength and either a palette or two mix colours.
  struct Side {
    int curve = 0;  // 0: x * x, 1: x, 2: sqrt(x)
    double strength = 0;
    const PaletteTable* palette = nullptr;  // nullptr: mix
    double mixFrom[4] = {}, mixTo[4] = {};  // red, green, blue, opacity (outside mix)
  };

 private:
  // Where a run's colours go: the window's pixels, exported colours or sample colours.
  struct Output {
    enum class Kind { Display, Export, Samples } kind = Kind::Display;
    std::uint8_t* pixels = nullptr;  // Display: pixel i at pixels + i * stride
    std::ptrdiff_t stride = 0;
    const double* background = nullptr;  // Display: red, green, blue
    MaxDepthPixel maxDepthPixel;  // Display and Export
    std::uint32_t* colors = nullptr;  // Export
    std::uint8_t* alpha = nullptr;
    TSampleColor* samples = nullptr;  // Samples, with the super colours when interpolated
    TSampleColor maxDepth;
    bool interpolated = false;
  };

  // Lists all count samples as left; returns count.
  static int LeaveAll(int count, int* undone);
  // The run by the vector units of AVX2 (4 lanes) and AVX-512 (8 lanes), each in its own unit
  // compiled for them; the samples left are listed in undone, their number returned.
  int RunAvx2(const float* depths, const std::int32_t* cycles, int count, const Output& out,
              int* undone) const;
  int RunAvx512(const float* depths, const std::int32_t* cycles, int count, const Output& out,
                int* undone) const;
  // The run of either into out's kind of store (defined in PixelVectorRun.h).
  template <class Isa>
  int RunOutput(const float* depths, const std::int32_t* cycles, int count, const Output& out,
                int* undone) const;
  // Either of them, or none when the vector units cannot be used.
  int RunBest(const float* depths, const std::int32_t* cycles, int count, const Output& out,
              int* undone) const;
  // Colours count samples a vector at a time (with the palettes' super colours when super):
  // store.MaxDepth(i) or store.Colors(i, colours, lanes) takes the samples from i on, where the
  // lanes set in the mask are at the maximum depth; the samples left are listed in undone, their
  // number returned. Defined for the vector units in PixelVectorRun.h.
  template <class Isa, class Store>
  int Run(const float* depths, const std::int32_t* cycles, int count, bool super, Store& store,
          int* undone) const;

  bool usable_ = false;
  bool wide_ = false;  // AVX-512
  Side outside_, inside_;
  // Per cycle number: background red, green, blue, opacity, foreground red, green, blue, opacity.
  std::vector<double> cycleMix_;
};
