#include "fractal/FormulaTable.h"

#include <gtest/gtest.h>

#include <string>

#include "fractal/FractEnums.h"

TEST(FormulaTable, KeywordsAndListTextsAreTheFileAndDialogTexts) {
  const FormulaInfo expected[] = {
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
  };
  ASSERT_EQ(std::size(expected), static_cast<std::size_t>(kFormulaCount));
  for (int i = 0; i < kFormulaCount; ++i) {
    EXPECT_EQ(GetFormula(i).keyword, expected[i].keyword) << i;
    EXPECT_EQ(GetFormula(i).listText, expected[i].listText) << i;
    EXPECT_EQ(FindFormulaByKeyword(expected[i].keyword), i);
  }
}

TEST(FormulaTable, UnknownKeywordsAreNotFound) {
  for (const char* text : {"", "z^2 + c", "Z^2+C", "z^2+c ", "z(c+dz^n)/(1+z^n)"}) {
    EXPECT_EQ(FindFormulaByKeyword(text), -1) << '"' << text << '"';
  }
}

TEST(FractEnums, NamesRoundTripAndUnknownNamesAreRefused) {
  const char* selections[] = {"CycleLowest", "CycleHighest", "DepthLowest"};
  for (int i = 0; i < kCycleSelectionCount; ++i) {
    const auto value = static_cast<ECycleSelection>(i);
    EXPECT_EQ(CycleSelectionName(value), selections[i]);
    ECycleSelection found = DepthLowest;
    ASSERT_TRUE(FindCycleSelection(selections[i], found));
    EXPECT_EQ(found, value);
  }
  const char* mapVars[] = {"MapZ", "MapC", "MapD"};
  for (int i = 0; i < kMapVarCount; ++i) {
    const auto value = static_cast<EMapVar>(i);
    EXPECT_EQ(MapVarName(value), mapVars[i]);
    EMapVar found = MapD;
    ASSERT_TRUE(FindMapVar(mapVars[i], found));
    EXPECT_EQ(found, value);
  }
  ECycleSelection selection = CycleHighest;
  EXPECT_FALSE(FindCycleSelection("cyclelowest", selection));
  EXPECT_FALSE(FindCycleSelection("MapZ", selection));
  EXPECT_EQ(selection, CycleHighest);
  EMapVar mapVar = MapC;
  EXPECT_FALSE(FindMapVar("", mapVar));
  EXPECT_EQ(mapVar, MapC);
}
