// Decimal degrees <-> degrees, minutes and seconds, one quantity (longitude or latitude) a call.
#pragma once

#include <string>
#include <string_view>

#include "core/position_code.h"

namespace miralto {

// Decimal degrees to degrees, minutes and seconds in single precision: the text is read with
// ParseLenient and rounded to a Single at once, and every intermediate is rounded to a Single. The
// seconds are not truncated, so they can show as 60 beside unchanged minutes; every part keeps the
// input's sign. Never fails on a number within the single range; throws OverflowError beyond it.
DmsTexts DecimalToDms(std::string_view decimal);

// The same for a number held as a double, as a text that reads back as exactly `decimal` would
// give. Throws OverflowError beyond the single range (infinities included) and ConversionError for
// NaN, which no text the window reads can give.
DmsTexts DecimalToDms(double decimal);

// The same for `decimal` read from `text`; messages quote `text`.
DmsTexts DecimalToDms(double decimal, std::string_view text);

// The numbers the three texts of DecimalToDms read back as, with the same errors: for encoding
// straight from decimal degrees without forming and reading the texts.
DmsValues DecimalToDmsValues(std::string_view decimal);
DmsValues DecimalToDmsValues(double decimal);
DmsValues DecimalToDmsValues(double decimal, std::string_view text);

// Degrees, minutes and seconds to decimal degrees in double precision: the minutes, seconds and
// degrees texts are read with ParseStrict, in that order, and added as
// seconds / 3600 + (degrees + minutes / 60); each part keeps its own sign. Throws ConversionError
// naming `quantity` ("longitude") and the field, or OverflowError for a sum beyond the double
// range.
std::string DmsToDecimal(const DmsTexts& texts, std::string_view quantity);

// The same from the numbers the three texts read back as.
std::string DmsToDecimal(const DmsValues& values, std::string_view quantity);

}  // namespace miralto
