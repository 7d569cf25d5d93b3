// Qt sets the process locale from the environment at start-up; no text may change with it.
#include <gtest/gtest.h>

#include <clocale>

#include "core/angle_forms.h"
#include "core/errors.h"
#include "tests/locales.h"
#include "core/numbers.h"
#include "core/position_code.h"

namespace miralto {
namespace {

TEST(LocaleTest, TextsIgnoreACommaDecimalLocale) {
  const char* found = nullptr;
  // The POSIX names, then the Windows ones, which are always there.
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8", "de-DE",
                           "German_Germany.1252"}) {
    if ((found = std::setlocale(LC_ALL, name)) != nullptr) break;
  }
  if (found == nullptr) {
    if (tests::LocalesRequired()) FAIL() << "no comma-decimal locale is installed";
    GTEST_SKIP() << "no comma-decimal locale is installed (scripts/test.sh generates one)";
  }
  ASSERT_EQ(std::localeconv()->decimal_point[0], ',');

  EXPECT_EQ(ParseStrict("12.5"), 12.5);
  EXPECT_THROW(ParseStrict("12,5"), ConversionError);
  EXPECT_EQ(ParseLenient("12,5"), 12.0);
  EXPECT_EQ(DoubleText(113.28895900000001), "113.288959");
  EXPECT_EQ(SingleText(20.2524f), "20.2524");
  const DmsTexts t = DecimalToDms("113.288959");
  EXPECT_EQ(t.seconds, "20.24048");
  EXPECT_EQ(DmsToDecimal({"113", "17", "20.2524"}, "longitude"), "113.288959");
  EXPECT_EQ(EncodePosition({{"113", "17", "20.25"}, {"23", "14", "10.5"}}, {}), "8i4k7zwpg");
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace miralto
