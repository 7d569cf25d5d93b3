#include "corrections/correction_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/errors.h"
#include "tests/temporary_folder.h"
#include "tests/vectors.h"

namespace miralto {
namespace {

namespace fs = std::filesystem;

// A fresh empty directory per test, removed afterwards.
class CorrectionFileTest : public ::testing::Test {
 protected:

  void WriteFile(const std::string& bytes) {
    std::ofstream(CorrectionFilePath(dir_), std::ios::binary) << bytes;
  }
  std::string ReadFile() {
    std::ifstream in(CorrectionFilePath(dir_), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> Entries() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::u8string name = entry.path().filename().u8string();
      names.emplace_back(name.begin(), name.end());
    }
    return names;
  }

  testing::TemporaryFolder folder_;
  fs::path dir_ = folder_.path();
};

struct LoadCase {
  const char* name;
  const char* bytes;  // nullptr: no file
  std::vector<CorrectionLine> lines;
  const char* failure;  // "" or the ErrorTag of the failure
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.name; }

std::string FailureTag(const CorrectionLoad& load) {
  if (!load.failure) return "";
  try {
    std::rethrow_exception(load.failure);
  } catch (const Error& error) {
    return testing::ErrorTag(error.kind());
  } catch (...) {
    return "error:unexpected";
  }
}

class LoadTest : public CorrectionFileTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadTest, SetsTheLinesReadBeforeAnyFailure) {
  const LoadCase& c = GetParam();
  if (c.bytes != nullptr) WriteFile(c.bytes);
  const CorrectionLoad load = LoadCorrections(dir_);
  EXPECT_EQ(load.present, c.bytes != nullptr);
  ASSERT_EQ(load.lines.size(), c.lines.size());
  for (std::size_t i = 0; i < c.lines.size(); ++i) {
    EXPECT_EQ(load.lines[i].text, c.lines[i].text) << "line " << i + 1;
    EXPECT_EQ(load.lines[i].value, c.lines[i].value) << "line " << i + 1;
  }
  EXPECT_EQ(FailureTag(load), c.failure);
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadTest,
    ::testing::Values(
        LoadCase{"NoFile", nullptr, {}, ""},
        LoadCase{"CrLf", "-193\r\n106\r\n", {{"-193", -193}, {"106", 106}}, ""},
        LoadCase{"LastLineUnended", "-193\r\n106", {{"-193", -193}, {"106", 106}}, ""},
        LoadCase{"ThirdLineIgnored", "1\r\n2\r\n3\r\n", {{"1", 1}, {"2", 2}}, ""},
        LoadCase{"OneLine", "12\r\n", {{"12", 12}}, "error:end of file"},
        LoadCase{"Empty", "", {}, "error:end of file"},
        LoadCase{"SecondLineEmpty", "12\r\n\r\n", {{"12", 12}, {"", 0}}, ""},
        LoadCase{"LfOnly", "5\n6\n", {{"5", 5}, {"6", 6}}, ""},
        LoadCase{"ByteOrderMark", "\xEF\xBB\xBF-5\r\n6\r\n", {{"-5", -5}, {"6", 6}}, ""},
        LoadCase{"ShortFileNoMark", "\xEF\xBB", {{"\xEF\xBB", 0}}, "error:end of file"},
        LoadCase{"HalvesToEven", " 12.5\r\n13.5\r\n", {{" 12.5", 12}, {"13.5", 14}}, ""},
        LoadCase{"NotNumbers", "12abc\r\nabc\r\n", {{"12abc", 12}, {"abc", 0}}, ""},
        LoadCase{"OverflowFirstLine", "3000000000\r\n5\r\n", {}, "error:overflow error"},
        LoadCase{"OverflowSecondLine", "5\r\n3000000000\r\n", {{"5", 5}}, "error:overflow error"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CorrectionFileTest, ADirectoryOfThatNameCountsAsAbsent) {
  fs::create_directory(CorrectionFilePath(dir_));
  const CorrectionLoad load = LoadCorrections(dir_);
  EXPECT_FALSE(load.present);
  EXPECT_TRUE(load.lines.empty());
  EXPECT_FALSE(load.failure);
}

TEST_F(CorrectionFileTest, TheFileNameIsUnicode) {
  WriteFile("1\r\n2\r\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"\xe4\xbf\xae\xe6\xad\xa3.txt"});
}

TEST_F(CorrectionFileTest, SavingWritesTheTextsUnchangedAndReturnsTheirValues) {
  const Corrections values = SaveCorrections(dir_, "", "5");
  EXPECT_EQ(ReadFile(), "\r\n5\r\n");
  EXPECT_EQ(values.lon, 0);
  EXPECT_EQ(values.lat, 5);

  SaveCorrections(dir_, " 12.5 ", "\xef\xbc\x91");  // a full-width digit one, kept as UTF-8
  EXPECT_EQ(ReadFile(), " 12.5 \r\n\xef\xbc\x91\r\n");
  EXPECT_EQ(Entries().size(), 1u) << "a temporary file was left behind";
}

TEST_F(CorrectionFileTest, SavedTextsLoadBackWithTheSameValues) {
  const Corrections saved = SaveCorrections(dir_, "-193", "106");
  const CorrectionLoad load = LoadCorrections(dir_);
  ASSERT_EQ(load.lines.size(), 2u);
  EXPECT_EQ(load.lines[0].text, "-193");
  EXPECT_EQ(load.lines[1].text, "106");
  EXPECT_EQ(load.lines[0].value, saved.lon);
  EXPECT_EQ(load.lines[1].value, saved.lat);
}

TEST_F(CorrectionFileTest, ATextStartingWithAByteOrderMarkLoadsBackWhole) {
  SaveCorrections(dir_,
                  "\xEF\xBB\xBF"
                  "5",
                  "6");
  const CorrectionLoad load = LoadCorrections(dir_);
  ASSERT_EQ(load.lines.size(), 2u);
  EXPECT_EQ(load.lines[0].text,
            "\xEF\xBB\xBF"
            "5");
}

TEST_F(CorrectionFileTest, AnOverflowChangesNothing) {
  WriteFile("-193\r\n106\r\n");
  EXPECT_THROW(SaveCorrections(dir_, "5", "3000000000"), OverflowError);
  EXPECT_THROW(SaveCorrections(dir_, "3000000000", "5"), OverflowError);
  EXPECT_EQ(ReadFile(), "-193\r\n106\r\n");
  EXPECT_EQ(Entries().size(), 1u);
}

// Tests run as root, for whom a read-only directory is still writable: make the write fail by
// putting a directory where the file goes, or a file where the directory goes.
// What a save writes is what the next start reads: a text the file cannot hold in its line is
// refused, naming the field, and the old file stays as it was.
TEST_F(CorrectionFileTest, ATextTheFileCannotHoldInItsLineIsRefused) {
  WriteFile("1\r\n2\r\n");
  const std::string longest = std::string(kMaxCorrectionLine - 1, ' ') + "7";
  const struct {
    std::string lon, lat, field;
  } cases[] = {
      {"5\n6", "7", "longitude correction"},
      {"5", "7\r\n8", "latitude correction"},
      {"5", "\n", "latitude correction"},
      {longest + "2", "7", "longitude correction"},
  };
  for (const auto& c : cases) {
    try {
      SaveCorrections(dir_, c.lon, c.lat);
      ADD_FAILURE() << "saved " << c.lon << " / " << c.lat;
    } catch (const ConversionError& error) {
      EXPECT_EQ(std::string(error.what()).substr(0, c.field.size() + 2), c.field + ": ");
    }
    EXPECT_EQ(ReadFile(), "1\r\n2\r\n");
    EXPECT_EQ(Entries().size(), 1u);
  }
  // A lone CR, and the longest text, come back as they were written.
  SaveCorrections(dir_, "5\r6\r", longest);
  const CorrectionLoad load = LoadCorrections(dir_);
  ASSERT_EQ(load.lines.size(), 2u);
  EXPECT_EQ(load.lines[0].text, "5\r6\r");
  EXPECT_EQ(load.lines[1].text, longest);
  EXPECT_FALSE(load.failure);
}

// The file holds two short lines: a huge one is an error found without reading the rest.
TEST_F(CorrectionFileTest, AnOverlongLineIsAnErrorWithoutReadingTheRest) {
  const struct {
    std::string bytes;
    std::size_t lines;  // read before the failure
  } cases[] = {
      {std::string(kMaxCorrectionLine + 1, '1') + "\r\n2\r\n", 0},
      {"1\r\n" + std::string(kMaxCorrectionLine + 1, ' ') + "\n", 1},
  };
  for (const auto& c : cases) {
    WriteFile(c.bytes);
    const CorrectionLoad load = LoadCorrections(dir_);
    EXPECT_EQ(load.lines.size(), c.lines);
    EXPECT_EQ(FailureTag(load), "error:file error");
  }
  // A gigabyte of one line, sparse on disk: read whole, it takes seconds and gigabytes.
  WriteFile("1");
  fs::resize_file(CorrectionFilePath(dir_), std::uintmax_t{1} << 30);
  const auto start = std::chrono::steady_clock::now();
  const CorrectionLoad load = LoadCorrections(dir_);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_EQ(FailureTag(load), "error:file error");
  // What follows the second line is not read.
  WriteFile("1\r\n2\r\n");
  fs::resize_file(CorrectionFilePath(dir_), std::uintmax_t{1} << 30);
  const CorrectionLoad two = LoadCorrections(dir_);
  EXPECT_FALSE(two.failure);
  EXPECT_EQ(two.lines.size(), 2u);
}

TEST_F(CorrectionFileTest, AFailedSaveLeavesTheOldStateAndNoTemporaryFile) {
  fs::create_directory(CorrectionFilePath(dir_));
  fs::path kept = CorrectionFilePath(dir_) / "kept";
  std::ofstream(kept) << "x";
  EXPECT_THROW(SaveCorrections(dir_, "1", "2"), FileError);
  EXPECT_TRUE(fs::is_directory(CorrectionFilePath(dir_)));
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_EQ(Entries().size(), 1u) << "a temporary file was left behind";
}

TEST_F(CorrectionFileTest, FileErrorsNameThePathAndTheSystemReason) {
  const fs::path not_a_directory = dir_ / "plain";
  std::ofstream(not_a_directory) << "x";
  try {
    SaveCorrections(not_a_directory, "1", "2");
    FAIL() << "saved into a file";
  } catch (const FileError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(not_a_directory.string()), std::string::npos) << message;
#ifdef _WIN32
    // Windows tells a path through a file from a missing folder by neither name nor code.
    constexpr const char* kReason = "No such file or directory";
#else
    constexpr const char* kReason = "Not a directory";
#endif
    EXPECT_NE(message.find(kReason), std::string::npos) << message;
  }
}

TEST_F(CorrectionFileTest, LoadFailuresNameTheFileAndTheLine) {
  WriteFile("5\r\n3000000000\r\n");
  try {
    std::rethrow_exception(LoadCorrections(dir_).failure);
  } catch (const OverflowError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find("line 2 of \"" + dir_.string()), std::string::npos) << message;
    EXPECT_NE(message.find("3000000000"), std::string::npos) << message;
  }
}

TEST_F(CorrectionFileTest, SavingCreatesAMissingFolder) {
  const fs::path folder = dir_ / "config" / "miralto";
  SaveCorrections(folder, "1", "2");
  std::ifstream in(CorrectionFilePath(folder), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1\r\n2\r\n");
}

#ifndef _WIN32

bool RunningAsRoot() { return ::geteuid() == 0; }

struct stat Status(const fs::path& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status;
}

// A file the user may not write stays as it is, with its values, and the message says why.
TEST_F(CorrectionFileTest, AFileTheUserMayNotWriteIsRefused) {
  if (RunningAsRoot()) GTEST_SKIP() << "permissions do not bind root; run as a user";
  WriteFile("-193\r\n106\r\n");
  fs::permissions(CorrectionFilePath(dir_), fs::perms::owner_read | fs::perms::group_read);
  try {
    SaveCorrections(dir_, "1", "2");
    FAIL() << "a read-only file was replaced";
  } catch (const FileError& error) {
    const std::string message = error.what();
    EXPECT_NE(message.find(CorrectionFilePath(dir_).string()), std::string::npos) << message;
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
  }
  EXPECT_EQ(ReadFile(), "-193\r\n106\r\n");
  EXPECT_EQ(Status(CorrectionFilePath(dir_)).st_mode & 07777, 0440u);
  EXPECT_EQ(Entries().size(), 1u) << "a temporary file was left behind";
}

// The file may be writable while its folder is not: the temporary file cannot be made, and the
// save fails whole.
TEST_F(CorrectionFileTest, AFolderTheUserMayNotWriteFailsTheSaveWhole) {
  if (RunningAsRoot()) GTEST_SKIP() << "permissions do not bind root; run as a user";
  WriteFile("-193\r\n106\r\n");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(SaveCorrections(dir_, "1", "2"), FileError);
  fs::permissions(dir_, fs::perms::owner_all);
  EXPECT_EQ(ReadFile(), "-193\r\n106\r\n");
  EXPECT_EQ(Entries().size(), 1u) << "a temporary file was left behind";
}

class ModeTest : public CorrectionFileTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(ModeTest, ASaveKeepsTheFilesPermissions) {
  WriteFile("-193\r\n106\r\n");
  fs::permissions(CorrectionFilePath(dir_), static_cast<fs::perms>(GetParam()));
  SaveCorrections(dir_, "1", "2");
  EXPECT_EQ(ReadFile(), "1\r\n2\r\n");
  EXPECT_EQ(Status(CorrectionFilePath(dir_)).st_mode & 07777, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeTest, ::testing::Values(0600u, 0640u, 0604u, 0666u, 0700u));

TEST_F(CorrectionFileTest, ASaveByRootKeepsTheFilesOwner) {
  if (!RunningAsRoot()) GTEST_SKIP() << "only root may give a file to another user";
  WriteFile("-193\r\n106\r\n");
  constexpr uid_t kUser = 65534;  // nobody
  constexpr gid_t kGroup = 65534;
  ASSERT_EQ(::chown(CorrectionFilePath(dir_).c_str(), kUser, kGroup), 0);
  SaveCorrections(dir_, "1", "2");
  const struct stat status = Status(CorrectionFilePath(dir_));
  EXPECT_EQ(status.st_uid, kUser);
  EXPECT_EQ(status.st_gid, kGroup);
}

struct LinkCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> links;  // link name -> what it points to
  const char* file;  // where the content must land, relative to the test folder
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.name; }

class LinkTest : public CorrectionFileTest, public ::testing::WithParamInterface<LinkCase> {};

// "@" in a link's destination stands for the test folder, to make an absolute link.
TEST_P(LinkTest, ASaveWritesThroughTheLinkAndKeepsIt) {
  const LinkCase& c = GetParam();
  fs::create_directory(dir_ / "real");
  std::ofstream(dir_ / "real" / "target.txt") << "-193\r\n106\r\n";
  for (const auto& [name, destination] : c.links) {
    std::string to = destination;
    if (to.front() == '@') to = dir_.string() + to.substr(1);
    fs::create_symlink(to, dir_ / fs::path(reinterpret_cast<const char8_t*>(name)));
  }
  SaveCorrections(dir_, "1", "2");
  for (const auto& link : c.links) {
    EXPECT_TRUE(fs::is_symlink(dir_ / fs::path(reinterpret_cast<const char8_t*>(link.first))))
        << link.first;
  }
  std::ifstream in(dir_ / c.file, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "1\r\n2\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "real"), {}),
            fs::exists(dir_ / "real" / "new.txt") ? 2 : 1)
      << "a temporary file was left behind";
  EXPECT_EQ(Entries().size(), c.links.size() + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkTest,
    ::testing::Values(
        LinkCase{"Relative", {{"修正.txt", "real/target.txt"}}, "real/target.txt"},
        LinkCase{"Absolute", {{"修正.txt", "@/real/target.txt"}}, "real/target.txt"},
        LinkCase{"Chain", {{"修正.txt", "hop"}, {"hop", "real/target.txt"}}, "real/target.txt"},
        LinkCase{"Dangling", {{"修正.txt", "real/new.txt"}}, "real/new.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CorrectionFileTest, ALoopOfLinksIsAFileError) {
  fs::create_symlink("b", dir_ / "a");
  fs::create_symlink("a", dir_ / "b");
  fs::create_symlink("a", CorrectionFilePath(dir_));
  try {
    SaveCorrections(dir_, "1", "2");
    FAIL() << "saved through a loop of links";
  } catch (const FileError& error) {
    EXPECT_NE(std::string(error.what()).find("symbolic links"), std::string::npos) << error.what();
  }
  EXPECT_EQ(Entries().size(), 3u);
}

#endif  // _WIN32

// The whole English texts, which the batch converter and the bindings pass on; {file} stands for
// the correction file's path.
TEST_F(CorrectionFileTest, EnglishMessagesAreWhole) {
  const std::u8string path8 = CorrectionFilePath(dir_).u8string();
  const std::string file = "\"" + std::string(path8.begin(), path8.end()) + "\"";
  auto message = [&](const std::exception_ptr& failure) -> std::string {
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const Error& error) {
      return error.Message();
    }
    return "no failure";
  };
  auto saving = [&](const char* lon, const char* lat) {
    try {
      SaveCorrections(dir_, lon, lat);
      return std::exception_ptr();
    } catch (...) {
      return std::current_exception();
    }
  };
  const std::string range = " is outside the integer range -2147483648 to 2147483647";
  const std::string two = "; it needs two: the longitude and the latitude correction";
  const struct {
    std::string bytes;  // the file before loading
    std::string expected;
  } loads[] = {
      {"", "end of file: the correction file " + file + " ends after no line" + two},
      {"7\n", "end of file: the correction file " + file + " ends after one line" + two},
      {"5\r\n-3e9\r\n", "overflow error: line 2 of " + file +
                            " (latitude correction): the value -3000000000" + range},
      {"3e9\r\n1\r\n", "overflow error: line 1 of " + file +
                           " (longitude correction): the value 3000000000" + range},
      {"1\r\n" + std::string(300, '9') + "\r\n",
       "file error: line 2 of " + file +
           " (latitude correction): the line is longer than 256 bytes, too long for a correction"},
  };
  for (const auto& load : loads) {
    WriteFile(load.bytes);
    EXPECT_EQ(message(LoadCorrections(dir_).failure), load.expected);
  }
  fs::remove(CorrectionFilePath(dir_));
  EXPECT_EQ(message(saving("1", "2147483648")),
            "overflow error: latitude correction: the value 2147483648" + range);
  EXPECT_EQ(
      message(saving("5\n6", "7")),
      "conversion error: longitude correction: the text \"5\\x0a6\" holds a line break, which "
      "the correction file cannot keep in its line");
  fs::create_directories(CorrectionFilePath(dir_) / "x");
  const std::string cannot_write = "file error: cannot write the correction file " + file + ": ";
  EXPECT_EQ(message(saving("1", "2")).substr(0, cannot_write.size()), cannot_write);
}

}  // namespace
}  // namespace miralto
