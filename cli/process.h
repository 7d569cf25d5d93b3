// What a command-line program sets up before it reads its arguments and streams, where the
// platform needs it (Windows); elsewhere these change nothing.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace miralto::cli {

// The program's arguments as UTF-8 texts. On Windows they are read from the UTF-16 command line,
// so a file name in any script reaches the program whatever the code page; elsewhere they are
// `argv` as given. `argv()` ends with a null pointer, as main's does.
class Utf8Arguments {
 public:
  Utf8Arguments(int argc, char** argv);
  Utf8Arguments(const Utf8Arguments&) = delete;
  Utf8Arguments& operator=(const Utf8Arguments&) = delete;

  int argc() const { return static_cast<int>(texts_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

// Standard input and output carry bytes unchanged on every platform: on Windows no CR is added
// before LF on output or taken away on input, and a Ctrl-Z byte does not end the input. Messages
// to a Windows console are shown as UTF-8.
void UseByteStreams();

// Where standard input is a Windows console: a stream of what is typed there as UTF-8, read with
// ReadConsoleW on a thread of its own, since a byte read gets the console's code page, which
// cannot carry every character (a Chinese console's cannot carry "°"). A Ctrl-Z at the start of
// a line ends it. nullptr elsewhere, and for a pipe or a file: standard input is read as it is.
std::FILE* ConsoleInput();

// Whether standard input reads the existing file `file` (by any of its names), so that opening
// `file` for writing would empty the input before it is read. False for a pipe, a terminal or
// another file, and when either cannot be examined.
bool StandardInputIs(const std::filesystem::path& file);

// Whether standard output writes to the existing file `file` (by any of its names), so that the
// results would be read back as input: `miralto-cli dms -i f.txt >> f.txt`. False as above.
bool StandardOutputIs(const std::filesystem::path& file);

// Whether standard input and standard output are one regular file, as after
// `miralto-cli dms < f.txt >> f.txt`.
bool StandardOutputIsInput();

}  // namespace miralto::cli
