#pragma once

#include <string>
#include <string_view>

class Interaction;
class TFractResult;
class TFractViewProps;

// Picture export of a fractal: "tif" (the whole result rendered with its opacity as alpha),
// "bmp" or "png" (the off-screen bitmap as the window shows it); the extension is compared
// exactly. A "png" carries documentText (the document's file text) when it is not empty, so the
// picture can be opened as the fractal it shows.
// When the picture is not completely painted, asks "Do you want to export the unfinished
// bitmap?" first; No ends the export with success and nothing written. On failure returns false
// with the message (nothing shown). A result without bitmap, or with one made for other view
// settings (see BitmapAgrees), counts as unfinished and writes no "bmp". A picture larger than
// the memory allows fails with "Not enough memory for a picture of <w> x <h> pixels.".
bool ExportPicture(const TFractResult* result, const TFractViewProps& view, int maxCycle,
                   const std::string& fileName, Interaction& ui, std::string& error,
                   std::string_view documentText = {});

// Writes a finished picture without asking: "tif" and "bmp" as above and, when allowPng, "png"
// (the off-screen bitmap). Used by the headless renderer. A "tif" is rendered on `threads`
// threads (0: one per hardware thread).
bool WritePicture(const TFractResult& result, const TFractViewProps& view, int maxCycle,
                  const std::string& fileName, bool allowPng, std::string& error,
                  std::string_view documentText = {}, int threads = 1);
