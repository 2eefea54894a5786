#include "files/PictureFile.h"

#include "common/FileNames.h"
#include "files/BmpFile.h"
#include "files/PngFile.h"
#include "files/TifFileReader.h"
#include "files/TifFileWriter.h"
#include "files/TifImage.h"

namespace {

const char* const kNoExtension = "Cannot load pictures with filename without extensions.";

bool HasExtension(const std::string& fileName, std::string& extension) {
  std::string name;
  SplitFileExtension(fileName, name, extension);
  return name != fileName;
}

}  // namespace

bool PictureFile::ChooseExportFormat(const std::string& fileName, PictureFormat& format,
                                     std::string& error) {
  const std::string prefix = "Cannot export file \"" + fileName + "\". ";
  std::string extension;
  if (!HasExtension(fileName, extension)) {
    error = prefix + kNoExtension;
    return false;
  }
  if (extension == "tif") {
    format = PictureFormat::Tif;
  } else if (extension == "bmp") {
    format = PictureFormat::Bmp;
  } else {
    error = prefix + "Cannot export pictures to filename with extension \"" + extension + "\".";
    return false;
  }
  return true;
}

bool PictureFile::Load(const std::string& documentFile, const std::string& name, TifImage& image,
                       PictureFormat& format, std::string& resolvedName, std::string& error) {
  const std::string fileName = NormalizeSeparators(name);
  std::string extension;
  if (!HasExtension(fileName, extension)) {
    error = "Cannot load picture filename \"" + name + "\". " + kNoExtension;
    return false;
  }
  if (!IsAbsoluteFileName(fileName) && documentFile.empty()) {
    error = "Cannot load picture filename \"" + name + "\". " +
            "Cannot load pictures with relative filename, without filename for fractal.";
    return false;
  }
  const std::string resolved = ResolveFileName(documentFile, fileName);
  const std::string prefix = "Cannot load picture filename \"" + resolved + "\". ";
  if (extension == "tif") {
    std::string reason;
    if (!TifFileReader::Read(resolved, image, reason)) {
      error = prefix + reason;
      return false;
    }
    format = PictureFormat::Tif;
  } else if (extension == "bmp") {
    std::string reason;
    if (!BmpFile::Read(resolved, image, reason)) {
      error = prefix + reason;
      return false;
    }
    format = PictureFormat::Bmp;
  } else {
    error = prefix + "Cannot load pictures with filename with extension \"" + extension + "\".";
    return false;
  }
  resolvedName = resolved;
  return true;
}

bool PictureFile::CheckExportSize(const std::string& fileName, int width, int height,
                                  std::string& error) {
  std::string extension, reason;
  HasExtension(fileName, extension);
  bool ok = true;
  if (extension == "tif") {
    ok = TifFileWriter::CheckEncodable(width, height, true, reason);
  } else if (extension == "bmp") {
    ok = BmpFile::CheckEncodable(width, height, reason);
  } else if (extension == "png") {
    ok = PngFile::CheckEncodable(width, height, 3, reason);
  }
  if (!ok) error = "Cannot export file \"" + fileName + "\". " + reason;
  return ok;
}

std::string PictureSaveFailureText(FileFailure failure, const std::string& reason) {
  switch (failure) {
    case FileFailure::ReadOnly:
      return "Operating System cannot open file for writing, maybe the file is readonly.";
    case FileFailure::Write:
      return "Cannot write File: " + reason + ".";
    default:
      return "Cannot open File.";
  }
}

std::string PictureReadFailureText(FileFailure failure) {
  switch (failure) {
    case FileFailure::NotRegular:
      return "Cannot open File: it is not a regular file.";
    case FileFailure::TooLarge:
      return "Cannot open File: the file is too large.";
    default:
      return "Cannot open File.";
  }
}
