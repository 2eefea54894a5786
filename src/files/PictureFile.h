#pragma once

#include <string>

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
  // alpha plane. TIFF reading errors are returned as the reader gives them; all other messages
  // start with "Cannot load picture filename \"<name>\". ", naming the resolved file once it is
  // known. On failure image is unchanged.
  static bool Load(const std::string& documentFile, const std::string& name, TifImage& image,
                   PictureFormat& format, std::string& resolvedName, std::string& error);
};
