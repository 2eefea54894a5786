#pragma once

// The unit named by the non-fatal checks of the palette model and its file format.
inline constexpr char kPaletteUnit[] = "Grafisch/DlgColorPalette1D";
