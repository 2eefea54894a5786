#include "cli/RenderCommand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <new>
#include <string>

#include "app/FractalDocumentFile.h"
#include "app/PictureExport.h"
#include "app/PosterRender.h"
#include "view/ViewGeometry.h"
#include "app/TUnitFract.h"
#include "cli/ConsoleInteraction.h"
#include "cli/ProgressBar.h"
#include "common/Assert.h"
#include "common/FileNames.h"
#include "common/Messages.h"
#include "common/SafeFile.h"
#include "files/PictureFile.h"
#include "files/XMLItem.h"

namespace {

const char* const kReadOnly =
    "Operating System cannot open file for writing, maybe the file is readonly.";

int Fail(std::FILE* err, const std::string& message) {
  std::fprintf(err, "korvana-render: %s\n", message.c_str());
  return 1;
}

std::string ExportPrefix(const std::string& fileName) {
  return "Cannot export file \"" + fileName + "\". ";
}

std::string SavePrefix(const std::string& fileName) {
  return "Cannot save Fractal File \"" + fileName + "\": ";
}

std::string ExtensionOf(const std::string& fileName) {
  std::string name, extension;
  SplitFileExtension(fileName, name, extension);
  return extension;
}

// The folder a save of fileName creates its file in (links followed): "." for a bare name.
std::string SaveFolder(const std::string& fileName) {
  const std::string target = ResolveSaveTarget(fileName);
  const auto slash = target.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : target.substr(0, slash);
}

// Why fileName cannot be saved, checked before anything is computed: its folder is missing or
// not writable, it is a folder, or it is an existing read-only file. "" when nothing is known
// to stand in the way.
std::string SaveObstacle(const std::string& fileName) {
  const std::string target = ResolveSaveTarget(fileName);
  struct stat st {};
  // A device or FIFO is written directly: its folder needs no room for a temporary file.
  if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return {};
  const std::string folder = SaveFolder(fileName);
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return "The folder \"" + folder + "\" does not exist.";
  }
  if (::access(folder.c_str(), W_OK | X_OK) != 0) {
    return "The folder \"" + folder + "\" is not writable.";
  }
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "It is a folder.";
    if (S_ISREG(st.st_mode) && !PermissionBitsAllowWriting(target)) return kReadOnly;
  }
  return {};
}

// Whether two names reach the same file: the same name once links and "." / ".." are resolved,
// or the same inode when both exist (hard links).
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ignored;
  const auto canonicalA = std::filesystem::weakly_canonical(ResolveSaveTarget(a), ignored);
  const auto canonicalB = std::filesystem::weakly_canonical(ResolveSaveTarget(b), ignored);
  if (!canonicalA.empty() && canonicalA == canonicalB) return true;
  struct stat stA {}, stB {};
  return ::stat(a.c_str(), &stA) == 0 && ::stat(b.c_str(), &stB) == 0 &&
         stA.st_dev == stB.st_dev && stA.st_ino == stB.st_ino;
}

// The checks on the output names that need no document: extensions, folders, read-only files,
// and the picture and document naming one file.
bool CheckTargets(const RenderOptions& options, std::string& error) {
  // A band file (--rows) may have any name.
  if (options.endRow == 0 && ExtensionOf(options.output) != "png") {
    PictureFormat format;
    if (!PictureFile::ChooseExportFormat(options.output, format, error)) return false;
  }
  if (std::string obstacle = SaveObstacle(options.output); !obstacle.empty()) {
    error = ExportPrefix(options.output) + obstacle;
    return false;
  }
  if (options.saveDocument.empty()) return true;
  if (ExtensionOf(options.saveDocument) != "kvf") {
    error = SavePrefix(options.saveDocument) + "The name must end in \".kvf\".";
    return false;
  }
  if (std::string obstacle = SaveObstacle(options.saveDocument); !obstacle.empty()) {
    error = SavePrefix(options.saveDocument) + obstacle;
    return false;
  }
  if (SameFile(options.output, options.saveDocument)) {
    error = "The picture \"" + options.output + "\" and the document \"" +
            options.saveDocument + "\" are the same file.";
    return false;
  }
  return true;
}

// The checks that need the document: the picture has pixels and its writer can store it.
bool CheckPicture(const TFractalContent& content, const std::string& output, std::string& error) {
  const int valuesPerPixel = std::max(1, content.View.ValuesPerPixel.GetValue());
  const int width = content.Fractal.XResolution.GetValue() / valuesPerPixel;
  const int height = content.Fractal.YResolution.GetValue() / valuesPerPixel;
  if (width <= 0 || height <= 0) {
    error = ExportPrefix(output) +
            "The picture has no pixels: ValuesPerPixel is larger than the resolution.";
    return false;
  }
  return PictureFile::CheckExportSize(output, width, height, error);
}

// Reads the document when it is a regular file; a FIFO or device is refused before it could
// block the reader.
bool LoadDocument(TUnitFract& document, const std::string& fileName, std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (!CheckRegularFile(fileName, reason, &failure) && failure == FileFailure::NotRegular) {
    error = CannotReadFileText(fileName, "it is not a regular file.");
    return false;
  }
  if (!document.LoadDocument(error)) {
    error = CannotReadFileText(fileName, error);
    return false;
  }
  return true;
}

bool SaveDocument(const TFractalContent& content, const std::string& fileName,
                  std::string& error) {
  std::string reason;
  FileFailure failure = FileFailure::None;
  if (WriteFileAtomically(fileName, BuildFractalDocument(content)->WriteXMLString(), reason,
                          &failure)) {
    return true;
  }
  error = SavePrefix(fileName) +
          (failure == FileFailure::Write ? "Cannot write File: " + reason + "." : kReadOnly);
  return false;
}

// Computes the document on the engine and colours it once, on every worker, after the run: the
// workers never wait for painting, and a TIFF needs no bitmap (it is rendered from the result).
bool Compute(TUnitFract& document, const RenderOptions& options, std::FILE* err,
             bool showProgress, std::string& error) {
  ProgressBar progress(err);
  TFractComputation::Listener listener;
  listener.deferPainting = true;
  listener.keepCycles = false;
  const long long width = document.Content.Fractal.XResolution.GetValue();
  if (showProgress) {
    listener.painted = [&progress, width](int computed) { progress.Update(computed, width); };
  }
  if (!document.Computation.Restart(document.Content, options.threads, std::move(listener),
                                    error)) {
    return false;
  }
  PictureFormat format = PictureFormat::Bmp;
  const bool bitmap = ExtensionOf(options.output) == "png" ||
                      (PictureFile::ChooseExportFormat(options.output, format, error) &&
                       format != PictureFormat::Tif);
  // Allocated before computing, so that a picture too large fails at once.
  if (bitmap && !document.Computation.NewBitmap(error)) {
    document.Computation.Stop();
    error = ExportPrefix(options.output) + error;
    return false;
  }
  document.Computation.Wait();
  if (showProgress) progress.Finish();
  error = document.Computation.LastError();
  if (!error.empty()) return false;
  try {
    if (bitmap) document.Computation.PaintAllColumns(options.threads);
  } catch (const std::bad_alloc&) {
    error = ExportPrefix(options.output) + "Not enough memory for painting the picture.";
    return false;
  }
  return true;
}

// Renders through the band renderer: a band file, or a picture whose samples or pixels do not
// fit the memory budget at once.
bool RenderBands(TUnitFract& document, const RenderOptions& options, std::FILE* err,
                 bool showProgress, std::string& error) {
  ProgressBar progress(err);
  PosterJob job;
  job.output = options.output;
  job.memoryBytes = options.memoryMB << 20;
  job.threads = options.threads;
  job.firstRow = options.firstRow;
  job.endRow = options.endRow;
  job.bandFile = options.endRow > 0;
  job.documentText = BuildFractalDocument(document.Content)->WriteXMLString();
  if (showProgress) {
    job.progress = [&progress](double done) {
      progress.Update(static_cast<long long>(done * 1000), 1000);
    };
  }
  const bool ok = RenderPoster(document.Content, job, error);
  if (ok && showProgress) progress.Finish();
  return ok;
}

int Assemble(const RenderOptions& options, std::FILE* err, bool showProgress) {
  std::string error;
  if (!CheckTargets(options, error)) return Fail(err, error);
  ProgressBar progress(err);
  std::function<void(double)> report;
  if (showProgress) {
    report = [&progress](double done) { progress.Update(static_cast<long long>(done * 1000), 1000); };
  }
  if (!AssemblePoster(options.output, options.bands, options.memoryMB << 20, report, error)) {
    return Fail(err, error);
  }
  if (showProgress) progress.Finish();
  return 0;
}

int Render(const RenderOptions& options, std::FILE* err, bool showProgress,
           ConsoleInteraction& ui) {
  std::string error;
  if (options.assemble) return Assemble(options, err, showProgress);
  if (!CheckTargets(options, error)) return Fail(err, error);
  TUnitFract document(options.document.empty() ? "NONAME1" : "", options.document);
  if (!options.document.empty()) {
    if (!LoadDocument(document, options.document, error)) return Fail(err, error);
    // A picture that cannot be loaded has been reported; nothing is written, so an existing
    // output stays as it was.
    document.Content.Bitmaps.LoadPictures(options.document, ui);
    if (ui.Errors() > 0) return 1;
  }
  if (options.width > 0 &&
      !ApplyPosterSize(document.Content, options.width, options.height, options.supersample,
                       error)) {
    return Fail(err, ExportPrefix(options.output) + error);
  }
  PosterJob planned;
  planned.output = options.output;
  planned.memoryBytes = options.memoryMB << 20;
  planned.firstRow = options.firstRow;
  planned.endRow = options.endRow;
  planned.bandFile = options.endRow > 0;
  PosterPlan plan;
  // The band renderer serves runs that ask for a size, a budget or a band; without them a run
  // keeps the single computation and its limits.
  const bool posterRun = options.width > 0 || options.memoryMB > 0 || planned.bandFile;
  if (posterRun && !PlanPoster(document.Content, planned, plan, error)) return Fail(err, error);
  // Bands are needed for a band file and for pictures that do not fit the budget in one piece.
  const bool banded =
      posterRun && (planned.bandFile || !plan.inMemory || plan.bandRows < plan.height);
  if (!banded && !CheckPicture(document.Content, options.output, error)) return Fail(err, error);
  const TFractProps& props = document.Content.Fractal;
  if (!WithinPrecision(PlaneOf(props), props.XResolution.GetValue(), props.YResolution.GetValue())) {
    std::fprintf(err, "korvana-render: warning: %s: neighbouring samples of \"%s\" are closer "
                 "than doubles can tell apart; the picture will look blocky.\n",
                 kZoomLimitText, options.document.c_str());
  }
  if (banded) {
    if (!RenderBands(document, options, err, showProgress, error)) return Fail(err, error);
    if (!options.saveDocument.empty() &&
        !SaveDocument(document.Content, options.saveDocument, error)) {
      return Fail(err, error);
    }
    return 0;
  }
  if (!Compute(document, options, err, showProgress, error)) return Fail(err, error);
  const TFractResult& result = *document.Computation.Result();
  if (!WritePicture(result, document.Content.View, document.Content.Fractal.MaxCycle.GetValue(),
                    options.output, true, error,
                    BuildFractalDocument(document.Content)->WriteXMLString(), options.threads)) {
    // Every message names the file it is about.
    const std::string prefix = ExportPrefix(options.output);
    return Fail(err, error.rfind(prefix, 0) == 0 ? error : prefix + error);
  }
  if (!options.saveDocument.empty() &&
      !SaveDocument(document.Content, options.saveDocument, error)) {
    return Fail(err, error);
  }
  return 0;
}

}  // namespace

int RunRender(const RenderOptions& options, std::FILE* err, bool showProgress) {
  ConsoleInteraction ui(err);
  korvana::SetCheckInteraction(&ui);
  const int status = Render(options, err, showProgress, ui);
  korvana::SetCheckInteraction(nullptr);
  return status;
}
