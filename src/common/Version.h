#pragma once

#include <string_view>

namespace korvana {

inline constexpr std::string_view kProgramName = "Korvana";
inline constexpr std::string_view kVersionText = "2.1";

}  // namespace korvana
