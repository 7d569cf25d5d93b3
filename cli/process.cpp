#include "cli/process.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace miralto::cli {

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the terminating null
  return bytes;
}

UINT console_code_page = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(console_code_page); }

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
    for (int i = 0; i < count; ++i) texts_.push_back(Utf8(wide[i]));
    LocalFree(wide);
  } else {
    texts_.assign(argv, argv + argc);
  }
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

void UseByteStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  // The console keeps its code page after the program: the user's is put back on the way out.
  console_code_page = GetConsoleOutputCP();
  if (console_code_page != 0 && console_code_page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(RestoreConsoleCodePage);
  }
}
#else
Utf8Arguments::Utf8Arguments(int argc, char** argv) : texts_(argv, argv + argc) {
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

void UseByteStreams() {}
#endif

}  // namespace miralto::cli
