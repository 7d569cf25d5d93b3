#include "core/messages.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/numbers.h"
#include "core/text.h"

// Marks a text of the table for the translation tools (which read it as the toolkit's
// translate-no-op macro); here it is the text itself.
#define MESSAGE_TEXT(context, text) text

namespace miralto {

namespace {

struct MessageRow {
  MessageId id;
  const char* english;
};

using M = MessageId;
constexpr MessageRow kMessages[] = {
    {M::kConversionError, MESSAGE_TEXT("Messages", "conversion error")},
    {M::kOverflowError, MESSAGE_TEXT("Messages", "overflow error")},
    {M::kFileError, MESSAGE_TEXT("Messages", "file error")},
    {M::kEndOfFile, MESSAGE_TEXT("Messages", "end of file")},
    {M::kOutOfReach, MESSAGE_TEXT("Messages", "out of reach")},
    {M::kInvalidCode, MESSAGE_TEXT("Messages", "invalid position code")},

    {M::kNotANumber,
     MESSAGE_TEXT("Messages",
                  "%1 is not a number (expected digits with an optional sign, one period and an "
                  "exponent such as 1.5E-3)")},
    {M::kUnreadableNumber, MESSAGE_TEXT("Messages", "%1 could not be read as a number")},
    {M::kBeyondDouble,
     MESSAGE_TEXT("Messages", "the number %1 is beyond the range of a double (about %2)")},
    {M::kBeyondSingle,
     MESSAGE_TEXT("Messages", "the number %1 is beyond the single-precision range (about %2)")},
    {M::kNotALong, MESSAGE_TEXT("Messages", "the value %1 is outside the integer range %2 to %3")},
    {M::kNoNumberText, MESSAGE_TEXT("Messages", "the result is %1, which no number text can show")},
    {M::kNegativeNumber, MESSAGE_TEXT("Messages", "the number %1 is negative and has no digits")},
    {M::kDigitTextTooLong,
     MESSAGE_TEXT("Messages", "the digit text %1 is too long to have a value")},
    {M::kOutsideReach,
     MESSAGE_TEXT("Messages", "%1 %2 lies outside the reach of the code, %3 to %4")},
    {M::kOutsideReachCorrected,
     MESSAGE_TEXT("Messages",
                  "%1 %2 lies outside the reach of the code, %3 to %4 (with the correction %5)")},
    {M::kEmptyCode, MESSAGE_TEXT("Messages", "the position code is empty")},
    {M::kBadZoneDigit,
     MESSAGE_TEXT("Messages",
                  "character %1 at position %2 of the code %3: expected a zone digit 5, 6, 7 or "
                  "8")},
    {M::kBadCodeDigit,
     MESSAGE_TEXT("Messages",
                  "character %1 at position %2 of the code %3: expected a digit of %4 (lowercase, "
                  "no l, no o)")},
    {M::kCodeLength,
     MESSAGE_TEXT("Messages", "the code %1 has %2 characters; a position code has %3")},
    {M::kComparedLength,
     MESSAGE_TEXT("Messages",
                  "the %1 %2 has %3 characters; expected a position code of %4 (or %5 without "
                  "the zone)")},
    {M::kBadComparedDigit,
     MESSAGE_TEXT("Messages",
                  "character %1 at position %2 of the %3 %4: expected a digit of %5 (lowercase, no "
                  "l, no o)")},
    {M::kCannotOpenCorrections, MESSAGE_TEXT("Messages", "cannot open the correction file %1: %2")},
    {M::kCannotReadCorrections, MESSAGE_TEXT("Messages", "cannot read the correction file %1: %2")},
    {M::kCannotWriteCorrections,
     MESSAGE_TEXT("Messages", "cannot write the correction file %1: %2")},
    {M::kCannotCreateFolder,
     MESSAGE_TEXT("Messages", "cannot create the folder %1 for the correction file: %2")},
    {M::kNotAnOrdinaryFile, MESSAGE_TEXT("Messages", "it is not an ordinary file")},
    {M::kBrowserKeepsNothing,
     MESSAGE_TEXT("Messages",
                  "the browser keeps nothing for this page (a private window, or its storage is "
                  "turned off or full)")},
    {M::kCorrectionsEndEarly,
     MESSAGE_TEXT("Messages",
                  "the correction file %1 ends after no line; it needs two: the longitude and the "
                  "latitude correction")},
    {M::kCorrectionsEndAfterOne,
     MESSAGE_TEXT("Messages",
                  "the correction file %1 ends after one line; it needs two: the longitude and "
                  "the latitude correction")},
    {M::kCorrectionLineTooLong,
     MESSAGE_TEXT("Messages", "the line is longer than %1 bytes, too long for a correction")},
    {M::kLineBreakInCorrection,
     MESSAGE_TEXT("Messages",
                  "the text %1 holds a line break, which the correction file cannot keep in its "
                  "line")},
    {M::kCorrectionTooLong,
     MESSAGE_TEXT("Messages",
                  "the text %1 is longer than %2 bytes, more than the correction file reads back")},

    {M::kNotationEmpty, MESSAGE_TEXT("Messages", "%1 is empty")},
    {M::kNotNotation,
     MESSAGE_TEXT("Messages",
                  "%1 is not a decimal number or a degrees/minutes/seconds notation (such as "
                  "113.288959, 113°17′20.24″, 113:17:20.24 or 23.236255N)")},
    {M::kTwoHemispheres, MESSAGE_TEXT("Messages", "%1 has two hemisphere letters; write one")},
    {M::kMinusAndHemisphere,
     MESSAGE_TEXT("Messages", "%1 has both a minus sign and the hemisphere %2; write one of them")},
    {M::kPartsOutOfOrder,
     MESSAGE_TEXT("Messages", "%1 has its parts out of order; write degrees, minutes, seconds")},
    {M::kPartOf60OrMore,
     MESSAGE_TEXT("Messages",
                  "%1 has %2 of 60 or more; minutes and seconds run from 0 to below 60")},
    {M::kFractionBeforeParts,
     MESSAGE_TEXT("Messages", "%1 has a fraction in its %2 although smaller parts follow")},
    {M::kBothLatitudes,
     MESSAGE_TEXT("Messages",
                  "%1 and %2 are both latitudes; a record holds one longitude and one latitude")},
    {M::kBothLongitudes,
     MESSAGE_TEXT("Messages",
                  "%1 and %2 are both longitudes; a record holds one longitude and one latitude")},
    {M::kOffTheMap,
     MESSAGE_TEXT("Messages",
                  "the point %1, %2 lies outside longitudes -180 to 180 and latitudes -90 to 90, "
                  "where a map cannot show it")},
    {M::kWrongFieldCount,
     MESSAGE_TEXT("Messages", "wrong number of fields: expected %1, found %2")},
    {M::kNoGeometry, MESSAGE_TEXT("Messages", "the feature has no geometry")},
    {M::kGeometryWithoutType,
     MESSAGE_TEXT("Messages", "the geometry is without a type, not a Point")},
    {M::kGeometryNotAPoint, MESSAGE_TEXT("Messages", "the geometry is a %1, not a Point")},
    {M::kPointWithoutCoordinates,
     MESSAGE_TEXT("Messages", "the Point has no coordinates [longitude, latitude]")},
    {M::kOutOfMemory, MESSAGE_TEXT("Messages", "out of memory")},
    {M::kNeedsMoreMemory, MESSAGE_TEXT("Messages", "the operation needs more memory than is free")},
    {M::kUnexpectedError, MESSAGE_TEXT("Messages", "error")},
    {M::kTitledMessage, MESSAGE_TEXT("Messages", "%1:\n%2")},
    {M::kInContext, MESSAGE_TEXT("Messages", "%1: %2")},
    {M::kAsIs, MESSAGE_TEXT("Messages", "%1")},
    {M::kFieldOfQuantity, MESSAGE_TEXT("Messages", "%1 %2")},
    {M::kCorrectionLine, MESSAGE_TEXT("Messages", "line %1 of %2 (%3)")},

    {M::kQuoted, MESSAGE_TEXT("Messages", "\"%1\"")},
    {M::kQuotedCut, MESSAGE_TEXT("Messages", "%1... (%2 characters)")},
    {M::kNaN, MESSAGE_TEXT("Messages", "not a number")},
    {M::kInfinity, MESSAGE_TEXT("Messages", "infinity")},
    {M::kMinusInfinity, MESSAGE_TEXT("Messages", "minus infinity")},
    {M::kLongitude, MESSAGE_TEXT("Messages", "longitude")},
    {M::kLatitude, MESSAGE_TEXT("Messages", "latitude")},
    {M::kDegrees, MESSAGE_TEXT("Messages", "degrees")},
    {M::kMinutes, MESSAGE_TEXT("Messages", "minutes")},
    {M::kSeconds, MESSAGE_TEXT("Messages", "seconds")},
    {M::kTheCode, MESSAGE_TEXT("Messages", "code")},
    {M::kTheReference, MESSAGE_TEXT("Messages", "reference")},
    {M::kLongitudeCorrection, MESSAGE_TEXT("Messages", "longitude correction")},
    {M::kLatitudeCorrection, MESSAGE_TEXT("Messages", "latitude correction")},
};

constexpr bool RowsFollowTheIds() {
  for (std::size_t i = 0; i < std::size(kMessages); ++i) {
    if (static_cast<std::size_t>(kMessages[i].id) != i) return false;
  }
  return true;
}
static_assert(RowsFollowTheIds(), "one row per MessageId, in the order of the ids");

// A quoted text shows this many characters at most, so that a pasted megabyte does not become
// the message.
constexpr std::size_t kQuotedCharacters = 40;

std::string NumberText(std::int64_t number) {
  char buffer[24];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, number).ptr);
}

// `pattern` with %1 to %9 replaced by `arguments`; a placeholder without an argument stays, and
// what an argument holds is never read for placeholders again (a user may type "%1").
std::string Fill(std::string_view pattern, const std::vector<std::string>& arguments) {
  std::string text;
  text.reserve(pattern.size() + 32);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next >= '1' && next <= '9' &&
        static_cast<std::size_t>(next - '1') < arguments.size()) {
      text += arguments[static_cast<std::size_t>(next - '1')];
      ++i;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

// An argument as the language of `patterns` writes it.
std::string ArgumentText(const Argument& argument, const Patterns& patterns) {
  switch (argument.type()) {
    case Argument::Type::kText:
      return argument.text();
    case Argument::Type::kPath:
      return Fill(patterns(MessageId::kQuoted), {argument.text()});
    case Argument::Type::kQuoted: {
      std::string quoted = Fill(patterns(MessageId::kQuoted), {argument.text()});
      if (argument.number() == 0) return quoted;  // not cut
      return Fill(patterns(MessageId::kQuotedCut), {quoted, NumberText(argument.number())});
    }
    case Argument::Type::kNumber:
      return NumberText(argument.number());
    case Argument::Type::kValue: {
      const double value = argument.value();
      if (std::isnan(value)) return patterns(MessageId::kNaN);
      if (std::isinf(value))
        return patterns(value > 0 ? MessageId::kInfinity : MessageId::kMinusInfinity);
      return DoubleText(value);
    }
    case Argument::Type::kTerm:
      return patterns(argument.term());
  }
  return {};
}

}  // namespace

const std::size_t kMessageCount = std::size(kMessages);

std::string_view EnglishPattern(MessageId id) {
  const auto index = static_cast<std::size_t>(id);
  return index < kMessageCount ? kMessages[index].english : "";
}

Argument Argument::Text(std::string_view text) {
  Argument a;
  a.type_ = Type::kText;
  a.text_ = text;
  return a;
}

Argument Argument::Quoted(std::string_view text) {
  Argument a;
  a.type_ = Type::kQuoted;
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < text.size() && count < kQuotedCharacters; ++count) {
    const std::string_view character = NextCharacter(text, pos);
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x20) {
      // Control characters would break a message box or an output line; show them as escapes.
      static constexpr char kHex[] = "0123456789abcdef";
      const auto byte = static_cast<unsigned char>(character[0]);
      a.text_ += "\\x";
      a.text_ += kHex[byte >> 4];
      a.text_ += kHex[byte & 0xF];
    } else {
      a.text_ += character;
    }
  }
  a.number_ = static_cast<std::int64_t>(pos < text.size() ? CharacterCount(text) : 0);
  return a;
}

Argument Argument::Path(std::string path) {
  Argument a;
  a.type_ = Type::kPath;
  a.text_ = std::move(path);
  return a;
}

Argument Argument::Number(std::int64_t number) {
  Argument a;
  a.type_ = Type::kNumber;
  a.number_ = number;
  return a;
}

Argument Argument::Value(double value) {
  Argument a;
  a.type_ = Type::kValue;
  a.value_ = value;
  return a;
}

Argument Argument::Term(MessageId term) {
  Argument a;
  a.type_ = Type::kTerm;
  a.term_ = term;
  return a;
}

Argument Argument::Word(std::string_view english) {
  for (const MessageRow& row : kMessages) {
    if (row.id >= MessageId::kLongitude && english == row.english) return Term(row.id);
  }
  return Text(english);
}

std::string Format(const Phrase& phrase, const Patterns& patterns) {
  std::vector<std::string> arguments;
  arguments.reserve(phrase.arguments.size());
  for (const Argument& argument : phrase.arguments) {
    arguments.push_back(ArgumentText(argument, patterns));
  }
  return Fill(patterns(phrase.id), arguments);
}

std::string FormatEnglish(const Phrase& phrase) {
  return Format(phrase, [](MessageId id) { return std::string(EnglishPattern(id)); });
}

}  // namespace miralto
