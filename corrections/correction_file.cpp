#include "correction_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "errors.h"

namespace miralto {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::string PathText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return "\"" + std::string(text.begin(), text.end()) + "\"";
}

// On Windows a file marked hidden or system counts as absent, as Explorer hides it from the user.
bool HiddenOrSystem([[maybe_unused]] const fs::path& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
  return false;
#endif
}

std::string Reason(int error) { return std::generic_category().message(error); }

// Opens with a C stdio mode ("rb", "wbx"); on failure returns null with errno kept.
File Open(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return File(_wfopen(path.c_str(), wide_mode.c_str()));
#else
  return File(std::fopen(path.c_str(), mode));
#endif
}

// The next line without its line end, or nothing at the end of the file.
std::optional<std::string> ReadLine(std::FILE* file, const fs::path& path) {
  std::string line;
  int c = 0;
  bool any = false;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
  }
  if (std::ferror(file)) {
    throw FileError("cannot read the correction file " + PathText(path) + ": " + Reason(errno));
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

void SkipByteOrderMark(std::FILE* file) {
  char head[3] = {};
  if (std::fread(head, 1, 3, file) == 3 && std::string_view(head, 3) == kByteOrderMark) return;
  std::rewind(file);
}

void SyncDirectory([[maybe_unused]] const fs::path& directory) {
#ifndef _WIN32
  const int fd = ::open(directory.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#endif
}

std::string TemporaryName() {
  std::random_device device;
  std::uniform_int_distribution<unsigned> digit(0, 15);
  std::string name = ".tmp";
  for (int i = 0; i < 12; ++i) name += "0123456789abcdef"[digit(device)];
  return name;
}

// Writes `bytes` to `target` through a temporary file beside it; the target is replaced whole or
// not at all.
void WriteAtomically(const fs::path& target, const std::string& bytes) {
  const std::string failure = "cannot write the correction file " + PathText(target) + ": ";
  fs::path temporary = target;
  temporary += TemporaryName();
  File file = Open(temporary, "wbx");
  if (!file) throw FileError(failure + Reason(errno));

  auto fail = [&](int error) {
    file.reset();
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw FileError(failure + Reason(error));
  };
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) fail(errno);
  if (std::fflush(file.get()) != 0) fail(errno);
#ifdef _WIN32
  if (_commit(_fileno(file.get())) != 0) fail(errno);
#else
  if (::fsync(fileno(file.get())) != 0) fail(errno);
#endif
  if (std::fclose(file.release()) != 0) fail(errno);

  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw FileError(failure + error.message());
  }
  SyncDirectory(target.parent_path());
}

}  // namespace

fs::path CorrectionFilePath(const fs::path& directory) {
  return directory / fs::path(u8"修正.txt");
}

Long CorrectionValue(std::string_view text, std::string_view what) {
  try {
    return RoundToLong(ParseLenient(text));
  } catch (const Error& error) {
    RethrowWithContext(error, what);
  }
}

CorrectionLoad LoadCorrections(const fs::path& directory) noexcept {
  CorrectionLoad load;
  try {
    const fs::path path = CorrectionFilePath(directory);
    std::error_code error;
    if (!fs::is_regular_file(path, error) || HiddenOrSystem(path)) return load;
    load.present = true;
    File file = Open(path, "rb");
    if (!file) {
      throw FileError("cannot open the correction file " + PathText(path) + ": " + Reason(errno));
    }
    SkipByteOrderMark(file.get());
    static constexpr const char* kWhat[] = {"longitude correction", "latitude correction"};
    for (int i = 0; i < 2; ++i) {
      std::optional<std::string> line = ReadLine(file.get(), path);
      if (!line) {
        throw EndOfFileError("the correction file " + PathText(path) + " ends after " +
                             (i == 0 ? "no line" : "one line") +
                             "; it needs two: the longitude and the latitude correction");
      }
      const Long value = CorrectionValue(*line, std::string("line ") + LongText(i + 1) + " of " +
                                                    PathText(path) + " (" + kWhat[i] + ")");
      load.lines.push_back({std::move(*line), value});
    }
  } catch (...) {
    load.failure = std::current_exception();
  }
  return load;
}

Corrections SaveCorrections(const fs::path& directory, std::string_view lon_text,
                            std::string_view lat_text) {
  const Corrections values{CorrectionValue(lon_text, "longitude correction"),
                           CorrectionValue(lat_text, "latitude correction")};
  std::string bytes;
  // Loading skips one byte-order mark: a text that starts with one keeps it behind another.
  if (lon_text.substr(0, 3) == kByteOrderMark) bytes = kByteOrderMark;
  bytes.append(lon_text).append("\r\n").append(lat_text).append("\r\n");
  WriteAtomically(CorrectionFilePath(directory), bytes);
  return values;
}

}  // namespace miralto
