// The quick roads of the number texts, for the tests only: each gives up outside its range and a
// general one answers instead, with the same result, so only a test that asks whether the road
// answered sees one that gives up too soon.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/numbers.h"

namespace miralto::internal {

// Whether the roads below are built: not without 128-bit integers, where each answers false.
bool IntegerRoundingBuilt();

// A Single's value `magnitude` from 1E-20 to below 1E+07 rounded to 7 significant digits, ties to
// even: the digits as an integer from 1000000 to 9999999 and the decimal exponent of the first.
// False outside that range.
bool RoundSingleToSeven(double magnitude, std::uint32_t& digits, int& exponent);

// A double from 1E-5 to below 1E+15 rounded to 15 significant digits, ties to even, in the same
// way. False outside that range.
bool RoundDoubleToFifteen(double magnitude, std::uint64_t& digits, int& exponent);

// The roads of SingleText and DoubleText, fastest first: a whole number below 10^7 written as it
// is, the integer rounding above, for a double its shortest digits when they are at most 15, and
// the general formatter.
enum class Road { kWhole, kInteger, kShortest, kGeneral };

// The road SingleText or DoubleText takes for `value` (finite, not zero).
Road SingleTextRoad(Single value);
Road DoubleTextRoad(double value);

// SingleValue without reading SingleText back: false where that is needed.
bool SingleValueQuickly(Single value, double& result);

// ParseStrict's road for a text of at most 15 digits and no exponent (and no blanks): false for
// any other text.
bool ReadQuickly(std::string_view text, double& value);

}  // namespace miralto::internal
