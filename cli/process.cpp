#include "cli/process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#else
#include <sys/stat.h>
#include <unistd.h>
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

namespace {

// What tells one open file from another: the volume and the file's ID on it. Where the system
// does not give the volume of a handle (Wine, for a standard input it inherited), the file's
// times, to the 100 ns, stand in for it.
struct FileIdentity {
  ULONGLONG volume = 0;
  FILE_ID_128 id{};
  LARGE_INTEGER created{};
  LARGE_INTEGER written{};
};

bool Identify(HANDLE file, FileIdentity& identity) {
  FILE_BASIC_INFO times{};
  if (!GetFileInformationByHandleEx(file, FileBasicInfo, &times, sizeof times)) return false;
  identity.created = times.CreationTime;
  identity.written = times.LastWriteTime;
  FILE_ID_INFO id{};
  if (GetFileInformationByHandleEx(file, FileIdInfo, &id, sizeof id)) {
    identity.volume = id.VolumeSerialNumber;
    identity.id = id.FileId;
    return true;
  }
  // Windows 7 has no 128-bit IDs.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file, &info)) return false;
  identity.volume = info.dwVolumeSerialNumber;
  std::memcpy(identity.id.Identifier, &info.nFileIndexLow, sizeof info.nFileIndexLow);
  std::memcpy(identity.id.Identifier + 4, &info.nFileIndexHigh, sizeof info.nFileIndexHigh);
  return true;
}

}  // namespace

bool StandardInputIs(const std::filesystem::path& file) {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FileIdentity in;
  if (input == nullptr || input == INVALID_HANDLE_VALUE || GetFileType(input) != FILE_TYPE_DISK ||
      !Identify(input, in)) {
    return false;
  }
  // No access asked for: the file is only identified, whoever holds it open.
  const HANDLE other =
      CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  FileIdentity out;
  const bool known = Identify(other, out);
  CloseHandle(other);
  if (!known || std::memcmp(in.id.Identifier, out.id.Identifier, sizeof in.id.Identifier) != 0) {
    return false;
  }
  if (in.volume != 0 && out.volume != 0) return in.volume == out.volume;
  return in.created.QuadPart == out.created.QuadPart && in.written.QuadPart == out.written.QuadPart;
}
#else
Utf8Arguments::Utf8Arguments(int argc, char** argv) : texts_(argv, argv + argc) {
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

void UseByteStreams() {}

bool StandardInputIs(const std::filesystem::path& file) {
  struct stat in {};
  struct stat out {};
  if (fstat(STDIN_FILENO, &in) != 0 || stat(file.c_str(), &out) != 0) return false;
  return S_ISREG(in.st_mode) && in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}
#endif

}  // namespace miralto::cli
