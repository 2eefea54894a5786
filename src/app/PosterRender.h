#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TFractalContent;

// Pictures of any size in bounded memory: the fractal is computed band by band of pixel rows
// (each band's samples bit-identical to the same rows of a full computation), each band coloured
// as the export colours it and written on. A picture that fits the memory budget is collected and
// written by the normal export writers, so it is byte for byte the normal export; a larger one is
// streamed (TIFF strips, BMP rows in place, PNG rows through libpng). A band of rows can also be
// written to a band file, and band files joined into the picture later (rendering on many
// machines). Nothing is left behind by a failed or cancelled run; every size and format limit is
// checked before any work.

// Sets XResolution x YResolution to width * supersample x height * supersample and
// ValuesPerPixel to supersample (0: keep the document's ValuesPerPixel), keeping the plane
// rectangle. False with a message, content unchanged, when a side is not positive or its samples
// pass 2^31 - 1.
bool ApplyPosterSize(TFractalContent& content, int width, int height, int supersample,
                     std::string& error);

// A quarter of the physical memory (256 MB when unknown).
std::uint64_t DefaultPosterMemory();

struct PosterJob {
  std::string output;               // .tif, .bmp or .png; with bandFile any name
  std::uint64_t memoryBytes = 0;    // budget for samples and pixels; 0: DefaultPosterMemory()
  int threads = 0;                  // engine workers; 0: all hardware threads
  int firstRow = 0, endRow = 0;     // pixel rows to render; endRow 0: to the bottom
  bool bandFile = false;            // write rows firstRow .. endRow - 1 as a band file
  std::string documentText;         // stored in PNG pictures and band files
  std::function<void(double)> progress;     // fraction done, 0 .. 1, on the calling thread
  const std::atomic<bool>* cancel = nullptr;  // set from any thread to end early
};

// How a picture is rendered within a budget.
struct PosterPlan {
  int width = 0, height = 0;      // pixels of the whole picture
  int bandRows = 0;               // pixel rows per band
  bool inMemory = false;          // collected whole and written by the normal writers
  std::uint64_t rowBytes = 0;     // memory of one pixel row of a band
};

// Plans the job for content (whose size is final): checks the output name, the rows, the
// format limits and that at least one pixel row fits the budget. False with the message.
bool PlanPoster(const TFractalContent& content, const PosterJob& job, PosterPlan& plan,
                std::string& error);

// Renders content (pictures of its bitmap uses loaded) as planned for job. False with the
// message, and the output untouched, on any failure or when cancelled ("The export was
// cancelled.").
bool RenderPoster(TFractalContent& content, const PosterJob& job, std::string& error);

// Joins band files into the picture output: the bands must come from one document and size
// and cover every row once, in any order. False with the message (naming the band file or the
// rows at fault) before anything is written.
bool AssemblePoster(const std::string& output, const std::vector<std::string>& bandFiles,
                    std::uint64_t memoryBytes, const std::function<void(double)>& progress,
                    std::string& error);

// The desktop program's "Export at Size...": renders a copy of content at width x height pixels
// with supersample x supersample samples per pixel into output (.tif, .bmp or .png), in bounded
// memory, without touching the caller's document or result. Meant for a worker thread; progress
// is called on it. False with a message for the user (also when cancelled).
bool RenderPoster(const TFractalContent& content, int width, int height, int supersample,
                  const std::string& output, const std::function<void(double)>& progress,
                  const std::atomic<bool>* cancel, std::string& error);
