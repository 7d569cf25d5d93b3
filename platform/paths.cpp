#include "platform/paths.h"

#include <random>

namespace miralto::platform {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

namespace {

bool IsDrive(const std::wstring& path) { return path.size() == 2 && path[1] == L':'; }

}  // namespace

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) {
  if (directory.empty() || IsSeparator(directory.back()) || IsDrive(directory)) {
    return directory + name;
  }
  return directory + L'\\' + name;
}

bool IsAbsolute(const std::wstring& path) {
  return (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) ||
         (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

std::wstring ParentPath(const std::wstring& path) {
  std::size_t end = path.size();
  while (end > 0 && !IsSeparator(path[end - 1])) --end;
  std::size_t folder = end;
  while (folder > 0 && IsSeparator(path[folder - 1])) --folder;
  if (folder == 0 || (folder == 2 && path[1] == L':')) return path.substr(0, end);
  return path.substr(0, folder);
}

std::string TemporaryName(std::string_view start) {
  std::random_device device;
  std::uniform_int_distribution<unsigned> digit(0, 15);
  std::string name(start);
  for (int i = 0; i < 16; ++i) name += "0123456789abcdef"[digit(device)];
  return name;
}

}  // namespace miralto::platform
