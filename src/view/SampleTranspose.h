#pragma once

// Four lanes of red, green, blue and opacity to four sample colours (red, green, blue, opacity
// each). Include only inside a unit's region compiled for AVX2 or more.

#include <immintrin.h>

#include "view/TFractViewProps.h"

namespace {

inline void StoreFourSamples(TSampleColor* out, __m256d red, __m256d green, __m256d blue,
                             __m256d opacity) {
  const __m256d redGreen02 = _mm256_unpacklo_pd(red, green);
  const __m256d redGreen13 = _mm256_unpackhi_pd(red, green);
  const __m256d blueOpacity02 = _mm256_unpacklo_pd(blue, opacity);
  const __m256d blueOpacity13 = _mm256_unpackhi_pd(blue, opacity);
  auto* sample = reinterpret_cast<double*>(out);
  _mm256_storeu_pd(sample, _mm256_permute2f128_pd(redGreen02, blueOpacity02, 0x20));
  _mm256_storeu_pd(sample + 4, _mm256_permute2f128_pd(redGreen13, blueOpacity13, 0x20));
  _mm256_storeu_pd(sample + 8, _mm256_permute2f128_pd(redGreen02, blueOpacity02, 0x31));
  _mm256_storeu_pd(sample + 12, _mm256_permute2f128_pd(redGreen13, blueOpacity13, 0x31));
}

}  // namespace
