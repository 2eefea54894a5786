// Cost of storing a rendered picture: the workload document bench/mandelbrot-2000.kvf (Mandelbrot
// set, 2000 x 2000 pixels, MaxDepth 1000), computed and painted once, then written as
//
//   BM_EncodePng          PngFile::Encode into memory (the encoder alone)
//   BM_WritePng           PngFile::Write with the document text, as korvana-render writes it
//   BM_WriteBmp           BmpFile::Write, the baseline a PNG is measured against
//   BM_WriteTif           TifFileWriter::Write of the picture with opaque alpha, as exported
//   BM_StreamPng/rows     the streamed PNG writer of posters, bands of `rows` rows
//
// Counters: pixels/s (items per second) and bytes (the size of the file).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "app/FractalDocumentFile.h"
#include "app/TFractComputation.h"
#include "app/TFractalContent.h"
#include "common/Bitmap24.h"
#include "common/SafeFile.h"
#include "files/BmpFile.h"
#include "files/PictureStream.h"
#include "files/PngFile.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"

namespace {

const std::filesystem::path kBenchFolder = std::filesystem::path(__FILE__).parent_path();

struct Workload {
  Bitmap24 bitmap;
  TifImage tif;  // the bitmap's pixels, opaque
  std::string documentText;
  std::string error;
};

// The workload picture, computed once on all threads.
const Workload& Picture() {
  static const Workload workload = [] {
    Workload w;
    const std::string fileName = (kBenchFolder / "mandelbrot-2000.kvf").string();
    TFractalContent content;
    if (!LoadFractalDocument(content, fileName, w.error) ||
        !ReadWholeFile(fileName, w.documentText, w.error)) {
      return w;
    }
    TFractComputation computation;
    if (!computation.Restart(content, 0, {}, w.error) || !computation.NewBitmap(w.error)) return w;
    computation.Wait();
    const TFractResult* result = computation.Result();
    if (result == nullptr || result->GetBitmap() == nullptr) {
      w.error = "the workload was not painted";
      return w;
    }
    w.bitmap = *result->GetBitmap();
    w.tif = TifImage(w.bitmap.width, w.bitmap.height, true);
    for (int y = 0; y < w.bitmap.height; ++y) {
      for (int x = 0; x < w.bitmap.width; ++x) {
        const std::uint8_t* p = w.bitmap.Pixel(x, y);
        w.tif.SetColor(x, y, p[0] | (p[1] << 8) | (std::uint32_t{p[2]} << 16));
        w.tif.SetAlpha(x, y, 255);
      }
    }
    return w;
  }();
  return workload;
}

// A file in the temporary folder, removed at the end of the benchmark.
struct TemporaryFile {
  explicit TemporaryFile(const char* name)
      : path((std::filesystem::temp_directory_path() / name).string()) {}
  ~TemporaryFile() {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
  std::uintmax_t Size() const {
    std::error_code ignored;
    return std::filesystem::file_size(path, ignored);
  }
  std::string path;
};

bool Ready(benchmark::State& state) {
  if (!Picture().error.empty()) {
    state.SkipWithError(Picture().error.c_str());
    return false;
  }
  return true;
}

void SetCounters(benchmark::State& state, std::uintmax_t bytes) {
  const Bitmap24& bitmap = Picture().bitmap;
  state.SetItemsProcessed(static_cast<std::int64_t>(bitmap.width) * bitmap.height *
                          state.iterations());
  state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_EncodePng(benchmark::State& state) {
  if (!Ready(state)) return;
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string png = PngFile::Encode(Picture().bitmap);
    bytes = png.size();
    benchmark::DoNotOptimize(png.data());
  }
  SetCounters(state, bytes);
}
BENCHMARK(BM_EncodePng)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePng(benchmark::State& state) {
  if (!Ready(state)) return;
  TemporaryFile file("korvana-bench-picture.png");
  std::string error;
  for (auto _ : state) {
    if (!PngFile::Write(file.path, Picture().bitmap, error, Picture().documentText)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  SetCounters(state, file.Size());
}
BENCHMARK(BM_WritePng)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteBmp(benchmark::State& state) {
  if (!Ready(state)) return;
  TemporaryFile file("korvana-bench-picture.bmp");
  std::string error;
  for (auto _ : state) {
    if (!BmpFile::Write(file.path, Picture().bitmap, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  SetCounters(state, file.Size());
}
BENCHMARK(BM_WriteBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteTif(benchmark::State& state) {
  if (!Ready(state)) return;
  TemporaryFile file("korvana-bench-picture.tif");
  const TifFileWriter writer("Korvana", "bench");
  std::string error;
  for (auto _ : state) {
    if (!writer.Write(file.path, Picture().tif, error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  SetCounters(state, file.Size());
}
BENCHMARK(BM_WriteTif)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StreamPng(benchmark::State& state) {
  if (!Ready(state)) return;
  const Bitmap24& bitmap = Picture().bitmap;
  const int rows = static_cast<int>(state.range(0));
  TemporaryFile file("korvana-bench-stream.png");
  std::string error;
  for (auto _ : state) {
    std::unique_ptr<PictureStream> stream =
        OpenPictureStream(StreamFormat::Png, file.path, bitmap.width, bitmap.height, rows,
                          Picture().documentText, error);
    bool ok = stream != nullptr;
    for (int first = 0; ok && first < bitmap.height; first += rows) {
      ok = stream->WriteRows(first, std::min(rows, bitmap.height - first), bitmap.Pixel(0, first),
                             error);
    }
    if (!ok || !stream->Finish(error)) {
      state.SkipWithError(error.c_str());
      return;
    }
  }
  SetCounters(state, file.Size());
}
BENCHMARK(BM_StreamPng)->ArgName("rows")->Arg(64)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
