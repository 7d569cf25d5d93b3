#include "corrections/correction_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/errors.h"
#include "core/text.h"
#include "platform/paths.h"
#ifdef _WIN32
#include "platform/windows_text.h"
#endif

namespace miralto {

namespace fs = std::filesystem;

namespace {

// The store works on the system's own path text. On Windows that is a wide string handled with the
// system's calls: std::filesystem's path conversions would link the standard library's whole
// locale machinery into the window, more than half of it.
#ifdef _WIN32
using Path = std::wstring;

Path Join(const Path& directory, const Path& name) { return platform::JoinPath(directory, name); }

// The file's status as std::filesystem reads it with this runtime; false if it cannot be read.
bool Status(const Path& path, struct _stat64& status) {
  return _wstat64(path.c_str(), &status) == 0;
}

bool IsRegularFile(const Path& path) {
  struct _stat64 status {};
  return Status(path, status) && (status.st_mode & _S_IFMT) == _S_IFREG;
}

std::string PathText(const Path& path) { return platform::Utf8(path); }

void RemoveFile(const Path& path) { _wremove(path.c_str()); }

// The system's text for a Windows error in the user's language, as UTF-8, without its full stop
// and line end. The C++ library's error_code::message gives it in the ANSI code page, which the
// rest of the tool would read as broken UTF-8 (a Chinese Windows's GBK).
std::string SystemReason(const std::error_code& error) {
  const auto code = static_cast<DWORD>(error.value());
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.' || text.back() == L'\u3002')) {
    text.pop_back();
  }
  if (text.empty()) return "Windows error " + std::to_string(code);
  return platform::Utf8(text);
}
#else
using Path = fs::path;

Path Join(const Path& directory, const Path& name) { return directory / name; }

bool IsRegularFile(const Path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

std::string PathText(const Path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

void RemoveFile(const Path& path) {
  std::error_code ignored;
  fs::remove(path, ignored);
}

std::string SystemReason(const std::error_code& error) { return error.message(); }
#endif

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Argument PathArgument(const Path& path) { return Argument::Path(PathText(path)); }

// On Windows a file marked hidden or system counts as absent, as Explorer hides it from the user.
bool HiddenOrSystem([[maybe_unused]] const Path& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
#else
  return false;
#endif
}

Argument Reason(int error) { return Argument::Text(std::generic_category().message(error)); }

// A failure to open, read or write the file at `path`, with the system's reason.
Phrase FileFailure(MessageId what, const Path& path, Argument reason) {
  return {what, {PathArgument(path), std::move(reason)}};
}

// Opens with a C stdio mode ("rb"); on failure returns null with errno kept.
File Open(const Path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return File(_wfopen(path.c_str(), wide_mode.c_str()));
#else
  return File(std::fopen(path.c_str(), mode));
#endif
}

// Creates `path` for writing, failing if it exists; on failure returns null with errno kept. On
// Windows the system is asked for the exclusive creation: the C runtime MinGW-w64 links (msvcrt)
// knows no "x" in a stdio mode, which Windows refuses as invalid and Wine ignores.
File CreateNew(const Path& path) {
#ifdef _WIN32
  const int fd =
      _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return File();
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = errno;
    _close(fd);
    errno = error;
  }
  return File(file);
#else
  return Open(path, "wbx");
#endif
}

// The next line without its line end, or nothing at the end of the file. A line longer than
// kMaxCorrectionLine stops the reading there: the rest of a huge file is never read.
std::optional<std::string> ReadLine(std::FILE* file, const Path& path) {
  std::string line;
  int c = 0;
  bool any = false;
  while ((c = std::getc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    line += static_cast<char>(c);
    // One byte more than a line may hold, for the CR of its CR LF.
    if (line.size() > kMaxCorrectionLine + 1) {
      throw FileError({MessageId::kCorrectionLineTooLong,
                       {Argument::Number(static_cast<std::int64_t>(kMaxCorrectionLine))}});
    }
  }
  if (std::ferror(file)) {
    throw FileError(FileFailure(MessageId::kCannotReadCorrections, path, Reason(errno)));
  }
  if (!any) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxCorrectionLine) {
    throw FileError({MessageId::kCorrectionLineTooLong,
                     {Argument::Number(static_cast<std::int64_t>(kMaxCorrectionLine))}});
  }
  return line;
}

void SkipByteOrderMark(std::FILE* file) {
  char head[3] = {};
  if (std::fread(head, 1, 3, file) == 3 && std::string_view(head, 3) == kByteOrderMark) return;
  std::rewind(file);
}

void SyncDirectory([[maybe_unused]] const Path& file) {
#ifndef _WIN32
  const fs::path directory = file.parent_path();
  const int fd = ::open(directory.c_str(), O_RDONLY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
#endif
}

Path TemporaryName() {
  const std::string name = platform::TemporaryName(".tmp");
  return Path(name.begin(), name.end());
}

// Renames `from` over `to`, which may exist; `to` names the old or the new file at every moment.
std::error_code ReplaceFile(const Path& from, const Path& to) {
#ifdef _WIN32
  // Said outright: the C library's rename refuses an existing target on Windows.
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return {};
  }
  return {static_cast<int>(GetLastError()), std::system_category()};
#else
  std::error_code error;
  fs::rename(from, to, error);
  return error;
#endif
}

// A save that fails at `path` (as the user named it), for `reason`.
FileError WriteFailure(const Path& path, Argument reason) {
  return FileError(FileFailure(MessageId::kCannotWriteCorrections, path, std::move(reason)));
}

// Symbolic links followed before a save gives up, as the system's own limit does (ELOOP).
constexpr int kMaxLinkHops = 40;

// The file a save replaces: `path`, or the file its chain of symbolic links ends at (which may not
// exist yet). Replacing the link itself would cut it from the file it shares.
#ifdef _WIN32
// This runtime's std::filesystem sees no symbolic links on Windows: the path is its own target.
Path LinkTarget(const Path& path) { return path; }
#else
fs::path LinkTarget(const fs::path& path) {
  fs::path target = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
    const fs::path next = fs::read_symlink(target, error);
    if (error) throw WriteFailure(path, Argument::Text(error.message()));
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  throw WriteFailure(path, Reason(ELOOP));
}
#endif

// What the old file's replacement keeps.
struct Protection {
  bool exists = false;
#ifndef _WIN32
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
#endif
};

// Opens the existing `target` for writing without truncating it, as a plain open for writing would,
// so that the user's protection (permissions, read-only attribute, read-only mount) refuses the
// save before anything is written. A missing file is no obstacle: the rename creates it.
Protection CheckWritable(const Path& path, const Path& target) {
  Protection protection;
#ifdef _WIN32
  // The read-only attribute binds administrators too, but not every open for writing checks it
  // first (Wine's run as root does not): it is asked for by name.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    throw WriteFailure(path, Reason(EACCES));
  }
  const int fd = _wopen(target.c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) {
    if (errno == ENOENT) return protection;
    throw WriteFailure(path, Reason(errno));
  }
  _close(fd);
  protection.exists = true;
#else
  // O_NONBLOCK: a FIFO of that name must not hang the save; it is refused just below.
  const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    if (errno == ENOENT) return protection;
    throw WriteFailure(path, Reason(errno));
  }
  struct stat status {};
  const int stat_result = ::fstat(fd, &status);
  const int stat_error = errno;
  ::close(fd);
  if (stat_result != 0) throw WriteFailure(path, Reason(stat_error));
  if (!S_ISREG(status.st_mode))
    throw WriteFailure(path, Argument::Term(MessageId::kNotAnOrdinaryFile));
  protection.exists = true;
  protection.mode = status.st_mode & 07777;
  protection.owner = status.st_uid;
  protection.group = status.st_gid;
#endif
  return protection;
}

// Gives the temporary file the old file's owner, group and permissions. Only root may give a file
// away; an owner may still pass it to one of their groups. Permissions come last, as a change of
// owner clears the set-user-ID bits.
int KeepProtection([[maybe_unused]] std::FILE* file, [[maybe_unused]] const Protection& old) {
#ifndef _WIN32
  if (!old.exists) return 0;
  const int fd = fileno(file);
  if (::fchown(fd, old.owner, old.group) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.group);
  }
  if (::fchmod(fd, old.mode) != 0) return errno;
#endif
  return 0;
}

// Writes `bytes` to `path` (or the target of its symbolic links) through a temporary file beside
// it; the file is replaced whole or not at all.
void WriteAtomically(const Path& path, const std::string& bytes) {
  auto failure = [&path](Argument reason) { return WriteFailure(path, std::move(reason)); };
  const Path target = LinkTarget(path);
  const Protection old = CheckWritable(path, target);
  Path temporary = target;
  temporary += TemporaryName();
  File file = CreateNew(temporary);
  if (!file) throw failure(Reason(errno));

  auto fail = [&](int error) {
    file.reset();
    RemoveFile(temporary);
    throw failure(Reason(error));
  };
  if (const int error = KeepProtection(file.get(), old); error != 0) fail(error);
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) fail(errno);
  if (std::fflush(file.get()) != 0) fail(errno);
#ifdef _WIN32
  if (_commit(_fileno(file.get())) != 0) fail(errno);
#else
  if (::fsync(fileno(file.get())) != 0) fail(errno);
#endif
  if (std::fclose(file.release()) != 0) fail(errno);

  if (const std::error_code error = ReplaceFile(temporary, target)) {
    RemoveFile(temporary);
    throw failure(Argument::Text(SystemReason(error)));
  }
  SyncDirectory(target);
}

#ifdef _WIN32
// Creates `directory` and whichever of its parents are missing, as std::filesystem's
// create_directories does; an error code of the generic category on failure.
std::error_code CreateDirectories(const Path& directory) {
  struct _stat64 status {};
  if (Status(directory, status)) {
    if ((status.st_mode & _S_IFMT) == _S_IFDIR) return {};
    return std::make_error_code(std::errc::not_a_directory);
  }
  std::size_t end = directory.size();
  while (end > 0 && platform::IsSeparator(directory[end - 1])) --end;
  while (end > 0 && !platform::IsSeparator(directory[end - 1])) --end;
  while (end > 0 && platform::IsSeparator(directory[end - 1])) --end;
  // Up to the root: a drive ("C:") or nothing is not created.
  if (end > 0 && !(end == 2 && directory[1] == L':')) {
    if (const std::error_code error = CreateDirectories(directory.substr(0, end))) return error;
  }
  if (_wmkdir(directory.c_str()) != 0) {
    const int error = errno;
    if (error != EEXIST || !Status(directory, status) || (status.st_mode & _S_IFMT) != _S_IFDIR) {
      return {error, std::generic_category()};
    }
  }
  return {};
}
#endif

// Creates the correction folder (the per-user one is often missing before the first save).
void EnsureDirectory(const Path& directory) {
#ifdef _WIN32
  struct _stat64 status {};
  if (directory.empty() || Status(directory, status)) return;
  const std::error_code error = CreateDirectories(directory);
#else
  std::error_code error;
  if (directory.empty() || fs::exists(fs::symlink_status(directory, error))) return;
  fs::create_directories(directory, error);
#endif
  if (error) {
    throw FileError({MessageId::kCannotCreateFolder,
                     {PathArgument(directory), Argument::Text(error.message())}});
  }
}

Path CorrectionFileIn(const Path& directory) {
#ifdef _WIN32
  return Join(directory, L"修正.txt");
#else
  return Join(directory, fs::path(u8"修正.txt"));
#endif
}

bool CorrectionFilePresentIn(const Path& directory) {
  const Path path = CorrectionFileIn(directory);
  return IsRegularFile(path) && !HiddenOrSystem(path);
}

}  // namespace

namespace {

Long CorrectionValueIn(std::string_view text, Phrase what) {
  try {
    return RoundToLong(ParseLenient(text));
  } catch (const Error& error) {
    RethrowWithContext(error, std::move(what));
  }
}

}  // namespace

Long CorrectionValue(std::string_view text, std::string_view what) {
  return CorrectionValueIn(text, {MessageId::kAsIs, {Argument::Word(what)}});
}

namespace {

CorrectionLoad LoadCorrectionsIn(const Path& directory) noexcept {
  CorrectionLoad load;
  try {
    const Path path = CorrectionFileIn(directory);
    if (!CorrectionFilePresentIn(directory)) return load;
    load.present = true;
    File file = Open(path, "rb");
    if (!file) {
      throw FileError(FileFailure(MessageId::kCannotOpenCorrections, path, Reason(errno)));
    }
    // Two lines at most are read: a buffer of their size keeps a huge file from being read ahead.
    // It is set before the first read, as the C library allows it only then.
    std::setvbuf(file.get(), nullptr, _IOFBF, 2 * (kMaxCorrectionLine + 2) + kByteOrderMark.size());
    SkipByteOrderMark(file.get());
    static constexpr MessageId kWhat[] = {MessageId::kLongitudeCorrection,
                                          MessageId::kLatitudeCorrection};
    for (int i = 0; i < 2; ++i) {
      const Phrase where{MessageId::kCorrectionLine,
                         {Argument::Number(i + 1), PathArgument(path), Argument::Term(kWhat[i])}};
      std::optional<std::string> line;
      try {
        line = ReadLine(file.get(), path);
      } catch (const FileError& error) {
        if (error.detail().id != MessageId::kCorrectionLineTooLong) throw;
        RethrowWithContext(error, where);
      }
      if (!line) {
        throw EndOfFileError(
            {i == 0 ? MessageId::kCorrectionsEndEarly : MessageId::kCorrectionsEndAfterOne,
             {PathArgument(path)}});
      }
      const Long value = CorrectionValueIn(*line, where);
      load.lines.push_back({std::move(*line), value});
    }
  } catch (...) {
    load.failure = std::current_exception();
  }
  return load;
}

Corrections SaveCorrectionsIn(const Path& directory, std::string_view lon_text,
                              std::string_view lat_text) {
  // Checked before the value, field by field: what is written is what the next start reads.
  auto value = [](std::string_view text, MessageId what) {
    try {
      if (text.find('\n') != std::string_view::npos) {
        throw ConversionError({MessageId::kLineBreakInCorrection, {Argument::Quoted(text)}});
      }
      if (text.size() > kMaxCorrectionLine) {
        throw ConversionError({MessageId::kCorrectionTooLong,
                               {Argument::Quoted(text),
                                Argument::Number(static_cast<std::int64_t>(kMaxCorrectionLine))}});
      }
    } catch (const Error& error) {
      RethrowWithContext(error, Phrase{MessageId::kAsIs, {Argument::Term(what)}});
    }
    return CorrectionValueIn(text, {MessageId::kAsIs, {Argument::Term(what)}});
  };
  const Long lon = value(lon_text, MessageId::kLongitudeCorrection);
  const Corrections values{lon, value(lat_text, MessageId::kLatitudeCorrection)};
  std::string bytes;
  // Loading skips one byte-order mark: a text that starts with one keeps it behind another.
  if (lon_text.substr(0, 3) == kByteOrderMark) bytes = kByteOrderMark;
  bytes.append(lon_text).append("\r\n").append(lat_text).append("\r\n");
  EnsureDirectory(directory);
  WriteAtomically(CorrectionFileIn(directory), bytes);
  return values;
}

}  // namespace

#ifdef _WIN32
std::wstring CorrectionFilePathW(const std::wstring& directory) {
  return CorrectionFileIn(directory);
}

bool CorrectionFilePresentW(const std::wstring& directory) {
  return CorrectionFilePresentIn(directory);
}

CorrectionLoad LoadCorrectionsW(const std::wstring& directory) noexcept {
  return LoadCorrectionsIn(directory);
}

Corrections SaveCorrectionsW(const std::wstring& directory, std::string_view lon_text,
                             std::string_view lat_text) {
  return SaveCorrectionsIn(directory, lon_text, lat_text);
}
#else
fs::path CorrectionFilePath(const fs::path& directory) { return CorrectionFileIn(directory); }

bool CorrectionFilePresent(const fs::path& directory) { return CorrectionFilePresentIn(directory); }

CorrectionLoad LoadCorrections(const fs::path& directory) noexcept {
  return LoadCorrectionsIn(directory);
}

Corrections SaveCorrections(const fs::path& directory, std::string_view lon_text,
                            std::string_view lat_text) {
  return SaveCorrectionsIn(directory, lon_text, lat_text);
}
#endif

}  // namespace miralto
