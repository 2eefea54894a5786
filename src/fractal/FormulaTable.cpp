#include "fractal/FormulaTable.h"

#include <array>

namespace {

// Built once, shared read-only by every document and computing thread. The keyword of formula
// 8 reads "/(1/z^n)" although the formula divides by (1 + z^n): files rely on that text.
constexpr std::array<FormulaInfo, kFormulaCount> kFormulas = {{
    {"z^2+c", "z^2 + c"},
    {"z^3+c", "z^3 + c"},
    {"z^4+c", "z^4 + c"},
    {"z^n+c", "z^n + c"},
    {"z^3-3d^2z+c", "z^3 - 3 d^2 z + c"},
    {"z^n+dz^m+c", "z^n + d z^m + c"},
    {"z(c+(1-c)z^n)", "z ( c + ( 1 - c ) z^n)"},
    {"z(c+(1-c)/z^n)", "z ( c + ( 1 - c ) / z^n)"},
    {"z(c+dz^n)/(1/z^n)", "z ( c + d z^n) / (1 + z^n)"},
    {"exp(z)-z-1+c", "exp(z) - z - 1 + c"},
    {"sin(z)+c", "sin(z) + c"},
    {"csin(z)", "c sin(z)"},
    {"sin(z)-z-1+c", "sin(z) - z - 1 + c"},
}};

}  // namespace

const FormulaInfo& GetFormula(int index) { return kFormulas.at(index); }

int FindFormulaByKeyword(std::string_view keyword) {
  for (int i = 0; i < kFormulaCount; ++i) {
    if (kFormulas[i].keyword == keyword) return i;
  }
  return -1;
}
