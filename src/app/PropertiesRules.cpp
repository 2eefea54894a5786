#include "app/PropertiesRules.h"

#include <cmath>
#include <limits>

#include "fractal/TFractProps.h"
#include "view/ViewGeometry.h"

TFormulaFieldsEnabled FormulaFieldsEnabled(int formula, EMapVar mapVar) {
  TFormulaFieldsEnabled enabled;
  enabled.c = mapVar != MapC;
  enabled.d = (formula == 4 || formula == 5 || formula == 8) && mapVar != MapD;
  enabled.n = formula == 3 || formula == 5 || formula == 6 || formula == 7 || formula == 8;
  enabled.m = formula == 5;
  return enabled;
}

std::int32_t PixelsOfInternal(std::int32_t internal, std::int32_t valuesPerPixel) {
  if (valuesPerPixel == 0) return 0;  // the value classes never hold 0; no division by it
  return internal / valuesPerPixel;
}

bool ScaleResolution(std::int32_t value, double factor, std::int32_t& scaled) {
  const double product = std::trunc(static_cast<double>(value) * factor);
  if (!std::isfinite(product) || product > std::numeric_limits<std::int32_t>::max() ||
      product < std::numeric_limits<std::int32_t>::min()) {
    return false;
  }
  scaled = static_cast<std::int32_t>(product);
  return true;
}

double SensitivityExponent(ESensitivity sensitivity, double customExponent) {
  switch (sensitivity) {
    case ESensitivity::SensLow: return 2.0;
    case ESensitivity::SensNormal: return 1.0;
    case ESensitivity::SensHigh: return 0.5;
    case ESensitivity::SensVeryHigh: return 0.25;
    case ESensitivity::SensCustom: return customExponent;
  }
  return 1.0;
}

double StrengthAdaptFactor(std::int32_t oldDepth, std::int32_t newDepth, double exponent) {
  return std::pow(static_cast<double>(newDepth) / static_cast<double>(oldDepth), exponent);
}

TPropertiesFields FieldsOf(const TFractProps& fract, const TFractViewProps& view) {
  TPropertiesFields f;
  f.Left = fract.Left.ToText();
  f.Right = fract.Right.ToText();
  f.Top = fract.Top.ToText();
  f.Bottom = fract.Bottom.ToText();
  f.XResolution = fract.XResolution.ToText();
  f.YResolution = fract.YResolution.ToText();
  f.CR = fract.CR.ToText();
  f.CI = fract.CI.ToText();
  f.DR = fract.DR.ToText();
  f.DI = fract.DI.ToText();
  f.N = fract.N.ToText();
  f.M = fract.M.ToText();
  f.MaxDepth = fract.MaxDepth.ToText();
  f.OuterCircle = fract.OuterCircle.ToText();
  f.InnerDist = fract.InnerDist.ToText();
  f.MaxCycle = fract.MaxCycle.ToText();
  f.SensExponentInside = view.SensExponentInside.ToText();
  f.SensExponentOutside = view.SensExponentOutside.ToText();
  f.StrengthOutside = view.StrengthOutside.ToText();
  f.StrengthInside = view.StrengthInside.ToText();
  f.ValuesPerPixel = view.ValuesPerPixel.ToText();
  f.MaxDepthTransFactor = view.MaxDepthTransFactor.ToText();
  f.CycleSelection = fract.CycleSelection;
  f.ColorsDiscontinue = fract.ColorsDiscontinue;
  f.MapVar = fract.MapVar;
  f.Formula = fract.Formula;
  f.SensOutside = view.SensOutside;
  f.SensInside = view.SensInside;
  f.AdaptStrengthOutside = view.AdaptStrengthOutside;
  f.AdaptStrengthInside = view.AdaptStrengthInside;
  f.UsePalOutside = view.UsePalOutside;
  f.UsePalDepthInside = view.UsePalDepthInside;
  f.UsePalDepthBackgroundInside = view.UsePalDepthBackgroundInside;
  f.UsePalDepthForegroundInside = view.UsePalDepthForegroundInside;
  f.UpdateResolution = view.UpdateResolution;
  return f;
}

namespace {

// Parses fields one after another; after the first failure the later ones are skipped.
class FieldParser {
 public:
  explicit FieldParser(std::string& message) : message_(message) {}
  FieldParser& operator()(unitValue& value, const std::string& text, const std::string& label) {
    if (ok_) ok_ = value.Parse(text, label, message_);
    return *this;
  }
  // A rule between fields: fails with "In " + label + ": " + reason unless holds.
  FieldParser& Require(bool holds, const std::string& label, const std::string& reason) {
    if (ok_ && !holds) {
      message_ = "In " + label + ": " + reason;
      ok_ = false;
    }
    return *this;
  }
  bool Ok() const { return ok_; }

 private:
  std::string& message_;
  bool ok_ = true;
};

bool ResolutionFits(const TFractProps& fract) {
  return static_cast<std::int64_t>(fract.XResolution.GetValue()) *
             static_cast<std::int64_t>(fract.YResolution.GetValue()) <=
         kMaxResolutionSamples;
}

std::string TooManySamples(const TFractProps& fract) {
  return "The resolution " + fract.XResolution.ToText() + " x " + fract.YResolution.ToText() +
         " has more than " + std::to_string(kMaxResolutionSamples) + " samples.";
}

}  // namespace

bool StoreProperties(const TPropertiesFields& fields, TFractProps& fract, TFractViewProps& view,
                     std::string& message) {
  TFractProps f = fract;
  TFractViewProps v = view;
  FieldParser parse(message);
  parse(f.Left, fields.Left, "Selection Left")(f.Right, fields.Right, "Selection Right")(
      f.Top, fields.Top, "Selection Top")(f.Bottom, fields.Bottom, "Selection Bottom")(
      f.XResolution, fields.XResolution, "Horizontal Resolution")(
      f.YResolution, fields.YResolution, "Vertical Resolution");
  parse.Require(ResolutionFits(f), "Vertical Resolution", TooManySamples(f));
  // Typed coordinates may not go past what doubles tell apart; a rectangle kept as it was (a
  // document from elsewhere) stays editable.
  const bool rectangleEdited = !(PlaneOf(f) == PlaneOf(fract)) ||
                               f.XResolution.GetValue() != fract.XResolution.GetValue() ||
                               f.YResolution.GetValue() != fract.YResolution.GetValue();
  parse.Require(!rectangleEdited || WithinPrecision(PlaneOf(f), f.XResolution.GetValue(),
                                                    f.YResolution.GetValue()),
                "Selection Right", kZoomLimitText);
  parse(f.CR, fields.CR, "C Real")(f.CI, fields.CI, "C Imaginair")(f.DR, fields.DR, "D Real")(
      f.DI, fields.DI, "D Imaginair")(f.N, fields.N, "N")(f.M, fields.M, "M");
  f.CycleSelection = fields.CycleSelection;
  parse(f.MaxDepth, fields.MaxDepth, "Max Depth")(f.OuterCircle, fields.OuterCircle,
                                                   "Outer Circle")(
      f.InnerDist, fields.InnerDist, "Inner Distance")(f.MaxCycle, fields.MaxCycle,
                                                       "Max Cycles to Detect");
  f.ColorsDiscontinue = fields.ColorsDiscontinue;
  f.MapVar = fields.MapVar;
  f.Formula = fields.Formula;

  v.SensOutside = fields.SensOutside;
  v.SensInside = fields.SensInside;
  parse(v.SensExponentInside, fields.SensExponentInside, "Inside Custom Exponent")(
      v.SensExponentOutside, fields.SensExponentOutside, "Outside Custom Exponent")(
      v.StrengthOutside, fields.StrengthOutside, "Strength Outside")(
      v.StrengthInside, fields.StrengthInside, "Strength Inside");
  v.AdaptStrengthOutside = fields.AdaptStrengthOutside;
  v.AdaptStrengthInside = fields.AdaptStrengthInside;
  v.UsePalOutside = fields.UsePalOutside;
  v.UsePalDepthInside = fields.UsePalDepthInside;
  v.UsePalDepthBackgroundInside = fields.UsePalDepthBackgroundInside;
  v.UsePalDepthForegroundInside = fields.UsePalDepthForegroundInside;
  parse(v.ValuesPerPixel, fields.ValuesPerPixel, "More Values per Pixel");
  // A picture of no pixels would show nothing and tell nobody why.
  const std::int32_t g = v.ValuesPerPixel.GetValue();
  parse.Require(PixelsOfInternal(f.XResolution.GetValue(), g) > 0 &&
                    PixelsOfInternal(f.YResolution.GetValue(), g) > 0,
                "More Values per Pixel",
                "Value must be no more than the internal resolution.");
  v.UpdateResolution = fields.UpdateResolution;
  parse(v.MaxDepthTransFactor, fields.MaxDepthTransFactor, "Max Depth, Strength");
  if (!parse.Ok()) return false;
  fract = f;
  view = v;
  return true;
}
