#include "view/FractalViewGrammar.h"

#include "palette/ColorPalette1DFile.h"

namespace {

// SensLow | SensNormal | SensHigh | SensVeryHigh (| SensCustom holding SensExponent).
DTDPtr Sensitivity(bool withCustom) {
  if (!withCustom) {
    return Choice({Compound("SensLow"), Compound("SensNormal"), Compound("SensHigh"),
                   Compound("SensVeryHigh")});
  }
  return Choice({Compound("SensLow"), Compound("SensNormal"), Compound("SensHigh"),
                 Compound("SensVeryHigh"), Compound("SensCustom", Text("SensExponent"))});
}

// Depth = UseColorPalette1D? , ColorPalette1D , Background , Foreground, where Background and
// Foreground = UseColorPalette1D? , ColorPalette1D , Color.
DTDPtr Depth(const DTDPtr& palette) {
  const DTDPtr use = Optional(Compound("UseColorPalette1D"));
  const DTDPtr layer = Seq({use, palette, Text("Color")});
  return Compound("Depth", Seq({use, palette, Compound("Background", layer),
                                Compound("Foreground", layer)}));
}

}  // namespace

const DTDPtr& FractalView21Grammar() {
  static const DTDPtr grammar = [] {
    const DTDPtr& palette = ColorPalette1DGrammar();
    const DTDPtr sens = Sensitivity(true);
    const DTDPtr adapt = Optional(Compound("AdaptStrength"));
    const DTDPtr outside =
        Compound("Outside", Seq({sens, Text("Strength"), adapt,
                                 Optional(Compound("UseColorPalette1D")), palette,
                                 Text("BackgroundColor"), Text("ForegroundColor")}));
    const DTDPtr inside = Compound("Inside", Seq({sens, Text("Strength"), adapt, Depth(palette)}));
    return DTDPtr(Compound(
        "FractalView",
        Seq({outside, inside, Text("MaxDepthColor"), Text("MaxDepthTransFactor"),
             Text("BackgroundColor"), Text("CursorColor"), Text("ValuesPerPixel"),
             Optional(Compound("UpdateResolution"))})));
  }();
  return grammar;
}

const DTDPtr& FractalView20Grammar() {
  static const DTDPtr grammar = [] {
    const DTDPtr& palette = ColorPalette1DOlderGrammar();
    const DTDPtr sens = Sensitivity(false);
    const DTDPtr outside =
        Compound("Outside", Seq({sens, Text("Strength"), Optional(Compound("UseColorPalette1D")),
                                 palette, Text("BackgroundColor"), Text("ForegroundColor")}));
    const DTDPtr inside = Compound("Inside", Seq({sens, Text("Strength"), Depth(palette)}));
    return DTDPtr(Compound("FractalView",
                           Seq({outside, inside, Text("MaxDepthColor"), Text("CursorColor")})));
  }();
  return grammar;
}
