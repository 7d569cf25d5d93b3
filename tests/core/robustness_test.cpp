// Whatever a user pastes: every operation ends in a result or one of the tool's errors.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "core/angle_forms.h"
#include "core/comparison.h"
#include "core/errors.h"
#include "core/position_code.h"

namespace miralto {
namespace {

struct Paste {
  const char* name;
  std::function<std::string()> make;
};

void PrintTo(const Paste& paste, std::ostream* os) { *os << paste.name; }

std::string Garbage(std::size_t size) {
  std::mt19937 random(7);
  std::string text(size, '\0');
  for (char& c : text) c = static_cast<char>(random() % 256);
  return text;
}

class HugeFieldTest : public ::testing::TestWithParam<Paste> {};

void EndsInAResultOrAnError(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const Error&) {
  }
}

TEST_P(HugeFieldTest, EveryOperationEndsInAResultOrAnError) {
  const std::string huge = GetParam().make();
  const DmsTexts plain{"105", "0", "0"};
  EndsInAResultOrAnError([&] { DecimalToDms(huge); });
  for (const DmsTexts& texts :
       {DmsTexts{huge, "0", "0"}, DmsTexts{"105", huge, "0"}, DmsTexts{"105", "0", huge}}) {
    EndsInAResultOrAnError([&] { DmsToDecimal(texts, "longitude"); });
    EndsInAResultOrAnError([&] { EncodePosition({texts, plain}, {}); });
    EndsInAResultOrAnError([&] { EncodePosition({plain, texts}, {}); });
  }
  EndsInAResultOrAnError([&] { DecodePosition(huge, {}); });
  EndsInAResultOrAnError([&] { CompareCodes(huge, "87ak7vtpg"); });
  EndsInAResultOrAnError([&] { CompareCodes("87ak7vtpg", huge); });
}

INSTANTIATE_TEST_SUITE_P(
    OneMegabyte, HugeFieldTest,
    ::testing::Values(Paste{"Digits", [] { return std::string(1 << 20, '7'); }},
                      Paste{"Blanks", [] { return std::string(1 << 20, ' '); }},
                      Paste{"SmallFraction",
                            [] { return "0." + std::string((1 << 20) - 3, '0') + "1"; }},
                      Paste{"HugeExponent", [] { return "1e" + std::string((1 << 20) - 2, '9'); }},
                      Paste{"SpacedDigits",
                            [] {
                              std::string t;
                              while (t.size() < (1 << 20)) t += "1 ";
                              return t;
                            }},
                      Paste{"Garbage", [] { return Garbage(1 << 20); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A tenth of a second either side of both zone lines and both limits of the reach.
TEST(ReachTest, EdgesEncodeAndDecodeBackOrAreOutOfReach) {
  for (const Corrections c : {Corrections{0, 0}, Corrections{-193, 106}}) {
    const Long lons[] = {kLowerBaseLon, kZoneLineLon, kZoneLineLon + kMaxOffset};
    const Long lats[] = {kLowerBaseLat, kZoneLineLat, kZoneLineLat + kMaxOffset};
    for (const Long lon_edge : lons) {
      for (const Long lat_edge : lats) {
        for (const int dlon : {-1, 0, 1}) {
          for (const int dlat : {-1, 0, 1}) {
            const Long lon = lon_edge + c.lon + dlon;
            const Long lat = lat_edge + c.lat + dlat;
            const bool outside = (lon_edge == kLowerBaseLon && dlon < 0) ||
                                 (lon_edge == kZoneLineLon + kMaxOffset && dlon > 0) ||
                                 (lat_edge == kLowerBaseLat && dlat < 0) ||
                                 (lat_edge == kZoneLineLat + kMaxOffset && dlat > 0);
            if (outside) {
              EXPECT_THROW(TenthsToCode(lon, lat, c), OutOfReachError) << lon << " " << lat;
              continue;
            }
            const std::string code = TenthsToCode(lon, lat, c);
            const Tenths back = CodeToTenths(code, c);
            EXPECT_EQ(back.lon, lon) << code;
            EXPECT_EQ(back.lat, lat) << code;
            EXPECT_EQ(EncodePosition(DecodePosition(code, c), c), code);
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace miralto
