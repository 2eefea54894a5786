#pragma once

#include <cstdint>
#include <string>

#include "palette/TColorPalette1D.h"
#include "values/unitColor.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

class TXMLComplexElement;
class TXMLItem;

// The sensitivity curve that maps a depth x onto a palette or mix position.
enum class ESensitivity : std::uint8_t {
  SensLow = 0,       // x^2
  SensNormal = 1,    // x
  SensHigh = 2,      // sqrt(x)
  SensVeryHigh = 3,  // x^0.25
  SensCustom = 4,    // x^exponent
};

// The colour and opacity of one sample, as doubles: not truncated and not clamped (super colours
// may leave 0..255). Opacity 1 shows the colour, 0 the view's background colour.
struct TSampleColor {
  double red = 0;
  double green = 0;
  double blue = 0;
  double opacity = 0;
};

// The two colours (with opacities) between which an inside sample is mixed by its depth when the
// depth palette is not used: chosen by the sample's cycle number.
struct TCycleColors {
  std::uint32_t background = 0;
  double backgroundOpacity = 1;
  std::uint32_t foreground = 0;
  double foregroundOpacity = 1;
};

// How the samples of a computed fractal become colours, stored as the FractalView element of a
// fractal document. A plain value type: copies hold their own palettes.
class TFractViewProps {
 public:
  // The values of a new set (see the field comments).
  TFractViewProps();

  // Field by field in a fixed order; palettes compare by identity (TColorPalette1D::operator==),
  // so a copy never equals its original. AdaptStrength* and UpdateResolution are not compared.
  bool operator==(const TFractViewProps& other) const;

  // The colour of one sample. depth is the result array's value: > 0 outside, < 0 inside, exactly
  // 0 at the maximum depth (a NaN counts as the maximum depth too). cycle is the sample's cycle
  // number (1 when there is none) and maxCycle the fractal's MaxCycle; a cycle number outside
  // 1..maxCycle is taken as the nearest end. interpolated selects the palettes' super colours
  // (ValuesPerPixel > 1). Allocation-free.
  TSampleColor SampleColor(float depth, std::int32_t cycle, std::int32_t maxCycle,
                           bool interpolated) const;
  // The same with the inside mix colours given, as CycleColors gives them for the sample
  // (painting passes precompute them per cycle number, see TSampleColorer).
  TSampleColor SampleColor(float depth, const TCycleColors& cycleColors, bool interpolated) const;
  // The inside mix colours of a cycle number: at cycle position (cycle - 1) / max(maxCycle - 1, 1),
  // taken into 0..1, on the background and foreground palettes when they are used, else the plain
  // colours with opacity 1.
  TCycleColors CycleColors(std::int32_t cycle, std::int32_t maxCycle) const;
  // Whether sample colours depend on the cycle number: inside samples are mixed by depth (no
  // depth palette) between colours taken from a palette by cycle number.
  bool ColorsUseCycles() const {
    return !UsePalDepthInside && (UsePalDepthBackgroundInside || UsePalDepthForegroundInside);
  }

  // Appends the FractalView element (current generation) to parent.
  void WriteXML(TXMLComplexElement& parent) const;
  // Reads a FractalView element that the grammar of the document's version has validated
  // (FractalView20Grammar for "1.0" and "2.0", FractalView21Grammar otherwise). On a value that
  // cannot be read returns false with the value library's message and the element's line and
  // column; the fields read so far keep their new values (palettes are replaced whole or not at
  // all). The palettes' SuperColorsEnabled flags stay as they are.
  bool ReadXML(const TXMLItem& element, const std::string& version, std::string& message,
               int& line, int& column);

  ESensitivity SensOutside = ESensitivity::SensHigh;
  unitFactorPosMore SensExponentOutside{0.7};
  unitFactorPosMore StrengthOutside{1.0};
  bool AdaptStrengthOutside = true;
  unitColor BackgroundColorOutside{0x000000};
  unitColor ForegroundColorOutside{0xFF8000};
  bool UsePalOutside = false;
  TColorPalette1D PalOutside;  // black to 0xFF8000, super factors offered

  ESensitivity SensInside = ESensitivity::SensHigh;
  unitFactorPosMore SensExponentInside{0.7};
  unitFactorPosMore StrengthInside{1.0};
  bool AdaptStrengthInside = true;
  bool UsePalDepthInside = false;
  TColorPalette1D PalDepthInside;  // black to 0x0080FF
  bool UsePalDepthBackgroundInside = false;
  TColorPalette1D PalDepthBackgroundInside;  // black to 0x808080
  unitColor ColorBackgroundInside{0x000000};
  bool UsePalDepthForegroundInside = false;
  TColorPalette1D PalDepthForegroundInside;  // 0x0080FF to 0x00FF80
  unitColor ColorForegroundInside{0x0080FF};

  unitColor CursorColor{0xFF00FF};
  unitColor MaxDepthColor{0x000000};
  unitFactorPosMax1 MaxDepthTransFactor{1.0, EUnitKind::EHPerc};
  unitColor BackgroundColor{0x000000};
  unitIntegerPosMore ValuesPerPixel{1};
  bool UpdateResolution = true;
};
