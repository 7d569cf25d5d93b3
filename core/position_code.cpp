#include "core/position_code.h"

#include <algorithm>

#include "core/digits.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/position_code_internal.h"
#include "core/text.h"

namespace miralto {

namespace {

// A group is written least significant digit first. The offset has passed CheckReach, so its
// digits fill the group exactly.
void AppendReversedGroup(std::string& code, Long offset) {
  constexpr auto kBase = static_cast<Long>(kDigitBase);
  for (Long i = 0; i < kGroupDigits; ++i, offset /= kBase) {
    code += kDigitTable[static_cast<std::size_t>(offset % kBase)];
  }
}

// The code reaches from the lower base to the zone line plus the largest offset, both shifted by
// the correction.
void CheckReach(std::int64_t offset, Long position, Long lower_base, Long zone_line,
                Long correction, std::string_view quantity) {
  if (offset >= 0 && offset <= kMaxOffset) return;
  Phrase detail{
      correction == 0 ? MessageId::kOutsideReach : MessageId::kOutsideReachCorrected,
      {Argument::Word(quantity), Argument::Text(TenthsAngleText(position)),
       Argument::Text(TenthsAngleText(std::int64_t{lower_base} + correction)),
       Argument::Text(TenthsAngleText(std::int64_t{zone_line} + correction + kMaxOffset))}};
  if (correction != 0) detail.arguments.push_back(Argument::Number(correction));
  throw OutOfReachError(std::move(detail));
}

struct ZoneBases {
  Long lon;
  Long lat;
};

ZoneBases BasesOf(char zone) {
  switch (zone) {
    case '5':
      return {kZoneLineLon, kZoneLineLat};
    case '6':
      return {kLowerBaseLon, kZoneLineLat};
    case '7':
      return {kLowerBaseLon, kLowerBaseLat};
    default:  // '8', the only zone left once the code is valid
      return {kZoneLineLon, kLowerBaseLat};
  }
}

// The group of a valid code: four digit bytes, the first the least significant. Its number is an
// integer below 34^4, which the text DigitsToNumber writes for the reversed group reads back as
// exactly.
Long GroupToTenths(std::string_view group, Long correction, Long base, std::string_view quantity) {
  std::int64_t number = 0;
  for (std::size_t i = group.size(); i-- > 0;) {
    number = number * static_cast<std::int64_t>(kDigitBase) + DigitValue(group[i]);
  }
  try {
    return RoundToLong((static_cast<double>(number) + correction) + base);
  } catch (const Error& error) {
    RethrowWithContext(error, quantity);
  }
}

}  // namespace

Long DmsToTenths(const DmsTexts& texts, std::string_view quantity) {
  const double degrees = ParseStrictNamed(texts.degrees, quantity, "degrees");
  const double minutes = ParseStrictNamed(texts.minutes, quantity, "minutes");
  const double seconds = ParseStrictNamed(texts.seconds, quantity, "seconds");
  return DmsToTenths(DmsValues{degrees, minutes, seconds}, quantity);
}

Long DmsToTenths(const DmsValues& values, std::string_view quantity) {
  const auto [degrees, minutes, seconds] = values;
  // Named steps pin the order of the double operations, which decides the last bit and so the
  // rounding of a half tenth.
  const double a = ((degrees * 60) * 60) * 10;
  const double b = (minutes * 60) * 10 + a;
  try {
    return RoundToLong(seconds * 10 + b);
  } catch (const Error& error) {
    RethrowWithContext(error, quantity);
  }
}

std::string TenthsToCode(Long lon, Long lat, Corrections corrections) {
  // 64-bit throughout, so that no correction can wrap a sum around.
  const std::int64_t zone_line_lon = std::int64_t{kZoneLineLon} + corrections.lon;
  const std::int64_t zone_line_lat = std::int64_t{kZoneLineLat} + corrections.lat;
  const bool east = lon > zone_line_lon;
  const bool north = lat > zone_line_lat;
  const char zone = east ? (north ? '5' : '8') : (north ? '6' : '7');
  const std::int64_t lon_offset =
      east ? lon - zone_line_lon : std::int64_t{lon} - corrections.lon - kLowerBaseLon;
  const std::int64_t lat_offset =
      north ? lat - zone_line_lat : std::int64_t{lat} - corrections.lat - kLowerBaseLat;
  CheckReach(lon_offset, lon, kLowerBaseLon, kZoneLineLon, corrections.lon, "longitude");
  CheckReach(lat_offset, lat, kLowerBaseLat, kZoneLineLat, corrections.lat, "latitude");
  std::string code;
  code.reserve(static_cast<std::size_t>(kCodeLength));
  code += zone;
  AppendReversedGroup(code, static_cast<Long>(lon_offset));
  AppendReversedGroup(code, static_cast<Long>(lat_offset));
  return code;
}

std::string EncodePosition(const PositionTexts& fields, Corrections corrections) {
  const Long lon = DmsToTenths(fields.lon, "longitude");
  const Long lat = DmsToTenths(fields.lat, "latitude");
  return TenthsToCode(lon, lat, corrections);
}

std::string EncodePosition(const PositionValues& values, Corrections corrections) {
  const Long lon = DmsToTenths(values.lon, "longitude");
  const Long lat = DmsToTenths(values.lat, "latitude");
  return TenthsToCode(lon, lat, corrections);
}

namespace internal {

bool IsPlainValidCode(std::string_view code) {
  return code.size() == static_cast<std::size_t>(kCodeLength) && code[0] >= '5' && code[0] <= '8' &&
         std::all_of(code.begin() + 1, code.end(), [](char c) { return DigitValue(c) >= 0; });
}

}  // namespace internal

void ValidateCode(std::string_view code) {
  // Nine valid bytes, the bulk of any input, are checked at once; the walk below names a fault.
  if (internal::IsPlainValidCode(code)) return;
  if (code.empty()) throw InvalidCodeError({MessageId::kEmptyCode, {}});
  std::size_t pos = 0;
  for (Long position = 1; pos < code.size() && position <= kCodeLength; ++position) {
    const std::string_view character = NextCharacter(code, pos);
    const bool valid = position == 1
                           ? character.size() == 1 && character[0] >= '5' && character[0] <= '8'
                           : DigitValue(character) >= 0;
    if (!valid) {
      Phrase detail{
          position == 1 ? MessageId::kBadZoneDigit : MessageId::kBadCodeDigit,
          {Argument::Quoted(character), Argument::Number(position), Argument::Quoted(code)}};
      if (position != 1) detail.arguments.push_back(Argument::Text(kDigitAlphabet));
      throw InvalidCodeError(std::move(detail));
    }
  }
  const auto length = static_cast<Long>(CharacterCount(code));
  if (length != kCodeLength) {
    throw InvalidCodeError(
        {MessageId::kCodeLength,
         {Argument::Quoted(code), Argument::Number(length), Argument::Number(kCodeLength)}});
  }
}

Tenths CodeToTenths(std::string_view code, Corrections corrections) {
  ValidateCode(code);
  const ZoneBases bases = BasesOf(code[0]);
  constexpr auto kGroup = static_cast<std::size_t>(kGroupDigits);
  return {GroupToTenths(code.substr(1, kGroup), corrections.lon, bases.lon, "longitude"),
          GroupToTenths(code.substr(1 + kGroup, kGroup), corrections.lat, bases.lat, "latitude")};
}

DmsTexts TenthsToDms(Long tenths) {
  const Long degrees = TruncateToLong(tenths / double{kTenthsPerDegree});
  const Long minutes = TruncateToLong((tenths % kTenthsPerDegree) / double{kTenthsPerMinute});
  const auto seconds = static_cast<Single>((tenths % kTenthsPerMinute) / double{kTenthsPerSecond});
  return {LongText(degrees), LongText(minutes), SingleText(seconds)};
}

DmsValues TenthsToDmsValues(Long tenths) {
  // Whole degrees and minutes read back as themselves; "0" reads as +0 even for a negative zero.
  const Long degrees = TruncateToLong(tenths / double{kTenthsPerDegree});
  const Long minutes = TruncateToLong((tenths % kTenthsPerDegree) / double{kTenthsPerMinute});
  const auto seconds = static_cast<Single>((tenths % kTenthsPerMinute) / double{kTenthsPerSecond});
  return {static_cast<double>(degrees), static_cast<double>(minutes), SingleValue(seconds)};
}

PositionTexts DecodePosition(std::string_view code, Corrections corrections) {
  const Tenths tenths = CodeToTenths(code, corrections);
  return {TenthsToDms(tenths.lon), TenthsToDms(tenths.lat)};
}

std::string TenthsAngleText(std::int64_t tenths) {
  std::string text = tenths < 0 ? "-" : "";
  const std::uint64_t magnitude =
      tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths) : static_cast<std::uint64_t>(tenths);
  const std::uint64_t minutes = magnitude % kTenthsPerDegree / kTenthsPerMinute;
  const std::uint64_t tenths_of_second = magnitude % kTenthsPerMinute;
  auto two_digits = [](std::uint64_t value) {
    return std::string{static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
  };
  text += std::to_string(magnitude / kTenthsPerDegree) + "\u00b0" + two_digits(minutes) + "'" +
          two_digits(tenths_of_second / 10) + "." + static_cast<char>('0' + tenths_of_second % 10) +
          "\"";
  return text;
}

}  // namespace miralto
