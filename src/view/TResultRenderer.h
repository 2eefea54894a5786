#pragma once

#include <cstdint>
#include <functional>
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
  void PaintPixelColumns(const TFractResult& result, Bitmap24& bitmap, int first, int end) const;

  // Renders the whole result into image (created here with the bitmap's size and an alpha plane):
  // the sample colours with their opacity (and the pictures' opacity) as alpha, without the
  // background colour. Only the computed columns are read, so a running computation may export:
  // the samples of the other columns are rendered as the maximum depth without picture colour,
  // as a new array holds them.
  void RenderExport(const TFractResult& result, TifImage& image) const;

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
  // The channels of the pixels of pixel column px (height pixels): one sample per pixel, or the
  // g x g samples of each pixel divided by g twice and summed, column by column.
  void PixelColumn(const TFractResult& result, int px, int height, int columns, bool forExport,
                   std::vector<TSampleColor>& samples, std::vector<Channels>& pixels) const;

  const TFractViewProps& view_;
  TSampleColorer colorer_;
  int valuesPerPixel_;
  double background_[3];
};

// The pixel size of the bitmap of a result: XResolution / ValuesPerPixel by
// YResolution / ValuesPerPixel.
int PixelWidth(const TFractResult& result, const TFractViewProps& view);
int PixelHeight(const TFractResult& result, const TFractViewProps& view);

// Replaces the result's off-screen bitmap by a new black one of the pixel size.
void NewBitmap(TFractResult& result, const TFractViewProps& view);

// Paints the pixel columns that the computed count allows and the painted count has not yet
// covered, then sets the painted count to the computed count. Nothing happens without a bitmap.
// refresh (may be empty) runs after every pixel column whose index is a multiple of 20, so a
// window can show the picture growing.
void PaintNewColumns(TFractResult& result, const TFractViewProps& view, std::int32_t maxCycle,
                     const std::function<void()>& refresh = {});
