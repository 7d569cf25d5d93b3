// The correction store's Windows rules, run on Windows (and under Wine): file attributes, a save
// over an existing, read-only or open file, and the per-user folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "corrections/correction_file.h"
#include "corrections/correction_location.h"
#include "tests/temporary_folder.h"
#include "core/errors.h"

namespace miralto {
namespace {

namespace fs = std::filesystem;

constexpr const char* kOld = "-193\r\n106\r\n7\r\n";

// A fresh folder with a name beyond ASCII, holding a correction file with the bytes kOld.
class WindowsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { std::ofstream(File(), std::ios::binary) << kOld; }
  void TearDown() override {
    SetFileAttributesW(File().c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only file stays put
  }

  fs::path File() const { return CorrectionFilePath(dir_); }
  std::string Bytes() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
  }
  void Mark(DWORD attribute) {
    ASSERT_TRUE(SetFileAttributesW(File().c_str(), attribute));
    ASSERT_NE(GetFileAttributesW(File().c_str()) & attribute, 0u)
        << "the file system did not keep the attribute";
  }

  testing::TemporaryFolder folder_{fs::path(u8"米拉托-测试-")};
  fs::path dir_ = folder_.path();
};

struct AttributeCase {
  const char* name;
  DWORD attribute;
  bool present;
};

void PrintTo(const AttributeCase& c, std::ostream* os) { *os << c.name; }

class AttributeTest : public WindowsStoreTest,
                      public ::testing::WithParamInterface<AttributeCase> {};

// Explorer hides hidden and system files from the user, so the store does not see them either.
TEST_P(AttributeTest, HiddenOrSystemCountsAsAbsent) {
  const AttributeCase& c = GetParam();
  Mark(c.attribute);
  const CorrectionLoad load = LoadCorrections(dir_);
  EXPECT_EQ(load.present, c.present);
  EXPECT_EQ(CorrectionFilePresent(dir_), c.present);
  EXPECT_FALSE(load.failure);
  ASSERT_EQ(load.lines.size(), c.present ? 2u : 0u);
  if (c.present) {
    EXPECT_EQ(load.lines[0].value, -193);
    EXPECT_EQ(load.lines[1].value, 106);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, AttributeTest,
    ::testing::Values(AttributeCase{"Hidden", FILE_ATTRIBUTE_HIDDEN, false},
                      AttributeCase{"System", FILE_ATTRIBUTE_SYSTEM, false},
                      AttributeCase{"HiddenSystem", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
                                    false},
                      AttributeCase{"ReadOnly", FILE_ATTRIBUTE_READONLY, true},
                      AttributeCase{"Archive", FILE_ATTRIBUTE_ARCHIVE, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowsStoreTest, ASaveReplacesAnExistingFileWhole) {
  const Corrections values = SaveCorrections(dir_, "12", "-3");
  EXPECT_EQ(values.lon, 12);
  EXPECT_EQ(values.lat, -3);
  EXPECT_EQ(Bytes(), "12\r\n-3\r\n");
  EXPECT_EQ(Entries(), 1u) << "a temporary file was left behind";
}

TEST_F(WindowsStoreTest, AReadOnlyFileIsRefusedAndLeftWhole) {
  Mark(FILE_ATTRIBUTE_READONLY);
  try {
    SaveCorrections(dir_, "12", "-3");
    FAIL() << "saved over a read-only file";
  } catch (const FileError& error) {
    const std::string message = error.what();
    const std::u8string path = File().u8string();
    EXPECT_NE(message.find(std::string(path.begin(), path.end())), std::string::npos) << message;
    // The C library's reason, as the attribute check gives it, not the failed rename's.
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
  }
  EXPECT_EQ(Bytes(), kOld);
  EXPECT_EQ(Entries(), 1u) << "a temporary file was left behind";
}

// Another program that holds the file open without sharing its deletion (as most do) keeps it
// from being replaced: the save fails and the file stays as it was.
TEST_F(WindowsStoreTest, AFileOpenInAnotherProgramFailsTheSaveWhole) {
  const HANDLE other = CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_THROW(SaveCorrections(dir_, "12", "-3"), FileError);
  CloseHandle(other);
  EXPECT_EQ(Bytes(), kOld);
  EXPECT_EQ(Entries(), 1u) << "a temporary file was left behind";
}

fs::path EnvironmentPath(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? fs::path() : fs::path(value);
}

TEST(WindowsLocationTest, TheUsersFolderIsMiraltoInTheRoamingApplicationData) {
  const fs::path appdata = EnvironmentPath(L"APPDATA");
  ASSERT_FALSE(appdata.empty()) << "APPDATA is not set";
  EXPECT_EQ(UserCorrectionDirectory(), appdata / "Miralto");
}

// A program folder the user may not create files in (Program Files for a user) is the same road
// as a missing one, which is the case a Wine run as root can show: it writes every folder.
TEST_F(WindowsStoreTest, ThePortableFolderFirstElseTheUsersOne) {
  EXPECT_EQ(CorrectionDirectory(dir_), dir_);  // holds the file
  fs::remove(File());
  EXPECT_EQ(CorrectionDirectory(dir_), dir_);  // the user may create files in it
  EXPECT_EQ(Entries(), 0u) << "the test for a writable folder left a file behind";
  EXPECT_EQ(CorrectionDirectory(dir_ / "missing"), UserCorrectionDirectory());
}

}  // namespace
}  // namespace miralto
