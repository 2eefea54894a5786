#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <ostream>
#include <random>
#include <string>

#include "values/NumberFormat.h"
#include "values/NumberParse.h"

namespace {

struct FormatCase {
  double x;
  int precision;
  bool trim;
  const char* expected;
};

// Test names: the number with all its digits, the precision and the expected text.
void PrintTo(const FormatCase& c, std::ostream* os) {
  *os << std::setprecision(17) << c.x << " p" << c.precision << (c.trim ? " trim" : " full")
      << " is " << c.expected;
}

class FormatNumberTable : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTable, GivesPlainDecimalText) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.x, c.precision, c.trim), c.expected) << "x = " << c.x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormatNumberTable,
    testing::Values(
        FormatCase{300, 99, true, "300"}, FormatCase{-1.5, 99, true, "-1.5"},
        FormatCase{1000, 99, true, "1000"}, FormatCase{0.0001, 99, true, "0.0001"},
        FormatCase{-0.122561, 99, true, "-0.122561"},
        FormatCase{-0.0000123, 99, true, "-0.0000123"}, FormatCase{0.1 + 0.2, 99, true, "0.3"},
        FormatCase{0, 99, true, "0"}, FormatCase{-0.0, 99, true, "0"},
        // At most 15 significant digits, the last one truncated after a small bias.
        FormatCase{2.0 / 3, 99, true, "0.666666666666666"},
        FormatCase{0.3, 99, true, "0.3"},  // 0.29999999999999998...: the bias carries over
        FormatCase{0.9999999999999999, 99, true, "0.999999999999999"},
        FormatCase{123.456789012345678, 99, true, "123.456789012345"},
        // Large numbers keep their magnitude: digits below the 15 shown ones are zeros.
        FormatCase{1e20, 99, true, "100000000000000000000"},
        FormatCase{1e15 + 0.25, 99, true, "1000000000000000"},
        FormatCase{123456789012345678.0, 99, true, "123456789012345000"},
        FormatCase{-4.5e16, 99, true, "-45000000000000000"},
        // Integers with precision 7 show all their digits.
        FormatCase{1234567, 7, true, "1234567"}, FormatCase{12345678, 7, true, "12345678"},
        FormatCase{2147483647, 7, true, "2147483647"},
        FormatCase{-2147483648.0, 7, true, "-2147483648"},
        // A small precision limits the digits; a value shown as zero has no sign.
        FormatCase{3.14159, 3, true, "3.14"}, FormatCase{0.000123456, 3, true, "0.00012"},
        FormatCase{-0.05, 1, true, "0"},
        // Without trimming the decimal places are kept.
        FormatCase{1.5, 4, false, "1.500"}, FormatCase{0, 3, false, "0.0"},
        // Non-finite input gives a word that no parser accepts.
        FormatCase{std::numeric_limits<double>::quiet_NaN(), 99, true, "NaN"},
        FormatCase{std::numeric_limits<double>::infinity(), 99, true, "Infinity"},
        FormatCase{-std::numeric_limits<double>::infinity(), 7, true, "-Infinity"}));

TEST(FormatNumber, ExtremeDoublesAreWrittenInFull) {
  std::string largest = FormatNumber(std::numeric_limits<double>::max(), 99, true);
  EXPECT_EQ(largest.size(), 309u);
  EXPECT_EQ(largest.substr(0, 16), "1797693134862310");
  EXPECT_EQ(largest.find_first_not_of('0', 15), std::string::npos);

  std::string smallest = FormatNumber(-std::numeric_limits<double>::denorm_min(), 99, true);
  EXPECT_EQ(smallest.substr(0, 3), "-0.");
  EXPECT_EQ(smallest.size(), 3u + 323u + 15u);
  EXPECT_EQ(smallest.substr(smallest.size() - 15), "494065645841246");
}

// Formatting and parsing back must give the number again: exactly for decimals of a dozen
// digits as users type them, and to 15 digits for arbitrary doubles.
TEST(FormatNumber, RoundTripsThroughTheParser) {
  std::mt19937_64 random(20240611);
  for (int i = 0; i < 20000; ++i) {
    long long mantissa = static_cast<long long>(random() % 1'000'000'000'000ULL);
    int exponent = static_cast<int>(random() % 17) - 12;
    std::string decimal = std::to_string(mantissa) + "e" + std::to_string(exponent);
    double x = 0;
    std::from_chars(decimal.data(), decimal.data() + decimal.size(), x);
    if (random() % 2) x = -x;

    std::string text = FormatNumber(x, 99, true);
    double back = 0;
    EUnitKind unit = EUnitKind::EHError;
    std::string reason;
    ASSERT_TRUE(ParseReal(text, back, unit, reason)) << text << ": " << reason;
    ASSERT_EQ(back, x) << decimal << " -> " << text;

    double any =
        std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 200) - 150);
    text = FormatNumber(any, 99, true);
    ASSERT_EQ(text.find_first_of("eE"), std::string::npos) << text;
    ASSERT_TRUE(ParseReal(text, back, unit, reason)) << text << ": " << reason;
    ASSERT_NEAR(back, any, std::fabs(any) * 1e-14) << text;
  }
}

// File texts keep the 15-digit display text wherever it reads back as the same double (so files
// written before stay byte-identical) and take the shortest exact text only where it does not.
struct FileTextCase {
  const char* name;
  double x;
  const char* display;
  const char* file;
};

void PrintTo(const FileTextCase& c, std::ostream* os) { *os << c.name; }

class FileNumberTable : public testing::TestWithParam<FileTextCase> {};

TEST_P(FileNumberTable, ReadsBackExactlyWithTheFewestDigits) {
  const FileTextCase& c = GetParam();
  EXPECT_EQ(FormatNumber(c.x, 99, true), c.display);
  const std::string file = FormatFileNumber(c.x);
  EXPECT_EQ(file, c.file);
  double back = 0;
  EUnitKind unit = EUnitKind::EHError;
  std::string reason;
  if (std::isfinite(c.x)) {
    ASSERT_TRUE(ParseReal(file, back, unit, reason)) << reason;
    EXPECT_EQ(back, c.x) << file;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Unchanged, FileNumberTable,
    testing::Values(
        FileTextCase{"Resolution", 300, "300", "300"}, FileTextCase{"Left", -1.5, "-1.5", "-1.5"},
        FileTextCase{"InnerDist", 0.0001, "0.0001", "0.0001"},
        FileTextCase{"CR", -0.122561, "-0.122561", "-0.122561"},
        FileTextCase{"PointThree", 0.3, "0.3", "0.3"},
        FileTextCase{"FifteenDigits", 0.131825904205330, "0.13182590420533", "0.13182590420533"},
        FileTextCase{"PowerOfTen", 1e20, "100000000000000000000", "100000000000000000000"},
        FileTextCase{"NegativeZero", -0.0, "0", "0"},
        FileTextCase{"NaN", std::numeric_limits<double>::quiet_NaN(), "NaN", "NaN"},
        FileTextCase{"Infinity", -std::numeric_limits<double>::infinity(), "-Infinity",
                     "-Infinity"}));

INSTANTIATE_TEST_SUITE_P(
    MoreDigits, FileNumberTable,
    testing::Values(
        FileTextCase{"OuterCircleAboveOne", 1.000000000000001, "1", "1.000000000000001"},
        FileTextCase{"OneThird", 1.0 / 3, "0.333333333333333", "0.3333333333333333"},
        FileTextCase{"BelowOne", 0.9999999999999999, "0.999999999999999", "0.9999999999999999"},
        FileTextCase{"SumOfTenths", 0.1 + 0.2, "0.3", "0.30000000000000004"},
        FileTextCase{"DeepZoom", -0.7436438870371587, "-0.743643887037158", "-0.7436438870371587"},
        FileTextCase{"DeepZoomWidth", -0.7436438870371587 + 2.5e-14, "-0.743643887037133",
                     "-0.7436438870371337"},
        FileTextCase{"LargeInteger", 123456789012345678.0, "123456789012345000",
                     "123456789012345680"},
        FileTextCase{"Small", -1.0000000000000003e-5, "-0.00001", "-0.000010000000000000003"}));

// Any double: the file text reads back exactly, has at most 17 significant digits, and equals
// the display text whenever that one reads back exactly too.
TEST(FormatFileNumber, EveryDoubleReadsBackExactly) {
  std::mt19937_64 random(7);
  int longer = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::uint64_t bits = random();
    double x = 0;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isfinite(x)) continue;
    if (i % 2) x = std::ldexp(std::fmod(x, 1.0), static_cast<int>(random() % 120) - 60);
    const std::string file = FormatFileNumber(x);
    double back = 0;
    EUnitKind unit = EUnitKind::EHError;
    std::string reason;
    ASSERT_TRUE(ParseReal(file, back, unit, reason)) << file << ": " << reason;
    ASSERT_EQ(back, x) << file;
    const std::size_t first = file.find_first_not_of("-0.");
    std::string significant = file.substr(first == std::string::npos ? file.size() : first);
    significant.erase(std::remove(significant.begin(), significant.end(), '.'), significant.end());
    significant.erase(significant.find_last_not_of('0') + 1);
    ASSERT_LE(significant.size(), 17u) << file;

    const std::string display = FormatNumber(x, 99, true);
    if (ParseReal(display, back, unit, reason) && back == x) {
      ASSERT_EQ(file, display);
    } else {
      ++longer;
    }
  }
  EXPECT_GT(longer, 1000);  // the random doubles do exercise the longer texts
}

}  // namespace
