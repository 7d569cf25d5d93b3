#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "core/angle_forms.h"
#include "core/digits.h"
#include "core/errors.h"
#include "core/position_code.h"
#include "core/position_code_internal.h"
#include "tests/vectors.h"

namespace miralto {

void PrintTo(const Corrections& c, std::ostream* os) { *os << c.lon << "," << c.lat; }

namespace {

using testing::Outcome;
using testing::OutcomeWithMessage;
using testing::Vector;

Corrections CorrectionsOf(const Vector& v, std::size_t first) {
  return {static_cast<Long>(std::stol(v[first])), static_cast<Long>(std::stol(v[first + 1]))};
}

std::string Joined(const PositionTexts& p) {
  return p.lon.degrees + " " + p.lon.minutes + " " + p.lon.seconds + " " + p.lat.degrees + " " +
         p.lat.minutes + " " + p.lat.seconds;
}

class EncodeTest : public ::testing::TestWithParam<Vector> {};

TEST_P(EncodeTest, GivesTheTableCode) {
  const Vector& v = GetParam();
  const PositionTexts fields{{v[0], v[1], v[2]}, {v[3], v[4], v[5]}};
  EXPECT_EQ(Outcome([&] { return EncodePosition(fields, CorrectionsOf(v, 6)); }), v[8]);
}

INSTANTIATE_TEST_SUITE_P(Vectors, EncodeTest,
                         ::testing::ValuesIn(testing::ReadVectors("encode.csv")));

class DecodeTest : public ::testing::TestWithParam<Vector> {};

TEST_P(DecodeTest, GivesTheTableFields) {
  const Vector& v = GetParam();
  std::string expected = v[3];
  for (std::size_t i = 4; i < v.fields.size(); ++i) expected += " " + v[i];
  EXPECT_EQ(Outcome([&] { return Joined(DecodePosition(v[0], CorrectionsOf(v, 1))); }), expected);
}

INSTANTIATE_TEST_SUITE_P(Vectors, DecodeTest,
                         ::testing::ValuesIn(testing::ReadVectors("decode.csv")));

std::string MessageOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const Error& error) {
    return error.Message();
  }
  return "no error";
}

TEST(PositionCodeTest, MessagesNameTheOffendingCharacterOrLengthAndTheReach) {
  EXPECT_EQ(MessageOf([] { DecodePosition("87aK7vtpg", {}); }),
            "invalid position code: character \"K\" at position 4 of the code \"87aK7vtpg\": "
            "expected a digit of 0123456789abcdefghijkmnpqrstuvwxyz (lowercase, no l, no o)");
  EXPECT_EQ(MessageOf([] { DecodePosition("97ak7vtpg", {}); }),
            "invalid position code: character \"9\" at position 1 of the code \"97ak7vtpg\": "
            "expected a zone digit 5, 6, 7 or 8");
  EXPECT_EQ(MessageOf([] { DecodePosition("87ak7vtp", {}); }),
            "invalid position code: the code \"87ak7vtp\" has 8 characters; a position code has 9");
  EXPECT_EQ(MessageOf([] { DecodePosition("", {}); }),
            "invalid position code: the position code is empty");
  EXPECT_EQ(MessageOf([] { TenthsToCode(5116336, 1440000, {}); }),
            "out of reach: longitude 142\u00b007'13.6\" lies outside the reach of the code, "
            "70\u00b000'00.0\" to 142\u00b007'13.5\"");
  EXPECT_EQ(MessageOf([] {
              TenthsToCode(3780000, 179999, {0, 100});
            }),
            "out of reach: latitude 4\u00b059'59.9\" lies outside the reach of the code, "
            "5\u00b000'10.0\" to 77\u00b007'23.5\" (with the correction 100)");
  EXPECT_EQ(MessageOf([] {
              EncodePosition({{"105", "x", "0"}, {"40", "0", "0"}}, {});
            }),
            "conversion error: longitude minutes: \"x\" is not a number (expected digits with an "
            "optional sign, one period and an exponent such as 1.5E-3)");
}

// Every valid code passes the quick check, each zone with every digit at every place: one it
// refused would still be accepted by the walk behind it, only slower.
TEST(PositionCodeTest, EveryValidCodePassesTheQuickCheck) {
  std::mt19937 random(20261211);
  for (const char zone : {'5', '6', '7', '8'}) {
    for (std::size_t place = 1; place < 9; ++place) {
      for (const char digit : kDigitAlphabet) {
        std::string code(1, zone);
        for (std::size_t i = 1; i < 9; ++i)
          code += kDigitAlphabet[random() % kDigitAlphabet.size()];
        code[place] = digit;
        EXPECT_TRUE(internal::IsPlainValidCode(code)) << code;
      }
    }
  }
}

// The Long wrap-around of the original arithmetic would turn these into long codes.
TEST(PositionCodeTest, StagesAreCheckedInSixtyFourBits) {
  EXPECT_THROW(TenthsToCode(-2147483647 - 1, 180000, {}), OutOfReachError);
  EXPECT_THROW(TenthsToCode(2147483647, 180000, {}), OutOfReachError);
  EXPECT_EQ(TenthsToCode(-2147483647 - 1 + 2520000, 180000, {-2147483647 - 1, 0}), "700000000");
}

TEST(PositionCodeTest, LongitudeIsReadAndRoundedBeforeTheLatitude) {
  EXPECT_THROW(EncodePosition({{"1e300", "0", "0"}, {"x", "0", "0"}}, {}), OverflowError);
  EXPECT_THROW(EncodePosition({{"x", "0", "0"}, {"1e300", "0", "0"}}, {}), ConversionError);
}

// Fractional degrees, minutes and seconds reach tenths of an arc-second step by step: ×60, ×60, ×10
// for the degrees, then the minutes and seconds added in that order, rounded half to even once.
// A shortcut such as degrees × 36000 differs in the last bit for a few inputs in 10,000.
TEST(PositionCodeTest, FractionalFieldsGoToTenthsStepByStep) {
  std::mt19937_64 random(20261210);
  std::uniform_int_distribution<int> whole(0, 180), places(0, 7);
  auto fractional = [&](int largest) {
    std::string text = std::to_string(whole(random) % (largest + 1));
    const int count = places(random);
    if (count > 0) text += '.';
    for (int d = 0; d < count; ++d) text += static_cast<char>('0' + random() % 10);
    return text;
  };
  for (int i = 0; i < 400000; ++i) {
    const DmsTexts texts{fractional(180), i % 2 ? fractional(59) : "0",
                         i % 4 == 3 ? fractional(59) : "0"};
    auto number = [](const std::string& text) {
      double value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      return value;
    };
    const double degrees = number(texts.degrees), minutes = number(texts.minutes),
                 seconds = number(texts.seconds);
    const double a = ((degrees * 60) * 60) * 10;
    const double b = (minutes * 60) * 10 + a;
    const auto expected = static_cast<Long>(std::nearbyint(seconds * 10 + b));  // ties to even
    ASSERT_EQ(DmsToTenths(texts, "longitude"), expected)
        << texts.degrees << " " << texts.minutes << " " << texts.seconds;
  }
}

// Encoding decimal degrees straight from numbers must give the code, or the error message, that
// the texts of "↑" give: across the reach, both zone lines, beyond the reach and the Long range,
// with and without corrections.
TEST(PositionCodeTest, EncodingFromNumbersMatchesEncodingFromTexts) {
  std::mt19937_64 random(20261210);
  std::uniform_real_distribution<double> lon_in(69.9, 142.2), lat_in(4.9, 77.2);
  std::uniform_real_distribution<double> unit(-1, 1);
  const Corrections corrections[] = {{0, 0}, {-193, 106}, {360000, -72000}};
  for (int i = 0; i < 300000; ++i) {
    double lon = lon_in(random), lat = lat_in(random);
    switch (i % 6) {
      case 1:  // a hundredth of a second either side of a zone line
        lon = 105 + unit(random) * 3e-6;
        lat = 40 + unit(random) * 3e-6;
        break;
      case 2:  // whole tenths and halves of a tenth, where rounding is decided
        lon = std::round(lon * 72000) / 72000;
        lat = std::round(lat * 72000) / 72000;
        break;
      case 3:  // far outside: negative, huge, beyond a Long of tenths, beyond a Single
        lon = std::ldexp(unit(random), static_cast<int>(random() % 140));
        lat = std::ldexp(unit(random), static_cast<int>(random() % 140));
        break;
      default:
        break;
    }
    const Corrections c = corrections[i % 3];
    ASSERT_EQ(OutcomeWithMessage([&] {
                return EncodePosition(
                    PositionValues{DecimalToDmsValues(lon), DecimalToDmsValues(lat)}, c);
              }),
              OutcomeWithMessage([&] {
                return EncodePosition(PositionTexts{DecimalToDms(lon), DecimalToDms(lat)}, c);
              }))
        << testing::Exact(lon) << " " << testing::Exact(lat);
  }
  for (const double odd : {std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), 1e39, -0.0}) {
    EXPECT_EQ(OutcomeWithMessage([&] {
                return EncodePosition(
                    PositionValues{DecimalToDmsValues(113.0), DecimalToDmsValues(odd)}, {});
              }),
              OutcomeWithMessage([&] {
                return EncodePosition(PositionTexts{DecimalToDms(113.0), DecimalToDms(odd)}, {});
              }));
  }
}

// Round trips over a grid across the whole reach, both zone lines and both limits.
class RoundTripTest : public ::testing::TestWithParam<Corrections> {};

TEST_P(RoundTripTest, EveryCodeDecodesToAPositionThatEncodesToIt) {
  const Corrections c = GetParam();
  std::vector<Long> lons, lats;
  for (Long t = 0; t <= 2 * kMaxOffset; t += 7919) lons.push_back(kLowerBaseLon + t);
  for (Long t = 0; t <= 2 * kMaxOffset; t += 7907) lats.push_back(kLowerBaseLat + t);
  for (Long edge : {kLowerBaseLon, kZoneLineLon, kZoneLineLon + 1, kZoneLineLon + kMaxOffset}) {
    lons.push_back(edge);
  }
  for (Long edge : {kLowerBaseLat, kZoneLineLat, kZoneLineLat + 1, kZoneLineLat + kMaxOffset}) {
    lats.push_back(edge);
  }
  for (std::size_t i = 0; i < lons.size(); ++i) {
    for (Long lat : {lats[i % lats.size()], lats[(i * 7) % lats.size()]}) {
      const Long lon = lons[i] + c.lon;
      const Long shifted_lat = lat + c.lat;
      if (lon > kZoneLineLon + c.lon + kMaxOffset ||
          shifted_lat > kZoneLineLat + c.lat + kMaxOffset) {
        EXPECT_THROW(TenthsToCode(lon, shifted_lat, c), OutOfReachError);
        continue;
      }
      const std::string code = TenthsToCode(lon, shifted_lat, c);
      ASSERT_EQ(code.size(), 9u);
      const Tenths back = CodeToTenths(code, c);
      EXPECT_EQ(back.lon, lon) << code;
      EXPECT_EQ(back.lat, shifted_lat) << code;
      EXPECT_EQ(EncodePosition(DecodePosition(code, c), c), code);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Corrections, RoundTripTest,
                         ::testing::Values(Corrections{0, 0}, Corrections{-193, 106},
                                           Corrections{360000, -72000}));

}  // namespace
}  // namespace miralto
