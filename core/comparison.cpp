#include "core/comparison.h"

#include <algorithm>

#include "core/digits.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/position_code.h"
#include "core/text.h"

namespace miralto {

namespace {

constexpr auto kFullLength = static_cast<std::size_t>(kCodeLength);
constexpr std::size_t kDigitsLength = kFullLength - 1;  // without the zone digit
constexpr auto kGroupLength = static_cast<std::size_t>(kGroupDigits);

// The eight compared characters of `text`, reversed: latitude group first, then longitude group,
// each most significant digit first.
std::string ComparedDigits(std::string_view text, MessageId field) {
  const std::size_t length = CharacterCount(text);
  if (length != kDigitsLength && length != kFullLength) {
    throw InvalidCodeError({MessageId::kComparedLength,
                            {Argument::Term(field), Argument::Quoted(text),
                             Argument::Number(static_cast<std::int64_t>(length)),
                             Argument::Number(kCodeLength), Argument::Number(kCodeLength - 1)}});
  }
  std::size_t pos = 0;
  if (length == kFullLength) NextCharacter(text, pos);  // the zone digit takes no part
  const std::string_view digits = text.substr(pos);
  std::size_t next = 0;
  // Positions are counted in the text as typed: the first digit is at 2 when the zone is there.
  for (std::size_t position = length - kDigitsLength + 1; next < digits.size(); ++position) {
    const std::string_view character = NextCharacter(digits, next);
    if (DigitValue(character) < 0) {
      throw InvalidCodeError(
          {MessageId::kBadComparedDigit,
           {Argument::Quoted(character), Argument::Number(static_cast<std::int64_t>(position)),
            Argument::Term(field), Argument::Quoted(text), Argument::Text(kDigitAlphabet)}});
    }
  }
  return std::string(digits.rbegin(), digits.rend());
}

double GroupValue(std::string_view group) { return ParseStrict(DigitsToNumber(group)); }

}  // namespace

CodeDifference CompareCodes(std::string_view code, std::string_view reference) {
  const std::string c = ComparedDigits(code, MessageId::kTheCode);
  const std::string r = ComparedDigits(reference, MessageId::kTheReference);
  const double ref_lat = GroupValue(std::string_view(r).substr(0, kGroupLength));
  const double code_lat = GroupValue(std::string_view(c).substr(0, kGroupLength));
  const double ref_lon = GroupValue(std::string_view(r).substr(kGroupLength));
  const double code_lon = GroupValue(std::string_view(c).substr(kGroupLength));
  return {DoubleText(code_lat - ref_lat), DoubleText(code_lon - ref_lon)};
}

}  // namespace miralto
