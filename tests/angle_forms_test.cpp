#include <gtest/gtest.h>

#include "angle_forms.h"
#include "errors.h"
#include "vectors.h"

namespace miralto {
namespace {

using testing::Outcome;
using testing::Vector;

class DecimalToDmsTest : public ::testing::TestWithParam<Vector> {};

TEST_P(DecimalToDmsTest, GivesTheTableTexts) {
  const Vector& v = GetParam();
  const std::string expected = v.fields.size() > 2 ? v[1] + " " + v[2] + " " + v[3] : v[1];
  EXPECT_EQ(Outcome([&] {
              const DmsTexts t = DecimalToDms(v[0]);
              return t.degrees + " " + t.minutes + " " + t.seconds;
            }),
            expected);
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
