#pragma once

#include <string>

#include "common/SafeFile.h"

class TifImage;

// The picture file formats, chosen by the extension after the last "." (compared exactly, so
// "x.TIF" is neither).
enum class PictureFormat { Tif, Bmp };

// Choosing picture files by extension, for exporting a fractal picture and for loading pictures
// for the bitmap mapping. Every failure returns false with the complete message.
class PictureFile {
 public:
  // The format to export fileName in. Messages start with "Cannot export file \"<fileName>\". ".
  static bool ChooseExportFormat(const std::string& fileName, PictureFormat& format,
                                 std::string& error);

  // Loads the picture that name refers to from a document stored in documentFile ("" for a
  // document without a file). Backslashes in name count as folder separators; a relative name is
  // resolved against the document's folder and returned in resolvedName. A BMP picture has no
  // alpha plane. Every message starts with "Cannot load picture filename \"<name>\". ", naming
  // the resolved file once it is known, followed by the reader's own text. On failure image is unchanged.
  static bool Load(const std::string& documentFile, const std::string& name, TifImage& image,
                   PictureFormat& format, std::string& resolvedName, std::string& error);

  // Whether the writer for the extension of fileName ("tif", "bmp" or "png") can store a picture
  // of width x height pixels; checked before a picture is computed. A "tif" export has an alpha
  // plane. Messages start with "Cannot export file \"<fileName>\". "; an unknown extension
  // passes (ChooseExportFormat names it).
  static bool CheckExportSize(const std::string& fileName, int width, int height,
                              std::string& error);
};

// The message of a picture writer whose save failed: "Cannot open File." when the file could not
// be created, "Operating System cannot open file for writing, maybe the file is readonly." for a
// read-only file, "Cannot write File: <reason>." when writing failed (a full disk).
std::string PictureSaveFailureText(FileFailure failure, const std::string& reason);

// The message of a picture reader that could not read its file: "Cannot open File.", with the
// reason added for a file that is no regular file (a FIFO, a device, a folder) or too large.
std::string PictureReadFailureText(FileFailure failure);
