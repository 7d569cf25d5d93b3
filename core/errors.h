// The error kinds of the tool. Every failure that reaches a user is one of these, with a message
// that names the offending text and what was expected. A failure keeps the parts of its message
// (messages.h), so that it can be told in another language than English.
#pragma once

#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/messages.h"

namespace miralto {

// The table of error kinds, one row each: the kind, the class that carries it and the message
// that names it (messages.h). The enum, the classes and kErrorKinds are made from it; every front
// end checks at compile time that it maps each row (a C status, a Python class), so a new kind is
// one row here and a build error wherever a front end has not yet learnt it.
#define MIRALTO_ERROR_KINDS(ROW)                                                            \
  ROW(kConversion, ConversionError, kConversionError) /* a text that must be a number */    \
  ROW(kOverflow, OverflowError, kOverflowError)       /* a value leaves its type's range */ \
  ROW(kFile, FileError, kFileError)                   /* the correction file's I/O */       \
  ROW(kEndOfFile, EndOfFileError, kEndOfFile)         /* it ends before its second line */  \
  ROW(kOutOfReach, OutOfReachError, kOutOfReach)      /* a position the code cannot name */ \
  ROW(kInvalidCode, InvalidCodeError, kInvalidCode)   /* a text that is not a position code */

enum class ErrorKind {
#define MIRALTO_KIND_ENUMERATOR(kind, error_class, message) kind,
  MIRALTO_ERROR_KINDS(MIRALTO_KIND_ENUMERATOR)
#undef MIRALTO_KIND_ENUMERATOR
};

struct ErrorKindRow {
  ErrorKind kind;
  MessageId message;      // the kind as a user reads it: "conversion error"
  std::string_view name;  // the class: "ConversionError"
};

// The rows in the order of ErrorKind: kErrorKinds[static_cast<std::size_t>(kind)] is kind's row.
inline constexpr ErrorKindRow kErrorKinds[] = {
#define MIRALTO_KIND_ROW(kind, error_class, message) \
  {ErrorKind::kind, MessageId::message, #error_class},
    MIRALTO_ERROR_KINDS(MIRALTO_KIND_ROW)
#undef MIRALTO_KIND_ROW
};
inline constexpr std::size_t kErrorKindCount = std::size(kErrorKinds);

// Whether `rows` gives every kind its host's value (a C status, a Python class, an SQLSTATE), in
// the order of kErrorKinds. Each binding asserts it of its map, so that a new kind is a build
// error there until the binding has learnt it.
template <typename Value, std::size_t N>
constexpr bool MapsEveryErrorKind(const std::pair<ErrorKind, Value> (&rows)[N]) {
  if (N != kErrorKindCount) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (rows[i].first != kErrorKinds[i].kind) return false;
  }
  return true;
}

// The row of `kind`.
constexpr const ErrorKindRow& KindRow(ErrorKind kind) {
  return kErrorKinds[static_cast<std::size_t>(kind)];
}

// The message that names the kind: MessageId::kConversionError for kConversion...
MessageId KindMessage(ErrorKind kind);

// The kind as a user reads it: "conversion error", "out of reach"...
std::string_view KindName(ErrorKind kind);

// Base of all the tool's errors: what() is the English detail alone, Message() puts the kind in
// front. The detail is the context, outermost first, then what went wrong, joined by ": ", as in
// "longitude minutes: "x" is not a number (...)".
class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, Phrase detail, std::vector<Phrase> context = {});
  ErrorKind kind() const { return kind_; }
  std::string Message() const;

  // What went wrong, and where: the field or the line it came from, outermost first.
  const Phrase& detail() const { return detail_; }
  const std::vector<Phrase>& context() const { return context_; }

  // The detail, with its context, told with `patterns`; what() is the same in English.
  std::string DetailIn(const Patterns& patterns) const;

 private:
  ErrorKind kind_;
  Phrase detail_;
  std::vector<Phrase> context_;
};

// One class per kind, so that a caller can catch one kind alone.
#define MIRALTO_KIND_CLASS(kind, error_class, message)                     \
  class error_class : public Error {                                       \
   public:                                                                 \
    explicit error_class(Phrase detail, std::vector<Phrase> context = {})  \
        : Error(ErrorKind::kind, std::move(detail), std::move(context)) {} \
  };
MIRALTO_ERROR_KINDS(MIRALTO_KIND_CLASS)
#undef MIRALTO_KIND_CLASS

// Rethrows `error` as the same kind with `context` put in front of its detail ("longitude
// minutes: ..."), so that a message names the field a low-level failure came from.
[[noreturn]] void RethrowWithContext(const Error& error, Phrase context);
// The same with a word of the message table ("longitude"); another text is shown as it is.
[[noreturn]] void RethrowWithContext(const Error& error, std::string_view context);

// A text as a message quotes it in English: in double quotes, cut to a few dozen characters (at a
// character boundary) so that a pasted megabyte does not become the message.
std::string Quote(std::string_view text);

}  // namespace miralto
