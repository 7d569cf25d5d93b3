// Base-34 digits: the ten decimal digits, then the lowercase letters without "l" and "o".
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/numbers.h"

namespace miralto {

inline constexpr std::string_view kDigitAlphabet = "0123456789abcdefghijkmnpqrstuvwxyz";
inline constexpr std::size_t kDigitBase = kDigitAlphabet.size();
static_assert(kDigitBase == 34);
// "l" and "o" are left out because they read like "1" and "0"; the messages say so.
static_assert(kDigitAlphabet.find('l') == std::string_view::npos &&
              kDigitAlphabet.find('o') == std::string_view::npos);

// Digit characters by value, 0 to 33.
inline constexpr std::array<char, kDigitBase> kDigitTable = [] {
  std::array<char, kDigitBase> table{};
  for (std::size_t i = 0; i < kDigitBase; ++i) table[i] = kDigitAlphabet[i];
  return table;
}();

// Digit values by byte, -1 for a byte that is not a digit.
inline constexpr std::array<signed char, 256> kDigitValues = [] {
  std::array<signed char, 256> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kDigitBase; ++i) {
    values[static_cast<unsigned char>(kDigitAlphabet[i])] = static_cast<signed char>(i);
  }
  return values;
}();

// The value of one digit character, or -1 for any character that is not a digit.
int DigitValue(std::string_view character);
inline int DigitValue(char byte) { return kDigitValues[static_cast<unsigned char>(byte)]; }

// The base-34 digits of `number`, most significant first, padded on the left with "0" to at
// least `minimum_length` characters and never cut. Throws OutOfReachError for a negative number.
std::string NumberToDigits(Long number, int minimum_length);

// 34 to the power `k` (k >= 0) correctly rounded to a double, infinity beyond the double range:
// the weight of the k-th digit from the right. The same on every platform, which the C library's
// pow is not (MinGW's is an ulp off for a third of these powers, glibc's at one exact tie).
double DigitWeight(int k);

// The value of a digit text, most significant digit first, as DoubleText; the empty text for an
// empty digit text. Any character that is not a digit counts as -1 ("000l" gives "-1"), and every
// partial sum passes through DoubleText, so the value is exact for up to nine digits. Throws
// OverflowError when a text is so long that its value leaves the double range.
std::string DigitsToNumber(std::string_view digits);

}  // namespace miralto
