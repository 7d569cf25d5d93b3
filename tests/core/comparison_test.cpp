#include <gtest/gtest.h>

#include "core/comparison.h"
#include "core/errors.h"
#include "tests/vectors.h"

namespace miralto {
namespace {

using testing::Outcome;
using testing::Vector;

class CompareTest : public ::testing::TestWithParam<Vector> {};

TEST_P(CompareTest, GivesTheTableDifferences) {
  const Vector& v = GetParam();
  const std::string expected = v.fields.size() > 3 ? v[2] + " " + v[3] : v[2];
  EXPECT_EQ(Outcome([&] {
              const CodeDifference d = CompareCodes(v[0], v[1]);
              return d.lat + " " + d.lon;
            }),
            expected);
}

INSTANTIATE_TEST_SUITE_P(Vectors, CompareTest,
                         ::testing::ValuesIn(testing::ReadVectors("compare.csv")));

TEST(CompareTest, MessageNamesTheFieldAndTheCharacter) {
  try {
    CompareCodes("87ak7vtpg", "87ak7vtpO");
    FAIL() << "compared";
  } catch (const InvalidCodeError& error) {
    EXPECT_EQ(std::string(error.what()),
              "character \"O\" at position 9 of the reference \"87ak7vtpO\": expected a digit of "
              "0123456789abcdefghijkmnpqrstuvwxyz (lowercase, no l, no o)");
  }
  try {
    CompareCodes("", "87ak7vtpg");
    FAIL() << "compared";
  } catch (const InvalidCodeError& error) {
    EXPECT_EQ(std::string(error.what()),
              "the code \"\" has 0 characters; expected a position code of 9 (or 8 without the "
              "zone)");
  }
}

}  // namespace
}  // namespace miralto
