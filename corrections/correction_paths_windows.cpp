// The correction store's std::filesystem functions on Windows, over its wide-text ones: in a file
// of their own, so that a program calling only the latter links no std::filesystem.
#include "corrections/correction_file.h"
#include "corrections/correction_location.h"

namespace miralto {

namespace fs = std::filesystem;

fs::path CorrectionFilePath(const fs::path& directory) {
  return CorrectionFilePathW(directory.native());
}

bool CorrectionFilePresent(const fs::path& directory) {
  return CorrectionFilePresentW(directory.native());
}

CorrectionLoad LoadCorrections(const fs::path& directory) noexcept {
  return LoadCorrectionsW(directory.native());
}

Corrections SaveCorrections(const fs::path& directory, std::string_view lon_text,
                            std::string_view lat_text) {
  return SaveCorrectionsW(directory.native(), lon_text, lat_text);
}

fs::path ProgramDirectory() { return ProgramDirectoryW(); }

fs::path UserCorrectionDirectory() { return UserCorrectionDirectoryW(); }

fs::path InstallMark(const fs::path& program_directory) {
  return InstallMarkW(program_directory.native());
}

bool InstalledProgram(const fs::path& program_directory) {
  return InstalledProgramW(program_directory.native());
}

fs::path CorrectionDirectory(const fs::path& program_directory) {
  return CorrectionDirectoryW(program_directory.native());
}

}  // namespace miralto
