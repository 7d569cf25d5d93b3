// The icon Explorer shows for the Windows programs: the icon directory in the executable holds the
// three images of the drawing, and Windows makes an icon of each. The version record Explorer's
// file properties show: it names the licence.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace miralto {
namespace {

namespace fs = std::filesystem;

struct Module {
  HMODULE handle;
  ~Module() {
    if (handle != nullptr) FreeLibrary(handle);
  }
};

const BYTE* Resource(HMODULE module, LPCWSTR name, LPCWSTR type, DWORD& size) {
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return nullptr;
  size = SizeofResource(module, found);
  return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

int Word(const BYTE* p) { return p[0] | p[1] << 8; }

TEST(WindowsResourcesTest, TheProgramsIconHoldsTheThreeImages) {
  const fs::path program = fs::absolute(fs::path(MIRALTO_CLI_PROGRAM).make_preferred());
  const Module module{LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)};
  ASSERT_NE(module.handle, nullptr) << program;

  DWORD size = 0;
  const BYTE* group = Resource(module.handle, MAKEINTRESOURCEW(1), RT_GROUP_ICON, size);
  ASSERT_NE(group, nullptr) << "no icon directory 1";
  ASSERT_GE(size, 6u);
  const int count = Word(group + 4);
  ASSERT_EQ(size, 6u + 14u * static_cast<unsigned>(count));

  std::set<std::pair<int, int>> images;  // width, bits per pixel
  for (int i = 0; i < count; ++i) {
    const BYTE* entry = group + 6 + 14 * i;
    const int width = entry[0];
    const int bits = Word(entry + 6);
    images.insert({width, bits});
    DWORD image_size = 0;
    const BYTE* image =
        Resource(module.handle, MAKEINTRESOURCEW(Word(entry + 12)), RT_ICON, image_size);
    ASSERT_NE(image, nullptr);
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image), image_size, TRUE, 0x00030000,
                                          width, width, LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr) << "Windows cannot read the " << width << "x" << width << " image";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP mask{};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(mask.bmWidth, width);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
  EXPECT_EQ(images, (std::set<std::pair<int, int>>{{32, 1}, {32, 4}, {16, 4}}));
}

// A text of the version record's English block, as Explorer reads it; empty when there is none.
std::wstring VersionText(const fs::path& program, const wchar_t* name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> record(size);
  if (!GetFileVersionInfoW(program.c_str(), 0, size, record.data())) return {};
  void* text = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(record.data(), path.c_str(), &text, &length) || length == 0) return {};
  return static_cast<const wchar_t*>(text);
}

TEST(WindowsResourcesTest, TheVersionRecordNamesTheLicence) {
  std::vector<fs::path> programs{MIRALTO_CLI_PROGRAM};
#ifdef MIRALTO_WINDOW_PROGRAM
  programs.emplace_back(MIRALTO_WINDOW_PROGRAM);
#endif
  for (const fs::path& given : programs) {
    const fs::path program = fs::absolute(fs::path(given).make_preferred());
    SCOPED_TRACE(program.string());
    const std::wstring copyright = VersionText(program, L"LegalCopyright");
    EXPECT_NE(copyright.find(L"Copyright "), std::wstring::npos);
    EXPECT_NE(copyright.find(L"Apache License 2.0 (Apache-2.0)"), std::wstring::npos);
    EXPECT_FALSE(VersionText(program, L"ProductName").empty());
  }
}

}  // namespace
}  // namespace miralto
