#include "cli/process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include "cli/console_input.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/windows_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace miralto::cli {

#ifdef _WIN32
namespace {

UINT console_code_page = 0;

void RestoreConsoleCodePage() { SetConsoleOutputCP(console_code_page); }

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
    for (int i = 0; i < count; ++i) texts_.push_back(platform::Utf8(wide[i]));
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

// Reads the console until Ctrl-Z (or until it cannot) and writes what is typed, as UTF-8, to the
// pipe `parameter`, which it closes at the end. A line is handed on as soon as it is typed.
DWORD WINAPI CopyConsole(void* parameter) {
  const HANDLE pipe = parameter;
  const HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
  ConsoleText decoder;
  std::u16string text;
  // False when the reader has gone (the program ends early): nothing more to hand on.
  auto hand_on = [&] {
    const std::string bytes = platform::Utf8(std::wstring(text.begin(), text.end()));
    text.clear();
    DWORD written = 0;
    return bytes.empty() ||
           WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  };
  char16_t units[4096];
  for (bool more = true; more;) {
    DWORD read = 0;
    if (!ReadConsoleW(console, units, static_cast<DWORD>(std::size(units)), &read, nullptr) ||
        read == 0) {
      break;
    }
    more = decoder.Take(std::u16string_view(units, read), text);
    if (!hand_on()) break;
  }
  decoder.Finish(text);
  hand_on();
  CloseHandle(pipe);
  return 0;
}

}  // namespace

std::FILE* ConsoleInput() {
  const HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (console == nullptr || console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) {
    return nullptr;
  }
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, nullptr, 0)) return nullptr;
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(read_end), _O_RDONLY | _O_BINARY);
  std::FILE* stream = fd == -1 ? nullptr : _fdopen(fd, "rb");
  const HANDLE thread =
      stream == nullptr ? nullptr : CreateThread(nullptr, 0, CopyConsole, write_end, 0, nullptr);
  if (thread == nullptr) {
    if (stream != nullptr) {
      std::fclose(stream);
    } else if (fd != -1) {
      _close(fd);
    } else {
      CloseHandle(read_end);
    }
    CloseHandle(write_end);
    return nullptr;
  }
  // The thread may wait for a line that never comes: the program's end stops it.
  CloseHandle(thread);
  return stream;
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

// Whether two identities are those of one file.
bool Same(const FileIdentity& a, const FileIdentity& b) {
  if (std::memcmp(a.id.Identifier, b.id.Identifier, sizeof a.id.Identifier) != 0) return false;
  if (a.volume != 0 && b.volume != 0) return a.volume == b.volume;
  return a.created.QuadPart == b.created.QuadPart && a.written.QuadPart == b.written.QuadPart;
}

// The identity of the file a standard handle (STD_INPUT_HANDLE...) is open on; false for a pipe,
// a console or a device.
bool IdentifyStandard(DWORD which, FileIdentity& identity) {
  const HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) == FILE_TYPE_DISK && Identify(handle, identity);
}

bool IdentifyPath(const std::filesystem::path& file, FileIdentity& identity) {
  // No access asked for: the file is only identified, whoever holds it open.
  const HANDLE handle =
      CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool known = Identify(handle, identity);
  CloseHandle(handle);
  return known;
}

bool StandardIs(DWORD which, const std::filesystem::path& file) {
  FileIdentity standard;
  FileIdentity other;
  return IdentifyStandard(which, standard) && IdentifyPath(file, other) && Same(standard, other);
}

}  // namespace

bool StandardInputIs(const std::filesystem::path& file) {
  return StandardIs(STD_INPUT_HANDLE, file);
}

bool StandardOutputIs(const std::filesystem::path& file) {
  return StandardIs(STD_OUTPUT_HANDLE, file);
}

bool StandardOutputIsInput() {
  FileIdentity in;
  FileIdentity out;
  return IdentifyStandard(STD_INPUT_HANDLE, in) && IdentifyStandard(STD_OUTPUT_HANDLE, out) &&
         Same(in, out);
}
#else
Utf8Arguments::Utf8Arguments(int argc, char** argv) : texts_(argv, argv + argc) {
  for (std::string& text : texts_) pointers_.push_back(text.data());
  pointers_.push_back(nullptr);
}

void UseByteStreams() {}

std::FILE* ConsoleInput() { return nullptr; }

namespace {

// The regular file descriptor `fd` is open on; false for a pipe, a terminal or a device.
bool RegularFile(int fd, struct stat& info) {
  return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool Same(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool StandardIs(int fd, const std::filesystem::path& file) {
  struct stat standard {};
  struct stat other {};
  return RegularFile(fd, standard) && stat(file.c_str(), &other) == 0 && Same(standard, other);
}

}  // namespace

bool StandardInputIs(const std::filesystem::path& file) { return StandardIs(STDIN_FILENO, file); }

bool StandardOutputIs(const std::filesystem::path& file) { return StandardIs(STDOUT_FILENO, file); }

bool StandardOutputIsInput() {
  struct stat in {};
  struct stat out {};
  return RegularFile(STDIN_FILENO, in) && RegularFile(STDOUT_FILENO, out) && Same(in, out);
}
#endif

}  // namespace miralto::cli
