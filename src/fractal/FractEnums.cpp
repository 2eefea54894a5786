#include "fractal/FractEnums.h"

#include <array>

namespace {

constexpr std::array<std::string_view, kCycleSelectionCount> kCycleSelectionNames = {
    "CycleLowest", "CycleHighest", "DepthLowest"};
constexpr std::array<std::string_view, kMapVarCount> kMapVarNames = {"MapZ", "MapC", "MapD"};

}  // namespace

std::string_view CycleSelectionName(ECycleSelection selection) {
  return kCycleSelectionNames.at(selection);
}

std::string_view MapVarName(EMapVar mapVar) { return kMapVarNames.at(mapVar); }

bool FindCycleSelection(std::string_view name, ECycleSelection& selection) {
  for (int i = 0; i < kCycleSelectionCount; ++i) {
    if (kCycleSelectionNames[i] == name) {
      selection = static_cast<ECycleSelection>(i);
      return true;
    }
  }
  return false;
}

bool FindMapVar(std::string_view name, EMapVar& mapVar) {
  for (int i = 0; i < kMapVarCount; ++i) {
    if (kMapVarNames[i] == name) {
      mapVar = static_cast<EMapVar>(i);
      return true;
    }
  }
  return false;
}
