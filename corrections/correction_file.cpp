#include "corrections/correction_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/errors.h"

namespace miralto {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Argument PathArgument(const fs::path& path) {
  const std::u8string text = path.u8string();
  return Argument::Path(std::string(text.begin(), text.end()));
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

Argument Reason(int error) { return Argument::Text(std::generic_category().message(error)); }

// A failure to open, read or write the file at `path`, with the system's reason.
Phrase FileFailure(MessageId what, const fs::path& path, Argument reason) {
  return {what, {PathArgument(path), std::move(reason)}};
}

// Opens with a C stdio mode ("rb", "wbx"); on failure returns null with errno kept.
File Open(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
  return File(_wfopen(path.c_str(), wide_mode.c_str()));
#else
  return File(std::fopen(path.c_str(), mode));
#endif
}

// The next line without its line end, or nothing at the end of the file. A line longer than
// kMaxCorrectionLine stops the reading there: the rest of a huge file is never read.
std::optional<std::string> ReadLine(std::FILE* file, const fs::path& path) {
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

// Renames `from` over `to`, which may exist; `to` names the old or the new file at every moment.
std::error_code ReplaceFile(const fs::path& from, const fs::path& to) {
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
FileError WriteFailure(const fs::path& path, Argument reason) {
  return FileError(FileFailure(MessageId::kCannotWriteCorrections, path, std::move(reason)));
}

// Symbolic links followed before a save gives up, as the system's own limit does (ELOOP).
constexpr int kMaxLinkHops = 40;

// The file a save replaces: `path`, or the file its chain of symbolic links ends at (which may not
// exist yet). Replacing the link itself would cut it from the file it shares.
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
Protection CheckWritable(const fs::path& path, const fs::path& target) {
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
void WriteAtomically(const fs::path& path, const std::string& bytes) {
  auto failure = [&path](Argument reason) { return WriteFailure(path, std::move(reason)); };
  const fs::path target = LinkTarget(path);
  const Protection old = CheckWritable(path, target);
  fs::path temporary = target;
  temporary += TemporaryName();
  File file = Open(temporary, "wbx");
  if (!file) throw failure(Reason(errno));

  auto fail = [&](int error) {
    file.reset();
    std::error_code ignored;
    fs::remove(temporary, ignored);
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
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw failure(Argument::Text(error.message()));
  }
  SyncDirectory(target.parent_path());
}

// Creates the correction folder (the per-user one is often missing before the first save).
void EnsureDirectory(const fs::path& directory) {
  std::error_code error;
  if (directory.empty() || fs::exists(fs::symlink_status(directory, error))) return;
  fs::create_directories(directory, error);
  if (error) {
    throw FileError({MessageId::kCannotCreateFolder,
                     {PathArgument(directory), Argument::Text(error.message())}});
  }
}

}  // namespace

fs::path CorrectionFilePath(const fs::path& directory) {
  return directory / fs::path(u8"修正.txt");
}

bool CorrectionFilePresent(const fs::path& directory) {
  const fs::path path = CorrectionFilePath(directory);
  std::error_code error;
  return fs::is_regular_file(path, error) && !HiddenOrSystem(path);
}

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

CorrectionLoad LoadCorrections(const fs::path& directory) noexcept {
  CorrectionLoad load;
  try {
    const fs::path path = CorrectionFilePath(directory);
    if (!CorrectionFilePresent(directory)) return load;
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

Corrections SaveCorrections(const fs::path& directory, std::string_view lon_text,
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
  WriteAtomically(CorrectionFilePath(directory), bytes);
  return values;
}

}  // namespace miralto
