#include <gtest/gtest.h>

#include <charconv>
#include <limits>
#include <string>

#include "errors.h"
#include "numbers.h"
#include "vectors.h"

namespace miralto {
namespace {

using testing::Exact;
using testing::Outcome;
using testing::Vector;

// The inputs of the rounding and text rows are numbers written in the table.
double Input(const std::string& text) {
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string Apply(const std::string& function, const std::string& input) {
  if (function == "ParseLenient") return Exact(ParseLenient(input));
  if (function == "ParseStrict") return Exact(ParseStrict(input));
  if (function == "RoundToLong") return LongText(RoundToLong(Input(input)));
  if (function == "TruncateToLong") return LongText(TruncateToLong(Input(input)));
  if (function == "SingleText") return SingleText(static_cast<Single>(Input(input)));
  if (function == "DoubleText") return DoubleText(Input(input));
  ADD_FAILURE() << "unknown function " << function;
  return "";
}

class NumbersTest : public ::testing::TestWithParam<Vector> {};

TEST_P(NumbersTest, GivesTheTableResult) {
  const Vector& v = GetParam();
  const std::string expected =
      v[0].rfind("Parse", 0) == 0 && v[2].rfind("error:", 0) != 0 ? Exact(Input(v[2])) : v[2];
  EXPECT_EQ(Outcome([&] { return Apply(v[0], v[1]); }), expected) << v[0] << "(\"" << v[1] << "\")";
}

INSTANTIATE_TEST_SUITE_P(Vectors, NumbersTest,
                         ::testing::ValuesIn(testing::ReadVectors("numbers.csv")));

// A negative zero from a parse stays a zero that every text shows as "0".
TEST(NumbersTest, NegativeZeroParsesAndPrintsAsZero) {
  EXPECT_EQ(DoubleText(ParseStrict("-0")), "0");
  EXPECT_EQ(SingleText(static_cast<Single>(ParseLenient("-0.0"))), "0");
}

TEST(NumbersTest, ParsersAgreeWhereBothAccept) {
  for (const char* text : {"0", "-12.5", "1e3", ".5", "5.", "+7", "123456789.123456789e-5"}) {
    EXPECT_EQ(Exact(ParseLenient(text)), Exact(ParseStrict(text))) << text;
  }
}

TEST(NumbersTest, NonFiniteValuesHaveNoText) {
  EXPECT_THROW(DoubleText(std::numeric_limits<double>::infinity()), OverflowError);
  EXPECT_THROW(DoubleText(std::numeric_limits<double>::quiet_NaN()), OverflowError);
  EXPECT_THROW(SingleText(-std::numeric_limits<Single>::infinity()), OverflowError);
}

TEST(NumbersTest, MessagesNameTheTextAndWhatWasExpected) {
  try {
    ParseStrict("12a");
    FAIL() << "12a parsed";
  } catch (const ConversionError& error) {
    EXPECT_EQ(error.Message(),
              "conversion error: \"12a\" is not a number (expected digits with an optional sign, "
              "one period and an exponent such as 1.5E-3)");
  }
  try {
    RoundToLong(3e9);
    FAIL() << "3e9 rounded";
  } catch (const OverflowError& error) {
    EXPECT_EQ(std::string(error.what()),
              "the value 3000000000 is outside the integer range -2147483648 to 2147483647");
  }
}

TEST(NumbersTest, LongTextCoversTheWholeRange) {
  EXPECT_EQ(LongText(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(LongText(2147483647), "2147483647");
  EXPECT_EQ(LongText(0), "0");
}

TEST(ErrorsTest, QuoteCutsLongTextsAndEscapesControlCharacters) {
  EXPECT_EQ(Quote("a\tb"), "\"a\\x09b\"");
  EXPECT_EQ(Quote(std::string(1000, '7')), "\"" + std::string(40, '7') + "\"... (1000 characters)");
  // Cut at a character boundary: 41 two-byte characters keep 40 whole ones.
  std::string wide;
  for (int i = 0; i < 41; ++i) wide += "\xc3\xa9";
  EXPECT_EQ(Quote(wide).substr(1, 80), wide.substr(0, 80));
}

}  // namespace
}  // namespace miralto
