#pragma once

#include <array>
#include <string_view>

// Name tables of the value library's sound-related value kinds, unit groups and channel layouts.
// This program's dialogs do not use them; they are kept so that stored names stay recognisable.

struct ValueKindName {
  std::string_view display;
  std::string_view key;  // empty for the last entry, "Empty"
};

inline constexpr std::array<ValueKindName, 15> kValueKindNames = {{
    {"Factor", "Factor"},
    {"Balance Angle", "BalanceAngle"},
    {"Integer", "Integer"},
    {"Fysical Length", "FysicalLength"},
    {"Fysical Speed", "FysicalSpeed"},
    {"Time", "Time"},
    {"Frequency", "Frequency"},
    {"Wave Value", "WaveValue"},
    {"Wave Position Count", "WaveCount"},
    {"Boolean", "Boolean"},
    {"Mono/Stereo", "WaveMonoStereo"},
    {"Bytes per Sample", "WaveBytesPerSample"},
    {"Sample Frequency", "WaveSampleFrequency"},
    {"Wave", "Wave"},
    {"Empty", ""},
}};

inline constexpr std::array<ValueKindName, 4> kUnitGroupNames = {{
    {"All Computable Values", "AllComputable"},
    {"All Values", "AllValue"},
    {"Value without Unit", "NoUnit"},
    {"Wave Position", "WavePos"},
}};

inline constexpr std::array<std::string_view, 2> kChannelNames = {"Mono", "Stereo"};
