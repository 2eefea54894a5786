#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "values/unitColor.h"
#include "values/unitFactor.h"
#include "values/unitInteger.h"

namespace {

const std::vector<std::string>& Seeds() {
  static const std::vector<std::string> seeds = {
      "1,5",
      "-0.3 %",
      "3/4",
      "2.5e+3",
      "+-5",
      "50%",
      "-6 dB",
      "12 #",
      "1 octave",
      "90 '",
      "1e+999",
      "1e-999",
      "0000FF",
      "2.5 E - 3",
      "",
      " ",
      "/",
      ".",
      "-1/0",
      "7 km/h",
      "2147483648",
      "-2147483648",
      "0,000001",
      "99999 dB",
      std::string(400, '9'),
      "0." + std::string(400, '1'),
      "1/" + std::string(400, '7'),
      std::string(400, '8') + "/3",
      "1e-" + std::string(30, '9'),
  };
  return seeds;
}

std::string Mutate(std::string text, std::mt19937& random) {
  static const std::string alphabet = "0123456789+-.,/eE \t%#'$&kmMsSdDbBoOcCtTvVaA\x01\x7f\xe9";
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  int steps = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < steps; ++i) {
    std::size_t at = text.empty() ? 0 : pick(text.size() + 1);
    switch (random() % 5) {
      case 0:
        text.insert(text.begin() + static_cast<long>(at), alphabet[pick(alphabet.size())]);
        break;
      case 1:
        if (at < text.size()) text.erase(at, 1);
        break;
      case 2:
        if (at < text.size()) text[at] = alphabet[pick(alphabet.size())];
        break;
      case 3:
        text += Seeds()[pick(Seeds().size())];
        break;
      default:
        text = text.substr(0, at) + text.substr(0, at);
        break;
    }
  }
  return text;
}

std::vector<std::unique_ptr<unitValue>> EveryClass() {
  std::vector<std::unique_ptr<unitValue>> values;
  values.push_back(std::make_unique<unitFactor>(0.5, EUnitKind::EHPerc));
  values.push_back(std::make_unique<unitFactorPos>(1));
  values.push_back(std::make_unique<unitFactorPosMore>(2));
  values.push_back(std::make_unique<unitFactorPosMoreLess1>(0.25, EUnitKind::EHPerc));
  values.push_back(std::make_unique<unitFactorPosMax1>(0.75));
  values.push_back(std::make_unique<unitFactorPosMore1>(4, EUnitKind::EHDB));
  values.push_back(std::make_unique<unitInteger>(-3));
  values.push_back(std::make_unique<unitIntegerPos>(3));
  values.push_back(std::make_unique<unitIntegerPosMore>(30));
  values.push_back(std::make_unique<unitColor>(0xFF));
  return values;
}

// What a successful parse stores must be shown as text that parses back to (nearly) the same.
void ExpectTextReadsBack(const unitValue& value, const std::string& input) {
  std::string text = value.ToText();
  std::string number = text.substr(0, text.find(' '));
  const char* digits = dynamic_cast<const unitColor*>(&value) ? "0123456789ABCDEF" : "-0123456789.";
  ASSERT_EQ(number.find_first_not_of(digits), std::string::npos) << input << " -> " << text;
  if (auto* factor = dynamic_cast<const unitFactor*>(&value)) {
    unitFactor back;
    std::string message;
    ASSERT_TRUE(back.Parse(text, "L", message)) << input << " -> " << text << ": " << message;
    ASSERT_NEAR(back.GetValue(), factor->GetValue(), std::fabs(factor->GetValue()) * 1e-9)
        << input << " -> " << text;
  } else if (auto* integer = dynamic_cast<const unitInteger*>(&value)) {
    unitInteger back;
    std::string message;
    ASSERT_TRUE(back.Parse(text, "L", message)) << text;
    ASSERT_EQ(back.GetValue(), integer->GetValue());
  }
}

// Random and mutated texts never crash a parser; every call succeeds or gives exactly one
// "In <label>: " message and leaves the value as it was.
TEST(ValueRobustness, ParsersSurviveRandomAndMutatedText) {
  std::mt19937 random(12345);
  std::vector<std::unique_ptr<unitValue>> values = EveryClass();
  int successes = 0;
  for (int i = 0; i < 20000; ++i) {
    std::string text = Mutate(Seeds()[random() % Seeds().size()], random);
    for (auto& value : values) {
      const std::string before = value->ToText();
      const EUnitKind unitBefore = value->GetUnit();
      std::string message;
      if (value->Parse(text, "L", message)) {
        ++successes;
        ASSERT_NO_FATAL_FAILURE(ExpectTextReadsBack(*value, text));
      } else {
        ASSERT_EQ(message.rfind("In L: ", 0), 0u) << text;
        ASSERT_GT(message.size(), 6u) << text;
        ASSERT_EQ(value->ToText(), before) << text;
        ASSERT_EQ(value->GetUnit(), unitBefore) << text;
      }
    }
  }
  EXPECT_GT(successes, 20000);  // the mutations keep many texts valid
}

}  // namespace
