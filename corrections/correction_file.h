// The two correction values and the file "修正.txt" that carries them from one run to the next:
// two lines, the longitude and then the latitude correction text, each ended by CR LF.
#pragma once

#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/numbers.h"
#include "core/position_code.h"

namespace miralto {

// The longest line of the correction file, without its line end, in bytes: a Long's text with
// room for blanks, a fraction and an exponent. The file is read no further than two such lines.
inline constexpr std::size_t kMaxCorrectionLine = 256;

// "修正.txt" in `directory`; the same Unicode name on every platform.
std::filesystem::path CorrectionFilePath(const std::filesystem::path& directory);

// Whether `directory` holds the correction file: an ordinary file of that name (a symbolic link to
// one counts); a directory of that name, or a file marked hidden or system on Windows, does not.
bool CorrectionFilePresent(const std::filesystem::path& directory);

// The value of a correction text: RoundToLong(ParseLenient(text)), so a text that is not a number
// is 0. Throws OverflowError, naming `what` ("longitude correction"), outside the Long range.
Long CorrectionValue(std::string_view text, std::string_view what);

struct CorrectionLine {
  std::string text;  // the line as read, without its line end
  Long value;
};

// What loading found, step by step: the caller sets the longitude value and field from lines[0],
// then the latitude ones from lines[1], then reports `failure` if set.
struct CorrectionLoad {
  bool present = false;               // an ordinary file of that name exists
  std::vector<CorrectionLine> lines;  // the lines read before any failure, at most two
  std::exception_ptr failure;         // FileError, EndOfFileError or OverflowError, if any
};

// Reads the first two lines of the correction file in `directory`. A line ends at CR LF or a lone
// LF; a UTF-8 byte-order mark at the start is skipped; what follows line 2 is ignored, unread. A
// line longer than kMaxCorrectionLine is a FileError, found without reading further. Never
// throws: an absent file (or a directory of that name) gives present == false, and a failure stops
// the reading at its line and is returned in `failure`.
CorrectionLoad LoadCorrections(const std::filesystem::path& directory) noexcept;

// Writes the two texts unchanged, each followed by CR LF, and returns their values. Both texts are
// checked first, so an error changes nothing: a text holding a line feed (which would split its
// line) or longer than kMaxCorrectionLine is a ConversionError naming the field, as the next load
// could not read it back; a value outside the Long range an OverflowError. `directory` is created
// when it is missing. An existing file that the user may not write (no write permission, read-only
// attribute) is refused as opening it for writing would refuse it. A symbolic link is written
// through to its target and stays a link. The new content goes to a temporary file beside the
// target, takes the old file's permissions (and owner and group, as far as the user may give them),
// is flushed to disk and renamed over the old file: a FileError (naming the path and the system's
// reason) at any step leaves the old file as it was and no temporary file behind.
Corrections SaveCorrections(const std::filesystem::path& directory, std::string_view lon_text,
                            std::string_view lat_text);

#ifdef _WIN32
// The same four on the folder's own wide text, for a program that should link no std::filesystem
// (its path conversions bring the standard library's every locale facet into a static program).
std::wstring CorrectionFilePathW(const std::wstring& directory);
bool CorrectionFilePresentW(const std::wstring& directory);
CorrectionLoad LoadCorrectionsW(const std::wstring& directory) noexcept;
Corrections SaveCorrectionsW(const std::wstring& directory, std::string_view lon_text,
                             std::string_view lat_text);
#endif

}  // namespace miralto
