#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>

#include <fmt/format.h>

#include "core/errors.h"
#include "core/numbers.h"
#include "core/numbers_internal.h"
#include "tests/vectors.h"

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

namespace miralto {
namespace {

// The plain way to show a number: the general formatter's `digits` significant digits (7 for a
// Single, 15 for a double), laid out by hand. SingleText and DoubleText take faster roads where
// they can, which must give the same texts.
std::string TextReference(double value, int digits_shown) {
  char buffer[48];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, digits_shown - 1);
  std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
  const bool negative = text[0] == '-';
  std::string digits;
  for (char c : text.substr(negative ? 1 : 0, text.find('e') - (negative ? 1 : 0))) {
    if (c != '.') digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int e = 0;
  const std::size_t at = text.find('e') + 1;
  std::from_chars(text.data() + at + (text[at] == '+' ? 1 : 0), end, e);
  std::string out = negative ? "-" : "";
  if (e >= digits_shown || e < -5) {
    out += digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "");
    out += (e < 0 ? "E-" : "E+") + std::string(std::abs(e) < 10 ? "0" : "") +
           std::to_string(std::abs(e));
  } else if (e >= 0) {
    const auto whole = static_cast<std::size_t>(e) + 1;
    out += digits.size() <= whole ? digits + std::string(whole - digits.size(), '0')
                                  : digits.substr(0, whole) + "." + digits.substr(whole);
  } else {
    out += "0." + std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
  }
  return out;
}

// Every Single in stretches where the rounding is hardest: next to powers of ten, where a carry
// changes the exponent and where binary and decimal spacing are close.
TEST(SingleTextTest, AgreesWithTheGeneralFormatterEverywhereItMatters) {
  for (const float start : {9.99990f, 0.0000099999f, 0.000099999f, 8388600.0f, 9999990.0f, 1.0e-20f,
                            0.99999f, 59.9999f, 127.99f, 1.0e-7f}) {
    float value = start;
    for (int i = 0; i < 40000; ++i, value = std::nextafter(value, 2 * value)) {
      ASSERT_EQ(SingleText(value), TextReference(value, 7)) << std::hexfloat << value;
      ASSERT_EQ(SingleText(-value), TextReference(-value, 7)) << std::hexfloat << value;
    }
  }
}

// DoubleText takes the shortest text that reads back as the value when it has at most 15 digits;
// one of 16 or 17 digits must still be rounded from the exact value. Decimal degrees with seconds
// to the hundredth (most have 16 or 17 digits), and bit patterns over every exponent.
TEST(DoubleTextTest, AgreesWithTheGeneralFormatter) {
  std::mt19937_64 random(20261210);
  std::uniform_int_distribution<int> degrees(-180, 180), minutes(0, 59), hundredths(0, 5999);
  for (int i = 0; i < 200000; ++i) {
    const double decimal =
        (degrees(random) + minutes(random) / 60.0) + hundredths(random) / 360000.0;
    ASSERT_EQ(DoubleText(decimal), TextReference(decimal, 15)) << Exact(decimal);
    const double any = std::bit_cast<double>(random());
    if (!std::isfinite(any)) continue;
    ASSERT_EQ(DoubleText(any), TextReference(any, 15)) << Exact(any);
  }
}

// Doubles around the powers of ten, the limits of the quick road, halves at the fifteenth digit
// (ties go to the even digit) and random bits over the magnitudes of degrees and their
// differences.
TEST(DoubleTextTest, AgreesWithTheGeneralFormatterEverywhereItMatters) {
  auto check = [](double value) {
    ASSERT_EQ(DoubleText(value), TextReference(value, 15)) << std::hexfloat << value;
    ASSERT_EQ(DoubleText(-value), TextReference(-value, 15)) << std::hexfloat << value;
  };
  for (const double start :
       {std::numeric_limits<double>::denorm_min(), 0x1.fffffffffff00p-1023, 0.00001,
        0.0000099999999999999, 0.99999999999999, 9.9999999999999, 99999999999999.0,
        999999999999999.0, 0x1p52, 113.288944444444, 59.99999999999999, 123456789012344.5}) {
    double value = start;
    for (int i = 0; i < 20000; ++i, value = std::nextafter(value, 2 * value)) check(value);
  }
  EXPECT_EQ(DoubleText(123456789012345.5), "123456789012346");
  EXPECT_EQ(DoubleText(123456789012344.5), "123456789012344");
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 300000; ++i) {
    const double value = std::bit_cast<double>(static_cast<std::uint64_t>(random()));
    if (std::isfinite(value)) check(value);
    // Subnormals, whose shortest text can have fewer digits than the rounding to fifteen.
    if (i % 4 == 0) check(std::bit_cast<double>(random() >> 12));
    check(std::uniform_real_distribution<double>(-200.0, 200.0)(random));
    check(std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 80)));
  }
}

// SingleValue stands in for reading SingleText back wherever encoding skips the texts: it must
// give the same double for every Single, in the fixed form and the exponent form alike.
TEST(SingleValueTest, IsWhatTheTextReadsBackAs) {
  auto check = [](float value) {
    ASSERT_EQ(Exact(SingleValue(value)), Exact(ParseStrict(SingleText(value))))
        << std::hexfloat << value << " " << SingleText(value);
  };
  for (const float edge :
       {0.0f, -0.0f, 1.0f, 0.00001f, 0.0000099999f, 9999999.0f, 1.0e7f,
        std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
        std::numeric_limits<float>::max(), 59.999996f, 0.5f, 1234567.5f}) {
    check(edge);
    check(-edge);
  }
  // Bit patterns spread over every exponent, and the seconds positions have.
  std::mt19937 random(20261210);
  for (int i = 0; i < 500000; ++i) {
    const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (std::isfinite(value)) check(value);
    check(std::uniform_real_distribution<float>(-60.0f, 60.0f)(random));
  }
}

}  // namespace
}  // namespace miralto

namespace miralto::internal {

void PrintTo(Road road, std::ostream* os) {
  constexpr const char* kNames[] = {"whole", "integer", "shortest", "general"};
  *os << kNames[static_cast<int>(road)];
}

}  // namespace miralto::internal

namespace miralto {
namespace {

// The integer roads of SingleText and DoubleText answer by themselves over the whole range they
// claim, with the general formatter's digits. One that gave up early would leave every text right,
// only slower, so each is asked whether it answered. Checked in every binade of the range (its
// first and last values and random ones), next to every power of ten, and at the range's ends.
template <typename Digits, typename Float>
void CheckIntegerRoad(bool (*road)(double, Digits&, int&), int digits_shown, double low,
                      double high) {
  const auto first_digit = static_cast<Digits>(std::pow(10.0, digits_shown - 1));
  auto check = [&](Float value) {
    if (::testing::Test::HasFatalFailure() || !(value >= low && value < high)) return;
    Digits digits = 0;
    int exponent = 0;
    ASSERT_TRUE(road(value, digits, exponent)) << std::hexfloat << value;
    char buffer[48];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                   std::chars_format::scientific, digits_shown - 1)
                         .ptr;
    ASSERT_EQ(fmt::format("{}.{:0{}}e{:+03}", digits / first_digit, digits % first_digit,
                          digits_shown - 1, exponent),
              std::string(buffer, end))
        << std::hexfloat << value;
  };
  auto run = [&check](Float from, Float toward, int count) {
    for (int i = 0; i < count; ++i, from = std::nextafter(from, toward)) check(from);
  };
  const Float top = std::numeric_limits<Float>::max();
  Float least = static_cast<Float>(low);
  while (least < low) least = std::nextafter(least, top);
  Float greatest = static_cast<Float>(high);
  while (greatest >= high) greatest = std::nextafter(greatest, Float{0});
  run(least, top, 1000);
  run(greatest, Float{0}, 1000);
  std::mt19937_64 random(20261211);
  constexpr int kMantissaBits = std::numeric_limits<Float>::digits;
  for (int binade = std::ilogb(least); binade <= std::ilogb(greatest); ++binade) {
    const Float power = std::ldexp(Float{1}, binade);
    run(power, top, 100);
    run(std::nextafter(2 * power, Float{0}), Float{0}, 100);
    for (int i = 0; i < 2000; ++i) {
      const auto mantissa = static_cast<Float>(random() >> (64 - kMantissaBits + 1));
      check(std::ldexp(Float{1} + std::ldexp(mantissa, 1 - kMantissaBits), binade));
    }
  }
  for (int e = -20; e <= 16; ++e) {
    const auto power = static_cast<Float>(std::pow(10.0L, e));
    run(power, Float{0}, 200);
    run(power, top, 200);
  }
}

TEST(IntegerRoadTest, SinglesOfTheWholeRangeAnswerWithTheFormattersDigits) {
  if (!internal::IntegerRoundingBuilt()) GTEST_SKIP() << "built without 128-bit integers";
  CheckIntegerRoad<std::uint32_t, float>(internal::RoundSingleToSeven, 7, 1e-20, 1e7);
}

TEST(IntegerRoadTest, DoublesOfTheWholeRangeAnswerWithTheFormattersDigits) {
  if (!internal::IntegerRoundingBuilt()) GTEST_SKIP() << "built without 128-bit integers";
  CheckIntegerRoad<std::uint64_t, double>(internal::RoundDoubleToFifteen, 15, 1e-5, 1e15);
}

// Which road SingleText and DoubleText take: a whole number below 10^7 as it is, the integer
// rounding over its range, for a double its shortest digits where they are at most 15, and the
// general formatter only for the rest. Without 128-bit integers the integer road is not there.
TEST(TextRoadTest, EachNumberTakesTheFastestRoadThatClaimsIt) {
  using internal::Road;
  const bool integer = internal::IntegerRoundingBuilt();
  struct Row {
    double value;
    Road single, dbl;          // with 128-bit integers
    Road single_plain, plain;  // without
  };
  const Row rows[] = {
      {59, Road::kWhole, Road::kWhole, Road::kWhole, Road::kWhole},
      {9999999, Road::kWhole, Road::kWhole, Road::kWhole, Road::kWhole},
      {1e7, Road::kGeneral, Road::kInteger, Road::kGeneral, Road::kShortest},
      {113.288959, Road::kInteger, Road::kInteger, Road::kGeneral, Road::kShortest},
      {0.1 + 0.2, Road::kInteger, Road::kInteger, Road::kGeneral, Road::kGeneral},
      {1e-5, Road::kInteger, Road::kInteger, Road::kGeneral, Road::kShortest},
      {999999999999999.9, Road::kGeneral, Road::kInteger, Road::kGeneral, Road::kGeneral},
      {1e15, Road::kGeneral, Road::kShortest, Road::kGeneral, Road::kShortest},
      {1.5e-7, Road::kInteger, Road::kShortest, Road::kGeneral, Road::kShortest},
      {2e-20, Road::kInteger, Road::kShortest, Road::kGeneral, Road::kShortest},
      {1e-21, Road::kGeneral, Road::kShortest, Road::kGeneral, Road::kShortest},
      {1e300, Road::kGeneral, Road::kShortest, Road::kGeneral, Road::kShortest},
      {3.0000000000000004e-7, Road::kInteger, Road::kGeneral, Road::kGeneral, Road::kGeneral},
      {std::numeric_limits<double>::max(), Road::kGeneral, Road::kGeneral, Road::kGeneral,
       Road::kGeneral},
      {5e-324, Road::kGeneral, Road::kGeneral, Road::kGeneral, Road::kGeneral},
  };
  for (const Row& row : rows) {
    for (const double value : {row.value, -row.value}) {
      const auto single = static_cast<float>(value);
      if (std::isfinite(single) && single != 0) {
        EXPECT_EQ(internal::SingleTextRoad(single), integer ? row.single : row.single_plain)
            << value;
      }
      EXPECT_EQ(internal::DoubleTextRoad(value), integer ? row.dbl : row.plain) << value;
    }
  }
  // Shortest digits of 1 to 15 digits over every exponent outside the integer road's range.
  std::mt19937_64 random(20261211);
  for (int i = 0; i < 100000; ++i) {
    const int length = 1 + static_cast<int>(random() % 15);
    std::string text = std::to_string(1 + random() % 9);
    for (int d = 1; d < length; ++d) text += static_cast<char>('0' + random() % 10);
    const int exponent = static_cast<int>(random() % 580) - 290;
    if (exponent >= -20 && exponent <= 15) continue;
    text += "e" + std::to_string(exponent);
    const double value = ParseStrict(text);
    ASSERT_EQ(internal::DoubleTextRoad(value), Road::kShortest) << text;
  }
}

// SingleValue's own roads answer for every Single whose text is in the fixed form, from 1E-5 to
// below 1E+07 (only the whole ones without 128-bit integers), with what the text reads back as.
TEST(SingleValueTest, AnswersWithoutTheTextOverTheFixedForm) {
  const bool integer = internal::IntegerRoundingBuilt();
  auto check = [integer](float value) {
    if (::testing::Test::HasFatalFailure()) return;
    double quick = 0;
    const bool answered = internal::SingleValueQuickly(value, quick);
    if (!integer && value != std::trunc(value)) return;
    ASSERT_TRUE(answered) << std::hexfloat << value;
    ASSERT_EQ(Exact(quick), Exact(ParseStrict(SingleText(value)))) << std::hexfloat << value;
  };
  float least = 1e-5f;
  while (least < 1e-5) least = std::nextafter(least, 1.0f);
  std::mt19937 random(20261211);
  for (int binade = std::ilogb(least); binade <= 23; ++binade) {
    const float power = std::ldexp(1.0f, binade);
    for (float value = std::max(power, least);
         value < std::min(power * 1.0001f, std::nextafter(1e7f, 0.0f));
         value = std::nextafter(value, 1e7f)) {
      check(value);
      check(-value);
    }
    for (int i = 0; i < 5000; ++i) {
      const float value =
          std::ldexp(1.0f + std::ldexp(static_cast<float>(random() >> 9), -23), binade);
      if (value >= least && value < 1e7f) check(value);
    }
  }
  for (const float edge : {least, 0.00001f, 59.999996f, 8388607.5f, 9999999.0f, 1.0f, 0.1f}) {
    check(edge);
    check(-edge);
  }
}

// The reader's road for texts of at most 15 digits without an exponent: every one of them
// answers there, with the general reader's value.
TEST(ParseTest, ShortDecimalsAnswerOnTheQuickRoad) {
  std::mt19937_64 random(20261212);
  for (int i = 0; i < 200000; ++i) {
    const int length = 1 + static_cast<int>(random() % 15);
    std::string text = random() % 3 == 0 ? "-" : random() % 2 ? "+" : "";
    const int period = static_cast<int>(random() % (length + 2)) - 1;  // -1: none
    if (period == -1 && random() % 2 == 0) text += ".";
    for (int d = 0; d < length; ++d) {
      if (d == period) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (period == length) text += '.';
    double expected = 0;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    std::from_chars(first, text.data() + text.size(), expected);
    double value = 0;
    ASSERT_TRUE(internal::ReadQuickly(text, value)) << text;
    ASSERT_EQ(Exact(value), Exact(expected)) << text;
  }
}

// Short decimal texts take a quick road; it must give what the general reader gives.
TEST(ParseTest, ShortDecimalsReadAsTheGeneralReaderReadsThem) {
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 200000; ++i) {
    const int length = 1 + static_cast<int>(random() % 15);
    std::string text = random() % 2 ? "-" : "";
    const int period = static_cast<int>(random() % (length + 1));
    for (int d = 0; d < length; ++d) {
      if (d == period) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    ASSERT_EQ(Exact(ParseStrict(text)), Exact(expected)) << text;
    ASSERT_EQ(Exact(ParseLenient(text)), Exact(expected)) << text;
  }
}

// Any text of signs, zeros, digits, periods and exponents: both readers take the longest number at
// its front as the general reader does, and the strict one only a text that is all number.
TEST(ParseTest, EveryShapeOfNumberReadsAsTheGeneralReaderReadsIt) {
  std::mt19937_64 random(20261211);
  auto digits = [&random](std::string& text, std::size_t count) {
    for (std::size_t d = 0; d < count; ++d) text += static_cast<char>('0' + random() % 10);
  };
  for (int i = 0; i < 300000; ++i) {
    std::string text = std::string(random() % 3 == 0 ? "-" : random() % 4 == 0 ? "+" : "");
    text += std::string(random() % 4, '0');
    digits(text, random() % 22);
    if (random() % 3 != 0) {
      text += '.';
      text += std::string(random() % 4, '0');
      digits(text, random() % 22);
    }
    if (random() % 3 == 0) {
      text += random() % 2 ? 'e' : 'E';
      if (random() % 2) text += random() % 2 ? '-' : '+';
      digits(text, random() % 3);
    }
    if (random() % 4 == 0) text += random() % 2 ? "." : "x1";
    const bool plus = text[0] == '+';
    const char* first = text.data() + (plus ? 1 : 0);
    double expected = 0;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), expected);
    if (ec != std::errc()) expected = 0;
    ASSERT_EQ(Exact(ParseLenient(text)), Exact(expected)) << text;
    double strict = 0;
    ASSERT_EQ(TryParseStrict(text, strict), ec == std::errc() && end == text.data() + text.size())
        << text;
    if (ec == std::errc() && end == text.data() + text.size()) {
      ASSERT_EQ(Exact(strict), Exact(expected)) << text;
    }
  }
  // Beyond the double range only by its exponent, or by its digits: leading zeros do not count.
  EXPECT_THROW(ParseStrict("00012e400"), OverflowError);
  EXPECT_THROW(ParseStrict(std::string(400, '9')), OverflowError);
  EXPECT_EQ(ParseStrict("0000.000001e-400"), 0.0);
  EXPECT_EQ(ParseStrict("0." + std::string(400, '0') + "1"), 0.0);
}

}  // namespace
}  // namespace miralto

namespace miralto {
namespace {

// The texts of the number-text layer's own writer, which every target uses, against the host's
// std::to_chars (which not every target has): the shortest form, its fixed form, and the reading
// of long texts, over edges and bit patterns of every exponent.
TEST(ShortestTextTest, AgreesWithTheStandardLibraryOfTheHost) {
  auto reference = [](double value, bool fixed) {
    char buffer[400];
    const auto result =
        fixed ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
              : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
  };
  auto check = [&](double value) {
    ASSERT_EQ(ShortestText(value), reference(value, false)) << std::hexfloat << value;
    ASSERT_EQ(FixedText(value), reference(value, true)) << std::hexfloat << value;
    if (std::isfinite(value)) {
      const std::string long_text = fmt::format("{:.25e}", value);
      double expected = 0;
      std::from_chars(long_text.data(), long_text.data() + long_text.size(), expected);
      ASSERT_EQ(Exact(ParseStrict(long_text)), Exact(expected)) << long_text;
    }
  };
  for (const double edge :
       {0.0, -0.0, 1.0, 0.1, 1e15, 1e16, 123456789012345680.0, 1e-5, 1e-4, 0.001, 1e21, 1e22,
        5e-324, 1.7976931348623157e308, 113.28895900000001, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    check(edge);
    check(-edge);
  }
  std::mt19937_64 random(20261210);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(static_cast<std::uint64_t>(random()));
    if (!std::isnan(value)) check(value);
    check(std::uniform_real_distribution<double>(-200.0, 200.0)(random));
    check(std::ldexp(std::uniform_real_distribution<double>(1.0, 2.0)(random), i % 90));
  }
}

}  // namespace
}  // namespace miralto
