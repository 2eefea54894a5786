#pragma once

#include <cstdint>
#include <vector>

class TColorPalette1D;
class TColorPalette1DItem;

// The rules of the palette editor without its widgets: which controls follow the current item's
// position, where Add puts a new item, and what the three preview strips show.

// Enabled controls for the current item at position x.
struct TPaletteItemEnabling {
  bool first = false, previous = false, colorPrevious = false;  // x > 0
  bool next = false, last = false, colorNext = false;          // x < 1
  bool add = true;
  bool remove = false;    // 0 < x < 1: the first and last items stay
  bool position = false;  // 0 < x < 1
  bool colorAfter = false;  // 0 < x < 1
};
TPaletteItemEnabling PaletteItemEnabling(double x);

// The position of an item added at current: halfway to its next item, or for the last item
// halfway between the item before it and itself.
double AddedItemPosition(const TColorPalette1D& palette, const TColorPalette1DItem& current);

// One column of a preview strip: the palette's colour q and transparency factor t there, looked
// up on the first item without wrapping or clamping.
struct TStripColumn {
  std::uint32_t color = 0;
  double transFactor = 0;
};
// The columns left + 1 .. right - 2 of a strip between left and right, column i at
// (i - (left + 1)) / ((right - 1) - (left + 1)). Empty for a strip narrower than 4 pixels, which
// has no room for a column between its frame lines (and would divide by zero).
std::vector<TStripColumn> StripColumns(const TColorPalette1D& palette, int left, int right);

// trunc((1 - t) × ground + t × color) per channel of two colour words.
std::uint32_t MixColor(std::uint32_t ground, std::uint32_t color, double t);

// The row where a curve strip between top and bottom turns from the checker to the colour:
// trunc((top + 1) + (1 - t) × ((bottom - 1) - (top + 1))).
int CurveRow(int top, int bottom, double t);

// The vertical layout of the three strips in a client area of height clientHeight whose opaque
// strip starts at top: each strip is (clientHeight - top - 15) / 3 high (never below 0), 5
// pixels apart.
struct TStripLayout {
  int height = 0;
  int transTop = 0;
  int curveTop = 0;
};
TStripLayout StripLayout(int top, int clientHeight);
