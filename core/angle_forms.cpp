#include "core/angle_forms.h"

#include <charconv>
#include <cmath>

#include "core/errors.h"
#include "core/numbers.h"

namespace miralto {

namespace {

// Doubles from here on round to infinity as a Single: (2 - 2^-24) * 2^127, FLT_MAX plus half a
// unit.
constexpr double kSingleLimit = 0x1.ffffffp127;
// The largest Single as a message gives it.
constexpr std::string_view kSingleRangeText = "3.4E+38";

Single ToSingle(double value, std::string_view text) {
  if (std::fabs(value) >= kSingleLimit) {
    throw OverflowError(
        {MessageId::kBeyondSingle, {Argument::Quoted(text), Argument::Text(kSingleRangeText)}});
  }
  return static_cast<Single>(value);
}

// The fraction of `x` carried down one unit (degrees to minutes, minutes to seconds). The
// subtraction and the product are exact in double precision; the only rounding is to the Single.
Single CarryDown(Single x) {
  return static_cast<Single>((static_cast<double>(x) - std::trunc(x)) * 60.0);
}

// Degrees, minutes and seconds as Singles: the steps both the texts and the numbers come from.
struct DmsSingles {
  Single degrees;
  Single minutes;
  Single seconds;
};

DmsSingles ToDmsSingles(double decimal, std::string_view text) {
  if (std::isnan(decimal)) {
    throw ConversionError({MessageId::kNotANumber, {Argument::Quoted(text)}});
  }
  Single x = ToSingle(decimal, text);
  DmsSingles parts{};
  parts.degrees = std::trunc(x);
  x = CarryDown(x);
  parts.minutes = std::trunc(x);
  parts.seconds = CarryDown(x);
  return parts;
}

// The text of a double only where a message needs it: formatting it for every coordinate costs
// more than the conversion.
DmsSingles ToDmsSingles(double decimal) {
  if (!std::isnan(decimal) && std::fabs(decimal) < kSingleLimit) return ToDmsSingles(decimal, {});
  // The shortest text that reads back as the value: what the window would have to hold.
  return ToDmsSingles(decimal, ShortestText(decimal));
}

DmsTexts Texts(const DmsSingles& parts) {
  return {SingleText(parts.degrees), SingleText(parts.minutes), SingleText(parts.seconds)};
}

DmsValues Values(const DmsSingles& parts) {
  return {SingleValue(parts.degrees), SingleValue(parts.minutes), SingleValue(parts.seconds)};
}

}  // namespace

DmsTexts DecimalToDms(std::string_view decimal) {
  return DecimalToDms(ParseLenient(decimal), decimal);
}

DmsTexts DecimalToDms(double decimal) { return Texts(ToDmsSingles(decimal)); }

DmsTexts DecimalToDms(double decimal, std::string_view text) {
  return Texts(ToDmsSingles(decimal, text));
}

DmsValues DecimalToDmsValues(std::string_view decimal) {
  return DecimalToDmsValues(ParseLenient(decimal), decimal);
}

DmsValues DecimalToDmsValues(double decimal) { return Values(ToDmsSingles(decimal)); }

DmsValues DecimalToDmsValues(double decimal, std::string_view text) {
  return Values(ToDmsSingles(decimal, text));
}

std::string DmsToDecimal(const DmsTexts& texts, std::string_view quantity) {
  const double minutes = ParseStrictNamed(texts.minutes, quantity, "minutes");
  const double seconds = ParseStrictNamed(texts.seconds, quantity, "seconds");
  const double degrees = ParseStrictNamed(texts.degrees, quantity, "degrees");
  return DmsToDecimal(DmsValues{degrees, minutes, seconds}, quantity);
}

std::string DmsToDecimal(const DmsValues& values, std::string_view quantity) {
  const auto [degrees, minutes, seconds] = values;
  const double a = minutes / 60;
  const double b = degrees + a;
  try {
    return DoubleText(seconds / 3600 + b);
  } catch (const Error& error) {
    RethrowWithContext(error, quantity);
  }
}

}  // namespace miralto
