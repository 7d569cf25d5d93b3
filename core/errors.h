// The error kinds of the tool. Every failure that reaches a user is one of these, with a message
// that names the offending text and what was expected. A failure keeps the parts of its message
// (messages.h), so that it can be told in another language than English.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"

namespace miralto {

enum class ErrorKind {
  kConversion,   // a text that must be a number is not one
  kOverflow,     // a value leaves the range of its type
  kFile,         // the correction file cannot be read or written
  kEndOfFile,    // the correction file ends before its second line
  kOutOfReach,   // a position the code cannot name
  kInvalidCode,  // a text that is not a position code
};

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

class ConversionError : public Error {
 public:
  explicit ConversionError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kConversion, std::move(detail), std::move(context)) {}
};

class OverflowError : public Error {
 public:
  explicit OverflowError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kOverflow, std::move(detail), std::move(context)) {}
};

class FileError : public Error {
 public:
  explicit FileError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kFile, std::move(detail), std::move(context)) {}
};

class EndOfFileError : public Error {
 public:
  explicit EndOfFileError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kEndOfFile, std::move(detail), std::move(context)) {}
};

class OutOfReachError : public Error {
 public:
  explicit OutOfReachError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kOutOfReach, std::move(detail), std::move(context)) {}
};

class InvalidCodeError : public Error {
 public:
  explicit InvalidCodeError(Phrase detail, std::vector<Phrase> context = {})
      : Error(ErrorKind::kInvalidCode, std::move(detail), std::move(context)) {}
};

// Rethrows `error` as the same kind with `context` put in front of its detail ("longitude
// minutes: ..."), so that a message names the field a low-level failure came from.
[[noreturn]] void RethrowWithContext(const Error& error, Phrase context);
// The same with a word of the message table ("longitude"); another text is shown as it is.
[[noreturn]] void RethrowWithContext(const Error& error, std::string_view context);

// A text as a message quotes it in English: in double quotes, cut to a few dozen characters (at a
// character boundary) so that a pasted megabyte does not become the message.
std::string Quote(std::string_view text);

}  // namespace miralto
