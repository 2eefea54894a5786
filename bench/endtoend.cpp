// A whole render against the bare vector loop, on the reference workload (bench/mandelbrot-2000.kvf:
// the Mandelbrot set, re -2..1, im -1.5..1.5, 2000 x 2000 samples, MaxDepth 1000, escape radius
// 2, equality distance 0.0001, cycles up to period 3, DepthLowest, smoothed counts).
//
//   BM_HandLoopAvx2/threads  the yardstick: a plain AVX2 loop (4 vectors of 4 lanes) with the
//                            same escape test and the comparison with the last three orbit
//                            points, without smoothing, colouring or file; columns dealt out
//                            to the threads in blocks of 8
//   BM_Render/format         korvana-render's work in this process on 2 threads: load the
//                            document, compute, colour, write bmp (0), png (1) or tif (2)
//
// Run from the source folder (the document is found relative to it) or pass its path in
// KORVANA_BENCH_DOCUMENT. The ratio BM_Render/0 : BM_HandLoopAvx2/2 is the render's overhead
// over the bare loop; korvana-render itself is timed by the command in the README.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "cli/RenderCommand.h"
#include "fractal/TKernelParams.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr int kSize = 2000;
constexpr int kMaxDepth = 1000;

std::string Document() {
  const char* path = std::getenv("KORVANA_BENCH_DOCUMENT");
  return path != nullptr ? path : "bench/mandelbrot-2000.kvf";
}

#if defined(__x86_64__)

// 16 samples of one column (rows y0 .. y0 + 15) until all have escaped, met one of their last
// three points or reached MaxDepth; stores the counts.
[[gnu::target("avx2,fma")]] void HandBlock(double x, int y0, float* out) {
  const double step = 3.0 / kSize;
  __m256d cr[4], ci[4], zr[4], zi[4], h1r[4], h1i[4], h2r[4], h2i[4], h3r[4], h3i[4], n[4];
  __m256d live[4];
  const __m256d four = _mm256_set1_pd(4.0), eps2 = _mm256_set1_pd(1e-8), one = _mm256_set1_pd(1.0);
  const __m256d nan = _mm256_set1_pd(__builtin_nan(""));
  for (int b = 0; b < 4; ++b) {
    const int y = y0 + 4 * b;
    ci[b] = _mm256_setr_pd(1.5 - y * step, 1.5 - (y + 1) * step, 1.5 - (y + 2) * step,
                           1.5 - (y + 3) * step);
    cr[b] = _mm256_set1_pd(x);
    zr[b] = cr[b];
    zi[b] = ci[b];
    h1r[b] = h1i[b] = h2r[b] = h2i[b] = h3r[b] = h3i[b] = nan;
    n[b] = _mm256_setzero_pd();
    live[b] = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
  }
  for (int i = 0; i < kMaxDepth; ++i) {
    int any = 0;
    for (int b = 0; b < 4; ++b) {
      const __m256d x2 = _mm256_mul_pd(zr[b], zr[b]);
      const __m256d y2 = _mm256_mul_pd(zi[b], zi[b]);
      const __m256d wr = _mm256_add_pd(_mm256_sub_pd(x2, y2), cr[b]);
      const __m256d wi = _mm256_add_pd(_mm256_mul_pd(_mm256_add_pd(zr[b], zr[b]), zi[b]), ci[b]);
      const __m256d r2 = _mm256_add_pd(_mm256_mul_pd(wr, wr), _mm256_mul_pd(wi, wi));
      __m256d near = _mm256_setzero_pd();
      const __m256d hr[3] = {h1r[b], h2r[b], h3r[b]}, hi[3] = {h1i[b], h2i[b], h3i[b]};
      for (int k = 0; k < 3; ++k) {
        const __m256d dr = _mm256_sub_pd(hr[k], wr), di = _mm256_sub_pd(hi[k], wi);
        const __m256d d2 = _mm256_add_pd(_mm256_mul_pd(dr, dr), _mm256_mul_pd(di, di));
        near = _mm256_or_pd(near, _mm256_cmp_pd(d2, eps2, _CMP_LT_OQ));
      }
      const __m256d done = _mm256_or_pd(_mm256_cmp_pd(r2, four, _CMP_NLE_UQ), near);
      n[b] = _mm256_add_pd(n[b], _mm256_and_pd(live[b], one));
      live[b] = _mm256_andnot_pd(done, live[b]);
      any |= _mm256_movemask_pd(live[b]);
      h3r[b] = h2r[b];
      h3i[b] = h2i[b];
      h2r[b] = h1r[b];
      h2i[b] = h1i[b];
      h1r[b] = wr;
      h1i[b] = wi;
      zr[b] = wr;
      zi[b] = wi;
    }
    if (any == 0) break;
  }
  for (int b = 0; b < 4; ++b) {
    alignas(32) double counts[4];
    _mm256_store_pd(counts, n[b]);
    for (int l = 0; l < 4; ++l) out[4 * b + l] = static_cast<float>(counts[l] / kMaxDepth);
  }
}

void BM_HandLoopAvx2(benchmark::State& state) {
  if (!__builtin_cpu_supports("avx2")) {
    state.SkipWithError("no AVX2");
    return;
  }
  const int threads = static_cast<int>(state.range(0));
  std::vector<float> depths(static_cast<std::size_t>(kSize) * kSize);
  for (auto _ : state) {
    std::atomic<int> next{0};
    auto work = [&] {
      for (int x0; (x0 = next.fetch_add(8)) < kSize;) {
        for (int x = x0; x < x0 + 8 && x < kSize; ++x) {
          const double cx = -2.0 + x * (3.0 / kSize);
          for (int y = 0; y < kSize; y += 16) {
            HandBlock(cx, y, &depths[static_cast<std::size_t>(x) * kSize + y]);
          }
        }
      }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    benchmark::DoNotOptimize(depths.data());
  }
}
BENCHMARK(BM_HandLoopAvx2)->ArgName("threads")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

#endif

void BM_Render(benchmark::State& state) {
  static const char* const kExtensions[] = {"bmp", "png", "tif"};
  RenderOptions options;
  options.document = Document();
  options.output = "/tmp/korvana-bench-render." + std::string(kExtensions[state.range(0)]);
  options.threads = 2;
  options.quiet = true;
  for (auto _ : state) {
    if (RunRender(options, stderr, false) != 0) {
      state.SkipWithError("the render failed (run from the source folder?)");
      return;
    }
  }
  std::remove(options.output.c_str());
}
BENCHMARK(BM_Render)->ArgName("format")->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
