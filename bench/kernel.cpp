// Speed of the iteration kernel and the computing engine on the reference workload: the whole
// Mandelbrot set (MapC, z^2 + c) over re -2..1, im -1.5..1.5 at 2000 x 2000 samples, MaxDepth
// 1000, escape radius 2, equality distance 0.0001, with cycle detection up to period 3
// (CycleLowest) and without (MaxCycle 0).
//
// Counters: samples/s and orbit steps/s (formula evaluations). Compare in one run: the vector
// kernel against the scalar one on one thread, the engine on all threads against one thread,
// and the engine on one thread against the kernel alone.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "Workload.h"
#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"
#include "fractal/TKernelParams.h"
#include "fractal/TThreadVolumeWriter.h"

namespace {

TKernelParams Reference(int maxCycle, KernelPath path, ECycleSelection selection = CycleLowest) {
  return ReferenceMandelbrot(2000, 2000, 1000, maxCycle, selection, path);
}

void SetCounters(benchmark::State& state, const TKernelParams& p, std::uint64_t steps) {
  const double samples = static_cast<double>(p.xResolution) * p.yResolution;
  state.counters["samples/s"] =
      benchmark::Counter(samples * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["steps/s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}

// The kernel alone over all columns on this thread. Arguments: path, MaxCycle.
void KernelOnThisThread(benchmark::State& state, ECycleSelection selection) {
  const auto path = static_cast<KernelPath>(state.range(0));
  const TKernelParams p = Reference(static_cast<int>(state.range(1)), path, selection);
  auto result = NewResult(p);
  std::string error;
  auto kernel = TFractKernel::Create(p, nullptr, error);
  if (path != KernelPath::Scalar && kernel->ActivePath() != path) {
    state.SkipWithError("instruction set not available");
    return;
  }
  for (auto _ : state) {
    kernel->ComputeColumns(*result, 0, p.xResolution);
    benchmark::DoNotOptimize(result->DepthPlane());
  }
  state.SetLabel(KernelPathName(kernel->ActivePath()));
  SetCounters(state, p, kernel->OrbitSteps());
}

void BM_Kernel(benchmark::State& state) { KernelOnThisThread(state, CycleLowest); }
// The end-to-end workload's selection: every sighting ends its sample.
void BM_KernelDepthLowest(benchmark::State& state) { KernelOnThisThread(state, DepthLowest); }

// The engine with the best kernel. Arguments: workers (0 = all hardware threads), MaxCycle.
void BM_Engine(benchmark::State& state) {
  const TKernelParams p = Reference(static_cast<int>(state.range(1)), KernelPath::Auto);
  auto result = NewResult(p);
  TThreadVolumeWriter engine;
  std::uint64_t steps = 0;
  for (auto _ : state) {
    std::string error;
    engine.Start(p, *result, nullptr, static_cast<int>(state.range(0)), {}, error);
    engine.Wait();
    steps += engine.OrbitSteps();
  }
  const int workers = state.range(0) > 0 ? static_cast<int>(state.range(0))
                                         : static_cast<int>(std::thread::hardware_concurrency());
  state.SetLabel(std::to_string(workers) + " workers");
  SetCounters(state, p, steps);
}

// The per-sample cost of settling finished lanes (storing the result, smoothing, refilling),
// apart from the cost per orbit step. Two windows of 1000 x 1000 samples with the reference
// settings (DepthLowest, smoothed) differ in orbit length: the whole set (about 27 steps a
// sample) and a window at the boundary (about 140). Their times T = steps * c + samples * s give
// c (per step) and s (per sample). The time reported is s for the 1 000 000 samples of a window,
// so its milliseconds read as nanoseconds per sample. Argument: path.
void BM_Settle(benchmark::State& state) {
  const auto path = static_cast<KernelPath>(state.range(0));
  auto window = [path](double left, double right, double top, double bottom) {
    TKernelParams p = ReferenceMandelbrot(1000, 1000, 1000, 3, DepthLowest, path);
    p.left = left;
    p.right = right;
    p.top = top;
    p.bottom = bottom;
    return p;
  };
  const TKernelParams shortOrbits = window(-2.0, 1.0, 1.5, -1.5);
  const TKernelParams longOrbits = window(-0.74370, -0.74360, 0.13190, 0.13180);
  auto result = NewResult(shortOrbits);
  std::string error;
  auto shortKernel = TFractKernel::Create(shortOrbits, nullptr, error);
  auto longKernel = TFractKernel::Create(longOrbits, nullptr, error);
  if (path != KernelPath::Scalar && shortKernel->ActivePath() != path) {
    state.SkipWithError("instruction set not available");
    return;
  }
  // Seconds and orbit steps of one run over the window.
  auto run = [&result](TFractKernel& kernel, const TKernelParams& p) {
    const std::uint64_t before = kernel.OrbitSteps();
    const auto start = std::chrono::steady_clock::now();
    kernel.ComputeColumns(*result, 0, p.xResolution);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    return std::pair{seconds.count(), static_cast<double>(kernel.OrbitSteps() - before)};
  };
  double perStep = 0.0;
  for (auto _ : state) {
    const auto [shortTime, shortSteps] = run(*shortKernel, shortOrbits);
    const auto [longTime, longSteps] = run(*longKernel, longOrbits);
    perStep = (longTime - shortTime) / (longSteps - shortSteps);
    // Noise could make the difference negative; a manual time must not be.
    state.SetIterationTime(std::max(shortTime - shortSteps * perStep, 1e-9));
  }
  state.SetLabel(KernelPathName(shortKernel->ActivePath()));
  state.counters["ns/step"] = perStep * 1e9;
}

constexpr int kScalar = static_cast<int>(KernelPath::Scalar);
constexpr int kAvx2 = static_cast<int>(KernelPath::AVX2);
constexpr int kAvx512 = static_cast<int>(KernelPath::AVX512);

BENCHMARK(BM_Kernel)
    ->ArgNames({"path", "MaxCycle"})
    ->ArgsProduct({{kScalar, kAvx2, kAvx512}, {3, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_KernelDepthLowest)
    ->ArgNames({"path", "MaxCycle"})
    ->ArgsProduct({{kAvx2, kAvx512}, {3}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Settle)
    ->ArgName("path")
    ->Arg(kAvx2)
    ->Arg(kAvx512)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_Engine)
    ->ArgNames({"threads", "MaxCycle"})
    ->ArgsProduct({{1, 0}, {3, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  TKernelParams p = Reference(3, KernelPath::Auto);
  std::string error;
  auto kernel = TFractKernel::Create(p, nullptr, error);
  benchmark::AddCustomContext("kernel_auto", KernelPathName(kernel->ActivePath()));
  benchmark::AddCustomContext("paths", "1 = Scalar, 2 = AVX2, 3 = AVX-512");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
