// The vector painter for processors with AVX2: 4 doubles per vector. Everything from the pragma
// on is compiled for AVX2 and stays local to this unit.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "palette/PaletteTable.h"
#include "view/PixelVector.h"

#if defined(__x86_64__)

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx2")

#include "view/SampleTranspose.h"

namespace {

struct IsaAvx2 {
  static constexpr int kWidth = 4;
  using D = __m256d;
  using M = __m256d;
  using I32 = __m128i;
  using I64 = __m256i;

  static D Set(double x) { return _mm256_set1_pd(x); }
  static D Zero() { return _mm256_setzero_pd(); }
  static D LoadFloats(const float* p) { return _mm256_cvtps_pd(_mm_loadu_ps(p)); }
  static I32 LoadInts(const std::int32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  }
  static void StoreWords(std::uint32_t* p, I32 x) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), x);
  }
  static D Add(D a, D b) { return _mm256_add_pd(a, b); }
  static D Sub(D a, D b) { return _mm256_sub_pd(a, b); }
  static D Mul(D a, D b) { return _mm256_mul_pd(a, b); }
  static D Div(D a, D b) { return _mm256_div_pd(a, b); }
  static D Min(D a, D b) { return _mm256_min_pd(a, b); }
  static D Max(D a, D b) { return _mm256_max_pd(a, b); }
  static D Sqrt(D x) { return _mm256_sqrt_pd(x); }
  static D Floor(D x) { return _mm256_floor_pd(x); }
  static M Gt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GT_OQ); }
  static M Lt(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LT_OQ); }
  static M Ge(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_GE_OQ); }
  static M Le(D a, D b) { return _mm256_cmp_pd(a, b, _CMP_LE_OQ); }
  static M And(M a, M b) { return _mm256_and_pd(a, b); }
  static unsigned Bits(M m) { return static_cast<unsigned>(_mm256_movemask_pd(m)); }
  static D Keep(D x, M m) { return _mm256_and_pd(x, m); }
  static D Select(M m, D a, D b) { return _mm256_blendv_pd(a, b, m); }
  static I32 ZeroI32() { return _mm_setzero_si128(); }
  static I32 CycleIndex(I32 cycle, std::int32_t last) {
    const __m128i limited =
        _mm_min_epi32(_mm_max_epi32(cycle, _mm_set1_epi32(1)), _mm_set1_epi32(last));
    return _mm_slli_epi32(_mm_sub_epi32(limited, _mm_set1_epi32(1)), 3);
  }
  // The masked forms with a zero source: the plain ones leave their source undefined, which
  // the compiler reports.
  static D Gather(const double* base, I32 index) {
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return _mm256_mask_i32gather_pd(_mm256_setzero_pd(), base, index, all, 8);
  }
  static D Gather(const double* base, I64 index) {
    const __m256d all = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    return _mm256_mask_i64gather_pd(_mm256_setzero_pd(), base, index, all, 8);
  }
  static I64 ZeroI64() { return _mm256_setzero_si256(); }
  static I64 Count(I64 index, M m) { return _mm256_sub_epi64(index, _mm256_castpd_si256(m)); }
  static bool AnyEquals(I64 index, long long value) {
    return !_mm256_testz_si256(_mm256_cmpeq_epi64(index, _mm256_set1_epi64x(value)),
                               _mm256_set1_epi64x(-1));
  }
  static I32 Trunc(D x) { return _mm256_cvttpd_epi32(x); }
  static I32 AndI(I32 x, int mask) { return _mm_and_si128(x, _mm_set1_epi32(mask)); }
  static I32 OrI(I32 a, I32 b) { return _mm_or_si128(a, b); }
  template <int kBits>
  static I32 ShiftLeftI(I32 x) {
    return _mm_slli_epi32(x, kBits);
  }
  static D ToDouble(I32 x) { return _mm256_cvtepi32_pd(x); }
  static void StoreSamples(TSampleColor* out, D red, D green, D blue, D opacity) {
    StoreFourSamples(out, red, green, blue, opacity);
  }
};

}  // namespace

#include "view/PixelVectorRun.h"

int PixelVector::RunAvx2(const float* depths, const std::int32_t* cycles, int count,
                         const Output& out, int* undone) const {
  return RunOutput<IsaAvx2>(depths, cycles, count, out, undone);
}

#pragma GCC pop_options

#endif
