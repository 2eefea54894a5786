#include "view/ViewPropsContent.h"

#include "view/TFractViewProps.h"

namespace {

bool SameFactor(const unitFactor& a, const unitFactor& b) {
  return a == b && a.GetUnit() == b.GetUnit();
}

bool SameSide(const TColorPalette1DSide& a, const TColorPalette1DSide& b) {
  return a.Color == b.Color && SameFactor(a.TransFactor, b.TransFactor) &&
         SameFactor(a.SuperFactor, b.SuperFactor) && a.SuperAnchorColor == b.SuperAnchorColor;
}

bool SameItem(const TColorPalette1DItem& a, const TColorPalette1DItem& b) {
  return SameFactor(a.GetPosition(), b.GetPosition()) &&
         a.GetUseColorAfter() == b.GetUseColorAfter() && SameSide(a.GetBeforeSide(), b.GetBeforeSide()) &&
         SameSide(a.GetStoredAfterSide(), b.GetStoredAfterSide());
}

}  // namespace

bool PaletteContentEqual(const TColorPalette1D& a, const TColorPalette1D& b) {
  if (a.GetCyclic() != b.GetCyclic() || a.GetSuperColorsEnabled() != b.GetSuperColorsEnabled()) {
    return false;
  }
  const TColorPalette1DItem* x = a.GetFirst();
  const TColorPalette1DItem* y = b.GetFirst();
  for (; x && y; x = x->GetNext(), y = y->GetNext()) {
    if (!SameItem(*x, *y)) return false;
  }
  return x == nullptr && y == nullptr;
}

bool ViewColoringEqual(const TFractViewProps& a, const TFractViewProps& b) {
  return a.SensOutside == b.SensOutside && a.SensInside == b.SensInside &&
         a.SensExponentInside == b.SensExponentInside &&
         a.SensExponentOutside == b.SensExponentOutside &&
         a.BackgroundColorOutside == b.BackgroundColorOutside &&
         a.ColorBackgroundInside == b.ColorBackgroundInside &&
         a.ForegroundColorOutside == b.ForegroundColorOutside &&
         a.ColorForegroundInside == b.ColorForegroundInside && a.CursorColor == b.CursorColor &&
         a.MaxDepthColor == b.MaxDepthColor && a.BackgroundColor == b.BackgroundColor &&
         a.StrengthOutside == b.StrengthOutside && a.StrengthInside == b.StrengthInside &&
         PaletteContentEqual(a.PalOutside, b.PalOutside) &&
         PaletteContentEqual(a.PalDepthInside, b.PalDepthInside) &&
         PaletteContentEqual(a.PalDepthBackgroundInside, b.PalDepthBackgroundInside) &&
         PaletteContentEqual(a.PalDepthForegroundInside, b.PalDepthForegroundInside) &&
         a.UsePalOutside == b.UsePalOutside && a.UsePalDepthInside == b.UsePalDepthInside &&
         a.UsePalDepthBackgroundInside == b.UsePalDepthBackgroundInside &&
         a.UsePalDepthForegroundInside == b.UsePalDepthForegroundInside &&
         a.MaxDepthTransFactor == b.MaxDepthTransFactor && a.ValuesPerPixel == b.ValuesPerPixel;
}

bool ViewStoredEqual(const TFractViewProps& a, const TFractViewProps& b) {
  return ViewColoringEqual(a, b) && a.AdaptStrengthOutside == b.AdaptStrengthOutside &&
         a.AdaptStrengthInside == b.AdaptStrengthInside &&
         a.UpdateResolution == b.UpdateResolution;
}
