// The tool's messages: one table of every sentence, phrase and word a failure is told with, in
// English, %1 to %9 standing for the arguments. A failure carries a message id and its arguments,
// not a finished sentence, so that the window can tell the same failure in the user's language
// while every other caller keeps the English text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace miralto {

enum class MessageId : std::uint8_t {
  // The kinds of error, in the order of ErrorKind.
  kConversionError,
  kOverflowError,
  kFileError,
  kEndOfFile,
  kOutOfReach,
  kInvalidCode,
  // What went wrong.
  kNotANumber,
  kUnreadableNumber,
  kBeyondDouble,
  kBeyondSingle,
  kNotALong,
  kNoNumberText,
  kNegativeNumber,
  kDigitTextTooLong,
  kOutsideReach,
  kOutsideReachCorrected,
  kEmptyCode,
  kBadZoneDigit,
  kBadCodeDigit,
  kCodeLength,
  kComparedLength,
  kBadComparedDigit,
  kCannotOpenCorrections,
  kCannotReadCorrections,
  kCannotWriteCorrections,
  kCannotCreateFolder,
  kNotAnOrdinaryFile,
  kBrowserKeepsNothing,
  kCorrectionsEndEarly,
  kCorrectionsEndAfterOne,
  kCorrectionLineTooLong,
  kLineBreakInCorrection,
  kCorrectionTooLong,
  // What a written coordinate or a batch record can get wrong.
  kNotationEmpty,
  kNotNotation,
  kTwoHemispheres,
  kMinusAndHemisphere,
  kPartsOutOfOrder,
  kPartOf60OrMore,
  kFractionBeforeParts,
  kBothLatitudes,
  kBothLongitudes,
  kOffTheMap,
  kWrongFieldCount,
  kNoGeometry,
  kGeometryWithoutType,
  kGeometryNotAPoint,
  kPointWithoutCoordinates,
  // What a window reports besides the tool's errors, and how it puts the kind over the detail.
  kOutOfMemory,
  kNeedsMoreMemory,
  kUnexpectedError,
  kTitledMessage,
  // Where it went wrong, put in front of the detail.
  kInContext,
  kAsIs,
  kFieldOfQuantity,
  kCorrectionLine,
  // Words and phrases that arguments refer to.
  kQuoted,
  kQuotedCut,
  kNaN,
  kInfinity,
  kMinusInfinity,
  // The words a caller names a quantity or a field with (Argument::Word), from here on.
  kLongitude,
  kLatitude,
  kDegrees,
  kMinutes,
  kSeconds,
  kTheCode,
  kTheReference,
  kLongitudeCorrection,
  kLatitudeCorrection,
};

// How many rows the table has: every MessageId from 0 up to this.
extern const std::size_t kMessageCount;

// The English text of `id`; "%1" to "%9" stand for its arguments. It is a literal: the view's data
// ends in a null character, as a translation lookup wants it.
std::string_view EnglishPattern(MessageId id);

// The context a translation of the table's texts is filed under.
inline constexpr std::string_view kMessageContext = "Messages";

// One argument of a message.
class Argument {
 public:
  enum class Type : std::uint8_t {
    kText,    // shown as it is: an angle, the system's reason
    kQuoted,  // what the user typed: quoted, control characters escaped, cut when long
    kPath,    // a file's path: quoted whole
    kNumber,  // an integer
    kValue,   // a double; infinity and NaN in words
    kTerm,    // a word or phrase of the table, told in the same language as the message
  };

  static Argument Text(std::string_view text);
  static Argument Quoted(std::string_view text);
  static Argument Path(std::string path);
  static Argument Number(std::int64_t number);
  static Argument Value(double value);
  static Argument Term(MessageId term);
  // The table's term whose English text is `english` ("longitude"), or the text as it is.
  static Argument Word(std::string_view english);

  Type type() const { return type_; }
  // kText, kPath; for kQuoted the quoted part, escaped and cut.
  const std::string& text() const { return text_; }
  // kNumber; for kQuoted the length of the whole text in characters when it was cut, else 0.
  std::int64_t number() const { return number_; }
  double value() const { return value_; }
  MessageId term() const { return term_; }

 private:
  Type type_ = Type::kText;
  std::string text_;
  std::int64_t number_ = 0;
  double value_ = 0.0;
  MessageId term_ = MessageId::kQuoted;
};

// A message of the table with its arguments.
struct Phrase {
  MessageId id;
  std::vector<Argument> arguments;
};

// The text of a message in one language, %1 to %9 standing for the arguments.
using Patterns = std::function<std::string(MessageId)>;

// `phrase` told with `patterns`; a placeholder without an argument stays as it is.
std::string Format(const Phrase& phrase, const Patterns& patterns);

// The same in English.
std::string FormatEnglish(const Phrase& phrase);

}  // namespace miralto
