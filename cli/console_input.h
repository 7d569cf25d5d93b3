// Text typed into a Windows console, which ReadConsoleW gives as UTF-16 whatever the console's
// code page, cut into pieces that each convert to UTF-8 on their own. Kept apart from the reading
// itself so that it is tested on every platform.
#pragma once

#include <string>
#include <string_view>

namespace miralto::cli {

class ConsoleText {
 public:
  static constexpr char16_t kEndOfInput = u'\x1A';  // Ctrl-Z

  // Appends to `text` the UTF-16 units of `chunk`, one read of the console, that can be converted
  // now: a high surrogate at its end waits for the low one that the next read brings. Line ends
  // stay as typed (CR LF), as a file's do. A Ctrl-Z at the start of a line ends the input, as
  // typing Ctrl-Z, Enter does for console programs: what follows it is dropped and the result is
  // false. Elsewhere a Ctrl-Z is text.
  bool Take(std::u16string_view chunk, std::u16string& text);

  // At the end of the input: appends a unit still held back (a high surrogate that no low one
  // followed, which the conversion replaces).
  void Finish(std::u16string& text);

 private:
  std::u16string held_;     // a high surrogate from the end of the last read
  bool line_start_ = true;  // the next unit starts a line
};

}  // namespace miralto::cli
