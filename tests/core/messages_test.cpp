// The English messages, whole: the batch converter, the bindings and their users read these texts,
// so a change in how a failure is put together must leave every one of them as it is.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "core/angle_forms.h"
#include "core/comparison.h"
#include "core/digits.h"
#include "core/errors.h"
#include "core/notation.h"
#include "core/numbers.h"
#include "core/position_code.h"

namespace miralto {
namespace {

struct MessageCase {
  const char* name;
  std::function<void()> operation;
  std::string expected;  // Message(): the kind, ": ", the detail
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class EnglishMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(EnglishMessageTest, IsTodaysText) {
  const MessageCase& c = GetParam();
  try {
    c.operation();
    FAIL() << "no failure";
  } catch (const Error& error) {
    EXPECT_EQ(error.Message(), c.expected);
    EXPECT_EQ(std::string(KindName(error.kind())) + ": " + error.what(), c.expected);
  }
}

constexpr double kInfinity = std::numeric_limits<double>::infinity();
const std::string kDigitRule =
    "expected a digit of 0123456789abcdefghijkmnpqrstuvwxyz (lowercase, no l, no o)";
const std::string kNumberRule =
    " is not a number (expected digits with an optional sign, one period and an exponent such as "
    "1.5E-3)";
const std::string kLongRange = " is outside the integer range -2147483648 to 2147483647";

INSTANTIATE_TEST_SUITE_P(
    Failures, EnglishMessageTest,
    ::testing::Values(
        MessageCase{"NotANumber", [] { ParseStrict("12a"); },
                    "conversion error: \"12a\"" + kNumberRule},
        MessageCase{"BeyondDouble", [] { ParseStrict("-1e400"); },
                    "overflow error: the number \"-1e400\" is beyond the range of a double (about "
                    "1.8E+308)"},
        MessageCase{"BeyondSingle", [] { DecimalToDms("1e39"); },
                    "overflow error: the number \"1e39\" is beyond the single-precision range "
                    "(about 3.4E+38)"},
        MessageCase{"NotALong", [] { RoundToLong(3e9); },
                    "overflow error: the value 3000000000" + kLongRange},
        MessageCase{"NaNNotALong", [] { TruncateToLong(std::nan("")); },
                    "overflow error: the value not a number" + kLongRange},
        MessageCase{"InfinityNotALong", [] { RoundToLong(-kInfinity); },
                    "overflow error: the value minus infinity" + kLongRange},
        MessageCase{"NoNumberText", [] { DoubleText(kInfinity); },
                    "overflow error: the result is infinity, which no number text can show"},
        MessageCase{"NegativeHasNoDigits", [] { NumberToDigits(-5, 4); },
                    "out of reach: the number -5 is negative and has no digits"},
        MessageCase{"DigitTextTooLong", [] { DigitsToNumber(std::string(300, 'z')); },
                    "overflow error: the digit text \"" + std::string(40, 'z') +
                        "\"... (300 characters) is too long to have a value"},
        MessageCase{"FieldNotANumber",
                    [] {
                      DmsToDecimal({"abc", "0", "0"}, "longitude");
                    },
                    "conversion error: longitude degrees: \"abc\"" + kNumberRule},
        MessageCase{"EmptyField",
                    [] {
                      EncodePosition({{"1", "2", "3"}, {"4", "", "6"}}, {});
                    },
                    "conversion error: latitude minutes: \"\"" + kNumberRule},
        MessageCase{"FieldBeyondDouble",
                    [] {
                      DmsToDecimal({"0", "0", "1e999"}, "latitude");
                    },
                    "overflow error: latitude seconds: the number \"1e999\" is beyond the range of "
                    "a double (about 1.8E+308)"},
        // A placeholder typed by the user is quoted, never filled in.
        MessageCase{"PlaceholderInText",
                    [] {
                      DmsToDecimal({"%2%1", "0", "0"}, "latitude");
                    },
                    "conversion error: latitude degrees: \"%2%1\"" + kNumberRule},
        MessageCase{"NotationPartOf60",
                    [] {
                      Notation out;
                      ReadNotation("113\u00b070\u2032", "field 1", out);
                    },
                    "conversion error: field 1: \"113\u00b070\u2032\" has minutes of 60 or "
                    "more; minutes and seconds run from 0 to below 60"},
        MessageCase{"NotationBothLatitudes",
                    [] {
                      NotatedPosition out;
                      ResolvePosition("23N", "24S", out, "field 1", "field 2");
                    },
                    "conversion error: \"23N\" and \"24S\" are both latitudes; a record holds "
                    "one longitude and one latitude"},
        MessageCase{"DecimalOverflows",
                    [] {
                      DmsToDecimal({"1.79e308", "1.79e308", "0"}, "latitude");
                    },
                    "overflow error: latitude: the result is infinity, which no number text can "
                    "show"},
        MessageCase{"TenthsOverflow",
                    [] {
                      DmsToTenths({"1e300", "0", "0"}, "longitude");
                    },
                    "overflow error: longitude: the value 3.6E+304" + kLongRange},
        MessageCase{
            "OutOfReach",
            [] {
              EncodePosition({{"200", "0", "0"}, {"40", "0", "0"}}, {});
            },
            "out of reach: longitude 200\u00b000'00.0\" lies outside the reach of the code, "
            "70\u00b000'00.0\" to 142\u00b007'13.5\""},
        MessageCase{"OutOfReachCorrected",
                    [] {
                      EncodePosition({{"105", "0", "0"}, {"1", "0", "0"}}, {0, -36000});
                    },
                    "out of reach: latitude 1\u00b000'00.0\" lies outside the reach of the code, "
                    "4\u00b000'00.0\" to 76\u00b007'13.5\" (with the correction -36000)"},
        MessageCase{"DecodedOverflow",
                    [] {
                      DecodePosition("87ak7vtpg", {2147483647, 0});
                    },
                    "overflow error: longitude: the value 2151562242" + kLongRange},
        MessageCase{"EmptyCode", [] { DecodePosition("", {}); },
                    "invalid position code: the position code is empty"},
        MessageCase{"BadZone", [] { ValidateCode("9i4k7zwpg"); },
                    "invalid position code: character \"9\" at position 1 of the code "
                    "\"9i4k7zwpg\": expected a zone digit 5, 6, 7 or 8"},
        MessageCase{"BadDigit", [] { ValidateCode("8i4k\xe6\xb5\x8bzwpg"); },
                    "invalid position code: character \"\xe6\xb5\x8b\" at position 5 of the code "
                    "\"8i4k\xe6\xb5\x8bzwpg\": " +
                        kDigitRule},
        MessageCase{"CodeLength", [] { ValidateCode("8i4k7zwpgg"); },
                    "invalid position code: the code \"8i4k7zwpgg\" has 10 characters; a position "
                    "code has 9"},
        MessageCase{"ComparedLength", [] { CompareCodes("8i4k7zwpg", "87ak7\tv"); },
                    "invalid position code: the reference \"87ak7\\x09v\" has 7 characters; "
                    "expected a position code of 9 (or 8 without the zone)"},
        MessageCase{"ComparedDigit", [] { CompareCodes("i4k7zwOg", "87ak7vtpg"); },
                    "invalid position code: character \"O\" at position 7 of the code "
                    "\"i4k7zwOg\": " +
                        kDigitRule}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace miralto
