#include "values/unitFactor.h"

#include <cmath>

#include "values/NumberFormat.h"
#include "values/NumberParse.h"

namespace {

constexpr int kFullPrecision = 99;

// The number as the unit shows it, and the text after it; an empty suffix means plain number.
struct UnitDisplay {
  double number;
  const char* suffix;
};

UnitDisplay DisplayInUnit(double v, EUnitKind unit) {
  switch (unit) {
    case EUnitKind::EHPerc:
      return {v * 100, " %"};
    case EUnitKind::EHAngle:
      return {v * 360, " '"};
    case EUnitKind::EHDB:
      return {20 * std::log10(v), " dB"};
    case EUnitKind::EHPitch:
      return {12 * std::log2(v), " #"};
    case EUnitKind::EHOctave:
      return {std::log2(v), " octave"};
    // Sound-related units of the library: the number as stored with the unit's short name.
    case EUnitKind::EHS:
      return {v, " s"};
    case EUnitKind::EHMS:
      return {v, " ms"};
    case EUnitKind::EHHZ:
      return {v, " hz"};
    case EUnitKind::EHKHZ:
      return {v, " khz"};
    case EUnitKind::EHM:
      return {v, " m"};
    case EUnitKind::EHDM:
      return {v, " dm"};
    case EUnitKind::EHCM:
      return {v, " cm"};
    case EUnitKind::EHMM:
      return {v, " mm"};
    case EUnitKind::EHKM:
      return {v, " km"};
    case EUnitKind::EHMile:
      return {v, " mile"};
    case EUnitKind::EHNautMile:
      return {v, " nmile"};
    case EUnitKind::EHFeet:
      return {v, " feet"};
    case EUnitKind::EHInch:
      return {v, " inch"};
    default:
      return {v, ""};
  }
}

// Whether text parses (as a factor text with its unit) to exactly value.
bool ReadsBackAs(const std::string& text, double value) {
  double back = 0;
  EUnitKind unit = EUnitKind::EHNone;
  std::string reason;
  return ParseReal(text, back, unit, reason) && back == value;
}

bool IsLogarithmic(EUnitKind unit) {
  return unit == EUnitKind::EHDB || unit == EUnitKind::EHPitch || unit == EUnitKind::EHOctave;
}

}  // namespace

unitFactor::unitFactor(double value, EUnitKind unit, ERangeRule rule) : unitValue(unit, rule) {
  SetValue(value);
}

std::string unitFactor::ToText() const { return ToText(kFullPrecision, true); }

std::string unitFactor::ToText(int precision, bool trim) const {
  UnitDisplay shown = DisplayInUnit(value_, unit_);
  if (!std::isfinite(shown.number) && std::isfinite(value_)) {
    return FormatNumber(value_, precision, trim);
  }
  return FormatNumber(shown.number, precision, trim) + shown.suffix;
}

std::string unitFactor::ToFileText() const {
  std::string text = ToText();
  if (ReadsBackAs(text, value_)) return text;
  const UnitDisplay shown = DisplayInUnit(value_, unit_);
  if (unit_ == EUnitKind::EHPerc) {
    // Reading shifts the decimal digits of a percent text, so the shifted digits are exact.
    text = FormatShortestNumber(value_, 2) + shown.suffix;
  } else if (unit_ != EUnitKind::EHNone && std::isfinite(shown.number)) {
    text = FormatShortestNumber(shown.number) + shown.suffix;
  }
  if (ReadsBackAs(text, value_)) return text;
  return FormatFileNumber(value_);
}

bool unitFactor::Parse(const std::string& text, const std::string& label, std::string& message) {
  double value = 0;
  EUnitKind unit = EUnitKind::EHNone;
  std::string reason;
  if (!ParseReal(text, value, unit, reason) || !CheckRange(rule_, value, unit, reason)) {
    message = ErrorMessage(label, reason);
    return false;
  }
  unit_ = unit;
  SetValue(value);
  return true;
}

void unitFactor::SetValue(double value) {
  value_ = value;
  RepairUnit();
}

void unitFactor::RepairUnit() {
  if (IsLogarithmic(unit_) && !(value_ > 0)) unit_ = EUnitKind::EHNone;
}
