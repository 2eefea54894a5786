// The vector kernel for processors with AVX-512: 8 doubles per vector. Everything from the
// pragma on is compiled for AVX-512 and stays local to this unit; the entry point below it is
// ordinary code that only calls in.

#include <cfloat>
#include <cstdint>

#include "common/Assert.h"
#include "fractal/CycleRules.h"
#include "fractal/KernelRules.h"
#include "fractal/TKernelParams.h"
#include "fractal/VectorKernels.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

#pragma GCC push_options
#pragma GCC target("avx512f")

namespace {

struct IsaAvx512 {
  using V = __m512d;
  static constexpr int kWidth = 8;
  static constexpr int kBlocks = 2;
  // Histories of 1-3 entries live in registers rather than in the ring.
  static constexpr bool kRegisterHistory = true;
  static constexpr bool kSpillsLongHistory = false;

  static V Set(double v) { return _mm512_set1_pd(v); }
  static V Load(const double* p) { return _mm512_loadu_pd(p); }
  static void Store(double* p, V v) { _mm512_storeu_pd(p, v); }
  static V Add(V a, V b) { return _mm512_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm512_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm512_mul_pd(a, b); }
  static V Div(V a, V b) { return _mm512_div_pd(a, b); }
  // Exact negation: flips the sign bit, as the unary minus of the scalar code does.
  static V Neg(V a) {
    return _mm512_castsi512_pd(
        _mm512_xor_si512(_mm512_castpd_si512(a), _mm512_set1_epi64(INT64_MIN)));
  }
  static V BitOr(V a, V b) {
    return _mm512_castsi512_pd(_mm512_or_si512(_mm512_castpd_si512(a), _mm512_castpd_si512(b)));
  }
  // The masked form: the plain one makes GCC 12 warn about its undefined pass-through operand.
  static V Min(V a, V b) { return _mm512_mask_min_pd(a, static_cast<__mmask8>(0xFF), a, b); }
  // The masked extracts, as for Min.
  static double MinAcross(V v) {
    const __m256d quarter = _mm256_min_pd(_mm512_maskz_extractf64x4_pd(0xF, v, 0),
                                          _mm512_maskz_extractf64x4_pd(0xF, v, 1));
    const __m128d half =
        _mm_min_pd(_mm256_castpd256_pd128(quarter), _mm256_extractf128_pd(quarter, 1));
    return _mm_cvtsd_f64(_mm_min_sd(half, _mm_unpackhi_pd(half, half)));
  }
  static unsigned Lt(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_LT_OQ); }
  static unsigned NotLe(V a, V b) { return _mm512_cmp_pd_mask(a, b, _CMP_NLE_UQ); }
  static V Blend(unsigned bits, V a, V b) {
    return _mm512_mask_blend_pd(static_cast<__mmask8>(bits), a, b);
  }
  // Whole-vector loads and stores around the register forms: the memory forms of expand and
  // compress are microcoded and slow on some processors.
  static V ExpandLoad(unsigned bits, const double* p) {
    return _mm512_maskz_expand_pd(static_cast<__mmask8>(bits), _mm512_loadu_pd(p));
  }
  static void CompressStore(unsigned bits, double* p, V v) {
    _mm512_storeu_pd(p, _mm512_maskz_compress_pd(static_cast<__mmask8>(bits), v));
  }
  static V Fma(V a, V b, V c) { return _mm512_fmadd_pd(a, b, c); }

  using I = __m512i;
  static I AsInt(V v) { return _mm512_castpd_si512(v); }
  static V AsDouble(I i) { return _mm512_castsi512_pd(i); }
  static I SetI(std::uint64_t v) { return _mm512_set1_epi64(static_cast<long long>(v)); }
  static I AddI(I a, I b) { return _mm512_add_epi64(a, b); }
  static I SubI(I a, I b) { return _mm512_sub_epi64(a, b); }
  static I AndI(I a, I b) { return _mm512_and_si512(a, b); }
  static I XorI(I a, I b) { return _mm512_xor_si512(a, b); }
  // Masked forms, as for Min.
  template <int kShift>
  static I ShiftRightI(I a) {
    return _mm512_maskz_srli_epi64(static_cast<__mmask8>(0xFF), a, kShift);
  }
  static V Gather(const double* base, I index) {
    return _mm512_mask_i64gather_pd(_mm512_setzero_pd(), static_cast<__mmask8>(0xFF), index, base,
                                    8);
  }
};

}  // namespace

#include "fractal/SimdKernel.h"

namespace {

TVectorOutcome RunAvx512(const TVectorJob& job, TVectorWorkspace& work) {
  TSimdRun<IsaAvx512> run(job, work);
  return run.Run();
}

void LogsAvx512(double* values, int count) { TSimdRun<IsaAvx512>::Logs(values, count); }

}  // namespace

#pragma GCC pop_options

TVectorOutcome ComputeColumnsAvx512(const TVectorJob& job, TVectorWorkspace& work) {
  return RunAvx512(job, work);
}

void SmoothingLogsAvx512(double* values, int count) { LogsAvx512(values, count); }

#else

// Other processors have no AVX-512: CpuSupportsPath is false for it, so this is never called.
TVectorOutcome ComputeColumnsAvx512(const TVectorJob&, TVectorWorkspace&) {
  KORVANA_ASSERT(!"AVX-512 kernel called on a processor without AVX-512");
  return {};
}

void SmoothingLogsAvx512(double*, int) {
  KORVANA_ASSERT(!"AVX-512 routine called on a processor without AVX-512");
}

#endif
