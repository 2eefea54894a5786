#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/TSampleColorer.h"

class TFractResult;
class TifImage;
struct Bitmap24;

// Turns a result array into pixels: the colour of each sample through the view properties,
// blended with the view's background by its opacity and overlaid with the sample's picture colour
// when the array has one, averaged over ValuesPerPixel x ValuesPerPixel samples per pixel.
// The same code paints windows, renders headless and exports. Refers to view, which must stay
// unchanged while the renderer is used.
class TResultRenderer {
 public:
  TResultRenderer(const TFractViewProps& view, std::int32_t maxCycle);

  // Paints pixel columns [first, end) of bitmap (rows 0 .. bitmap height - 1) from result.
  // Does nothing unless the bitmap has the pixel size of result at this renderer's
  // ValuesPerPixel (a bitmap made for other settings would be read past the result's planes).
  void PaintPixelColumns(const TFractResult& result, Bitmap24& bitmap, int first, int end) const;

  // Renders the whole result into image (created here with the bitmap's size and an alpha plane):
  // the sample colours with their opacity (and the pictures' opacity) as alpha, without the
  // background colour. Only the computed columns are read, so a running computation may export:
  // the samples of the other columns are rendered as the maximum depth without picture colour,
  // as a new array holds them. Returns false with "Not enough memory ..." and an empty image
  // when the image is larger than PictureMemoryLimit or cannot be allocated. The pixel columns
  // are rendered on `threads` threads (0: one per hardware thread).
  bool RenderExport(const TFractResult& result, TifImage& image, std::string& error,
                    int threads = 1) const;
  // The same without the reason.
  bool RenderExport(const TFractResult& result, TifImage& image) const;

  int ValuesPerPixel() const { return valuesPerPixel_; }

 private:
  struct Channels {
    double red, green, blue, opacity;
  };
  // The sample colours of rows 0 .. out.size() - 1 of sample column x. A column at or beyond
  // `columns` is not read: its samples are coloured as a new array holds them (maximum depth).
  void ColorColumn(const TFractResult& result, int x, int columns, bool interpolated,
                   std::vector<TSampleColor>& out) const;
  // The displayed channels of a sample: background blend, then the picture blend.
  Channels Display(const TSampleColor& c, std::uint32_t picture, bool hasPicture) const;
  // The exported channels of a sample: picture blend, combined opacity, no background.
  Channels Export(const TSampleColor& c, std::uint32_t picture, bool hasPicture) const;
  // The colour word (red in the low byte) of exported channels.
  static std::uint32_t ExportColor(const Channels& c);
  // PaintPixelColumns with one sample per pixel (first and end within the bitmap).
  void PaintSampleColumns(const TFractResult& result, Bitmap24& bitmap, int first, int end) const;
  // The channels of the pixels of pixel column px (height pixels): one sample per pixel, or the
  // g x g samples of each pixel divided by g twice and summed, column by column.
  void PixelColumn(const TFractResult& result, int px, int height, int columns, bool forExport,
                   std::vector<TSampleColor>& samples, std::vector<Channels>& pixels) const;
  // sums[py] += channels / g / g for the samples py * g .. py * g + g - 1 of each of the pixels
  // (samples holding channels), four channels at a time.
  static void AddSampleShares(const TSampleColor* samples, int pixels, int g, Channels* sums);

  const TFractViewProps& view_;
  TSampleColorer colorer_;
  int valuesPerPixel_;
  double background_[3];
  // The pixel of a sample at the maximum depth, for the vector painter.
  PixelVector::MaxDepthPixel maxDepthPixel_;
};

// The pixel size of the bitmap of a result: XResolution / ValuesPerPixel by
// YResolution / ValuesPerPixel.
int PixelWidth(const TFractResult& result, const TFractViewProps& view);
int PixelHeight(const TFractResult& result, const TFractViewProps& view);

// Whether bitmap is what NewBitmap makes for result under view: PixelWidth x PixelHeight pixels
// with all their bytes. Painting and bitmap export use no other (after a change of
// ValuesPerPixel the bitmap must be made anew).
bool BitmapAgrees(const TFractResult& result, const TFractViewProps& view, const Bitmap24& bitmap);

// Replaces the result's off-screen bitmap by a new black one of the pixel size. The old bitmap
// is released first. When the new one is larger than PictureMemoryLimit or cannot be allocated,
// returns false with "Not enough memory for a picture of <w> x <h> pixels." and leaves the
// result without a bitmap (painting then does nothing).
bool NewBitmap(TFractResult& result, const TFractViewProps& view, std::string& error);
// The same without the reason.
bool NewBitmap(TFractResult& result, const TFractViewProps& view);

// Bitmaps and export images larger than this many bytes are refused before anything is
// allocated. By default the smaller of the physical memory and the process's address-space
// limit (0 when neither is known: no limit beyond what the allocation itself allows).
std::uint64_t PictureMemoryLimit();
// Sets the limit in bytes; 0 restores the default. For tests and owners with a memory budget.
void SetPictureMemoryLimit(std::uint64_t bytes);

// The text for a picture that cannot be had.
std::string PictureNoMemoryText(int width, int height);

// Paints the pixel columns that the computed count allows and the painted count has not yet
// covered, then sets the painted count to the computed count. Nothing happens without a bitmap
// or with one that does not agree with result and view (BitmapAgrees).
// refresh (may be empty) runs after every pixel column whose index is a multiple of 20, so a
// window can show the picture growing. With threads other than 1 (0: one per hardware thread)
// the columns are painted on that many threads at once, and refresh is not called.
void PaintNewColumns(TFractResult& result, const TFractViewProps& view, std::int32_t maxCycle,
                     const std::function<void()>& refresh = {}, int threads = 1);
