#include "errors.h"

#include "text.h"

namespace miralto {

std::string_view KindName(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kConversion:
      return "conversion error";
    case ErrorKind::kOverflow:
      return "overflow error";
    case ErrorKind::kFile:
      return "file error";
    case ErrorKind::kEndOfFile:
      return "end of file";
    case ErrorKind::kOutOfReach:
      return "out of reach";
    case ErrorKind::kInvalidCode:
      return "invalid position code";
  }
  return "error";
}

std::string Error::Message() const {
  std::string message(KindName(kind_));
  message += ": ";
  message += what();
  return message;
}

void RethrowWithContext(const Error& error, std::string_view context) {
  const std::string detail = std::string(context) + ": " + error.what();
  switch (error.kind()) {
    case ErrorKind::kConversion:
      throw ConversionError(detail);
    case ErrorKind::kOverflow:
      throw OverflowError(detail);
    case ErrorKind::kFile:
      throw FileError(detail);
    case ErrorKind::kEndOfFile:
      throw EndOfFileError(detail);
    case ErrorKind::kOutOfReach:
      throw OutOfReachError(detail);
    case ErrorKind::kInvalidCode:
      throw InvalidCodeError(detail);
  }
  throw Error(error.kind(), detail);
}

std::string Quote(std::string_view text) {
  constexpr std::size_t kMaxCharacters = 40;
  std::string quoted = "\"";
  std::size_t pos = 0;
  for (std::size_t count = 0; pos < text.size() && count < kMaxCharacters; ++count) {
    const std::string_view character = NextCharacter(text, pos);
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x20) {
      // Control characters would break a message box or an output line; show them as escapes.
      static constexpr char kHex[] = "0123456789abcdef";
      const auto byte = static_cast<unsigned char>(character[0]);
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    } else {
      quoted += character;
    }
  }
  quoted += '"';
  if (pos < text.size()) quoted += "... (" + std::to_string(CharacterCount(text)) + " characters)";
  return quoted;
}

}  // namespace miralto
