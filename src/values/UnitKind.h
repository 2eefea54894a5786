#pragma once

#include <cstdint>
#include <string_view>

// The unit in which a value was last entered. The stored index is part of the value object's
// state; the key names are the enumerator names.
enum class EUnitKind : std::uint8_t {
  EHNone = 0,
  EHPerc = 1,
  EHDB = 2,
  EHPitch = 3,
  EHOctave = 4,
  EHS = 5,
  EHMS = 6,
  EHHZ = 7,
  EHKHZ = 8,
  EHTime = 9,
  EHFreq = 10,
  EHValue = 11,
  EHAngle = 12,
  EHWavePos = 13,
  EHNote = 14,
  EHError = 15,  // a suffix that names no unit
  EHM = 16,
  EHDM = 17,
  EHCM = 18,
  EHMM = 19,
  EHKM = 20,
  EHMile = 21,
  EHNautMile = 22,
  EHFeet = 23,
  EHInch = 24,
  EHMpS = 25,
  EHKMpH = 26,
  EHMpH = 27,
  EHMach = 28,
  EHKnots = 29,
};

inline constexpr int kUnitKindCount = 30;

// "EHNone", "EHPerc", ...; "" for an index outside the table.
std::string_view UnitKindKeyName(EUnitKind unit);

// The suffix as typed, upper case ("%", "DB", "OCTAVE", ...); "" for kinds that have none.
std::string_view UnitSuffix(EUnitKind unit);

// The unit that `rest` (the text after a number and its blanks) names: EHNone for an empty rest,
// else the first suffix in matching order that the upper-cased rest begins with (longer suffixes
// come before their prefixes, so "MS" wins over "M"), else EHError. What follows the suffix is
// not examined.
EUnitKind MatchUnitSuffix(std::string_view rest);
