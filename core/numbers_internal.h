// The integer roads of the number texts, for the tests only: each gives up outside its range and
// the general formatter answers instead, with the same text, so only a test that asks whether the
// road answered sees one that gives up too soon.
#pragma once

#include <cstdint>

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

}  // namespace miralto::internal
