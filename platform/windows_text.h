// Windows's wide text (UTF-16) and the tool's UTF-8, converted by the system's own calls.
#pragma once

#include <string>
#include <string_view>

namespace miralto::platform {

// UTF-8 to UTF-16 and back; an invalid sequence or a lone surrogate becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace miralto::platform
