#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "core/angle_forms.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "tests/vectors.h"

namespace miralto {
namespace {

using testing::Outcome;
using testing::OutcomeWithMessage;
using testing::Vector;

// A row gives the three texts, or an error's kind and, in the next field if any, a part of its
// message: some faults change only the message.
void ExpectRow(const Vector& v, const std::function<DmsTexts()>& convert) {
  const std::string got = OutcomeWithMessage([&] {
    const DmsTexts t = convert();
    return t.degrees + " " + t.minutes + " " + t.seconds;
  });
  if (v[1].rfind("error:", 0) != 0) {
    EXPECT_EQ(got, v[1] + " " + v[2] + " " + v[3]);
    return;
  }
  const std::string kind = v[1].substr(6) + ": ";
  EXPECT_EQ(got.substr(0, kind.size()), kind) << got;
  if (v.fields.size() > 2) {
    EXPECT_NE(got.find(v[2]), std::string::npos) << got;
  }
}

class DecimalToDmsTest : public ::testing::TestWithParam<Vector> {};

TEST_P(DecimalToDmsTest, GivesTheTableTexts) {
  const Vector& v = GetParam();
  ExpectRow(v, [&] { return DecimalToDms(v[0]); });
}

// A number held as a double gives what the text it was read from gives: callers that hold numbers
// (the library, the Python module) must match the window bit for bit.
TEST_P(DecimalToDmsTest, TheNumberGivesWhatItsTextGives) {
  const Vector& v = GetParam();
  double value = 0;
  try {
    value = ParseLenient(v[0]);
  } catch (const Error&) {
    GTEST_SKIP() << "the text is not a number of the double range";
  }
  ExpectRow(v, [&] { return DecimalToDms(value); });
}

// Encoding from numbers skips the texts: it must read what the texts read, and fail as they fail.
TEST_P(DecimalToDmsTest, TheValuesAreWhatTheTextsReadAs) {
  const Vector& v = GetParam();
  auto joined = [](const DmsValues& d) {
    return testing::Exact(d.degrees) + " " + testing::Exact(d.minutes) + " " +
           testing::Exact(d.seconds);
  };
  auto expected = [&](const DmsTexts& t) {
    return joined({ParseStrict(t.degrees), ParseStrict(t.minutes), ParseStrict(t.seconds)});
  };
  EXPECT_EQ(OutcomeWithMessage([&] { return joined(DecimalToDmsValues(v[0])); }),
            OutcomeWithMessage([&] { return expected(DecimalToDms(v[0])); }));
  double value = 0;
  try {
    value = ParseLenient(v[0]);
  } catch (const Error&) {
    return;
  }
  EXPECT_EQ(OutcomeWithMessage([&] { return joined(DecimalToDmsValues(value)); }),
            OutcomeWithMessage([&] { return expected(DecimalToDms(value)); }));
}

INSTANTIATE_TEST_SUITE_P(Vectors, DecimalToDmsTest,
                         ::testing::ValuesIn(testing::ReadVectors("decimal_to_dms.csv")));

class DmsToDecimalTest : public ::testing::TestWithParam<Vector> {};

TEST_P(DmsToDecimalTest, GivesTheTableText) {
  const Vector& v = GetParam();
  EXPECT_EQ(Outcome([&] { return DmsToDecimal({v[0], v[1], v[2]}, "longitude"); }), v[3]);
}

INSTANTIATE_TEST_SUITE_P(Vectors, DmsToDecimalTest,
                         ::testing::ValuesIn(testing::ReadVectors("dms_to_decimal.csv")));

TEST(AngleFormsTest, NumbersNoTextCanHoldFailByKind) {
  const struct {
    double value;
    ErrorKind kind;
  } cases[] = {
      {std::numeric_limits<double>::infinity(), ErrorKind::kOverflow},
      {-std::numeric_limits<double>::infinity(), ErrorKind::kOverflow},
      {std::numeric_limits<double>::quiet_NaN(), ErrorKind::kConversion},
      {1e39, ErrorKind::kOverflow},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome([&] { return DecimalToDms(c.value).degrees; }), testing::ErrorTag(c.kind))
        << c.value;
  }
}

TEST(AngleFormsTest, ThereAndBackLosesOnlyTheSinglePrecision) {
  EXPECT_EQ(DmsToDecimal(DecimalToDms("113.288959"), "longitude"), "113.288955688889");
}

TEST(AngleFormsTest, MinutesAreReadFirstAndErrorsNameTheField) {
  try {
    DmsToDecimal({"x", "y", "0"}, "latitude");
    FAIL() << "converted";
  } catch (const ConversionError& error) {
    EXPECT_EQ(std::string(error.what()).substr(0, 21), "latitude minutes: \"y\"");
  }
}

}  // namespace
}  // namespace miralto
