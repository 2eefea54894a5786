// The vector painter for processors with AVX-512: 8 doubles per vector. Everything from the
// pragma on is compiled for AVX-512 and stays local to this unit.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "palette/PaletteTable.h"
#include "view/PixelVector.h"

#if defined(__x86_64__)

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx512f")

#include "view/SampleTranspose.h"

namespace {

struct IsaAvx512 {
  static constexpr int kWidth = 8;
  using D = __m512d;
  using M = __mmask8;
  using I32 = __m256i;
  using I64 = __m512i;
  // The masked forms with zeros for no lane: the plain ones start from an undefined vector,
  // which the compiler reports.
  static constexpr M kAllLanes = 0xFF;

  static D Set(double x) { return _mm512_set1_pd(x); }
  static D Zero() { return _mm512_setzero_pd(); }
  static D LoadFloats(const float* p) { return _mm512_maskz_cvtps_pd(kAllLanes, _mm256_loadu_ps(p)); }
  static I32 LoadInts(const std::int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  static void StoreWords(std::uint32_t* p, I32 x) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), x);
  }
  static D Add(D a, D b) { return _mm512_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm512_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm512_mul_pd(a, b); }
  static D Div(D a, D b) { return _mm512_div_pd(a, b); }
  static D Min(D a, D b) { return _mm512_maskz_min_pd(kAllLanes, a, b); }
  static D Max(D a, D b) { return _mm512_maskz_max_pd(kAllLanes, a, b); }
  static D Sqrt(D x) { return _mm512_maskz_sqrt_pd(kAllLanes, x); }
  static D Floor(D x) { return _mm512_floor_pd(x); }
  static M Gt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GT_OQ); }
  static M Lt(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  static M Ge(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_GE_OQ); }
  static M Le(D a, D b) { return _mm512_cmp_pd_mask(a, b, _CMP_LE_OQ); }
  static M And(M a, M b) { return static_cast<M>(a & b); }
  static unsigned Bits(M m) { return m; }
  static D Keep(D x, M m) { return _mm512_maskz_mov_pd(m, x); }
  static D Select(M m, D a, D b) { return _mm512_mask_blend_pd(m, a, b); }
  static I32 ZeroI32() { return _mm256_setzero_si256(); }
  static I32 CycleIndex(I32 cycle, std::int32_t last) {
    const __m256i limited =
        _mm256_min_epi32(_mm256_max_epi32(cycle, _mm256_set1_epi32(1)), _mm256_set1_epi32(last));
    return _mm256_slli_epi32(_mm256_sub_epi32(limited, _mm256_set1_epi32(1)), 3);
  }
  static D Gather(const double* base, I32 index) {
    return _mm512_mask_i32gather_pd(_mm512_setzero_pd(), kAllLanes, index, base, 8);
  }
  static D Gather(const double* base, I64 index) {
    return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), kAllLanes, index, base, 8);
  }
  static I64 ZeroI64() { return _mm512_setzero_si512(); }
  static I64 Count(I64 index, M m) {
    return _mm512_mask_add_epi64(index, m, index, _mm512_set1_epi64(1));
  }
  static bool AnyEquals(I64 index, long long value) {
    return _mm512_cmpeq_epi64_mask(index, _mm512_set1_epi64(value)) != 0;
  }
  static I32 Trunc(D x) { return _mm512_maskz_cvttpd_epi32(kAllLanes, x); }
  static I32 AndI(I32 x, int mask) { return _mm256_and_si256(x, _mm256_set1_epi32(mask)); }
  static I32 OrI(I32 a, I32 b) { return _mm256_or_si256(a, b); }
  template <int kBits>
  static I32 ShiftLeftI(I32 x) {
    return _mm256_slli_epi32(x, kBits);
  }
  static D ToDouble(I32 x) { return _mm512_maskz_cvtepi32_pd(kAllLanes, x); }
  template <int kHalf>
  static __m256d Half(D x) {
    return _mm512_maskz_extractf64x4_pd(0xF, x, kHalf);
  }
  // Eight lanes of four channels to eight samples of four channels, four at a time.
  static void StoreSamples(TSampleColor* out, D red, D green, D blue, D opacity) {
    StoreFourSamples(out, Half<0>(red), Half<0>(green), Half<0>(blue), Half<0>(opacity));
    StoreFourSamples(out + 4, Half<1>(red), Half<1>(green), Half<1>(blue), Half<1>(opacity));
  }
};

}  // namespace

#include "view/PixelVectorRun.h"

int PixelVector::RunAvx512(const float* depths, const std::int32_t* cycles, int count,
                           const Output& out, int* undone) const {
  return RunOutput<IsaAvx512>(depths, cycles, count, out, undone);
}

#pragma GCC pop_options

#endif
