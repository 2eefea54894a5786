#include "app/PaletteEditorRules.h"

#include <algorithm>
#include <cmath>

#include "palette/TColorPalette1D.h"

TPaletteItemEnabling PaletteItemEnabling(double x) {
  TPaletteItemEnabling e;
  e.first = e.previous = e.colorPrevious = x > 0;
  e.next = e.last = e.colorNext = x < 1;
  e.remove = e.position = e.colorAfter = x > 0 && x < 1;
  return e;
}

double AddedItemPosition(const TColorPalette1D& palette, const TColorPalette1DItem& current) {
  if (const TColorPalette1DItem* next = current.GetNext()) {
    return (current.GetDPosition() + next->GetDPosition()) * 0.5;
  }
  const TColorPalette1DItem* previous = palette.GetPrevious(&current);
  const double before = previous ? previous->GetDPosition() : 0.0;
  return (before + current.GetDPosition()) * 0.5;
}

std::vector<TStripColumn> StripColumns(const TColorPalette1D& palette, int left, int right) {
  std::vector<TStripColumn> columns;
  const long long span = static_cast<long long>(right) - left - 2;  // (R - 1) - (L + 1)
  if (span < 2) return columns;  // narrower than 4 pixels
  columns.reserve(static_cast<std::size_t>(span));
  const TColorPalette1DItem* first = palette.GetFirst();
  for (long long k = 0; k < span; ++k) {
    const double x = static_cast<double>(k) / static_cast<double>(span);
    columns.push_back({first->GetColor(x), first->GetTransFactor(x)});
  }
  return columns;
}

std::uint32_t MixColor(std::uint32_t ground, std::uint32_t color, double t) {
  std::uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double g = (ground >> shift) & 0xFF;
    const double q = (color >> shift) & 0xFF;
    const double channel = std::clamp(std::trunc((1 - t) * g + t * q), 0.0, 255.0);
    mixed |= static_cast<std::uint32_t>(channel) << shift;
  }
  return mixed;
}

int CurveRow(int top, int bottom, double t) {
  return static_cast<int>(std::trunc((top + 1) + (1 - t) * ((bottom - 1) - (top + 1))));
}

TStripLayout StripLayout(int top, int clientHeight) {
  TStripLayout layout;
  layout.height = std::max(0, (clientHeight - top - 15) / 3);
  layout.transTop = top + layout.height + 5;
  layout.curveTop = top + 2 * layout.height + 10;
  return layout;
}
