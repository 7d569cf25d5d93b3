#include "comparison.h"

#include <algorithm>

#include "digits.h"
#include "errors.h"
#include "numbers.h"
#include "text.h"

namespace miralto {

namespace {

// The eight compared characters of `text`, reversed: latitude group first, then longitude group,
// each most significant digit first.
std::string ComparedDigits(std::string_view text, std::string_view field) {
  const std::size_t length = CharacterCount(text);
  if (length != 8 && length != 9) {
    throw InvalidCodeError("the " + std::string(field) + " " + Quote(text) + " has " +
                           LongText(static_cast<Long>(length)) +
                           " characters; expected a position code of 9 (or 8 without the zone)");
  }
  std::size_t pos = 0;
  if (length == 9) NextCharacter(text, pos);  // the zone digit takes no part
  const std::string_view digits = text.substr(pos);
  std::size_t next = 0;
  for (std::size_t position = length - 7; next < digits.size(); ++position) {
    const std::string_view character = NextCharacter(digits, next);
    if (DigitValue(character) < 0) {
      throw InvalidCodeError("character " + Quote(character) + " at position " +
                             LongText(static_cast<Long>(position)) + " of the " +
                             std::string(field) + " " + Quote(text) + ": expected " +
                             std::string(kDigitExpected));
    }
  }
  return std::string(digits.rbegin(), digits.rend());
}

double GroupValue(std::string_view group) { return ParseStrict(DigitsToNumber(group)); }

}  // namespace

CodeDifference CompareCodes(std::string_view code, std::string_view reference) {
  const std::string c = ComparedDigits(code, "code");
  const std::string r = ComparedDigits(reference, "reference");
  const double ref_lat = GroupValue(std::string_view(r).substr(0, 4));
  const double code_lat = GroupValue(std::string_view(c).substr(0, 4));
  const double ref_lon = GroupValue(std::string_view(r).substr(4));
  const double code_lon = GroupValue(std::string_view(c).substr(4));
  return {DoubleText(code_lat - ref_lat), DoubleText(code_lon - ref_lon)};
}

}  // namespace miralto
