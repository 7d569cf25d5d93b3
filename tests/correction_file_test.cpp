#include "correction_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "errors.h"
#include "vectors.h"

namespace miralto {
namespace {

namespace fs = std::filesystem;

// A fresh empty directory per test, removed afterwards.
class CorrectionFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device device;
    dir_ = fs::temp_directory_path() / ("miralto-test-" + std::to_string(device()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

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

  fs::path dir_;
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
    EXPECT_NE(message.find("Not a directory"), std::string::npos) << message;
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

}  // namespace
}  // namespace miralto
