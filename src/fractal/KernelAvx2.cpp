// The vector kernel for processors with AVX2 and FMA: 4 doubles per vector. Everything from the
// pragma on is compiled for them and stays local to this unit; the entry point below it is ordinary
// code that only calls in.

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
#pragma GCC target("avx2,fma")

namespace {

// For each set of lanes: which source lane each lane takes (as two 32-bit halves) to expand
// p[0], p[1], ... into those lanes, and to compress those lanes to the front.
struct LanePermutes {
  alignas(32) std::int32_t expand[16][8];
  alignas(32) std::int32_t compress[16][8];
};

constexpr LanePermutes MakeLanePermutes() {
  LanePermutes t{};
  for (int bits = 0; bits < 16; ++bits) {
    int next = 0;
    for (int lane = 0; lane < 4; ++lane) {
      const bool set = (bits >> lane) & 1;
      const int from = set ? next : lane;  // others keep their own lane (unspecified)
      t.expand[bits][2 * lane] = 2 * from;
      t.expand[bits][2 * lane + 1] = 2 * from + 1;
      if (set) {
        t.compress[bits][2 * next] = 2 * lane;
        t.compress[bits][2 * next + 1] = 2 * lane + 1;
        ++next;
      }
    }
    for (int k = next; k < 4; ++k) {
      t.compress[bits][2 * k] = 2 * k;
      t.compress[bits][2 * k + 1] = 2 * k + 1;
    }
  }
  return t;
}

constexpr LanePermutes kPermutes = MakeLanePermutes();

struct IsaAvx2 {
  using V = __m256d;
  static constexpr int kWidth = 4;
  static constexpr int kBlocks = 2;
  // Histories of 1-3 entries live in registers; with 3 they spill, and the ring measured 5-10 %
  // faster except where the register loop settles sightings too.
  static constexpr bool kRegisterHistory = true;
  static constexpr bool kSpillsLongHistory = true;

  static V Set(double v) { return _mm256_set1_pd(v); }
  static V Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, V v) { _mm256_storeu_pd(p, v); }
  static V Add(V a, V b) { return _mm256_add_pd(a, b); }
  static V Sub(V a, V b) { return _mm256_sub_pd(a, b); }
  static V Mul(V a, V b) { return _mm256_mul_pd(a, b); }
  static V Div(V a, V b) { return _mm256_div_pd(a, b); }
  // Exact negation: flips the sign bit, as the unary minus of the scalar code does.
  static V Neg(V a) { return _mm256_xor_pd(a, _mm256_set1_pd(-0.0)); }
  static V BitOr(V a, V b) { return _mm256_or_pd(a, b); }
  static V Min(V a, V b) { return _mm256_min_pd(a, b); }
  static double MinAcross(V v) {
    const __m128d half = _mm_min_pd(_mm256_castpd256_pd128(v), _mm256_extractf128_pd(v, 1));
    return _mm_cvtsd_f64(_mm_min_sd(half, _mm_unpackhi_pd(half, half)));
  }
  static unsigned Lt(V a, V b) { return Bits(_mm256_cmp_pd(a, b, _CMP_LT_OQ)); }
  static unsigned NotLe(V a, V b) { return Bits(_mm256_cmp_pd(a, b, _CMP_NLE_UQ)); }
  static unsigned Bits(V mask) { return static_cast<unsigned>(_mm256_movemask_pd(mask)); }
  // Expand and compress by a permutation of the 32-bit halves: the lanes of bits in order.
  static V ExpandLoad(unsigned bits, const double* p) {
    return Permute(_mm256_loadu_pd(p), kPermutes.expand[bits]);
  }
  static void CompressStore(unsigned bits, double* p, V v) {
    _mm256_storeu_pd(p, Permute(v, kPermutes.compress[bits]));
  }
  static V Permute(V v, const std::int32_t* halves) {
    const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(halves));
    return _mm256_castps_pd(_mm256_permutevar8x32_ps(_mm256_castpd_ps(v), index));
  }
  static V Blend(unsigned bits, V a, V b) {
    const __m256i lanes =
        _mm256_and_si256(_mm256_set1_epi64x(bits), _mm256_setr_epi64x(1, 2, 4, 8));
    return _mm256_blendv_pd(a, b,
                            _mm256_castsi256_pd(_mm256_cmpgt_epi64(lanes, _mm256_setzero_si256())));
  }
  static V Fma(V a, V b, V c) { return _mm256_fmadd_pd(a, b, c); }

  using I = __m256i;
  static I AsInt(V v) { return _mm256_castpd_si256(v); }
  static V AsDouble(I i) { return _mm256_castsi256_pd(i); }
  static I SetI(std::uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
  static I AddI(I a, I b) { return _mm256_add_epi64(a, b); }
  static I SubI(I a, I b) { return _mm256_sub_epi64(a, b); }
  static I AndI(I a, I b) { return _mm256_and_si256(a, b); }
  static I XorI(I a, I b) { return _mm256_xor_si256(a, b); }
  template <int kShift>
  static I ShiftRightI(I a) {
    return _mm256_srli_epi64(a, kShift);
  }
  static V Gather(const double* base, I index) {
    return _mm256_i64gather_pd(base, static_cast<__m256i>(index), 8);
  }
};

}  // namespace

#include "fractal/SimdKernel.h"

namespace {

TVectorOutcome RunAvx2(const TVectorJob& job, TVectorWorkspace& work) {
  TSimdRun<IsaAvx2> run(job, work);
  return run.Run();
}

void LogsAvx2(double* values, int count) { TSimdRun<IsaAvx2>::Logs(values, count); }

}  // namespace

#pragma GCC pop_options

TVectorOutcome ComputeColumnsAvx2(const TVectorJob& job, TVectorWorkspace& work) {
  return RunAvx2(job, work);
}

void SmoothingLogsAvx2(double* values, int count) { LogsAvx2(values, count); }

#else

// Other processors have no AVX2: CpuSupportsPath is false for it, so this is never called.
TVectorOutcome ComputeColumnsAvx2(const TVectorJob&, TVectorWorkspace&) {
  KORVANA_ASSERT(!"AVX2 kernel called on a processor without AVX2");
  return {};
}

void SmoothingLogsAvx2(double*, int) {
  KORVANA_ASSERT(!"AVX2 routine called on a processor without AVX2");
}

#endif
