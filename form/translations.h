// The Chinese texts of the windows, generated at build time from the one translation file that the
// Qt window compiles too, so that every window tells a failure and a role in the same words.
#pragma once

#include <span>
#include <string_view>

namespace miralto::form {

struct Translation {
  std::string_view context;  // "Messages", "Form1"
  std::string_view source;   // the English text
  std::string_view translation;
};

// The finished translations, sorted by context, then source (byte order).
extern const std::span<const Translation> kChinese;

// The Chinese of `source` filed under `context`, or the empty text when there is none.
std::string_view Chinese(std::string_view context, std::string_view source);

}  // namespace miralto::form
