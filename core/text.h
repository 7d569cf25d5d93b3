// Texts are UTF-8 and counted in characters (code points), as a user counts them in a field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace miralto {

// The UTF-8 byte-order mark, which every reader skips at the start of its input (RFC 8259 and
// Windows editors alike write it).
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The character that starts at byte `pos` of `text` (a lead byte and its continuation bytes; a
// stray byte counts as one character of its own), and advances `pos` past it.
std::string_view NextCharacter(std::string_view text, std::size_t& pos);

// The character that ends just before byte `end` of `text` (the mirror of NextCharacter), and
// moves `end` back to its start.
std::string_view PreviousCharacter(std::string_view text, std::size_t& end);

// Number of characters in `text`.
std::size_t CharacterCount(std::string_view text);

// Appends the UTF-8 bytes of the code point `c` (at most U+10FFFF) to `out`.
void AppendCharacter(std::string& out, char32_t c);

// The longest start of `text` of at most `max_bytes` bytes that does not end inside a character:
// a text cut to fit a fixed buffer stays valid UTF-8.
std::string_view Utf8Prefix(std::string_view text, std::size_t max_bytes);

}  // namespace miralto
