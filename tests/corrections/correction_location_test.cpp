// Where the correction file lives. The cases that need a folder the user may not write skip as
// root (permissions do not bind root); the test command runs this program again as a user.
#include "corrections/correction_location.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "corrections/correction_file.h"
#include "tests/temporary_folder.h"

namespace miralto {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

bool RunningAsRoot() { return ::geteuid() == 0; }

// Sets (or with nullopt unsets) an environment variable for one test and restores it afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      ::setenv(name_, value->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

class CorrectionLocationTest : public ::testing::Test {
 protected:
  testing::TemporaryFolder folder_{"miralto-location-"};
  fs::path dir_ = folder_.path(), program_ = dir_ / "bin", config_ = dir_ / "config";
};

struct UserFolderCase {
  const char* name;
  const char* xdg_config_home;  // nullptr: unset
  const char* home;             // nullptr: unset
  const char* expected;         // "" : the home of the password database, then .config/miralto
};

void PrintTo(const UserFolderCase& c, std::ostream* os) { *os << c.name; }

class UserFolderTest : public ::testing::TestWithParam<UserFolderCase> {};

TEST_P(UserFolderTest, FollowsTheXdgRules) {
  const UserFolderCase& c = GetParam();
  const ScopedVariable xdg("XDG_CONFIG_HOME", c.xdg_config_home
                                                  ? std::optional<std::string>(c.xdg_config_home)
                                                  : std::nullopt);
  const ScopedVariable home("HOME", c.home ? std::optional<std::string>(c.home) : std::nullopt);
  fs::path expected = c.expected;
  if (expected.empty()) {
    const passwd* entry = ::getpwuid(::getuid());
    ASSERT_NE(entry, nullptr);
    expected = fs::path(entry->pw_dir) / ".config" / "miralto";
  }
  EXPECT_EQ(UserCorrectionDirectory(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, UserFolderTest,
    ::testing::Values(UserFolderCase{"XdgConfigHome", "/srv/cfg", "/home/u", "/srv/cfg/miralto"},
                      UserFolderCase{"XdgUnset", nullptr, "/home/u", "/home/u/.config/miralto"},
                      UserFolderCase{"XdgEmpty", "", "/home/u", "/home/u/.config/miralto"},
                      UserFolderCase{"XdgRelativeIsIgnored", "cfg", "/home/u",
                                     "/home/u/.config/miralto"},
                      UserFolderCase{"HomeUnsetUsesThePasswordDatabase", nullptr, nullptr, ""},
                      UserFolderCase{"HomeRelativeUsesThePasswordDatabase", nullptr, "home", ""}),
    [](const auto& info) { return std::string(info.param.name); });

enum class Folder { kWritable, kReadOnly, kMissing };
enum class Content { kNothing, kFile, kDirectoryOfThatName };

struct LocationCase {
  const char* name;
  Folder folder;
  Content content;
  bool portable;
};

void PrintTo(const LocationCase& c, std::ostream* os) { *os << c.name; }

class LocationTest : public CorrectionLocationTest,
                     public ::testing::WithParamInterface<LocationCase> {};

TEST_P(LocationTest, ThePortableFolderFirstElseTheUsersOne) {
  const LocationCase& c = GetParam();
  if (c.folder == Folder::kReadOnly && !c.portable && RunningAsRoot()) {
    GTEST_SKIP() << "root may create files in any folder; run as a user";
  }
  if (c.folder != Folder::kMissing) fs::create_directory(program_);
  if (c.content == Content::kFile) std::ofstream(CorrectionFilePath(program_)) << "1\r\n2\r\n";
  if (c.content == Content::kDirectoryOfThatName)
    fs::create_directory(CorrectionFilePath(program_));
  if (c.folder == Folder::kReadOnly) {
    fs::permissions(program_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  const ScopedVariable xdg("XDG_CONFIG_HOME", config_.string());

  EXPECT_EQ(CorrectionDirectory(program_), c.portable ? program_ : config_ / "miralto");
  if (c.folder != Folder::kMissing) {
    // The test for a writable folder leaves nothing behind.
    const auto entries = std::distance(fs::directory_iterator(program_), {});
    EXPECT_EQ(entries, c.content == Content::kNothing ? 0 : 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, LocationTest,
    ::testing::Values(LocationCase{"WritableEmpty", Folder::kWritable, Content::kNothing, true},
                      LocationCase{"WritableWithFile", Folder::kWritable, Content::kFile, true},
                      LocationCase{"ReadOnlyWithFile", Folder::kReadOnly, Content::kFile, true},
                      LocationCase{"ReadOnlyEmpty", Folder::kReadOnly, Content::kNothing, false},
                      LocationCase{"ReadOnlyWithDirectoryOfThatName", Folder::kReadOnly,
                                   Content::kDirectoryOfThatName, false},
                      LocationCase{"Missing", Folder::kMissing, Content::kNothing, false}),
    [](const auto& info) { return std::string(info.param.name); });

// An installed program's folder is shared by every user and root may write it: a save there would
// impose one user's corrections on all. It counts only when "修正.txt" already stands there.
TEST_F(CorrectionLocationTest, AnInstalledProgramsFolderIsPortableOnlyWithTheFile) {
  fs::create_directory(program_);  // writable, by root as by the user
  fs::create_directories(InstallMark(program_));
  const ScopedVariable xdg("XDG_CONFIG_HOME", config_.string());
  EXPECT_TRUE(InstalledProgram(program_));
  EXPECT_EQ(CorrectionDirectory(program_), config_ / "miralto");
  std::ofstream(CorrectionFilePath(program_)) << "1\r\n2\r\n";
  EXPECT_EQ(CorrectionDirectory(program_), program_);
}

// An installed program: the first save creates the user's folder, and the next start reads it;
// nothing is written beside the program.
TEST_F(CorrectionLocationTest, AnInstalledProgramKeepsItsCorrectionsInTheUsersFolder) {
  fs::create_directory(program_);
  fs::create_directories(InstallMark(program_));
  const ScopedVariable xdg("XDG_CONFIG_HOME", config_.string());

  SaveCorrections(CorrectionDirectory(program_), "-193", "106");
  const CorrectionLoad load = LoadCorrections(CorrectionDirectory(program_));
  EXPECT_TRUE(fs::is_regular_file(CorrectionFilePath(config_ / "miralto")));
  EXPECT_FALSE(fs::exists(CorrectionFilePath(program_)));
  ASSERT_EQ(load.lines.size(), 2u);
  EXPECT_EQ(load.lines[0].value, -193);
  EXPECT_EQ(load.lines[1].value, 106);
}

#endif  // _WIN32

TEST(ProgramDirectoryTest, HoldsTheRunningProgram) {
  const fs::path directory = ProgramDirectory();
  ASSERT_TRUE(directory.is_absolute()) << directory;
  bool found = false;
  for (const auto& entry : fs::directory_iterator(directory)) {
    const std::string name = entry.path().stem().string();
    found = found || name == "corrections_tests";
  }
  EXPECT_TRUE(found) << directory;
}

}  // namespace
}  // namespace miralto
