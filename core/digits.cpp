#include "core/digits.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/errors.h"
#include "core/text.h"

namespace miralto {

namespace {
constexpr Long kBase = static_cast<Long>(kDigitBase);
}  // namespace

int DigitValue(std::string_view character) {
  return character.size() == 1 ? DigitValue(character[0]) : -1;
}

std::string NumberToDigits(Long number, int minimum_length) {
  if (number < 0) {
    throw OutOfReachError({MessageId::kNegativeNumber, {Argument::Number(number)}});
  }
  // Filled from the right: a Long has at most seven base-34 digits.
  char buffer[16];
  char* first = buffer + sizeof buffer;
  do {
    *--first = kDigitTable[static_cast<std::size_t>(number % kBase)];
    number /= kBase;
  } while (number != 0);
  std::string digits(first, buffer + sizeof buffer);
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

namespace {

// 34^k = 17^k * 2^k: 17^k is formed exactly in 32-bit limbs and rounded once to 53 bits.
constexpr std::uint64_t kOddFactor = kDigitBase / 2;
static_assert(kDigitBase == 2 * kOddFactor);

// The powers from 34^0 up to the first that leaves the double range.
std::vector<double> DigitWeights() {
  std::vector<double> weights;
  std::vector<std::uint32_t> power{1};  // kOddFactor^k, least significant limb first
  for (int k = 0;; ++k) {
    const int top = static_cast<int>(power.size()) * 32 - std::countl_zero(power.back());
    auto bit = [&power](int i) {
      return (power[static_cast<std::size_t>(i / 32)] >> (i % 32)) & 1u;
    };
    const int shift = std::max(top - std::numeric_limits<double>::digits, 0);
    std::uint64_t mantissa = 0;
    for (int i = top - 1; i >= shift; --i) mantissa = mantissa << 1 | bit(i);
    if (shift > 0 && bit(shift - 1) != 0) {  // at least half an ulp left over: ties to even
      bool sticky = false;
      for (int i = 0; i < shift - 1 && !sticky; ++i) sticky = bit(i) != 0;
      if (sticky || (mantissa & 1) != 0) ++mantissa;  // 2^53 after a carry is still exact
    }
    const double weight = std::ldexp(static_cast<double>(mantissa), shift + k);
    weights.push_back(weight);
    if (std::isinf(weight)) return weights;
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : power) {
      const std::uint64_t product = std::uint64_t{limb} * kOddFactor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) power.push_back(static_cast<std::uint32_t>(carry));
  }
}

}  // namespace

double DigitWeight(int k) {
  static const std::vector<double> weights = DigitWeights();
  const auto index = static_cast<std::size_t>(k);
  return index < weights.size() ? weights[index] : weights.back();
}

std::string DigitsToNumber(std::string_view digits) {
  std::string total;
  if (digits.empty() || ExactSum(digits, total)) return total;
  // Rightmost character first, every partial sum through DoubleText.
  std::size_t end = digits.size();
  for (int k = 0; end > 0; ++k) {
    const double weight = DigitWeight(k);
    const double term = weight * DigitValue(PreviousCharacter(digits, end));
    if (!std::isfinite(term)) {
      throw OverflowError({MessageId::kDigitTextTooLong, {Argument::Quoted(digits)}});
    }
    total = DoubleText(ParseLenient(total) + ParseLenient(DoubleText(term)));
  }
  return total;
}

}  // namespace miralto
