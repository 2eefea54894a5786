#include "view/PixelVector.h"

#include "fractal/TKernelParams.h"

namespace {

// The side's rules, or false when they need the power function (which has no vector form that
// gives the library's bits) or a palette whose stretches cannot be counted.
bool MakeSide(ESensitivity sensitivity, double strength, bool usePalette,
              const PaletteTable& palette, PixelVector::Side& side) {
  switch (sensitivity) {
    case ESensitivity::SensLow:
      side.curve = 0;
      break;
    case ESensitivity::SensNormal:
      side.curve = 1;
      break;
    case ESensitivity::SensHigh:
      side.curve = 2;
      break;
    default:
      return false;
  }
  side.strength = strength;
  if (usePalette) {
    if (!palette.Countable()) return false;
    side.palette = &palette;
  }
  return true;
}

}  // namespace

PixelVector::PixelVector(const SampleColorRules::Settings& settings, const PaletteTable& outside,
                         const PaletteTable& inside, const std::vector<TCycleColors>& cycleColors,
                         KernelPath widest) {
  using SampleColorRules::Byte;
  // The inside mix colours are read only without the inside depth palette.
  if (!settings.usePalDepthInside) {
    for (const TCycleColors& c : cycleColors) {
      const double entry[8] = {Byte(c.background, 0),  Byte(c.background, 8),
                               Byte(c.background, 16), c.backgroundOpacity,
                               Byte(c.foreground, 0),  Byte(c.foreground, 8),
                               Byte(c.foreground, 16), c.foregroundOpacity};
      cycleMix_.insert(cycleMix_.end(), entry, entry + 8);
    }
  }
  const std::uint32_t from = settings.backgroundOutside, to = settings.foregroundOutside;
  for (int c = 0; c < 3; ++c) {
    outside_.mixFrom[c] = Byte(from, 8 * c);
    outside_.mixTo[c] = Byte(to, 8 * c);
  }
  outside_.mixFrom[3] = outside_.mixTo[3] = 1.0;
  usable_ = widest != KernelPath::Scalar && CpuSupportsPath(KernelPath::AVX2) &&
            MakeSide(settings.sensOutside, settings.strengthOutside, settings.usePalOutside,
                     outside, outside_) &&
            MakeSide(settings.sensInside, settings.strengthInside, settings.usePalDepthInside,
                     inside, inside_) &&
            (settings.usePalDepthInside || !cycleMix_.empty());
  wide_ = (widest == KernelPath::Auto || widest == KernelPath::AVX512) &&
          CpuSupportsPath(KernelPath::AVX512);
}

int PixelVector::LeaveAll(int count, int* undone) {
  for (int i = 0; i < count; ++i) undone[i] = i;
  return count;
}

int PixelVector::RunBest(const float* depths, const std::int32_t* cycles, int count,
                         const Output& out, int* undone) const {
  // Checked here: the vector code must not even be entered on a processor without the units.
#if defined(__x86_64__)
  if (usable_) {
    return wide_ ? RunAvx512(depths, cycles, count, out, undone)
                 : RunAvx2(depths, cycles, count, out, undone);
  }
#endif
  return LeaveAll(count, undone);
}

int PixelVector::Paint(const float* depths, const std::int32_t* cycles, int count,
                       const double background[3], const MaxDepthPixel& maxDepth,
                       std::uint8_t* out, std::ptrdiff_t stride, int* undone) const {
  Output output;
  output.kind = Output::Kind::Display;
  output.background = background;
  output.maxDepthPixel = maxDepth;
  output.pixels = out;
  output.stride = stride;
  return RunBest(depths, cycles, count, output, undone);
}

int PixelVector::Export(const float* depths, const std::int32_t* cycles, int count,
                        const MaxDepthPixel& maxDepth, std::uint32_t* colors,
                        std::uint8_t* alpha, int* undone) const {
  Output output;
  output.kind = Output::Kind::Export;
  output.maxDepthPixel = maxDepth;
  output.colors = colors;
  output.alpha = alpha;
  return RunBest(depths, cycles, count, output, undone);
}

int PixelVector::Samples(const float* depths, const std::int32_t* cycles, int count,
                         bool interpolated, const TSampleColor& maxDepth, TSampleColor* out,
                         int* undone) const {
  Output output;
  output.kind = Output::Kind::Samples;
  output.samples = out;
  output.maxDepth = maxDepth;
  output.interpolated = interpolated;
  return RunBest(depths, cycles, count, output, undone);
}
