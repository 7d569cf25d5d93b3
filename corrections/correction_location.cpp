#include "corrections/correction_location.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
// The shell's header needs the base Windows declarations first.
// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#endif
#ifdef __APPLE__
#include <mach-o/dyld.h>
#endif

#include "corrections/correction_file.h"
#include "platform/paths.h"

namespace miralto {

namespace {

// The probe of a folder's rights: a name no other program picks, so that it never meets (and so
// never removes) a real file.
constexpr std::string_view kProbeStart = ".miralto-probe-";

// What choosing the folder asks of a system, on that system's path text.
template <typename Path>
struct Questions {
  bool (*correction_file_present)(const Path&);
  bool (*installed_program)(const Path&);
  bool (*may_create_files_in)(const Path&);
  Path (*user_correction_directory)();
};

// The one rule, as CorrectionDirectory describes it.
template <typename Path>
Path ChooseCorrectionDirectory(const Path& program_directory, const Questions<Path>& ask) {
  if (!program_directory.empty() &&
      (ask.correction_file_present(program_directory) ||
       (!ask.installed_program(program_directory) && ask.may_create_files_in(program_directory)))) {
    return program_directory;
  }
  const Path user = ask.user_correction_directory();
  return user.empty() ? program_directory : user;
}

}  // namespace

#ifdef _WIN32
// On the system's own wide path text, with its calls: std::filesystem's path conversions would
// link the standard library's every locale facet into the window (see correction_file.cpp).
namespace {

bool Directory(const std::wstring& path) {
  struct _stat64 status {};
  return _wstat64(path.c_str(), &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR;
}

// Whether the user may create a file in `directory`: creating one is the only test that agrees
// with Windows folder rights and read-only media alike.
bool MayCreateFilesIn(const std::wstring& directory) {
  const std::string name = platform::TemporaryName(kProbeStart);
  const std::wstring probe = platform::JoinPath(directory, std::wstring(name.begin(), name.end()));
  const int fd = _wopen(probe.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IWRITE);
  if (fd < 0) return false;
  _close(fd);
  _wremove(probe.c_str());
  return true;
}

// FOLDERID_RoamingAppData, defined here: the uuid library holds it in one object with every other
// ID of the system's headers, 36 KB in the window.
constexpr KNOWNFOLDERID kRoamingAppData = {
    0x3eb685db, 0x65f9, 0x4cf6, {0xa0, 0x3a, 0xe3, 0xef, 0x65, 0x72, 0x9f, 0x3d}};

}  // namespace

std::wstring ProgramDirectoryW() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return {};
  path.resize(length);
  return platform::ParentPath(path);
}

std::wstring UserCorrectionDirectoryW() {
  PWSTR folder = nullptr;
  std::wstring roaming;
  if (SHGetKnownFolderPath(kRoamingAppData, 0, nullptr, &folder) == S_OK) {
    roaming = folder;
  } else if (const wchar_t* appdata = _wgetenv(L"APPDATA"); appdata != nullptr) {
    roaming = appdata;
  }
  CoTaskMemFree(folder);  // also when the call failed, as its documentation asks
  return platform::IsAbsolute(roaming) ? platform::JoinPath(roaming, L"Miralto") : std::wstring();
}

std::wstring InstallMarkW(const std::wstring& program_directory) {
  const std::string_view mark = MIRALTO_INSTALL_MARK;
  return platform::JoinPath(program_directory, std::wstring(mark.begin(), mark.end()));
}

bool InstalledProgramW(const std::wstring& program_directory) {
  return Directory(InstallMarkW(program_directory));
}

std::wstring CorrectionDirectoryW(const std::wstring& program_directory) {
  return ChooseCorrectionDirectory<std::wstring>(
      program_directory,
      {CorrectionFilePresentW, InstalledProgramW, MayCreateFilesIn, UserCorrectionDirectoryW});
}
#else
namespace fs = std::filesystem;

namespace {

// Whether the user may create a file in `directory`: creating one is the only test that agrees
// with root, ACLs and read-only mounts alike.
bool MayCreateFilesIn(const fs::path& directory) {
  const fs::path probe = directory / platform::TemporaryName(kProbeStart);
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  std::error_code ignored;
  fs::remove(probe, ignored);
  return true;
}

// $NAME when it is set and an absolute path, else empty.
fs::path AbsoluteEnvironmentPath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return {};
  fs::path path(value);
  return path.is_absolute() ? path : fs::path();
}

fs::path HomeDirectory() {
  fs::path home = AbsoluteEnvironmentPath("HOME");
  if (!home.empty()) return home;
  // HOME is unset under some service managers; the password database still names the home.
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    home = entry->pw_dir;
    if (home.is_absolute()) return home;
  }
  return {};
}

}  // namespace

fs::path ProgramDirectory() {
#ifdef __APPLE__
  char path[4096];
  std::uint32_t size = sizeof path;
  if (_NSGetExecutablePath(path, &size) != 0) return {};
  std::error_code error;
  const fs::path self = fs::canonical(path, error);
  return error ? fs::path() : self.parent_path();
#else
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : self.parent_path();
#endif
}

fs::path UserCorrectionDirectory() {
#ifdef __APPLE__
  const fs::path home = HomeDirectory();
  return home.empty() ? home : home / "Library" / "Application Support" / "Miralto";
#else
  if (fs::path config = AbsoluteEnvironmentPath("XDG_CONFIG_HOME"); !config.empty()) {
    return config / "miralto";
  }
  const fs::path home = HomeDirectory();
  return home.empty() ? home : home / ".config" / "miralto";
#endif
}

fs::path InstallMark(const fs::path& program_directory) {
  return program_directory / fs::path(MIRALTO_INSTALL_MARK);
}

bool InstalledProgram(const fs::path& program_directory) {
  std::error_code error;
  return fs::is_directory(InstallMark(program_directory), error);
}

fs::path CorrectionDirectory(const fs::path& program_directory) {
  return ChooseCorrectionDirectory<fs::path>(
      program_directory,
      {CorrectionFilePresent, InstalledProgram, MayCreateFilesIn, UserCorrectionDirectory});
}
#endif

}  // namespace miralto
