#include "digits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "errors.h"
#include "text.h"

namespace miralto {

namespace {
constexpr Long kBase = static_cast<Long>(kDigitBase);
}  // namespace

int DigitValue(std::string_view character) {
  if (character.size() != 1) return -1;
  const std::size_t found = kDigitAlphabet.find(character[0]);
  return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

std::string NumberToDigits(Long number, int minimum_length) {
  if (number < 0) {
    throw OutOfReachError({MessageId::kNegativeNumber, {Argument::Number(number)}});
  }
  std::string digits;
  do {
    digits.insert(digits.begin(), kDigitTable[static_cast<std::size_t>(number % kBase)]);
    number /= kBase;
  } while (number != 0);
  if (digits.size() < static_cast<std::size_t>(std::max(minimum_length, 0))) {
    digits.insert(0, static_cast<std::size_t>(minimum_length) - digits.size(), '0');
  }
  return digits;
}

namespace {

// Up to nine characters every term and partial sum is an integer below 10^15, which the round trip
// through DoubleText keeps exactly: the sum can be formed directly.
bool ExactSum(std::string_view digits, std::string& total) {
  std::int64_t sum = 0;
  std::int64_t weight = 1;
  std::size_t count = 0;
  for (std::size_t end = digits.size(); end > 0; ++count) {
    if (count == 9) return false;
    sum += weight * DigitValue(PreviousCharacter(digits, end));
    weight *= kBase;
  }
  char text[24];
  total.assign(text, std::to_chars(text, text + sizeof text, sum).ptr);
  return true;
}

}  // namespace

std::string DigitsToNumber(std::string_view digits) {
  std::string total;
  if (digits.empty() || ExactSum(digits, total)) return total;
  // Rightmost character first, every partial sum through DoubleText.
  std::size_t end = digits.size();
  for (int k = 0; end > 0; ++k) {
    const double weight = std::pow(double{kBase}, k);
    const double term = weight * DigitValue(PreviousCharacter(digits, end));
    if (!std::isfinite(term)) {
      throw OverflowError({MessageId::kDigitTextTooLong, {Argument::Quoted(digits)}});
    }
    total = DoubleText(ParseLenient(total) + ParseLenient(DoubleText(term)));
  }
  return total;
}

}  // namespace miralto
