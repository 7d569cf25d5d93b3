// The error kinds of the tool. Every failure that reaches a user is one of these, with a message
// that names the offending text and what was expected.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace miralto {

enum class ErrorKind {
  kConversion,   // a text that must be a number is not one
  kOverflow,     // a value leaves the range of its type
  kFile,         // the correction file cannot be read or written
  kEndOfFile,    // the correction file ends before its second line
  kOutOfReach,   // a position the code cannot name
  kInvalidCode,  // a text that is not a position code
};

// The kind as a user reads it: "conversion error", "out of reach"...
std::string_view KindName(ErrorKind kind);

// Base of all the tool's errors: what() is the detail alone, Message() puts the kind in front.
class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& detail) : std::runtime_error(detail), kind_(kind) {}
  ErrorKind kind() const { return kind_; }
  std::string Message() const;

 private:
  ErrorKind kind_;
};

class ConversionError : public Error {
 public:
  explicit ConversionError(const std::string& detail) : Error(ErrorKind::kConversion, detail) {}
};

class OverflowError : public Error {
 public:
  explicit OverflowError(const std::string& detail) : Error(ErrorKind::kOverflow, detail) {}
};

class FileError : public Error {
 public:
  explicit FileError(const std::string& detail) : Error(ErrorKind::kFile, detail) {}
};

class EndOfFileError : public Error {
 public:
  explicit EndOfFileError(const std::string& detail) : Error(ErrorKind::kEndOfFile, detail) {}
};

class OutOfReachError : public Error {
 public:
  explicit OutOfReachError(const std::string& detail) : Error(ErrorKind::kOutOfReach, detail) {}
};

class InvalidCodeError : public Error {
 public:
  explicit InvalidCodeError(const std::string& detail) : Error(ErrorKind::kInvalidCode, detail) {}
};

// Rethrows `error` as the same kind with `context` put in front of its detail ("longitude
// minutes: ..."), so that a message names the field a low-level failure came from.
[[noreturn]] void RethrowWithContext(const Error& error, std::string_view context);

// A text as a message quotes it: in double quotes, cut to a few dozen characters (at a character
// boundary) so that a pasted megabyte does not become the message.
std::string Quote(std::string_view text);

}  // namespace miralto
