#include "core/notation.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/numbers.h"

namespace miralto {
namespace {

// What a field reads as, written compactly: "113.5" for a decimal text, "113 17 20.24" for the
// three DMS texts; the hemisphere as "N" (latitude), "E" (longitude) or "".
struct Case {
  const char* text;
  const char* read;
  const char* hemisphere;
};

std::string Compact(const Notation& n) {
  if (n.form == NotationForm::kDecimal) return n.decimal;
  return n.dms.degrees + " " + n.dms.minutes + " " + n.dms.seconds;
}

const char* HemisphereTag(Hemisphere h) {
  return h == Hemisphere::kLatitude ? "N" : h == Hemisphere::kLongitude ? "E" : "";
}

class NotationTest : public ::testing::TestWithParam<Case> {};

TEST_P(NotationTest, ReadsAsACarefulUserTypesIt) {
  const Case& c = GetParam();
  Notation n;
  ReadNotation(c.text, "field 1", n);
  EXPECT_EQ(Compact(n), c.read) << c.text;
  EXPECT_STREQ(HemisphereTag(n.hemisphere), c.hemisphere) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Notations, NotationTest,
    ::testing::Values(
        // Decimal numbers pass through as ParseStrict reads them.
        Case{"113.288959", "113.288959", ""}, Case{"-23.5", "-23.5", ""},
        Case{"1.13e2", "1.13e2", ""}, Case{"+7", "7", ""}, Case{" 113.5 ", "113.5", ""},
        Case{"113.2889°", "113.2889", ""}, Case{"\u221223.5", "-23.5", ""},
        // Degrees, minutes, seconds with every set of symbols.
        Case{"113°17′20.24″", "113 17 20.24", ""}, Case{"113°17'20.24\"", "113 17 20.24", ""},
        Case{"113º17’20.24”", "113 17 20.24", ""}, Case{"113°17'20.24''", "113 17 20.24", ""},
        Case{"113°17′20.24′′", "113 17 20.24", ""}, Case{"113d17m20.24s", "113 17 20.24", ""},
        Case{"113D17M20.24S", "113 17 20.24", ""}, Case{"113:17:20.24", "113 17 20.24", ""},
        Case{"113°17.3373′", "113 17.3373 0", ""}, Case{"113:17.3373", "113 17.3373 0", ""},
        Case{"113°17′20.24", "113 17 20.24", ""}, Case{"17′", "0 17 0", ""},
        Case{"113°17′20.24″E", "113 17 20.24", "E"},
        // Hemisphere letters before or after, either case, with or without blanks.
        Case{"E113°17′20.24″", "113 17 20.24", "E"}, Case{"23.236255N", "23.236255", "N"},
        Case{"23.236255 n", "23.236255", "N"}, Case{"s 23.5", "-23.5", "N"},
        Case{"113.5W", "-113.5", "E"}, Case{"113.5e", "113.5", "E"}, Case{"1e2E", "1e2", "E"},
        Case{"23.5s", "-23.5", "N"}, Case{"113d17m20.24sW", "-113 -17 -20.24", "E"},
        Case{"23°14′10.5S", "-23 -14 -10.5", "N"}, Case{"113.5w", "-113.5", "E"},
        Case{"w 113°30′", "-113 -30 0", "E"},
        // Blanks between the parts, as a CSV field may hold them.
        Case{"113° 17′ 20.24″ E", "113 17 20.24", "E"}, Case{"113\u00A0°\t17′", "113 17 0", ""},
        // The sign reaches every part that is not zero, as the window's "↑" writes it.
        Case{"-113°17′20.24″", "-113 -17 -20.24", ""}, Case{"-0°30′", "0 -30 0", ""},
        Case{"\u2212113:0:5", "-113 0 -5", ""}));

class NotationErrorTest : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(NotationErrorTest, NamesTheFieldAndWhatIsWrong) {
  const auto& [text, why] = GetParam();
  Notation n;
  try {
    ReadNotation(text, "field 2", n);
    FAIL() << text << " was read";
  } catch (const ConversionError& error) {
    const std::string message = error.what();
    EXPECT_EQ(message.rfind("field 2: " + Quote(text), 0), 0u) << message;
    EXPECT_NE(message.find(why), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, NotationErrorTest,
    ::testing::Values(
        std::pair{"", "is empty"}, std::pair{"  ", "is empty"},
        std::pair{"abc", "is not a decimal number"},
        std::pair{"12.5abc", "is not a decimal number"},
        std::pair{"1 2", "is not a decimal number"}, std::pair{"113°60′", "minutes of 60 or more"},
        std::pair{"113:17:60", "seconds of 60 or more"},
        std::pair{"113°17′75″", "seconds of 60 or more"},
        std::pair{"-23.5S", "both a minus sign and the hemisphere S"},
        std::pair{"\u221223.5W", "both a minus sign and the hemisphere W"},
        std::pair{"N23.5E", "two hemisphere letters"}, std::pair{"20″17′", "out of order"},
        std::pair{"113.5°17′", "fraction in its degrees"},
        std::pair{"113:", "is not a decimal number"},
        std::pair{"113:17′", "is not a decimal number"},
        std::pair{"1°2′3″4", "is not a decimal number"}, std::pair{"N", "is not a decimal number"},
        std::pair{"113°-17′", "is not a decimal number"}));

// A number ParseStrict reads is read by the reader as that decimal, so a caller may take the quick
// road through ParseStrict for it.
TEST(NotationTest, WhatParseStrictReadsIsADecimalOfTheSameValue) {
  for (const char* text : {"113.288959", "-23.5", "1.13e2", "1E-5", ".5", "5.", "+7", " 7 "}) {
    double value = 0;
    ASSERT_TRUE(TryParseStrict(text, value)) << text;
    Notation n;
    ReadNotation(text, "field 1", n);
    EXPECT_EQ(n.form, NotationForm::kDecimal) << text;
    EXPECT_EQ(ParseStrict(n.decimal), value) << text;
    EXPECT_EQ(n.hemisphere, Hemisphere::kNone) << text;
  }
  for (const char* text :
       {"", "-", ".", "113.5E", "1e", "23N", "113\u00B0", "--5", "1.2.3", "\u22125"}) {
    double value = 0;
    EXPECT_FALSE(TryParseStrict(text, value)) << text;
  }
  double value = 0;
  EXPECT_THROW(TryParseStrict("1e400", value), OverflowError);
}

struct Record {
  const char* first;
  const char* second;
  const char* lon;
  const char* lat;
};

class ResolveTest : public ::testing::TestWithParam<Record> {};

TEST_P(ResolveTest, LettersDecideWhichFieldIsTheLongitude) {
  const Record& r = GetParam();
  NotatedPosition p;
  ResolvePosition(r.first, r.second, p);
  EXPECT_EQ(Compact(p.lon), r.lon);
  EXPECT_EQ(Compact(p.lat), r.lat);
}

INSTANTIATE_TEST_SUITE_P(
    Records, ResolveTest,
    ::testing::Values(Record{"113.288959", "23.236255", "113.288959", "23.236255"},
                      Record{"113.288959E", "23.236255N", "113.288959", "23.236255"},
                      Record{"23.236255N", "113.288959E", "113.288959", "23.236255"},
                      Record{"23.236255N", "113.288959", "113.288959", "23.236255"},
                      Record{"23.236255", "113.288959E", "113.288959", "23.236255"},
                      Record{"S23°14′", "W113°17′", "-113 -17 0", "-23 -14 0"}));

TEST(ResolveTest, TwoLatitudesOrTwoLongitudesAreAnError) {
  NotatedPosition p;
  EXPECT_THROW(ResolvePosition("23N", "24S", p), ConversionError);
  try {
    ResolvePosition("113E", "114W", p);
    FAIL();
  } catch (const ConversionError& error) {
    EXPECT_NE(std::string(error.what()).find("are both longitudes"), std::string::npos);
  }
}

TEST(ResolveTest, AnErrorNamesTheFieldItCameFrom) {
  NotatedPosition p;
  try {
    ResolvePosition("113.5", "23x", p, "column 2", "column 3");
    FAIL();
  } catch (const ConversionError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("column 3: \"23x\"", 0), 0u) << error.what();
  }
}

}  // namespace
}  // namespace miralto
