#include "app/PosterRender.h"

#include <unistd.h>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

#include "app/FractalDocumentFile.h"
#include "app/TFractalContent.h"
#include "bitmaps/TBitmapMapper.h"
#include "common/Bitmap24.h"
#include "common/ParallelRanges.h"
#include "common/Version.h"
#include "files/BmpFile.h"
#include "files/PictureStream.h"
#include "files/PngFile.h"
#include "files/PosterBandFile.h"
#include "files/TifFileFacade.h"
#include "files/TifImage.h"
#include "files/XMLItem.h"
#include "fractal/TFractKernel.h"
#include "fractal/TFractResult.h"
#include "fractal/TThreadVolumeWriter.h"
#include "view/TResultRenderer.h"

namespace {

constexpr std::int64_t kMaxSide = std::numeric_limits<std::int32_t>::max();
// The result array refuses more samples than this (its planes are indexed with 32-bit counts).
constexpr std::uint64_t kMaxBandSamples = 0x7FFFFFFFu;

std::string Prefix(const std::string& fileName) {
  return "Cannot export file \"" + fileName + "\". ";
}

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}

// Where the rows of the bands go. Each band's rows arrive in order from the top, as displayed
// (RGB, background blended) and as exported (RGBA); a sink says which of the two it needs.
class RowSink {
 public:
  virtual ~RowSink() = default;
  virtual bool WantsDisplay() const = 0;
  virtual bool WantsExport() const = 0;
  virtual bool Write(int first, int count, const std::uint8_t* display,
                     const std::uint8_t* exported, std::string& error) = 0;
  virtual bool Finish(std::string& error) = 0;
};

// Collects the whole picture and writes it with the normal export writers.
class MemorySink : public RowSink {
 public:
  MemorySink(StreamFormat format, std::string fileName, int width, int height,
             std::string documentText)
      : format_(format), fileName_(std::move(fileName)), documentText_(std::move(documentText)) {
    if (format_ == StreamFormat::Tif) {
      image_ = TifImage(width, height, true);
    } else {
      bitmap_ = Bitmap24(width, height);
    }
  }
  bool WantsDisplay() const override { return format_ != StreamFormat::Tif; }
  bool WantsExport() const override { return format_ == StreamFormat::Tif; }
  bool Write(int first, int count, const std::uint8_t* display, const std::uint8_t* exported,
             std::string&) override {
    if (display) {
      std::copy(display, display + static_cast<std::size_t>(count) * bitmap_.width * 3,
                bitmap_.Pixel(0, first));
      return true;
    }
    const int width = image_.GetWidth();
    for (int r = 0; r < count; ++r) {
      for (int x = 0; x < width; ++x, exported += 4) {
        image_.SetColor(x, first + r, exported[0] | (exported[1] << 8) | (exported[2] << 16));
        image_.SetAlpha(x, first + r, exported[3]);
      }
    }
    return true;
  }
  bool Finish(std::string& error) override {
    switch (format_) {
      case StreamFormat::Tif: {
        const TifFileFacade writer{std::string(korvana::kProgramName),
                                   std::string(korvana::kVersionText)};
        return writer.Write(fileName_, image_, error);
      }
      case StreamFormat::Bmp: return BmpFile::Write(fileName_, bitmap_, error);
      case StreamFormat::Png: return PngFile::Write(fileName_, bitmap_, error, documentText_);
    }
    return false;
  }

 private:
  StreamFormat format_;
  std::string fileName_;
  std::string documentText_;
  Bitmap24 bitmap_;
  TifImage image_;
};

class StreamSink : public RowSink {
 public:
  explicit StreamSink(std::unique_ptr<PictureStream> stream) : stream_(std::move(stream)) {}
  bool WantsDisplay() const override { return stream_->Channels() == 3; }
  bool WantsExport() const override { return stream_->Channels() == 4; }
  bool Write(int first, int count, const std::uint8_t* display, const std::uint8_t* exported,
             std::string& error) override {
    return stream_->WriteRows(first, count, display ? display : exported, error);
  }
  bool Finish(std::string& error) override { return stream_->Finish(error); }

 private:
  std::unique_ptr<PictureStream> stream_;
};

class BandSink : public RowSink {
 public:
  PosterBandWriter writer;
  bool WantsDisplay() const override { return true; }
  bool WantsExport() const override { return true; }
  bool Write(int, int count, const std::uint8_t* display, const std::uint8_t* exported,
             std::string& error) override {
    return writer.WriteRows(count, display, exported, error);
  }
  bool Finish(std::string& error) override { return writer.Finish(error); }
};

// Memory of one pixel row in a band: its samples' planes and its display and export pixels.
std::uint64_t RowBytes(const TFractalContent& content, bool pictures, bool display, bool exported) {
  const std::uint64_t samplesWide = static_cast<std::uint64_t>(content.Fractal.XResolution.GetValue());
  const int g = std::max(1, content.View.ValuesPerPixel.GetValue());
  const bool thirdPlane = pictures || content.Fractal.MaxCycle.GetValue() > 1;
  const std::uint64_t width = samplesWide / static_cast<std::uint64_t>(g);
  return samplesWide * static_cast<std::uint64_t>(g) * (thirdPlane ? 8u : 4u) +
         width * ((display ? 3u : 0u) + (exported ? 9u : 0u));
}

// Rows per band within budget, also bounded by the samples one result array may hold; 0 when
// not one row fits.
int BandRowsWithin(std::uint64_t budget, std::uint64_t rowBytes, std::uint64_t rowSamples,
                   int rows) {
  std::uint64_t fit = rowBytes == 0 ? static_cast<std::uint64_t>(rows) : budget / rowBytes;
  fit = std::min(fit, kMaxBandSamples / std::max<std::uint64_t>(rowSamples, 1));
  return static_cast<int>(std::min<std::uint64_t>(fit, static_cast<std::uint64_t>(rows)));
}

bool PicturesActive(TFractalContent& content) {
  content.Bitmaps.ResolveUses();
  return TBitmapMapper(content.Bitmaps).IsActive();
}

// The part of the budget for samples and pixels: a sixteenth stays for the program itself (its
// code, the engine's work arrays, the file writers' buffers).
std::uint64_t Budget(std::uint64_t memoryBytes) {
  const std::uint64_t budget = memoryBytes != 0 ? memoryBytes : DefaultPosterMemory();
  return budget - budget / 16;
}

bool PlanRows(int width, int height, int first, int end, std::uint64_t rowBytes,
              std::uint64_t rowSamples, std::uint64_t budget, bool bandFile, StreamFormat format,
              const std::string& output, PosterPlan& plan, std::string& error) {
  plan.width = width;
  plan.height = height;
  plan.rowBytes = rowBytes;
  const int rows = end - first;
  // Whole and in memory when the picture and a band of at least one row fit and the normal
  // writer can store it. The normal writers encode the whole file in memory besides the picture:
  // TIFF 5 + 4 bytes per pixel, BMP 3 + 3, PNG 3 + 3 and its filtered rows.
  const unsigned perPixel = format == StreamFormat::Tif ? 9u : format == StreamFormat::Bmp ? 6u : 7u;
  const std::uint64_t pictureBytes =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * perPixel;
  std::string ignored;
  if (!bandFile && pictureBytes < budget &&
      PictureFile::CheckExportSize(output, width, height, ignored)) {
    plan.bandRows = BandRowsWithin(budget - pictureBytes, rowBytes, rowSamples, rows);
    plan.inMemory = plan.bandRows > 0;
  }
  if (!plan.inMemory) plan.bandRows = BandRowsWithin(budget, rowBytes, rowSamples, rows);
  if (plan.bandRows <= 0) {
    error = Prefix(output) + "The memory budget of " + Megabytes(budget) +
            " is too small: one row of pixels needs " + Megabytes(rowBytes) + ".";
    return false;
  }
  return true;
}

// Renders pixel rows [first, first + count) of the planned picture into the sink's buffers.
class BandRenderer {
 public:
  BandRenderer(TFractalContent& content, const PosterJob& job, int threads)
      : content_(content), job_(job), threads_(threads),
        renderer_(content.View, content.Fractal.MaxCycle.GetValue()) {
    mapper_ = std::make_unique<TBitmapMapper>(content.Bitmaps);
    if (!mapper_->IsActive()) mapper_.reset();
  }

  bool Render(int first, int count, int width, RowSink& sink, double done, double total,
              std::string& error) {
    const int g = renderer_.ValuesPerPixel();
    TKernelParams params = TKernelParams::FromProps(content_.Fractal);
    params.firstRow = first * g;
    params.bandRows = count * g;
    auto result = TFractResult::Create(params.xResolution, params.bandRows, params.maxCycle,
                                       mapper_ != nullptr, error);
    if (!result) return false;
    TThreadVolumeWriter engine;
    EngineCallbacks callbacks;
    const double columns = params.xResolution;
    callbacks.paint = [&](int computed) {
      if (job_.cancel && job_.cancel->load()) engine.RequestStop();
      if (job_.progress) job_.progress((done + count * (computed / columns)) / total);
    };
    if (!engine.Start(params, *result, mapper_.get(), threads_, std::move(callbacks), error)) {
      return false;
    }
    engine.Wait();
    if (job_.cancel && job_.cancel->load()) {
      error = "The export was cancelled.";
      return false;
    }
    if (!engine.LastError().empty() || result->GetComputed() < params.xResolution) {
      error = engine.LastError().empty() ? "The computation ended early." : engine.LastError();
      return false;
    }
    Bitmap24 display;
    std::vector<std::uint8_t> exported;
    if (sink.WantsDisplay()) {
      display = Bitmap24(width, count);
      ForEachRange(width, threads_, [&](int from, int to) {
        renderer_.PaintPixelColumns(*result, display, from, to);
      });
    }
    if (sink.WantsExport()) {
      TifImage image;
      if (!renderer_.RenderExport(*result, image, error, threads_)) return false;
      result.reset();
      exported.resize(static_cast<std::size_t>(width) * count * 4);
      for (std::size_t i = 0; i < image.Colors().size(); ++i) {
        const std::uint32_t c = image.Colors()[i];
        exported[4 * i] = c & 0xFF;
        exported[4 * i + 1] = (c >> 8) & 0xFF;
        exported[4 * i + 2] = (c >> 16) & 0xFF;
        exported[4 * i + 3] = image.Alpha()[i];
      }
    }
    return sink.Write(first, count, display.rgb.empty() ? nullptr : display.rgb.data(),
                      exported.empty() ? nullptr : exported.data(), error);
  }

 private:
  TFractalContent& content_;
  const PosterJob& job_;
  int threads_;
  TResultRenderer renderer_;
  std::unique_ptr<TBitmapMapper> mapper_;
};

std::unique_ptr<RowSink> OpenSink(const PosterJob& job, const PosterPlan& plan, StreamFormat format,
                                  int first, int end, std::string& error) {
  if (job.bandFile) {
    auto sink = std::make_unique<BandSink>();
    PosterBandHeader header{plan.width, plan.height, first, end - first, job.documentText};
    if (!sink->writer.Open(job.output, header, error)) return nullptr;
    return sink;
  }
  if (plan.inMemory) {
    return std::make_unique<MemorySink>(format, job.output, plan.width, plan.height,
                                        job.documentText);
  }
  auto stream = OpenPictureStream(format, job.output, plan.width, plan.height, plan.bandRows,
                                  job.documentText, error);
  if (!stream) return nullptr;
  return std::make_unique<StreamSink>(std::move(stream));
}

}  // namespace

bool ApplyPosterSize(TFractalContent& content, int width, int height, int supersample,
                     std::string& error) {
  const int g = supersample > 0 ? supersample : std::max(1, content.View.ValuesPerPixel.GetValue());
  if (width <= 0 || height <= 0) {
    error = "The picture size must be at least 1 x 1 pixels.";
    return false;
  }
  const std::int64_t samplesWide = std::int64_t{width} * g, samplesHigh = std::int64_t{height} * g;
  if (samplesWide > kMaxSide || samplesHigh > kMaxSide) {
    error = "A picture of " + std::to_string(width) + " x " + std::to_string(height) +
            " pixels with " + std::to_string(g) + " x " + std::to_string(g) +
            " samples per pixel has more than 2147483647 samples per side.";
    return false;
  }
  content.Fractal.XResolution.SetValue(static_cast<std::int32_t>(samplesWide));
  content.Fractal.YResolution.SetValue(static_cast<std::int32_t>(samplesHigh));
  content.View.ValuesPerPixel.SetValue(g);
  return true;
}

std::uint64_t DefaultPosterMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return std::uint64_t{256} << 20;
  return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4;
}

bool PlanPoster(const TFractalContent& content, const PosterJob& job, PosterPlan& plan,
                std::string& error) {
  plan = PosterPlan{};
  StreamFormat format = StreamFormat::Tif;
  if (!job.bandFile && !ChooseStreamFormat(job.output, format, error)) return false;
  const int g = std::max(1, content.View.ValuesPerPixel.GetValue());
  const int width = content.Fractal.XResolution.GetValue() / g;
  const int height = content.Fractal.YResolution.GetValue() / g;
  if (width <= 0 || height <= 0) {
    error = Prefix(job.output) +
            "The picture has no pixels: ValuesPerPixel is larger than the resolution.";
    return false;
  }
  const int end = job.endRow > 0 ? job.endRow : height;
  if (job.firstRow < 0 || job.firstRow >= end || end > height) {
    error = "The rows " + std::to_string(job.firstRow) + ":" + std::to_string(end) +
            " are not within the picture's " + std::to_string(height) + " rows.";
    return false;
  }
  std::string reason;
  if (!job.bandFile && !CheckStreamable(format, width, height, reason)) {
    error = Prefix(job.output) + reason;
    return false;
  }
  TFractalContent copy = content;
  const bool pictures = PicturesActive(copy);
  const bool display = job.bandFile || format != StreamFormat::Tif;
  const bool exported = job.bandFile || format == StreamFormat::Tif;
  const std::uint64_t rowSamples =
      static_cast<std::uint64_t>(content.Fractal.XResolution.GetValue()) * static_cast<std::uint64_t>(g);
  return PlanRows(width, height, job.firstRow, end, RowBytes(content, pictures, display, exported),
                  rowSamples, Budget(job.memoryBytes), job.bandFile, format, job.output, plan,
                  error);
}

bool RenderPoster(TFractalContent& content, const PosterJob& job, std::string& error) {
  PosterPlan plan;
  if (!PlanPoster(content, job, plan, error)) return false;
  StreamFormat format = StreamFormat::Tif;
  if (!job.bandFile) ChooseStreamFormat(job.output, format, error);
  const int first = job.firstRow;
  const int end = job.endRow > 0 ? job.endRow : plan.height;
  content.Bitmaps.ResolveUses();
  std::string reason;
  auto sink = OpenSink(job, plan, format, first, end, reason);
  if (!sink) {
    error = Prefix(job.output) + reason;
    return false;
  }
  BandRenderer bands(content, job, job.threads);
  const double total = end - first;
  for (int row = first; row < end; row += plan.bandRows) {
    const int count = std::min(plan.bandRows, end - row);
    if (!bands.Render(row, count, plan.width, *sink, row - first, total, reason)) {
      error = reason == "The export was cancelled." ? reason : Prefix(job.output) + reason;
      return false;  // the sink's temporary file goes with it
    }
  }
  if (!sink->Finish(reason)) {
    error = Prefix(job.output) + reason;
    return false;
  }
  if (job.progress) job.progress(1.0);
  return true;
}

bool RenderPoster(const TFractalContent& content, int width, int height, int supersample,
                  const std::string& output, const std::function<void(double)>& progress,
                  const std::atomic<bool>* cancel, std::string& error) {
  TFractalContent copy = content;
  if (!ApplyPosterSize(copy, width, height, supersample, error)) {
    error = Prefix(output) + error;
    return false;
  }
  PosterJob job;
  job.output = output;
  job.progress = progress;
  job.cancel = cancel;
  job.documentText = BuildFractalDocument(copy)->WriteXMLString();
  return RenderPoster(copy, job, error);
}

bool AssemblePoster(const std::string& output, const std::vector<std::string>& bandFiles,
                    std::uint64_t memoryBytes, const std::function<void(double)>& progress,
                    std::string& error) {
  StreamFormat format;
  if (!ChooseStreamFormat(output, format, error)) return false;
  if (bandFiles.empty()) {
    error = "No band files to assemble.";
    return false;
  }
  std::vector<std::unique_ptr<PosterBandReader>> readers;
  std::multimap<int, PosterBandReader*> byRow;
  for (const std::string& name : bandFiles) {
    readers.push_back(std::make_unique<PosterBandReader>());
    if (!readers.back()->Open(name, error)) return false;
    const PosterBandHeader& h = readers.back()->Header();
    const PosterBandHeader& h0 = readers.front()->Header();
    if (h.width != h0.width || h.height != h0.height || h.documentText != h0.documentText) {
      error = "The band file \"" + name + "\" belongs to another picture than \"" +
              bandFiles.front() + "\" (another document or size).";
      return false;
    }
    byRow.emplace(h.first, readers.back().get());
  }
  const PosterBandHeader& header = readers.front()->Header();
  int next = 0;
  for (const auto& [first, reader] : byRow) {
    const PosterBandHeader& h = reader->Header();
    if (first > next) {
      error = "The rows " + std::to_string(next) + " to " + std::to_string(first - 1) +
              " are in no band file.";
      return false;
    }
    if (first < next) {
      error = "The rows " + std::to_string(first) + " to " + std::to_string(next - 1) +
              " are in more than one band file.";
      return false;
    }
    next = h.first + h.count;
  }
  if (next < header.height) {
    error = "The rows " + std::to_string(next) + " to " + std::to_string(header.height - 1) +
            " are in no band file.";
    return false;
  }
  std::string reason;
  if (!CheckStreamable(format, header.width, header.height, reason)) {
    error = Prefix(output) + reason;
    return false;
  }
  // Bands are read a slice at a time: a slice of rows of 7 bytes per pixel within the budget.
  const std::uint64_t budget = Budget(memoryBytes);
  PosterPlan plan;
  if (!PlanRows(header.width, header.height, 0, header.height,
                static_cast<std::uint64_t>(header.width) * 7, 0, budget, false, format, output,
                plan, error)) {
    return false;
  }
  PosterJob job;
  job.output = output;
  job.documentText = header.documentText;
  auto sink = OpenSink(job, plan, format, 0, header.height, reason);
  if (!sink) {
    error = Prefix(output) + reason;
    return false;
  }
  const std::size_t width = static_cast<std::size_t>(header.width);
  for (const auto& [first, reader] : byRow) {
    const int count = reader->Header().count;
    for (int done = 0; done < count; done += plan.bandRows) {
      const int rows = std::min(plan.bandRows, count - done);
      std::vector<std::uint8_t> display(sink->WantsDisplay() ? width * rows * 3 : 0);
      std::vector<std::uint8_t> exported(sink->WantsExport() ? width * rows * 4 : 0);
      if (!reader->ReadRows(rows, display.empty() ? nullptr : display.data(),
                            exported.empty() ? nullptr : exported.data(), error)) {
        return false;
      }
      if (!sink->Write(first + done, rows, display.empty() ? nullptr : display.data(),
                       exported.empty() ? nullptr : exported.data(), reason)) {
        error = Prefix(output) + reason;
        return false;
      }
      if (progress) progress(static_cast<double>(first + done + rows) / header.height);
    }
  }
  if (!sink->Finish(reason)) {
    error = Prefix(output) + reason;
    return false;
  }
  return true;
}
