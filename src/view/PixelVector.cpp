#include "view/PixelVector.h"

#include <algorithm>
#include <cstring>

#include "fractal/TKernelParams.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
                         const double background[3], const MaxDepthPixel& maxDepth)
    : maxDepth_(maxDepth) {
  std::copy(background, background + 3, background_);
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
  usable_ = CpuSupportsPath(KernelPath::AVX2) &&
            MakeSide(settings.sensOutside, settings.strengthOutside, settings.usePalOutside,
                     outside, outside_) &&
            MakeSide(settings.sensInside, settings.strengthInside, settings.usePalDepthInside,
                     inside, inside_) &&
            (settings.usePalDepthInside || !cycleMix_.empty());
}

int PixelVector::LeaveAll(int count, int* undone) {
  for (int i = 0; i < count; ++i) undone[i] = i;
  return count;
}

#if defined(__x86_64__)

struct PixelVector::Color4 {
  __m256d red, green, blue, opacity;
};

namespace {

using Color4 = PixelVector::Color4;

// base[index] per lane. The masked form with a zero source: the plain one leaves its source
// undefined, which the compiler reports.
[[gnu::target("avx2")]] inline __m256d Gather(const double* base, __m256i index) {
  const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  return _mm256_mask_i64gather_pd(_mm256_setzero_pd(), base, index, all, 8);
}
[[gnu::target("avx2")]] inline __m256d Gather(const double* base, __m128i index) {
  const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, index, all, 8);
}

// Mixes from a at m = 0 to b at m = 1: a * (1 - m) + b * m.
[[gnu::target("avx2")]] inline __m256d MixChannel(__m256d a, __m256d b, __m256d m,
                                                  __m256d oneMinusM) {
  return _mm256_add_pd(_mm256_mul_pd(a, oneMinusM), _mm256_mul_pd(b, m));
}

// (double)((uint32)x & 0xFF) for x in 0..255.
[[gnu::target("avx2")]] inline __m256d TruncByte(__m256d x) {
  const __m128i bytes = _mm_and_si128(_mm256_cvttpd_epi32(x), _mm_set1_epi32(0xFF));
  return _mm256_cvtepi32_pd(bytes);
}

// The palette's sample at e (TColorPalette1D::GetSample, with super colours or without); false
// when a lane's stretch would run off the chain.
[[gnu::target("avx2")]] bool PaletteSample(const PaletteTable& table, __m256d e, bool super,
                                           Color4& c) {
  const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1.0);
  __m256d p;
  if (table.cyclic) {
    p = _mm256_sub_pd(e, _mm256_floor_pd(e));
    const __m256d inside =
        _mm256_and_pd(_mm256_cmp_pd(p, zero, _CMP_GE_OQ), _mm256_cmp_pd(p, one, _CMP_LE_OQ));
    p = _mm256_and_pd(p, inside);
  } else {
    p = _mm256_and_pd(e, _mm256_cmp_pd(e, zero, _CMP_GE_OQ));
    p = _mm256_blendv_pd(p, one, _mm256_cmp_pd(p, one, _CMP_GT_OQ));
  }
  const double* positions = table.positions.data();
  const __m256d first = _mm256_set1_pd(positions[0]);
  p = _mm256_blendv_pd(first, p, _mm256_cmp_pd(p, first, _CMP_GE_OQ));
  // The stretch index: how many of the positions after the first lie below p.
  __m256i index = _mm256_setzero_si256();
  const auto last = static_cast<long long>(table.positions.size() - 1);
  for (long long k = 1; k <= last; ++k) {
    const __m256d below = _mm256_cmp_pd(_mm256_set1_pd(positions[k]), p, _CMP_LT_OQ);
    index = _mm256_sub_epi64(index, _mm256_castpd_si256(below));
  }
  if (!_mm256_testz_si256(_mm256_cmpeq_epi64(index, _mm256_set1_epi64x(last)),
                          _mm256_set1_epi64x(-1))) {
    return false;
  }
  const __m256d at = Gather(positions, index);
  const __m256d next = Gather(positions + 1, index);
  const __m256d span = _mm256_sub_pd(next, at);
  const __m256d t = _mm256_blendv_pd(one, _mm256_div_pd(_mm256_sub_pd(p, at), span),
                                     _mm256_cmp_pd(span, zero, _CMP_GT_OQ));
  const __m256d oneMinusT = _mm256_sub_pd(one, t);
  const __m256d transFrom = Gather(table.transFrom.data(), index);
  const __m256d transTo = Gather(table.transTo.data(), index);
  c.opacity = _mm256_add_pd(transFrom, _mm256_mul_pd(t, _mm256_sub_pd(transTo, transFrom)));
  __m256d* channels[3] = {&c.red, &c.green, &c.blue};
  for (int k = 0; k < 3; ++k) {
    if (super) {
      const __m256d a = Gather(table.superFrom[k].data(), index);
      const __m256d b = Gather(table.superTo[k].data(), index);
      *channels[k] = _mm256_add_pd(_mm256_mul_pd(t, b), _mm256_mul_pd(oneMinusT, a));
    } else {
      const __m256d a = Gather(table.from[k].data(), index);
      const __m256d b = Gather(table.to[k].data(), index);
      *channels[k] = TruncByte(_mm256_add_pd(_mm256_mul_pd(oneMinusT, a), _mm256_mul_pd(t, b)));
    }
  }
  return true;
}

// One side's rules as vectors, made once per run: the compiler cannot keep them in registers
// across the pixel stores, which may alias anything.
struct SideVectors {
  int curve = 0;
  __m256d strength;
  const PaletteTable* palette = nullptr;
  // The mix colours by cycle number (8 per number), or nullptr for the constant from and to.
  const double* cycleMix = nullptr;
  __m256d from[4], to[4];
};

// side's vectors; cycleMix: the inside mix colours per cycle number (count numbers), nullptr for
// the side's own mix colours. One cycle number is the same colours for every sample.
[[gnu::target("avx2")]] inline SideVectors Vectors(const PixelVector::Side& side,
                                                   const double* cycleMix, std::size_t count) {
  SideVectors v;
  v.curve = side.curve;
  v.strength = _mm256_set1_pd(side.strength);
  v.palette = side.palette;
  const bool constant = cycleMix == nullptr || count == 1;
  v.cycleMix = constant ? nullptr : cycleMix;
  for (int k = 0; k < 4; ++k) {
    v.from[k] = _mm256_set1_pd(cycleMix == nullptr ? side.mixFrom[k] : cycleMix[k]);
    v.to[k] = _mm256_set1_pd(cycleMix == nullptr ? side.mixTo[k] : cycleMix[4 + k]);
  }
  return v;
}

// The colour of four samples of one side at x = |depth|; false when left to the caller.
[[gnu::target("avx2"), gnu::always_inline]] inline bool SideColor(const SideVectors& side,
                                                                  __m256d x, __m128i cycleIndex,
                                                                  bool super, Color4& c) {
  const __m256d curve = side.curve == 0   ? _mm256_mul_pd(x, x)
                        : side.curve == 1 ? x
                                          : _mm256_sqrt_pd(x);
  const __m256d e = _mm256_mul_pd(side.strength, curve);
  if (side.palette != nullptr) return PaletteSample(*side.palette, e, super, c);
  const __m256d one = _mm256_set1_pd(1.0);
  const __m256d m = _mm256_blendv_pd(e, one, _mm256_cmp_pd(e, one, _CMP_GT_OQ));
  const __m256d oneMinusM = _mm256_sub_pd(one, m);
  if (side.cycleMix != nullptr) {
    const __m128i base = _mm_slli_epi32(cycleIndex, 3);
    c.red = MixChannel(Gather(side.cycleMix, base), Gather(side.cycleMix + 4, base), m, oneMinusM);
    c.green =
        MixChannel(Gather(side.cycleMix + 1, base), Gather(side.cycleMix + 5, base), m, oneMinusM);
    c.blue =
        MixChannel(Gather(side.cycleMix + 2, base), Gather(side.cycleMix + 6, base), m, oneMinusM);
    c.opacity =
        MixChannel(Gather(side.cycleMix + 3, base), Gather(side.cycleMix + 7, base), m, oneMinusM);
    return true;
  }
  c.red = MixChannel(side.from[0], side.to[0], m, oneMinusM);
  c.green = MixChannel(side.from[1], side.to[1], m, oneMinusM);
  c.blue = MixChannel(side.from[2], side.to[2], m, oneMinusM);
  c.opacity = MixChannel(side.from[3], side.to[3], m, oneMinusM);
  return true;
}

// A channel as a byte: 0 for NaN and values not above 0, 255 from 255 on, else truncated.
[[gnu::target("avx2")]] inline __m128i ExportByte(__m256d x) {
  // max gives its second operand, 0, for NaN and for -0.
  const __m256d limited =
      _mm256_min_pd(_mm256_max_pd(x, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
  return _mm256_cvttpd_epi32(limited);
}

// A displayed channel as a byte: (1 - a) * background + channel * a, then as ExportByte.
[[gnu::target("avx2")]] inline __m128i DisplayByte(__m256d channel, __m256d a, __m256d oneMinusA,
                                                   double background) {
  return ExportByte(_mm256_add_pd(_mm256_mul_pd(oneMinusA, _mm256_set1_pd(background)),
                                  _mm256_mul_pd(channel, a)));
}

}  // namespace

template <class Store>
[[gnu::target("avx2")]] int PixelVector::Run(const float* depths, const std::int32_t* cycles,
                                             int count, bool super, Store& store,
                                             int* undone) const {
  int left = 0;
  const auto lastCycle = static_cast<std::int32_t>(cycleMix_.size() / 8);
  const double* cycleMix = inside_.palette == nullptr ? cycleMix_.data() : nullptr;
  const SideVectors outsideRules = Vectors(outside_, nullptr, 0);
  const SideVectors insideRules = Vectors(inside_, cycleMix, cycleMix_.size() / 8);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d depth = _mm256_cvtps_pd(_mm_loadu_ps(depths + i));
    const __m256d zero = _mm256_setzero_pd();
    const int outside = _mm256_movemask_pd(_mm256_cmp_pd(depth, zero, _CMP_GT_OQ));
    const int inside = _mm256_movemask_pd(_mm256_cmp_pd(depth, zero, _CMP_LT_OQ));
    if ((outside | inside) == 0) {  // all four at the maximum depth (0 or NaN)
      store.MaxDepth(i);
      continue;
    }
    __m128i cycleIndex = _mm_setzero_si128();
    if (outside != 0xF && insideRules.cycleMix != nullptr && cycles != nullptr) {
      const __m128i cycle = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cycles + i));
      cycleIndex = _mm_sub_epi32(
          _mm_min_epi32(_mm_max_epi32(cycle, _mm_set1_epi32(1)), _mm_set1_epi32(lastCycle)),
          _mm_set1_epi32(1));
    }
    Color4 c;
    bool done = false;
    if (outside == 0xF) {
      done = SideColor(outsideRules, depth, cycleIndex, super, c);
    } else if (inside == 0xF) {
      done = SideColor(insideRules, _mm256_sub_pd(zero, depth), cycleIndex, super, c);
    } else {
      // A mixed group: both sides' colours, each from its own lanes (the others at depth 0),
      // and the maximum depth's pixel where neither.
      const __m256d isOutside = _mm256_cmp_pd(depth, zero, _CMP_GT_OQ);
      const __m256d isInside = _mm256_cmp_pd(depth, zero, _CMP_LT_OQ);
      Color4 o;
      done = SideColor(outsideRules, _mm256_and_pd(depth, isOutside), cycleIndex, super, o) &&
             SideColor(insideRules, _mm256_and_pd(_mm256_sub_pd(zero, depth), isInside),
                       cycleIndex, super, c);
      if (done) {
        c.red = _mm256_blendv_pd(c.red, o.red, isOutside);
        c.green = _mm256_blendv_pd(c.green, o.green, isOutside);
        c.blue = _mm256_blendv_pd(c.blue, o.blue, isOutside);
        c.opacity = _mm256_blendv_pd(c.opacity, o.opacity, isOutside);
        store.Colors(i, c, ~(outside | inside) & 0xF);
        continue;
      }
    }
    if (!done) {
      for (int k = 0; k < 4; ++k) undone[left++] = i + k;
      continue;
    }
    store.Colors(i, c, 0);
  }
  for (; i < count; ++i) undone[left++] = i;
  return left;
}

int PixelVector::Paint(const float* depths, const std::int32_t* cycles, int count,
                       std::uint8_t* out, std::ptrdiff_t stride, int* undone) const {
  struct Store {
    const PixelVector& v;
    std::uint8_t* out;
    std::ptrdiff_t stride;
    // Copied: the pixel stores could otherwise change them, as far as the compiler knows.
    double background[3];
    std::uint32_t maxDepthWord;
    bool black;
    void MaxDepth(int i) {
      std::uint8_t* pixel = out + i * stride;
      for (int k = 0; k < 4; ++k, pixel += stride) {
        std::copy(v.maxDepth_.display, v.maxDepth_.display + 3, pixel);
      }
    }
    [[gnu::target("avx2")]] void Colors(int i, const Color4& c, int maxDepthLanes) {
      __m128i red, green, blue;
      if (black) {
        // (1 - a) * 0 is a zero, which leaves channel * a as it is, or a NaN when channel * a
        // is one too (the opacity is finite or NaN): the same bytes.
        red = ExportByte(_mm256_mul_pd(c.red, c.opacity));
        green = ExportByte(_mm256_mul_pd(c.green, c.opacity));
        blue = ExportByte(_mm256_mul_pd(c.blue, c.opacity));
      } else {
        const __m256d oneMinusA = _mm256_sub_pd(_mm256_set1_pd(1.0), c.opacity);
        red = DisplayByte(c.red, c.opacity, oneMinusA, background[0]);
        green = DisplayByte(c.green, c.opacity, oneMinusA, background[1]);
        blue = DisplayByte(c.blue, c.opacity, oneMinusA, background[2]);
      }
      // Red, green and blue in the low three bytes of each lane: two stores per pixel. A store
      // of four bytes would reach into the next column's pixel, which another thread may paint.
      const __m128i words =
          _mm_or_si128(_mm_or_si128(red, _mm_slli_epi32(green, 8)), _mm_slli_epi32(blue, 16));
      alignas(16) std::uint32_t word[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(word), words);
      std::uint8_t* pixel = out + i * stride;
      for (int k = 0; k < 4; ++k, pixel += stride) {
        const std::uint32_t color = (maxDepthLanes >> k) & 1 ? maxDepthWord : word[k];
        const auto low = static_cast<std::uint16_t>(color);
        std::memcpy(pixel, &low, 2);
        pixel[2] = static_cast<std::uint8_t>(color >> 16);
      }
    }
  } store{*this,
          out,
          stride,
          {background_[0], background_[1], background_[2]},
          maxDepth_.display[0] | (maxDepth_.display[1] << 8) |
              (std::uint32_t{maxDepth_.display[2]} << 16),
          background_[0] == 0 && background_[1] == 0 && background_[2] == 0};
  // Checked here: the vector code must not even be entered on a processor without AVX2.
  return usable_ ? Run(depths, cycles, count, false, store, undone) : LeaveAll(count, undone);
}

int PixelVector::Export(const float* depths, const std::int32_t* cycles, int count,
                        std::uint32_t* colors, std::uint8_t* alpha, int* undone) const {
  struct Store {
    const PixelVector& v;
    std::uint32_t* colors;
    std::uint8_t* alpha;
    void MaxDepth(int i) {
      std::fill(colors + i, colors + i + 4, v.maxDepth_.exportColor);
      std::fill(alpha + i, alpha + i + 4, v.maxDepth_.exportAlpha);
    }
    [[gnu::target("avx2")]] void Colors(int i, const Color4& c, int maxDepthLanes) {
      const __m128i word =
          _mm_or_si128(_mm_or_si128(ExportByte(c.red), _mm_slli_epi32(ExportByte(c.green), 8)),
                       _mm_slli_epi32(ExportByte(c.blue), 16));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(colors + i), word);
      alignas(16) std::int32_t opacity[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(opacity),
                      ExportByte(_mm256_mul_pd(c.opacity, _mm256_set1_pd(255.0))));
      for (int k = 0; k < 4; ++k) alpha[i + k] = static_cast<std::uint8_t>(opacity[k]);
      for (int k = 0; k < 4; ++k) {
        if ((maxDepthLanes >> k) & 1) {
          colors[i + k] = v.maxDepth_.exportColor;
          alpha[i + k] = v.maxDepth_.exportAlpha;
        }
      }
    }
  } store{*this, colors, alpha};
  return usable_ ? Run(depths, cycles, count, false, store, undone) : LeaveAll(count, undone);
}

int PixelVector::Samples(const float* depths, const std::int32_t* cycles, int count,
                         bool interpolated, const TSampleColor& maxDepth, TSampleColor* out,
                         int* undone) const {
  static_assert(sizeof(TSampleColor) == 4 * sizeof(double));
  struct Store {
    TSampleColor* out;
    TSampleColor maxDepth;
    void MaxDepth(int i) { std::fill(out + i, out + i + 4, maxDepth); }
    [[gnu::target("avx2")]] void Colors(int i, const Color4& c, int maxDepthLanes) {
      // Four lanes of four channels to four samples of four channels.
      const __m256d redGreen02 = _mm256_unpacklo_pd(c.red, c.green);
      const __m256d redGreen13 = _mm256_unpackhi_pd(c.red, c.green);
      const __m256d blueOpacity02 = _mm256_unpacklo_pd(c.blue, c.opacity);
      const __m256d blueOpacity13 = _mm256_unpackhi_pd(c.blue, c.opacity);
      auto* sample = reinterpret_cast<double*>(out + i);
      _mm256_storeu_pd(sample, _mm256_permute2f128_pd(redGreen02, blueOpacity02, 0x20));
      _mm256_storeu_pd(sample + 4, _mm256_permute2f128_pd(redGreen13, blueOpacity13, 0x20));
      _mm256_storeu_pd(sample + 8, _mm256_permute2f128_pd(redGreen02, blueOpacity02, 0x31));
      _mm256_storeu_pd(sample + 12, _mm256_permute2f128_pd(redGreen13, blueOpacity13, 0x31));
      for (int k = 0; k < 4; ++k) {
        if ((maxDepthLanes >> k) & 1) out[i + k] = maxDepth;
      }
    }
  } store{out, maxDepth};
  return usable_ ? Run(depths, cycles, count, interpolated, store, undone)
                 : LeaveAll(count, undone);
}

#else

int PixelVector::Paint(const float*, const std::int32_t*, int count, std::uint8_t*, std::ptrdiff_t,
                       int* undone) const {
  return LeaveAll(count, undone);
}

int PixelVector::Export(const float*, const std::int32_t*, int count, std::uint32_t*, std::uint8_t*,
                        int* undone) const {
  return LeaveAll(count, undone);
}

int PixelVector::Samples(const float*, const std::int32_t*, int count, bool, const TSampleColor&,
                         TSampleColor*, int* undone) const {
  return LeaveAll(count, undone);
}

#endif
