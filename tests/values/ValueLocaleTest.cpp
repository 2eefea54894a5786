#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <locale>
#include <string>

#include "values/NumberFormat.h"
#include "values/NumberParse.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

namespace {

// Switches the C and C++ global locales for one test and restores them afterwards.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) : oldC_(std::setlocale(LC_ALL, nullptr)) {
    if (std::setlocale(LC_ALL, name) == nullptr) return;
    try {
      std::locale::global(std::locale(name));
      active_ = true;
    } catch (const std::runtime_error&) {
      std::setlocale(LC_ALL, oldC_.c_str());
    }
  }
  ~ScopedLocale() {
    if (!active_) return;
    std::locale::global(oldCpp_);
    std::setlocale(LC_ALL, oldC_.c_str());
  }
  bool Active() const { return active_; }

 private:
  std::string oldC_;
  std::locale oldCpp_;
  bool active_ = false;
};

// Formatting and parsing of value text must not follow the process locale (the desktop toolkit
// switches to the user's, and a comma decimal would corrupt files).
void ExpectLocaleIndependentText() {
  EXPECT_EQ(FormatNumber(-1.5, 99, true), "-1.5");
  EXPECT_EQ(FormatNumber(1234567.25, 99, true), "1234567.25");
  double value = 0;
  EUnitKind unit{};
  std::string reason;
  ASSERT_TRUE(ParseReal("-0.3", value, unit, reason));
  EXPECT_EQ(value, -0.3);
  ASSERT_TRUE(ParseReal("1,5 %", value, unit, reason));
  EXPECT_EQ(value, 0.015);

  unitFactor factor(-0.122561);
  unitFactor back;
  std::string message;
  ASSERT_TRUE(back.Parse(factor.ToText(), "X", message)) << message;
  EXPECT_TRUE(back == factor);
  EXPECT_EQ(unitInteger(-2147483647 - 1).ToText(), "-2147483648");
}

TEST(ValueLocale, TextIgnoresACommaDecimalLocale) {
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "ru_RU.UTF-8",
                           "de_DE", "fr_FR"}) {
    ScopedLocale locale(name);
    if (!locale.Active()) continue;
    ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",") << name;
    ExpectLocaleIndependentText();
    return;
  }
  // Without a comma-decimal locale, still check that switching locales changes nothing.
  ScopedLocale fallback("C.UTF-8");
  if (fallback.Active()) ExpectLocaleIndependentText();
  GTEST_SKIP() << "no comma-decimal locale is installed";
}

}  // namespace
