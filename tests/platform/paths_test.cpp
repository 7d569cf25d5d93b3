// Windows path text, which the correction store and the window build their paths with, on every
// platform; and the conversions of wide text where Windows makes them.
#include "platform/paths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#ifdef _WIN32
#include "platform/windows_text.h"
#endif

namespace miralto::platform {
namespace {

// A path and what a rule makes of it.
struct PathCase {
  const wchar_t* path;
  const wchar_t* result;
};

// As std::filesystem::path's operator/ joins on Windows: a separator only where none stands.
TEST(WindowsPaths, JoinPutsOneSeparatorWhereNoneStands) {
  const PathCase cases[] = {
      {L"C:\\Users\\ann", L"C:\\Users\\ann\\修正.txt"},
      {L"C:\\Users\\ann\\", L"C:\\Users\\ann\\修正.txt"},
      {L"C:/Users/ann/", L"C:/Users/ann/修正.txt"},
      {L"C:", L"C:修正.txt"},  // the drive's current folder, not its root
      {L"C:\\", L"C:\\修正.txt"},
      {L"\\\\server\\share", L"\\\\server\\share\\修正.txt"},
      {L"", L"修正.txt"},
  };
  for (const PathCase& c : cases) EXPECT_EQ(JoinPath(c.path, L"修正.txt"), c.result);
}

// As std::filesystem::path::parent_path: the separators before the name go, the root's stays.
TEST(WindowsPaths, ParentKeepsTheRootAndDropsTheSeparatorsBeforeTheName) {
  const PathCase cases[] = {
      {L"C:\\Programs\\Miralto\\miralto.exe", L"C:\\Programs\\Miralto"},
      {L"C:\\Programs\\Miralto\\\\miralto.exe", L"C:\\Programs\\Miralto"},
      {L"C:/Programs/miralto.exe", L"C:/Programs"},
      {L"C:\\miralto.exe", L"C:\\"},
      {L"\\\\server\\share\\miralto.exe", L"\\\\server\\share"},
      {L"miralto.exe", L""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(ParentPath(c.path), c.result) << "of " << testing::PrintToString(c.path);
  }
}

TEST(WindowsPaths, AbsoluteHasARootNameAndARootDirectory) {
  for (const wchar_t* path : {L"C:\\Users", L"c:/Users", L"\\\\server\\share", L"//server/share"}) {
    EXPECT_TRUE(IsAbsolute(path)) << testing::PrintToString(path);
  }
  for (const wchar_t* path : {L"", L"C:", L"C:Users", L"\\Users", L"Users\\ann", L"."}) {
    EXPECT_FALSE(IsAbsolute(path)) << testing::PrintToString(path);
  }
}

// Two saves or probes at once in one folder must not pick one name.
TEST(TemporaryName, IsTheStartAndSixteenRandomHexDigits) {
  std::set<std::string> names;
  for (int i = 0; i < 100; ++i) {
    const std::string name = TemporaryName(".tmp");
    ASSERT_EQ(name.size(), 4u + 16u) << name;
    EXPECT_EQ(name.substr(0, 4), ".tmp");
    EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 4), std::string::npos) << name;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 100u);
}

#ifdef _WIN32
TEST(WindowsText, ConvertsBothWaysAndReplacesWhatIsNotText) {
  EXPECT_EQ(Wide("经度 113°17′"), L"经度 113°17′");
  EXPECT_EQ(Utf8(L"经度 113°17′"), "经度 113°17′");
  EXPECT_EQ(Wide("\xF0\x9F\x8C\x8D"), L"\U0001F30D");  // a surrogate pair
  EXPECT_EQ(Utf8(L"\U0001F30D"), "\xF0\x9F\x8C\x8D");
  EXPECT_EQ(Wide(""), L"");
  EXPECT_EQ(Utf8(L""), "");
  EXPECT_EQ(Wide("a\xFF"
                 "b"),
            L"a\uFFFDb");
  const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b'};
  EXPECT_EQ(Utf8(std::wstring_view(lone, 3)),
            "a\xEF\xBF\xBD"
            "b");
}
#endif

}  // namespace
}  // namespace miralto::platform
