// Where the correction file lives: beside the program when that folder is "portable", else in the
// user's configuration folder for the application. The window, miralto-cli and every later caller
// find it through CorrectionDirectory(ProgramDirectory()), so they read and write the same file.
#pragma once

#include <filesystem>
#include <string>

namespace miralto {

// The folder that holds the running executable, found from the system (not from argv[0] or the
// working directory). Empty if the system cannot tell.
std::filesystem::path ProgramDirectory();

// The user's configuration folder for the application, which may not exist yet:
// Linux $XDG_CONFIG_HOME/miralto (an XDG_CONFIG_HOME that is empty or not absolute is ignored),
// else ~/.config/miralto; Windows %APPDATA%\Miralto; macOS ~/Library/Application Support/Miralto.
// Empty if the system names no home or application-data folder.
std::filesystem::path UserCorrectionDirectory();

// Where the install rules (of the package and of `cmake --install`) leave their mark for the
// programs installed in `program_directory`: a folder in the data folder beside it.
std::filesystem::path InstallMark(const std::filesystem::path& program_directory);

// Whether the programs in `program_directory` were installed: its InstallMark exists.
bool InstalledProgram(const std::filesystem::path& program_directory);

// The folder whose "修正.txt" is read and written. `program_directory` when it is portable: it
// holds the correction file (as LoadCorrections counts it), or the program was not installed and
// the user may create a file in it, which is tried for real with a uniquely named file that is
// removed again (right for root, ACLs, read-only mounts and Windows alike). An installed program's
// folder is shared by every user, and root may write it: a file there would impose one user's
// corrections on all. Otherwise UserCorrectionDirectory(), or `program_directory` when there is
// none.
std::filesystem::path CorrectionDirectory(const std::filesystem::path& program_directory);

#ifdef _WIN32
// The same on wide path text, for a program that should link no std::filesystem (see
// correction_file.h).
std::wstring ProgramDirectoryW();
std::wstring UserCorrectionDirectoryW();
std::wstring InstallMarkW(const std::wstring& program_directory);
bool InstalledProgramW(const std::wstring& program_directory);
std::wstring CorrectionDirectoryW(const std::wstring& program_directory);
#endif

}  // namespace miralto
