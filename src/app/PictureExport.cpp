#include "app/PictureExport.h"

#include "common/FileNames.h"
#include "common/Interaction.h"
#include "common/Version.h"
#include "files/BmpFile.h"
#include "files/PictureFile.h"
#include "files/PngFile.h"
#include "files/TifFileFacade.h"
#include "files/TifImage.h"
#include "fractal/TFractResult.h"
#include "view/TResultRenderer.h"

namespace {

std::string Prefix(const std::string& fileName) {
  return "Cannot export file \"" + fileName + "\". ";
}

bool IsPng(const std::string& fileName) {
  std::string name, extension;
  SplitFileExtension(fileName, name, extension);
  return extension == "png";
}

bool WriteTif(const TFractResult& result, const TFractViewProps& view, int maxCycle,
              const std::string& fileName, std::string& error, int threads) {
  TifImage image;
  std::string reason;
  if (!TResultRenderer(view, maxCycle).RenderExport(result, image, reason, threads)) {
    error = Prefix(fileName) + reason;
    return false;
  }
  TifFileFacade writer{std::string(korvana::kProgramName), std::string(korvana::kVersionText)};
  return writer.Write(fileName, image, error);
}

// The bitmap writers report the system's reason; the message names the file like the others.
// A bitmap made for other settings than the view's (ValuesPerPixel changed since) counts as
// not painted.
bool WriteBitmap(const TFractResult& result, const TFractViewProps& view,
                 const std::string& fileName, bool png, std::string& error,
                 std::string_view documentText = {}) {
  const Bitmap24* bitmap = result.GetBitmap();
  if (bitmap == nullptr || !BitmapAgrees(result, view, *bitmap)) {
    error = Prefix(fileName) + "The picture has not been painted.";
    return false;
  }
  std::string reason;
  bool ok =
      png ? PngFile::Write(fileName, *bitmap, reason, documentText)
          : BmpFile::Write(fileName, *bitmap, reason);
  if (!ok) error = Prefix(fileName) + reason;
  return ok;
}

// With more samples per pixel than the fractal has columns or rows, the picture has no pixels;
// a file without pixels is refused by every picture reader, so none is written.
bool HasPixels(const TFractResult& result, const TFractViewProps& view, const std::string& fileName,
               std::string& error) {
  if (PixelWidth(result, view) > 0 && PixelHeight(result, view) > 0) return true;
  error =
      Prefix(fileName) + "The picture has no pixels: ValuesPerPixel is larger than the resolution.";
  return false;
}

}  // namespace

bool WritePicture(const TFractResult& result, const TFractViewProps& view, int maxCycle,
                  const std::string& fileName, bool allowPng, std::string& error,
                  std::string_view documentText, int threads) {
  if (allowPng && IsPng(fileName)) {
    return HasPixels(result, view, fileName, error) &&
           WriteBitmap(result, view, fileName, true, error, documentText);
  }
  PictureFormat format;
  if (!PictureFile::ChooseExportFormat(fileName, format, error)) return false;
  if (!HasPixels(result, view, fileName, error)) return false;
  if (format == PictureFormat::Tif) {
    return WriteTif(result, view, maxCycle, fileName, error, threads);
  }
  return WriteBitmap(result, view, fileName, false, error);
}

bool ExportPicture(const TFractResult* result, const TFractViewProps& view, int maxCycle,
                   const std::string& fileName, Interaction& ui, std::string& error,
                   std::string_view documentText) {
  const bool finished = result != nullptr && result->GetBitmap() != nullptr &&
                        BitmapAgrees(*result, view, *result->GetBitmap()) &&
                        result->GetPainted() >= result->GetWidth();
  if (!finished &&
      ui.AskYesNo("Bitmap is not Finished", "Do you want to export the unfinished bitmap?") !=
          Interaction::Answer::Yes) {
    return true;
  }
  if (result == nullptr) {
    // A refused name is the more useful message: it is wrong whatever is computed.
    PictureFormat format;
    if (!IsPng(fileName) && !PictureFile::ChooseExportFormat(fileName, format, error)) return false;
    error = Prefix(fileName) + "The fractal has not been computed.";
    return false;
  }
  return WritePicture(*result, view, maxCycle, fileName, true, error, documentText, 0);
}
