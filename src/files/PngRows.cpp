#include "files/PngRows.h"

#include <algorithm>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr std::uint32_t kBase = 65521;  // the largest prime below 2^16
// Most bytes after which the running sums, started below kBase, still fit 32 bits.
constexpr std::size_t kMaxRun = 5552;

std::uint32_t Adler32Scalar(std::uint32_t adler, const std::uint8_t* data, std::size_t bytes) {
  std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
  while (bytes > 0) {
    const std::size_t run = std::min(bytes, kMaxRun);
    for (std::size_t i = 0; i < run; ++i) {
      a += data[i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
    data += run;
    bytes -= run;
  }
  return (b << 16) | a;
}

#if defined(__x86_64__)

[[gnu::target("avx2")]] std::uint64_t Sum32(__m256i v) {
  alignas(32) std::uint32_t lanes[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), v);
  std::uint64_t sum = 0;
  for (std::uint32_t lane : lanes) sum += lane;
  return sum;
}

// 32 bytes a step: a gains their sum, b gains 32 times a before the step plus the bytes weighted
// 32 down to 1. Runs of at most kMaxRun bytes keep every 32-bit lane from overflowing.
[[gnu::target("avx2")]] std::uint32_t Adler32Avx2(std::uint32_t adler, const std::uint8_t* data,
                                                  std::size_t bytes) {
  std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
  const __m256i weights =
      _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16, 15, 14,
                       13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
  const __m256i ones = _mm256_set1_epi16(1);
  const __m256i zero = _mm256_setzero_si256();
  while (bytes >= 32) {
    const std::size_t run = std::min(bytes, kMaxRun) & ~std::size_t{31};
    __m256i sumA = _mm256_setr_epi32(static_cast<int>(a), 0, 0, 0, 0, 0, 0, 0);
    __m256i sumB = _mm256_setr_epi32(static_cast<int>(b), 0, 0, 0, 0, 0, 0, 0);
    __m256i earlierA = zero;  // the sum of a before each step
    for (std::size_t i = 0; i < run; i += 32) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
      earlierA = _mm256_add_epi32(earlierA, sumA);
      sumA = _mm256_add_epi32(sumA, _mm256_sad_epu8(v, zero));
      sumB = _mm256_add_epi32(sumB, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
    }
    sumB = _mm256_add_epi32(sumB, _mm256_slli_epi32(earlierA, 5));
    a = static_cast<std::uint32_t>(Sum32(sumA) % kBase);
    b = static_cast<std::uint32_t>(Sum32(sumB) % kBase);
    data += run;
    bytes -= run;
  }
  // Clean upper register halves before the scalar tail: the compiler omits this on its tail
  // call, and the SSE code of zlib run after it would then slow down severalfold.
  _mm256_zeroupper();
  return Adler32Scalar((b << 16) | a, data, bytes);
}

#endif

}  // namespace

namespace PngRows {

void FilterUp(const std::uint8_t* row, const std::uint8_t* above, std::size_t bytes,
              std::uint8_t* out) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= bytes; i += 16) {
    const __m128i r = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
    const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(above + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_sub_epi8(r, u));
  }
#endif
  for (; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(row[i] - above[i]);
}

std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t bytes) {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return Adler32Avx2(adler, data, bytes);
#endif
  return Adler32Scalar(adler, data, bytes);
}

}  // namespace PngRows
