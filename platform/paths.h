// Path text as Windows reads it, on the system's wide strings: plain string work, so that it runs
// and is tested on every platform. Programs that must link no std::filesystem (its path conversions
// bring the standard library's every locale facet into a static program) use these instead.
#pragma once

#include <string>
#include <string_view>

namespace miralto::platform {

// Both '\\' and '/' separate a path's parts on Windows.
bool IsSeparator(wchar_t c);

// `directory` and `name` with a separator between, as std::filesystem::path's operator/ joins
// them: none after an empty folder, a drive ("C:") or a separator.
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);

// Whether `path` has a root name and a root directory: "C:\\..." or "\\\\server\\...".
bool IsAbsolute(const std::wstring& path);

// The folder of a file's full path, as std::filesystem::path::parent_path gives it: the
// separators before the file name go too, except the root directory's ("C:\\").
std::wstring ParentPath(const std::wstring& path);

// `start` and 16 random hexadecimal digits: the name of a file made beside others for a moment,
// one that no other program picks, so that it never meets (and so never removes) a real file.
std::string TemporaryName(std::string_view start);

}  // namespace miralto::platform
