#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

#include "files/XMLText.h"
#include "values/NumberParse.h"

namespace {

using namespace std::string_view_literals;

struct RealCase {
  const char* text;
  bool ok;
  double value;        // when ok
  EUnitKind unit;      // when ok
  const char* reason;  // when not ok
};

// Test names: the parsed text, control bytes escaped.
void PrintTo(const RealCase& c, std::ostream* os) { *os << "text " << ShownText(c.text); }

class ParseRealTable : public testing::TestWithParam<RealCase> {};

TEST_P(ParseRealTable, GivesValueAndUnitOrReason) {
  const RealCase& c = GetParam();
  double value = 42;
  EUnitKind unit = EUnitKind::EHKnots;
  std::string reason;
  ASSERT_EQ(ParseReal(c.text, value, unit, reason), c.ok) << c.text << ": " << reason;
  if (c.ok) {
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(unit, c.unit) << c.text;
  } else {
    EXPECT_EQ(reason, c.reason) << c.text;
    EXPECT_EQ(value, 42);
    EXPECT_EQ(unit, EUnitKind::EHKnots);
  }
}

constexpr EUnitKind kNone = EUnitKind::EHNone;
constexpr const char* kUnknownUnit = "This unit does not exist, use: '%' or no unit.";
constexpr const char* kWrongUnit = "Wrong unit used, use: '%' or no unit.";

INSTANTIATE_TEST_SUITE_P(
    Syntax, ParseRealTable,
    testing::Values(
        RealCase{"1,5", true, 1.5, kNone, ""}, RealCase{"1.5", true, 1.5, kNone, ""},
        RealCase{"- 7 ", true, -7, kNone, ""}, RealCase{" 7", true, 7, kNone, ""},
        RealCase{" -7", false, 0, kNone, "Input has no value."},  // a sign must come first
        RealCase{"+.5", true, 0.5, kNone, ""}, RealCase{"5.", true, 5, kNone, ""},
        RealCase{"3/4", true, 0.75, kNone, ""}, RealCase{"-3/4", true, -0.75, kNone, ""},
        RealCase{"3/0", false, 0, kNone, "Broke is invalid."},
        RealCase{"3/000", false, 0, kNone, "Broke is invalid."},
        RealCase{"/4", false, 0, kNone, "Input has no value before '/'."},
        RealCase{"3/", false, 0, kNone, "Input has no value after '/'."},
        RealCase{"3/ 4", false, 0, kNone, "Input has no value after '/'."},
        RealCase{"", false, 0, kNone, "Input has no value."},
        RealCase{"-", false, 0, kNone, "Input has no value."},
        RealCase{"abc", false, 0, kNone, "Input has no value."},
        // The exponent needs its sign; without it the text is read as a unit.
        RealCase{"2.5e+3", true, 2500, kNone, ""}, RealCase{"2.5 E - 3", true, 0.0025, kNone, ""},
        RealCase{"4e+2", true, 400, kNone, ""}, RealCase{"2.5e3", false, 0, kNone, kUnknownUnit},
        RealCase{"2.5e+", false, 0, kNone, kUnknownUnit},
        RealCase{"1/2.5", false, 0, kNone, kUnknownUnit}));

INSTANTIATE_TEST_SUITE_P(Units, ParseRealTable,
                         testing::Values(RealCase{"50%", true, 0.5, EUnitKind::EHPerc, ""},
                                         RealCase{"50 %", true, 0.5, EUnitKind::EHPerc, ""},
                                         RealCase{"12.5 %", true, 0.125, EUnitKind::EHPerc, ""},
                                         RealCase{"-0.3 %", true, -0.003, EUnitKind::EHPerc, ""},
                                         RealCase{"1/4 %", true, 0.0025, EUnitKind::EHPerc, ""},
                                         RealCase{"20 dB", true, 10, EUnitKind::EHDB, ""},
                                         RealCase{"12 #", true, 2, EUnitKind::EHPitch, ""},
                                         RealCase{"-1 Octave", true, 0.5, EUnitKind::EHOctave, ""},
                                         RealCase{"90'", true, 0.25, EUnitKind::EHAngle, ""},
                                         RealCase{"1.5 km", false, 0, kNone, kWrongUnit},
                                         RealCase{"2 ms", false, 0, kNone, kWrongUnit},
                                         RealCase{"2 $", false, 0, kNone, kWrongUnit},
                                         RealCase{"2 x", false, 0, kNone, kUnknownUnit}));

// Values that do not fit a double are refused; tiny ones become 0.
INSTANTIATE_TEST_SUITE_P(Limits, ParseRealTable,
                         testing::Values(RealCase{"1e+999", false, 0, kNone, kValueTooLarge},
                                         RealCase{"-1e+999999999999999999", false, 0, kNone,
                                                  kValueTooLarge},
                                         RealCase{"99999 dB", false, 0, kNone, kValueTooLarge},
                                         RealCase{"1e-999", true, 0, kNone, ""},
                                         RealCase{"1e+308", true, 1e308, kNone, ""}));

// Decimal text becomes the double nearest to the number written, so stored and typed numbers
// are exactly what was written.
TEST(ParseReal, GivesTheNearestDouble) {
  const char* texts[] = {"-0.3",
                         "-0.122561",
                         "0.1",
                         "1.7976931348623157e+308",
                         "2.2250738585072014e-308",
                         "123456789.123456789",
                         "0,7"};
  const double expected[] = {
      -0.3, -0.122561, 0.1, 1.7976931348623157e+308, 2.2250738585072014e-308, 123456789.123456789,
      0.7};
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    double value = 0;
    EUnitKind unit{};
    std::string reason;
    ASSERT_TRUE(ParseReal(texts[i], value, unit, reason)) << texts[i];
    EXPECT_EQ(value, expected[i]) << texts[i];
  }
  double value = 0;
  EUnitKind unit{};
  std::string reason;
  std::string longDigits = "0." + std::string(400, '3');
  ASSERT_TRUE(ParseReal(longDigits, value, unit, reason));
  EXPECT_EQ(value, 1.0 / 3);
  ASSERT_FALSE(ParseReal(std::string(400, '9'), value, unit, reason));
  EXPECT_EQ(reason, kValueTooLarge);
}

struct IntegerCase {
  std::string_view text;
  bool ok;
  std::int32_t value;
  const char* reason;
};

TEST(ParseInteger, AcceptsSignsDigitsAndTrailingBlanksOnly) {
  const IntegerCase cases[] = {
      {"5", true, 5, ""},
      {"+-5", true, -5, ""},
      {"-0", true, 0, ""},
      {"12 \t", true, 12, ""},
      {"000000000000000000000042", true, 42, ""},
      {"2147483647", true, 2147483647, ""},
      {"-2147483648", true, -2147483647 - 1, ""},
      {"2147483648", false, 0, "Value is too large."},
      {"-2147483649", false, 0, "Value is too large."},
      {"99999999999999999999", false, 0, "Value is too large."},
      {"5 %", false, 0, "Invalid value: \"5 %\"."},
      {"-+5", false, 0, "Invalid value: \"-+5\"."},
      {" 5", false, 0, "Invalid value: \" 5\"."},
      {"1.5", false, 0, "Invalid value: \"1.5\"."},
      {"", false, 0, "Invalid value: \"\"."},
      // Control bytes of the text are shown escaped; a NUL does not end the message.
      {"3\x01z", false, 0, "Invalid value: \"3\\x01z\"."},
      {"3\0 apples"sv, false, 0, "Invalid value: \"3\\0 apples\"."},
      {"4\r\n\tz", false, 0, "Invalid value: \"4\\x0D\\x0A\\x09z\"."},
  };
  for (const IntegerCase& c : cases) {
    std::int32_t value = 7;
    std::string reason;
    ASSERT_EQ(ParseInteger(c.text, value, reason), c.ok) << c.text;
    EXPECT_EQ(value, c.ok ? c.value : 7) << c.text;
    if (!c.ok) {
      EXPECT_EQ(reason, c.reason) << c.text;
    }
  }
}

TEST(ParseHexColour, AcceptsUpToThirtyTwoBitsOfHexDigits) {
  std::uint32_t colour = 0;
  EXPECT_TRUE(ParseHexColour("0000FF", colour));
  EXPECT_EQ(colour, 0xFFu);
  EXPECT_TRUE(ParseHexColour("ff8000", colour));
  EXPECT_EQ(colour, 0xFF8000u);
  EXPECT_TRUE(ParseHexColour("00FFFFFFFF", colour));
  EXPECT_EQ(colour, 0xFFFFFFFFu);
  for (const char* bad : {"", "1FFFFFFFF", "0x12", "12 ", "-1", "G0"}) {
    colour = 5;
    EXPECT_FALSE(ParseHexColour(bad, colour)) << bad;
    EXPECT_EQ(colour, 5u);
  }
}

}  // namespace

namespace {

TEST(MatchUnitSuffix, LongerSuffixesWinAndCaseDoesNotMatter) {
  const std::pair<const char*, EUnitKind> cases[] = {
      {"", EUnitKind::EHNone},      {"ms", EUnitKind::EHMS},     {"m", EUnitKind::EHM},
      {"Km/h", EUnitKind::EHKMpH},  {"kmx", EUnitKind::EHKM},    {"nmile", EUnitKind::EHNautMile},
      {"miles", EUnitKind::EHMile}, {"mph", EUnitKind::EHMpH},   {"m/s", EUnitKind::EHMpS},
      {"khz", EUnitKind::EHKHZ},    {"%abc", EUnitKind::EHPerc}, {"octaves", EUnitKind::EHOctave},
      {"db", EUnitKind::EHDB},      {"e3", EUnitKind::EHError},  {" %", EUnitKind::EHError},
  };
  for (const auto& [rest, unit] : cases) {
    EXPECT_EQ(MatchUnitSuffix(rest), unit) << rest;
  }
  EXPECT_EQ(UnitKindKeyName(EUnitKind::EHKnots), "EHKnots");
  EXPECT_EQ(UnitSuffix(EUnitKind::EHNautMile), "NMILE");
}

}  // namespace
