#pragma once

#include <string_view>

// The iteration formulas. The index into this table is a formula's identity everywhere: files
// store its keyword, the properties dialog lists its list text and selects by index.
inline constexpr int kFormulaCount = 13;

struct FormulaInfo {
  std::string_view keyword;   // the exact text stored in document files
  std::string_view listText;  // the exact line of the dialog's formula list
};

// The entry of formula index (0 <= index < kFormulaCount).
const FormulaInfo& GetFormula(int index);

// The index of the formula with this keyword (exact match), -1 when there is none.
int FindFormulaByKeyword(std::string_view keyword);
