#include "errors.h"

namespace miralto {

namespace {

std::string English(MessageId id) { return std::string(EnglishPattern(id)); }

// The context, outermost first, and then the detail, each joined to the rest by kInContext.
std::string Told(const Phrase& detail, const std::vector<Phrase>& context,
                 const Patterns& patterns) {
  std::string text = Format(detail, patterns);
  for (auto frame = context.rbegin(); frame != context.rend(); ++frame) {
    text = Format({MessageId::kInContext,
                   {Argument::Text(Format(*frame, patterns)), Argument::Text(std::move(text))}},
                  patterns);
  }
  return text;
}

}  // namespace

MessageId KindMessage(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kConversion:
      return MessageId::kConversionError;
    case ErrorKind::kOverflow:
      return MessageId::kOverflowError;
    case ErrorKind::kFile:
      return MessageId::kFileError;
    case ErrorKind::kEndOfFile:
      return MessageId::kEndOfFile;
    case ErrorKind::kOutOfReach:
      return MessageId::kOutOfReach;
    case ErrorKind::kInvalidCode:
      return MessageId::kInvalidCode;
  }
  return MessageId::kConversionError;
}

std::string_view KindName(ErrorKind kind) { return EnglishPattern(KindMessage(kind)); }

Error::Error(ErrorKind kind, Phrase detail, std::vector<Phrase> context)
    : std::runtime_error(Told(detail, context, English)),
      kind_(kind),
      detail_(std::move(detail)),
      context_(std::move(context)) {}

std::string Error::Message() const {
  std::string message(KindName(kind_));
  message += ": ";
  message += what();
  return message;
}

std::string Error::DetailIn(const Patterns& patterns) const {
  return Told(detail_, context_, patterns);
}

void RethrowWithContext(const Error& error, Phrase context) {
  std::vector<Phrase> frames;
  frames.reserve(error.context().size() + 1);
  frames.push_back(std::move(context));
  frames.insert(frames.end(), error.context().begin(), error.context().end());
  switch (error.kind()) {
    case ErrorKind::kConversion:
      throw ConversionError(error.detail(), std::move(frames));
    case ErrorKind::kOverflow:
      throw OverflowError(error.detail(), std::move(frames));
    case ErrorKind::kFile:
      throw FileError(error.detail(), std::move(frames));
    case ErrorKind::kEndOfFile:
      throw EndOfFileError(error.detail(), std::move(frames));
    case ErrorKind::kOutOfReach:
      throw OutOfReachError(error.detail(), std::move(frames));
    case ErrorKind::kInvalidCode:
      throw InvalidCodeError(error.detail(), std::move(frames));
  }
  throw Error(error.kind(), error.detail(), std::move(frames));
}

void RethrowWithContext(const Error& error, std::string_view context) {
  RethrowWithContext(error, Phrase{MessageId::kAsIs, {Argument::Word(context)}});
}

std::string Quote(std::string_view text) {
  return FormatEnglish({MessageId::kAsIs, {Argument::Quoted(text)}});
}

}  // namespace miralto
