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

void AppendCharacter(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int continuations = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[continuations] | (c >> (6 * continuations)));
  for (int i = continuations - 1; i >= 0; --i) {
    out += static_cast<char>(0x80 | ((c >> (6 * i)) & 0x3F));
  }
}

std::string_view Utf8Prefix(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t length = max_bytes;
  while (length > 0 && IsContinuation(static_cast<unsigned char>(text[length]))) --length;
  return text.substr(0, length);
}

}  // namespace miralto
