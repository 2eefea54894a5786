#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "ScriptedInteraction.h"
#include "files/XMLItem.h"
#include "values/RangeRule.h"
#include "values/unitColor.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

namespace {

struct RangeCase {
  ERangeRule rule;
  double value;
  EUnitKind unit;
  const char* reason;  // nullptr when the value passes
};

TEST(CheckRange, EveryRuleRefusesItsBoundariesWithItsMessage) {
  using R = ERangeRule;
  constexpr EUnitKind none = EUnitKind::EHNone, perc = EUnitKind::EHPerc,
                      angle = EUnitKind::EHAngle, db = EUnitKind::EHDB;
  const char* tooHigh = "Value is too high. (maximum: less than 1 or 100 %)";
  const RangeCase cases[] = {
      {R::AllValues, -1e300, none, nullptr},
      {R::NotZero, 0, none, "Value must be not 0."},
      {R::NotZero, -1e-300, none, nullptr},
      {R::Negative, 1e-300, none, "Value must be negative."},
      {R::Negative, 0, none, nullptr},
      {R::Positive, -1e-300, none, "Value must be positive."},
      {R::Positive, 0, none, nullptr},
      {R::NegativeNotZero, 0, none, "Value must be negative and less than 0."},
      {R::PositiveNotZero, 0, none, "Value must be positive and more than 0."},
      {R::PositiveNotZero, 1e-300, none, nullptr},
      {R::ZeroInclOneIncl, -0.1, none, "Value must be positive."},
      {R::ZeroInclOneIncl, 1.0000001, none, "Value must be no more than 1."},
      {R::ZeroInclOneIncl, 1, none, nullptr},
      {R::ZeroExclOneExcl, 0, none, "Value must be positive and more than 0."},
      {R::ZeroExclOneExcl, 1, none, "Value must be less than 1."},
      {R::ZeroInclOneExcl, -0.1, db, "Value must be positive."},
      {R::ZeroInclOneExcl, 1, perc, tooHigh},
      {R::ZeroInclOneExcl, 1, angle, "Fase is too high. (maximum: less than 360' )"},
      {R::ZeroInclOneExcl, 1, db, ""},  // other units have no wording
      {R::ZeroInclOneExcl, 0, none, nullptr},
      {R::OneMore, 1, none, "Value must be more than 1."},
      {R::OneMore, 1.0000001, none, nullptr},
      {R::NegOneInclPosOneIncl, -1.5, none, "Value is too low. (minimum: -1 or -100 %)"},
      {R::NegOneInclPosOneIncl, -1.5, angle, "Fase is too low. (minimum: -360' )"},
      {R::NegOneInclPosOneIncl, 1.5, perc, tooHigh},
      {R::NegOneInclPosOneIncl, 1.5, angle, "Fase is too high. (maximum: less than 360' )"},
      {R::NegOneInclPosOneIncl, 1, none, nullptr},
  };
  for (const RangeCase& c : cases) {
    std::string reason = "unset";
    EXPECT_EQ(CheckRange(c.rule, c.value, c.unit, reason), c.reason == nullptr)
        << RangeRuleKeyName(c.rule) << " " << c.value;
    EXPECT_EQ(reason, c.reason ? c.reason : "unset") << RangeRuleKeyName(c.rule) << " " << c.value;
  }
}

TEST(ValueObjects, ParseFailuresNameTheLabelAndLeaveTheValueAlone) {
  struct Case {
    unitValue* value;
    const char* text;
    const char* message;
  };
  unitFactor factor(2.5, EUnitKind::EHPerc);
  unitFactorPos pos(1);
  unitFactorPosMore more(1);
  unitFactorPosMoreLess1 position(0.5, EUnitKind::EHPerc);
  unitFactorPosMax1 trans(0.5);
  unitFactorPosMore1 outer(2);
  unitInteger integer(3);
  unitIntegerPos depth(4);
  unitIntegerPosMore perPixel(1);
  const Case cases[] = {
      {&factor, "1.5 km", "In X: Wrong unit used, use: '%' or no unit."},
      {&factor, "1e+999", "In X: Value is too large."},
      {&pos, "-0.001", "In X: Value must be positive."},
      {&more, "0 %", "In X: Value must be positive and more than 0."},
      {&position, "0", "In X: Value must be positive and more than 0."},
      {&position, "100 %", "In X: Value must be less than 1."},
      {&trans, "101 %", "In X: Value must be no more than 1."},
      {&outer, "1", "In X: Value must be more than 1."},
      {&integer, "5 %", "In X: Invalid value: \"5 %\"."},
      {&integer, "4294967296", "In X: Value is too large."},
      {&depth, "-1", "In X: Value must be positive."},
      {&perPixel, "0", "In X: Value must be positive and more than 0."},
  };
  for (const Case& c : cases) {
    std::string before = c.value->ToText();
    EUnitKind unitBefore = c.value->GetUnit();
    std::string message;
    EXPECT_FALSE(c.value->Parse(c.text, "X", message)) << c.text;
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(c.value->ToText(), before);
    EXPECT_EQ(c.value->GetUnit(), unitBefore);
  }
}

TEST(ValueObjects, ParsedUnitIsKeptForTheDisplayText) {
  struct Case {
    const char* text;
    const char* shown;
    EUnitKind unit;
  };
  const Case cases[] = {
      {"50 %", "50 %", EUnitKind::EHPerc},
      {"12,5%", "12.5 %", EUnitKind::EHPerc},
      {"-6 dB", "-6 dB", EUnitKind::EHDB},
      {"7 #", "7 #", EUnitKind::EHPitch},
      {"-1 octave", "-1 octave", EUnitKind::EHOctave},
      {"90 '", "90 '", EUnitKind::EHAngle},
      {"3/4", "0.75", EUnitKind::EHNone},
      {"2.5e+3", "2500", EUnitKind::EHNone},
      {"-999999 dB", "0", EUnitKind::EHNone},  // underflows to 0, which dB cannot show
  };
  for (const Case& c : cases) {
    unitFactor value(1, EUnitKind::EHPerc);
    std::string message;
    ASSERT_TRUE(value.Parse(c.text, "X", message)) << message;
    EXPECT_EQ(value.ToText(), c.shown) << c.text;
    EXPECT_EQ(value.GetUnit(), c.unit) << c.text;
  }
  unitInteger integer(9);
  std::string message;
  ASSERT_TRUE(integer.Parse("+-5", "X", message));
  EXPECT_EQ(integer.GetValue(), -5);
  EXPECT_EQ(integer.ToText(), "-5");
}

TEST(ValueObjects, SetValueIsUncheckedAndDropsUnitsThatCannotShowTheNumber) {
  unitFactorPosMoreLess1 position(0.5, EUnitKind::EHPerc);
  position.SetValue(2);
  EXPECT_EQ(position.GetValue(), 2);
  EXPECT_EQ(position.ToText(), "200 %");

  for (EUnitKind unit : {EUnitKind::EHDB, EUnitKind::EHPitch, EUnitKind::EHOctave}) {
    unitFactor value(2, unit);
    EXPECT_EQ(value.GetUnit(), unit);
    value.SetValue(0);
    EXPECT_EQ(value.GetUnit(), EUnitKind::EHNone);
    EXPECT_EQ(value.ToText(), "0");
    EXPECT_EQ(unitFactor(-1, unit).GetUnit(), EUnitKind::EHNone);
  }
  // A number that the unit's display would turn into infinity is shown without unit.
  unitFactor huge(1e307, EUnitKind::EHPerc);
  EXPECT_EQ(huge.ToText().find_first_not_of("0123456789"), std::string::npos);
}

TEST(ValueObjects, CopyTakesUnitAndRuleAndEqualityComparesTheNumberOnly) {
  unitFactorPosMax1 percent(0.25, EUnitKind::EHPerc);
  unitFactor plain(0.25);
  EXPECT_TRUE(percent == plain);
  unitFactor copy = percent;
  EXPECT_EQ(copy.GetUnit(), EUnitKind::EHPerc);
  EXPECT_EQ(copy.GetRangeRule(), ERangeRule::ZeroInclOneIncl);
  plain = percent;
  EXPECT_EQ(plain.ToText(), "25 %");
  EXPECT_FALSE(unitIntegerPos(3) == unitInteger(4));
  EXPECT_TRUE(unitColor(0xFF) == unitColor(0xFF));
}

TEST(ValueObjects, CheckedTextShowsOnlyTheFirstErrorInAnInputErrorBox) {
  ScriptedInteraction ui;
  unitFactorPosMore1 outer(2);
  unitIntegerPosMore depth(100);
  bool valid = true;
  outer.SetTextChecked(valid, "3", "Outer Circle", ui);
  EXPECT_TRUE(valid);
  outer.SetTextChecked(valid, "1", "Outer Circle", ui);
  depth.SetTextChecked(valid, "0", "Max Depth", ui);
  depth.SetTextChecked(valid, "250", "Max Depth", ui);  // skipped: the flag is already false
  EXPECT_FALSE(valid);
  EXPECT_EQ(outer.GetValue(), 3);
  EXPECT_EQ(depth.GetValue(), 100);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].title, "Input Error");
  EXPECT_EQ(ui.shown[0].icon, Interaction::Icon::Information);
  EXPECT_EQ(ui.shown[0].text, "In Outer Circle: Value must be more than 1.");

  bool quiet = true;
  depth.SetTextQuiet(quiet, "-4");
  EXPECT_FALSE(quiet);
  quiet = true;
  depth.SetTextQuiet(quiet, "7");
  EXPECT_TRUE(quiet);
  EXPECT_EQ(depth.GetValue(), 7);
}

TEST(ValueObjects, EveryClassRoundTripsThroughItsXmlElement) {
  TXMLComplexElement root("Fractal");
  unitFactor left(-2.25);
  unitFactorPos pos(0);
  unitFactorPosMore more(0.001);
  unitFactorPosMoreLess1 position(0.375, EUnitKind::EHPerc);
  unitFactorPosMax1 trans(1, EUnitKind::EHPerc);
  unitFactorPosMore1 outer(16);
  unitInteger shift(-17);
  unitIntegerPos count(0);
  unitIntegerPosMore depth(2147483647);
  unitColor colour(0xFF8000);
  const unitValue* values[] = {&left,  &pos,   &more,  &position, &trans,
                               &outer, &shift, &count, &depth,    &colour};
  for (std::size_t i = 0; i < std::size(values); ++i) {
    values[i]->WriteXML(root, "V" + std::to_string(i));
  }
  EXPECT_EQ(root.FindElement("V3")->GetString(), "37.5 %");
  EXPECT_EQ(root.FindElement("V9")->GetString(), "FF8000");

  unitFactor left2;
  unitFactorPos pos2(5);
  unitFactorPosMore more2;
  unitFactorPosMoreLess1 position2;
  unitFactorPosMax1 trans2;
  unitFactorPosMore1 outer2;
  unitInteger shift2;
  unitIntegerPos count2(9);
  unitIntegerPosMore depth2;
  unitColor colour2;
  unitValue* read[] = {&left2,  &pos2,   &more2,  &position2, &trans2,
                       &outer2, &shift2, &count2, &depth2,    &colour2};
  for (std::size_t i = 0; i < std::size(read); ++i) {
    std::string message;
    int line = -1, column = -1;
    ASSERT_TRUE(read[i]->ReadXML(*root.FindElement("V" + std::to_string(i)), message, line, column))
        << message;
    EXPECT_EQ(read[i]->ToText(), values[i]->ToText());
    EXPECT_EQ(read[i]->GetUnit(), values[i]->GetUnit());
  }
}

TEST(ValueObjects, ReadingReportsTheElementNameAndPosition) {
  TXMLComplexElement root("Root");
  auto& text = root.AddString("Left", "abc");
  text.line = 12;
  text.column = 4;
  auto& complex = root.AddComplex("Top");
  complex.line = 13;
  unitFactor value(1);
  std::string message;
  int line = 0, column = 0;
  EXPECT_FALSE(value.ReadXML(text, message, line, column));
  EXPECT_EQ(message, "In Left: Input has no value.");
  EXPECT_EQ(line, 12);
  EXPECT_EQ(column, 4);
  EXPECT_FALSE(value.ReadXML(complex, message, line, column));
  EXPECT_EQ(message, "In Top: Element holds no value.");
  EXPECT_EQ(line, 13);
  EXPECT_EQ(value.GetValue(), 1);
}

TEST(ValueObjects, ColourTextIsHexadecimalAndOnlyReadFromElements) {
  EXPECT_EQ(unitColor(0xFF).ToText(), "0000FF");
  EXPECT_EQ(unitColor(0).ToText(), "000000");
  EXPECT_EQ(unitColor(0xABCDEF12).ToText(), "ABCDEF12");

  TXMLComplexElement root("Root");
  struct Case {
    const char* text;
    bool ok;
    std::uint32_t colour;
  };
  const Case cases[] = {{"0000FF", true, 0xFF}, {"ff8000", true, 0xFF8000},
                        {"0", true, 0},         {"FFFFFFFF", true, 0xFFFFFFFF},
                        {"", false, 0},         {"12G", false, 0},
                        {"0x12", false, 0},     {"100000000", false, 0}};
  for (const Case& c : cases) {
    unitColor colour(0x123456);
    std::string message;
    int line = 0, column = 0;
    bool ok = colour.ReadXML(root.AddString("BackColor", c.text), message, line, column);
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(colour.GetValue(), c.ok ? c.colour : 0x123456u) << c.text;
    if (!c.ok) {
      EXPECT_EQ(message,
                "In BackColor: Invalid Hexdecimal value: \"" + std::string(c.text) + "\".");
    }
  }
  unitColor colour(0xFF);
  std::string message;
  EXPECT_FALSE(colour.Parse("0000FF", "Color", message));
  EXPECT_EQ(message, "In Color: A colour cannot be entered as text.");
  EXPECT_EQ(colour.GetValue(), 0xFFu);
}

// The text a factor writes to its element: the display text where it reads back exactly, else
// more digits in the same unit, else the plain number when the unit's conversion cannot give the
// number back. Reading the element gives exactly the number again.
struct FactorFileCase {
  const char* name;
  double value;
  EUnitKind unit;
  const char* display;
  const char* file;
  EUnitKind unitRead;
};

void PrintTo(const FactorFileCase& c, std::ostream* os) { *os << c.name; }

class FactorFileText : public testing::TestWithParam<FactorFileCase> {};

TEST_P(FactorFileText, WritesATextThatReadsBackExactly) {
  const FactorFileCase& c = GetParam();
  const unitFactor written(c.value, c.unit);
  EXPECT_EQ(written.ToText(), c.display);
  TXMLComplexElement root("Root");
  written.WriteXML(root, "Value");
  EXPECT_EQ(root.FindElement("Value")->GetString(), c.file);
  unitFactor read;
  std::string message;
  int line = 0, column = 0;
  ASSERT_TRUE(read.ReadXML(*root.FindElement("Value"), message, line, column)) << message;
  EXPECT_EQ(read.GetValue(), c.value);
  EXPECT_EQ(read.GetUnit(), c.unitRead);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FactorFileText,
    testing::Values(FactorFileCase{"PlainExact", 0.0001, EUnitKind::EHNone, "0.0001", "0.0001",
                                   EUnitKind::EHNone},
                    FactorFileCase{"PlainMoreDigits", 1.000000000000001, EUnitKind::EHNone, "1",
                                   "1.000000000000001", EUnitKind::EHNone},
                    FactorFileCase{"PercentExact", 0.375, EUnitKind::EHPerc, "37.5 %", "37.5 %",
                                   EUnitKind::EHPerc},
                    FactorFileCase{"PercentMoreDigits", 0.1 + 0.2, EUnitKind::EHPerc, "30 %",
                                   "30.000000000000004 %", EUnitKind::EHPerc},
                    FactorFileCase{"DecibelExact", 0.50118723362727224, EUnitKind::EHDB, "-6 dB",
                                   "-6 dB", EUnitKind::EHDB},
                    FactorFileCase{"DecibelMoreDigits", 0.5, EUnitKind::EHDB,
                                   "-6.02059991327962 dB", "-6.020599913279624 dB",
                                   EUnitKind::EHDB},
                    FactorFileCase{"OctaveMoreDigits", 3, EUnitKind::EHOctave,
                                   "1.58496250072115 octave", "1.584962500721156 octave",
                                   EUnitKind::EHOctave},
                    FactorFileCase{"AngleMoreDigits", 0.06480000000000001, EUnitKind::EHAngle,
                                   "23.328 '", "23.328000000000003 '", EUnitKind::EHAngle},
                    // 0.0511... * 360 / 360 is not 0.0511...: no text in degrees reads back.
                    FactorFileCase{"AngleLosesItsUnit", 0.051100000000000007, EUnitKind::EHAngle,
                                   "18.396 '", "0.051100000000000007", EUnitKind::EHNone},
                    // Seconds are shown but never parsed: the plain number is written.
                    FactorFileCase{"UnreadableUnit", 0.25, EUnitKind::EHS, "0.25 s", "0.25",
                                   EUnitKind::EHNone}));

}  // namespace
