#include "core/text.h"

namespace miralto {

namespace {
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }
}  // namespace

std::string_view NextCharacter(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  ++pos;
  while (pos < text.size() && pos - start < 4 && IsContinuation(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

std::string_view PreviousCharacter(std::string_view text, std::size_t& end) {
  const std::size_t last = end;
  --end;
  while (end > 0 && last - end < 4 && IsContinuation(text[end])) --end;
  return text.substr(end, last - end);
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size(); ++count) NextCharacter(text, pos);
  return count;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t length = max_bytes;
  while (length > 0 && IsContinuation(static_cast<unsigned char>(text[length]))) --length;
  return text.substr(0, length);
}

}  // namespace miralto
