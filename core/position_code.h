// The nine-character position code: a zone digit and two groups of four base-34 digits (the
// longitude and latitude offsets from the zone's base corner, least significant digit first), in
// tenths of arc-second. Encoding works in two stages: degrees/minutes/seconds texts -> tenths of
// arc-second -> characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/digits.h"
#include "core/numbers.h"

namespace miralto {

inline constexpr Long kTenthsPerDegree = 36000;
inline constexpr Long kTenthsPerMinute = 600;
inline constexpr Long kTenthsPerSecond = 10;

// A code is a zone digit, then the longitude group, then the latitude group.
inline constexpr Long kGroupDigits = 4;
inline constexpr Long kCodeLength = 1 + 2 * kGroupDigits;
// The largest value a group holds: base^4 - 1.
inline constexpr Long kMaxOffset = [] {
  Long power = 1;
  for (Long i = 0; i < kGroupDigits; ++i) power *= static_cast<Long>(kDigitBase);
  return power - 1;
}();
static_assert(kCodeLength == 9);
static_assert(kMaxOffset == 1336335);

// Base corners of the zones, in tenths of arc-second.
inline constexpr Long kZoneLineLon = 105 * kTenthsPerDegree;
inline constexpr Long kZoneLineLat = 40 * kTenthsPerDegree;
inline constexpr Long kLowerBaseLon = 70 * kTenthsPerDegree;
inline constexpr Long kLowerBaseLat = 5 * kTenthsPerDegree;

// The two correction values, in tenths of arc-second: encoding takes them off, decoding adds them.
struct Corrections {
  Long lon = 0;
  Long lat = 0;
};

// Degrees, minutes and seconds texts of one quantity, as the fields hold them.
struct DmsTexts {
  std::string degrees;
  std::string minutes;
  std::string seconds;
  bool operator==(const DmsTexts&) const = default;
};

// Longitude then latitude: the six degree/minute/second fields in their order.
struct PositionTexts {
  DmsTexts lon;
  DmsTexts lat;
  bool operator==(const PositionTexts&) const = default;
};

// The numbers the degree, minute and second texts read as, for a caller that has them without the
// texts.
struct DmsValues {
  double degrees = 0;
  double minutes = 0;
  double seconds = 0;
};

struct PositionValues {
  DmsValues lon;
  DmsValues lat;
};

// Stage one: RoundToLong of seconds*10 + (minutes*60)*10 + ((degrees*60)*60)*10, each text read by
// ParseStrict in the order degrees, minutes, seconds. Values are not range-checked (104 60 0 is
// 105 0 0). Throws ConversionError naming `quantity` ("longitude") and the field, or
// OverflowError.
Long DmsToTenths(const DmsTexts& texts, std::string_view quantity);

// Stage one on the numbers the texts read as: the same sum and the same errors after reading.
Long DmsToTenths(const DmsValues& values, std::string_view quantity);

// Stage two: the code of a position in tenths of arc-second. Zone lines at 105 deg and 40 deg
// (shifted by the corrections) belong to the lower side. Throws OutOfReachError, naming the reach,
// when an offset falls outside 0 to 1336335, since the code cannot hold it.
std::string TenthsToCode(Long lon, Long lat, Corrections corrections);

// Encoding of the six fields: DmsToTenths of each quantity, then TenthsToCode.
std::string EncodePosition(const PositionTexts& fields, Corrections corrections);
std::string EncodePosition(const PositionValues& values, Corrections corrections);

// Throws InvalidCodeError unless `code` is a zone digit 5 to 8 and eight digits of the alphabet,
// naming the first offending character and its position, or the length.
void ValidateCode(std::string_view code);

struct Tenths {
  Long lon;
  Long lat;
};

// The position a code names, in tenths of arc-second, corrections added back. Throws
// InvalidCodeError (see ValidateCode) or OverflowError when a correction takes it beyond a Long.
Tenths CodeToTenths(std::string_view code, Corrections corrections);

// Degrees and minutes of `tenths` truncated toward zero, the rest as single-precision seconds;
// every part keeps the sign of `tenths`.
DmsTexts TenthsToDms(Long tenths);

// The numbers the three texts of TenthsToDms read back as, bit for bit, without forming them.
DmsValues TenthsToDmsValues(Long tenths);

// Decoding: the six field texts of the position a code names. All six are computed before any is
// returned, so a failure leaves every field as it was.
PositionTexts DecodePosition(std::string_view code, Corrections corrections);

// A position in tenths of arc-second as a user reads it, for messages: 142°07'13.5".
std::string TenthsAngleText(std::int64_t tenths);

}  // namespace miralto
