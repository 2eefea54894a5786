// Cost of turning a computed fractal into pixels beside the cost of computing it, per sample:
// the default new fractal (the z^2 + c Julia set of a new document, MaxDepth 100, cycle detection
// up to period 3) at 2000 x 2000 samples.
//
//   BM_Compute/threads       TFractComputation Restart + Wait without a bitmap (no painting);
//                            threads 0 = all hardware threads
//   BM_PaintPixelColumns/g   colouring and painting the whole bitmap, ValuesPerPixel g
//   BM_RenderExport/g        rendering the whole result for a TIFF export, ValuesPerPixel g
//   BM_PaintHandOver         what the window's thread does per hand-over: painting one strip
//                            of 8 columns of 2000 rows (time per strip)
//   BM_ComputeAndPaint       Restart + NewBitmap + Wait on all threads: computing with painting
//                            after every strip, as the desktop program and korvana-render do
//
// Counters: samples/s (items per second) and time/sample.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/TFractComputation.h"
#include "app/TFractalContent.h"
#include "common/Bitmap24.h"
#include "files/TifImage.h"
#include "view/TResultRenderer.h"

namespace {

constexpr int kResolution = 2000;

TFractalContent Reference(int valuesPerPixel) {
  TFractalContent content;
  content.Fractal.XResolution = unitIntegerPosMore(kResolution);
  content.Fractal.YResolution = unitIntegerPosMore(kResolution);
  content.View.ValuesPerPixel = unitIntegerPosMore(valuesPerPixel);
  return content;
}

void SetSampleCounters(benchmark::State& state) {
  const double samples = static_cast<double>(kResolution) * kResolution;
  state.SetItemsProcessed(static_cast<std::int64_t>(samples) * state.iterations());
  state.counters["time/sample"] = benchmark::Counter(
      samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The reference fractal computed once on all threads; painting and export read it.
const TFractComputation& ComputedReference() {
  static TFractalContent content = Reference(1);
  static TFractComputation computation;
  static const bool computed = [] {
    std::string error;
    if (!computation.Restart(content, 0, {}, error)) return false;
    computation.Wait();
    return true;
  }();
  (void)computed;
  return computation;
}

void BM_Compute(benchmark::State& state) {
  TFractalContent content = Reference(1);
  TFractComputation computation;
  std::string error;
  for (auto _ : state) {
    if (!computation.Restart(content, static_cast<int>(state.range(0)), {}, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    computation.Wait();
  }
  SetSampleCounters(state);
}
BENCHMARK(BM_Compute)->ArgName("threads")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ComputeAndPaint(benchmark::State& state) {
  TFractalContent content = Reference(1);
  TFractComputation computation;
  std::string error;
  for (auto _ : state) {
    if (!computation.Restart(content, 0, {}, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    computation.NewBitmap();
    computation.Wait();
  }
  SetSampleCounters(state);
}
BENCHMARK(BM_ComputeAndPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PaintPixelColumns(benchmark::State& state) {
  const TFractResult* result = ComputedReference().Result();
  if (result == nullptr) {
    state.SkipWithError("the reference fractal could not be computed");
    return;
  }
  const TFractalContent content = Reference(static_cast<int>(state.range(0)));
  const TResultRenderer renderer(content.View, content.Fractal.MaxCycle.GetValue());
  Bitmap24 bitmap(PixelWidth(*result, content.View), PixelHeight(*result, content.View));
  for (auto _ : state) {
    renderer.PaintPixelColumns(*result, bitmap, 0, bitmap.width);
    benchmark::DoNotOptimize(bitmap.rgb.data());
    benchmark::ClobberMemory();
  }
  SetSampleCounters(state);
}
BENCHMARK(BM_PaintPixelColumns)->ArgName("g")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_PaintHandOver(benchmark::State& state) {
  const TFractResult* result = ComputedReference().Result();
  if (result == nullptr) {
    state.SkipWithError("the reference fractal could not be computed");
    return;
  }
  const TFractalContent content = Reference(1);
  const TResultRenderer renderer(content.View, content.Fractal.MaxCycle.GetValue());
  Bitmap24 bitmap(PixelWidth(*result, content.View), PixelHeight(*result, content.View));
  int first = 0;
  for (auto _ : state) {
    renderer.PaintPixelColumns(*result, bitmap, first, first + 8);
    first = (first + 8) % (bitmap.width - 8);
    benchmark::DoNotOptimize(bitmap.rgb.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintHandOver)->Unit(benchmark::kMicrosecond);

void BM_RenderExport(benchmark::State& state) {
  const TFractResult* result = ComputedReference().Result();
  if (result == nullptr) {
    state.SkipWithError("the reference fractal could not be computed");
    return;
  }
  const TFractalContent content = Reference(static_cast<int>(state.range(0)));
  const TResultRenderer renderer(content.View, content.Fractal.MaxCycle.GetValue());
  TifImage image;
  for (auto _ : state) {
    renderer.RenderExport(*result, image);
    benchmark::DoNotOptimize(image.Colors().data());
  }
  SetSampleCounters(state);
}
BENCHMARK(BM_RenderExport)->ArgName("g")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
