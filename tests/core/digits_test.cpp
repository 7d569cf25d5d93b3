#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/digits.h"
#include "tests/vectors.h"

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

// The digit weights are the powers of 34 correctly rounded, as bits, so that long digit texts give
// the same value on every platform: 34^13 is an exact tie (ties to even), 34^21 and 34^22 are
// where MinGW's pow is an ulp off, 34^201 is the last finite one.
TEST(DigitsTest, TheWeightsAreThePowersOf34CorrectlyRounded) {
  struct {
    int k;
    std::uint64_t bits;
  } const cases[] = {{0, 0x3ff0000000000000},   {1, 0x4041000000000000},  {12, 0x43c08f227be81608},
                     {13, 0x44119814a3a69768},  {21, 0x469c93649f09c35f}, {22, 0x46ee5c9ae8fa5f95},
                     {100, 0x5fbad6e751d93a87}, {201, 0x7fd7eb08d386dcfc}};
  for (const auto& c : cases) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(DigitWeight(c.k)), c.bits) << "34^" << c.k;
  }
  EXPECT_TRUE(std::isinf(DigitWeight(202)));
  EXPECT_TRUE(std::isinf(DigitWeight(1000)));
}

TEST(DigitsTest, ATextTooLongForADoubleIsAnOverflow) {
  EXPECT_THROW(DigitsToNumber(std::string(300, 'z')), OverflowError);
}

}  // namespace
}  // namespace miralto
