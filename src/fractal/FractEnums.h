#pragma once

#include <cstdint>
#include <string_view>

// Which detected cycle wins when an orbit is near several earlier points of its history.
enum ECycleSelection : std::uint8_t { CycleLowest = 0, CycleHighest = 1, DepthLowest = 2 };

// Which variable of the formula receives the sample point of the plane.
enum EMapVar : std::uint8_t { MapZ = 0, MapC = 1, MapD = 2 };

inline constexpr int kCycleSelectionCount = 3;
inline constexpr int kMapVarCount = 3;

// Names used in document files ("CycleLowest", "MapZ", ...). The argument must be a valid value.
std::string_view CycleSelectionName(ECycleSelection selection);
std::string_view MapVarName(EMapVar mapVar);

// Look-ups of the names above (exact, case-sensitive). Return false and leave the output alone
// when the name is unknown.
bool FindCycleSelection(std::string_view name, ECycleSelection& selection);
bool FindMapVar(std::string_view name, EMapVar& mapVar);
