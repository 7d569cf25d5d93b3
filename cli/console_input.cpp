#include "cli/console_input.h"

namespace miralto::cli {

namespace {

bool HighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

}  // namespace

bool ConsoleText::Take(std::u16string_view chunk, std::u16string& text) {
  if (chunk.empty()) return true;
  if (!held_.empty()) {
    text += held_;
    held_.clear();
    line_start_ = false;
  }
  for (std::size_t i = 0; i < chunk.size(); ++i) {
    const char16_t unit = chunk[i];
    if (unit == kEndOfInput && line_start_) return false;
    if (i + 1 == chunk.size() && HighSurrogate(unit)) {
      held_ = unit;
      return true;
    }
    text += unit;
    line_start_ = unit == u'\n';
  }
  return true;
}

void ConsoleText::Finish(std::u16string& text) {
  text += held_;
  held_.clear();
}

}  // namespace miralto::cli
