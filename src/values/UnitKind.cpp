#include "values/UnitKind.h"

#include <array>

namespace {

struct UnitName {
  std::string_view key;
  std::string_view suffix;
};

constexpr std::array<UnitName, kUnitKindCount> kUnitNames = {{
    {"EHNone", ""},         {"EHPerc", "%"},      {"EHDB", "DB"},          {"EHPitch", "#"},
    {"EHOctave", "OCTAVE"}, {"EHS", "S"},         {"EHMS", "MS"},          {"EHHZ", "HZ"},
    {"EHKHZ", "KHZ"},       {"EHTime", ""},       {"EHFreq", ""},          {"EHValue", "$"},
    {"EHAngle", "'"},       {"EHWavePos", "&"},   {"EHNote", ""},          {"EHError", ""},
    {"EHM", "M"},           {"EHDM", "DM"},       {"EHCM", "CM"},          {"EHMM", "MM"},
    {"EHKM", "KM"},         {"EHMile", "MILE"},   {"EHNautMile", "NMILE"}, {"EHFeet", "FEET"},
    {"EHInch", "INCH"},     {"EHMpS", "M/S"},     {"EHKMpH", "KM/H"},      {"EHMpH", "MPH"},
    {"EHMach", "MACH"},     {"EHKnots", "KNOTS"},
}};

// Matching order: a suffix always comes before every suffix that is a prefix of it.
constexpr std::array<EUnitKind, 25> kMatchOrder = {
    EUnitKind::EHOctave,  EUnitKind::EHNautMile, EUnitKind::EHKnots, EUnitKind::EHMile,
    EUnitKind::EHFeet,    EUnitKind::EHInch,     EUnitKind::EHKMpH,  EUnitKind::EHMach,
    EUnitKind::EHKHZ,     EUnitKind::EHMpS,      EUnitKind::EHMpH,   EUnitKind::EHMS,
    EUnitKind::EHHZ,      EUnitKind::EHDB,       EUnitKind::EHDM,    EUnitKind::EHCM,
    EUnitKind::EHMM,      EUnitKind::EHKM,       EUnitKind::EHPerc,  EUnitKind::EHValue,
    EUnitKind::EHS,       EUnitKind::EHAngle,    EUnitKind::EHM,     EUnitKind::EHPitch,
    EUnitKind::EHWavePos,
};

const UnitName* Find(EUnitKind unit) {
  auto index = static_cast<std::size_t>(unit);
  return index < kUnitNames.size() ? &kUnitNames[index] : nullptr;
}

// ASCII only, so the result never depends on the process locale.
char ToUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithUpper(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    if (ToUpperAscii(text[i]) != suffix[i]) return false;
  }
  return true;
}

}  // namespace

std::string_view UnitKindKeyName(EUnitKind unit) {
  const UnitName* name = Find(unit);
  return name ? name->key : std::string_view{};
}

std::string_view UnitSuffix(EUnitKind unit) {
  const UnitName* name = Find(unit);
  return name ? name->suffix : std::string_view{};
}

EUnitKind MatchUnitSuffix(std::string_view rest) {
  if (rest.empty()) return EUnitKind::EHNone;
  for (EUnitKind unit : kMatchOrder) {
    if (StartsWithUpper(rest, UnitSuffix(unit))) return unit;
  }
  return EUnitKind::EHError;
}
