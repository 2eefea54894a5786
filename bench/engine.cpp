// Costs of the computing engine beyond the kernel itself:
//
// BM_StopLatency: how long Stop() takes while a deep computation runs (the Mandelbrot set over
// re -2..1, im -1.5..1.5 at 4000 x 4000 samples, MaxDepth 100 000, escape radius 2, equality
// distance 0.0001, cycles up to period 3 or none). The owner services hand-overs like an event
// loop for about 200 ms, then stops; the reported time is that of Stop() alone ("max ms" is
// the slowest of the repetitions). The left edge of that picture is cheap, so "inside" runs
// the same over re -1..0, im -0.5..0.5, where every strip holds samples inside the set.
//
// BM_ShortColumns: pictures whose columns are only a few samples high, where handing strips
// over could cost more than computing them. Two workers must not be slower than one.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "Workload.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"
#include "fractal/TThreadVolumeWriter.h"

namespace {

using Clock = std::chrono::steady_clock;

TKernelParams Mandelbrot(int width, int height, int maxDepth, int maxCycle) {
  return ReferenceMandelbrot(width, height, maxDepth, maxCycle, DepthLowest, KernelPath::Auto);
}

// Arguments: inside (0 or 1), MaxCycle, path (see kernel paths), workers (0 = all hardware
// threads).
void BM_StopLatency(benchmark::State& state) {
  TKernelParams p = Mandelbrot(4000, 4000, 100000, static_cast<int>(state.range(1)));
  if (state.range(0) != 0) {
    p.left = -1.0;
    p.right = 0.0;
    p.top = 0.5;
    p.bottom = -0.5;
  }
  p.path = static_cast<KernelPath>(state.range(2));
  auto result = NewResult(p);
  TThreadVolumeWriter engine;
  double slowest = 0.0;
  for (auto _ : state) {
    std::string error;
    if (!engine.Start(p, *result, nullptr, static_cast<int>(state.range(3)), {}, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(200);
    while (Clock::now() < until) {
      engine.ServiceHandOvers();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    const Clock::time_point start = Clock::now();
    engine.Stop();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    slowest = std::max(slowest, seconds);
    if (!engine.LastError().empty()) state.SkipWithError(engine.LastError().c_str());
  }
  state.counters["max ms"] = slowest * 1000.0;
}

// Arguments: width, height, MaxDepth, workers.
void BM_ShortColumns(benchmark::State& state) {
  const TKernelParams p = Mandelbrot(static_cast<int>(state.range(0)),
                                     static_cast<int>(state.range(1)),
                                     static_cast<int>(state.range(2)), 0);
  auto result = NewResult(p);
  TThreadVolumeWriter engine;
  for (auto _ : state) {
    std::string error;
    engine.Start(p, *result, nullptr, static_cast<int>(state.range(3)), {}, error);
    engine.Wait();
  }
  state.SetLabel(std::to_string(TThreadVolumeWriter::StripColumns(p.xResolution, p.yResolution)) +
                 " columns a strip");
  state.counters["samples/s"] = benchmark::Counter(
      static_cast<double>(p.xResolution) * p.yResolution * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

BENCHMARK(BM_StopLatency)
    ->ArgNames({"inside", "MaxCycle", "path", "threads"})
    ->ArgsProduct({{0, 1},
                   {3, 0},
                   {static_cast<int>(KernelPath::Auto), static_cast<int>(KernelPath::Scalar)},
                   {0}})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShortColumns)
    ->ArgNames({"width", "height", "MaxDepth", "threads"})
    ->Args({1000000, 1, 1000, 1})
    ->Args({1000000, 1, 1000, 2})
    ->Args({10000000, 3, 1, 1})
    ->Args({10000000, 3, 1, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::AddCustomContext("paths", "0 = Auto, 1 = Scalar, 2 = AVX2, 3 = AVX-512");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
