#include <gtest/gtest.h>

#include "digits.h"
#include "vectors.h"

namespace miralto {
namespace {

using testing::Outcome;
using testing::Vector;

TEST(DigitsTest, AlphabetIsTheDigitsThenLowercaseWithoutLAndO) {
  EXPECT_EQ(kDigitAlphabet.size(), 34u);
  EXPECT_EQ(kDigitAlphabet.find_first_of("lo"), std::string_view::npos);
  for (std::size_t i = 0; i < kDigitBase; ++i) {
    EXPECT_EQ(kDigitTable[i], kDigitAlphabet[i]);
    EXPECT_EQ(DigitValue(std::string_view(&kDigitTable[i], 1)), static_cast<int>(i));
  }
  EXPECT_EQ(DigitValue("L"), -1);
  EXPECT_EQ(DigitValue(""), -1);
}

class NumberToDigitsTest : public ::testing::TestWithParam<Vector> {};

TEST_P(NumberToDigitsTest, GivesTheTableDigits) {
  const Vector& v = GetParam();
  EXPECT_EQ(Outcome([&] { return NumberToDigits(std::stoi(v[1]), std::stoi(v[2])); }), v[3]);
}

INSTANTIATE_TEST_SUITE_P(Vectors, NumberToDigitsTest,
                         ::testing::ValuesIn(testing::ReadVectors("digits.csv", "NumberToDigits")));

class DigitsToNumberTest : public ::testing::TestWithParam<Vector> {};

TEST_P(DigitsToNumberTest, GivesTheTableValue) {
  const Vector& v = GetParam();
  EXPECT_EQ(Outcome([&] { return DigitsToNumber(v[1]); }), v[2]);
}

INSTANTIATE_TEST_SUITE_P(Vectors, DigitsToNumberTest,
                         ::testing::ValuesIn(testing::ReadVectors("digits.csv", "DigitsToNumber")));

TEST(DigitsTest, EveryFourDigitGroupReadsBackToItsNumber) {
  for (Long n = 0; n <= 1336335; n += 997) {
    EXPECT_EQ(DigitsToNumber(NumberToDigits(n, 4)), LongText(n));
  }
}

TEST(DigitsTest, ATextTooLongForADoubleIsAnOverflow) {
  EXPECT_THROW(DigitsToNumber(std::string(300, 'z')), OverflowError);
}

}  // namespace
}  // namespace miralto
