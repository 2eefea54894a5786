#pragma once

#include <string>
#include <string_view>

#include "files/DTDBuilders.h"

class Interaction;
class TColorPalette1D;
class TXMLComplexElement;
class TXMLItem;

// The ColorPalette1D element and palette files (.cp1, root UnitColorPalette1D).
//
// Current form: ColorPalette1D = Cyclic? , SuperColorItemBefore , ColorPalette1DItem* ,
// SuperColorItemAfter, every side a SuperColorItem (Color, TransFactor?, SuperFactor,
// SuperAnchorColor). Older form: BeginColor , ColorPalette1DItem* , EndColor with items of
// Position, ColorBefore, UseColorAfter?, ColorAfter. Palettes are always written in the current
// form; both are read.

// The grammars of the ColorPalette1D element in the current and the older form; built once.
const DTDPtr& ColorPalette1DGrammar();
const DTDPtr& ColorPalette1DOlderGrammar();

// Appends the current-form content of palette to element (a ColorPalette1D element made by the
// caller). The after side of the first and of the last item is not stored.
void WritePaletteElement(const TColorPalette1D& palette, TXMLComplexElement& element);

// Reads the content of a ColorPalette1D element (validated by the grammar of its form) into
// palette: the first item keeps its after side, every later item is replaced. The palette's
// SuperColorsEnabled flag never changes. On failure returns false with the value library's
// message and the line and column of the element that failed, and leaves palette unchanged.
bool ReadPaletteElement(TColorPalette1D& palette, const TXMLItem& element, bool olderForm,
                        std::string& error, int& line, int& column);

// Writes a palette file (Version "2.0", DOCTYPE suffix "_v3_0") atomically. On failure shows
// "Cannot save Color Palette File: " + the writer's error + "." in a "FileError" box and returns
// false.
bool SavePaletteFile(const TColorPalette1D& palette, const std::string& fileName,
                     Interaction& ui);
// The bytes SavePaletteFile writes.
std::string PaletteFileText(const TColorPalette1D& palette);

// Reads a palette file of version "1.0" (older form), "2.0" or "3.0" (current form) into palette.
// On failure returns false with one message in error (the XML library's, or the value library's
// followed by " At line L, column C.") and leaves palette unchanged. Another version text is an
// internal error (reported, and read as the current form).
bool LoadPaletteFile(TColorPalette1D& palette, const std::string& fileName, std::string& error);
// The same for the bytes of a file.
bool LoadPaletteBytes(TColorPalette1D& palette, std::string_view bytes, std::string& error);
