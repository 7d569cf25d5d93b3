// Number and text conversions shared by every operation. None of them reads the process locale:
// the decimal separator is always the period.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace miralto {

using Long = std::int32_t;
using Single = float;

// Skips blanks (space, tab, line feed) wherever they stand, then reads the longest leading number
// (sign, digits with at most one period, exponent with E or e). A text without one gives 0.
// Throws OverflowError for a number beyond the double range; never fails otherwise.
double ParseLenient(std::string_view text);

// The whole text, blanks around it allowed, must be one number: optional sign, digits with at most
// one period (".5" and "5." included), optional exponent with E or e. Throws ConversionError for
// anything else (empty, "inf", "nan", hexadecimal, commas, trailing characters) and OverflowError
// for a number beyond the double range.
double ParseStrict(std::string_view text);

// ParseStrict that answers false, instead of throwing ConversionError, for a text that is not a
// number; `value` is set only on true. Still throws OverflowError beyond the double range.
bool TryParseStrict(std::string_view text, double& value);

// ParseStrict, with the field's name ("longitude minutes") put in front of the detail of an error.
double ParseStrictNamed(std::string_view text, std::string_view quantity, std::string_view field);

// The nearest Long, an exact half going to the even neighbour. Throws OverflowError when the
// rounded value is not a Long.
Long RoundToLong(double value);

// Drops the fraction toward zero; throws OverflowError when the result is not a Long.
Long TruncateToLong(double value);

// Decimal digits with a leading minus for negative values.
std::string LongText(Long value);

// At most 7 significant digits, rounded to nearest (an exact tie to the even digit); trailing zeros
// and a trailing period dropped; "0" before the period below 1; a negative zero is "0". Exponent
// form ("1E+07") from a magnitude of 10^7 on. Tiny magnitudes stay fixed down to 0.00001 and take
// the exponent form ("1E-06") below, where a fixed text would be mostly zeros. Throws OverflowError
// for an infinite or NaN value.
std::string SingleText(Single value);

// The number ParseStrict reads back from SingleText(value), bit for bit, without forming the text
// where it can be skipped.
double SingleValue(Single value);

// As SingleText with 15 significant digits and the exponent form from 10^15 on.
std::string DoubleText(double value);

// The shortest text that reads back as `value` bit for bit, in the fixed or the exponent form
// ("1e+16"), whichever is shorter, the fixed one on a tie; "-0", "inf", "-inf", "nan", "-nan".
std::string ShortestText(double value);

// The shortest digits that read back as `value`, in the fixed form only ("0.000001" for 1e-06);
// as ShortestText for an infinite or NaN value.
std::string FixedText(double value);

}  // namespace miralto
