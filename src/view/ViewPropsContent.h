#pragma once

class TColorPalette1D;
class TFractViewProps;

// Comparisons of view properties by content, for deciding whether an edit changed anything.
// TFractViewProps::operator== compares palettes by identity, so any copy differs from its
// original; these compare what the palettes hold.

// Equal flags (Cyclic, SuperColorsEnabled) and equal chains: the same number of items with equal
// position, UseColorAfter and both stored sides (colour, transparency factor, super factor,
// anchor colour; numbers and their units).
bool PaletteContentEqual(const TColorPalette1D& a, const TColorPalette1D& b);

// Every field that colours a sample equal, palettes by content: the fields of
// TFractViewProps::operator==. False means the picture must be recoloured.
bool ViewColoringEqual(const TFractViewProps& a, const TFractViewProps& b);

// ViewColoringEqual and the stored settings that colour nothing (AdaptStrengthOutside,
// AdaptStrengthInside, UpdateResolution). False means the document changed.
bool ViewStoredEqual(const TFractViewProps& a, const TFractViewProps& b);
