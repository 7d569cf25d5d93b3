#include "form/operations.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace miralto::form {
namespace {

using Writes = std::vector<std::pair<std::string, std::string>>;

Writes WritesOf(const Outcome& outcome) {
  Writes writes;
  for (const FieldWrite& w : outcome.writes) writes.emplace_back(w.control, w.text);
  return writes;
}

std::optional<ErrorKind> KindOf(const Outcome& outcome) {
  if (!outcome.failure) return std::nullopt;
  return outcome.failure->kind();
}

const PositionTexts kStartDms{{"105", "0", "0"}, {"40", "0", "0"}};
const PositionTexts kTypicalDms{{"113", "17", "20.24048"}, {"23", "14", "10.52032"}};
const Writes kTypicalDmsWrites{{"Text3(0)", "113"}, {"Text3(1)", "17"}, {"Text3(2)", "20.24048"},
                               {"Text3(3)", "23"},  {"Text3(4)", "14"}, {"Text3(5)", "10.52032"}};

// One case: what an operation writes, in order, and the kind it fails with (none: it succeeds).
struct Case {
  const char* name;
  Outcome (*run)();
  Writes writes;
  std::optional<ErrorKind> failure;
};

const Case kCases[] = {
    {"up: the typical road", [] { return DecimalToDmsFields("113.288959", "23.236255"); },
     kTypicalDmsWrites, std::nullopt},
    {"up: a bad latitude keeps the longitude",
     [] { return DecimalToDmsFields("113.288959", "1e39"); },
     {{"Text3(0)", "113"}, {"Text3(1)", "17"}, {"Text3(2)", "20.24048"}},
     ErrorKind::kOverflow},
    {"up: a bad longitude writes nothing",
     [] { return DecimalToDmsFields("-1e39", "23"); },
     {},
     ErrorKind::kOverflow},
    {"down: the start-up texts",
     [] { return DmsToDecimalFields(kStartDms); },
     {{"Text1(0)", "105"}, {"Text1(1)", "40"}},
     std::nullopt},
    {"down: a bad latitude keeps the longitude",
     [] {
       return DmsToDecimalFields({{"113", "17", "20.24048"}, {"23", "x", "0"}});
     },
     {{"Text1(0)", "113.288955688889"}},
     ErrorKind::kConversion},
    {"down: a bad longitude writes nothing",
     [] {
       return DmsToDecimalFields({{"113", "", "0"}, {"23", "14", "0"}});
     },
     {},
     ErrorKind::kConversion},
    {"right: the start-up texts",
     [] { return EncodeFields(kStartDms, {}); },
     {{"Text4", "7uy1yuy1y"}},
     std::nullopt},
    {"right: with the corrections",
     [] {
       return EncodeFields(kTypicalDms, {-193, 106});
     },
     {{"Text4", "87ak7vtpg"}},
     std::nullopt},
    {"right: a bad latitude writes nothing",
     [] {
       return EncodeFields({{"113", "17", "20"}, {"23", "14", "abc"}}, {});
     },
     {},
     ErrorKind::kConversion},
    {"right: out of reach writes nothing",
     [] {
       return EncodeFields({{"50", "0", "0"}, {"23", "0", "0"}}, {});
     },
     {},
     ErrorKind::kOutOfReach},
    {"left: a code",
     [] { return DecodeFields("8i4k7zwpg", {}); },
     {{"Text3(0)", "113"},
      {"Text3(1)", "17"},
      {"Text3(2)", "20.2"},
      {"Text3(3)", "23"},
      {"Text3(4)", "14"},
      {"Text3(5)", "10.5"}},
     std::nullopt},
    {"left: a bad code writes nothing",
     [] { return DecodeFields("8i4k7zwp", {}); },
     {},
     ErrorKind::kInvalidCode},
    {"left: an empty code writes nothing",
     [] { return DecodeFields("", {}); },
     {},
     ErrorKind::kInvalidCode},
    {"compare: latitude first",
     [] { return CompareFields("8i4k7zwpg", "87ak7vtpg"); },
     {{"Text6", "106"}, {"Text5", "-193"}},
     std::nullopt},
    {"compare: an empty code writes nothing",
     [] { return CompareFields("", "87ak7vtpg"); },
     {},
     ErrorKind::kInvalidCode},
    {"compare: a bad reference writes nothing",
     [] { return CompareFields("8i4k7zwpg", "87ak7vtpO"); },
     {},
     ErrorKind::kInvalidCode},
};

class OperationTest : public ::testing::TestWithParam<Case> {};

TEST_P(OperationTest, WritesInTheWindowsOrderAndKeepsWhatPrecedesAFailure) {
  const Case& c = GetParam();
  const Outcome outcome = c.run();
  EXPECT_EQ(WritesOf(outcome), c.writes);
  EXPECT_EQ(KindOf(outcome), c.failure);
}

INSTANTIATE_TEST_SUITE_P(Window, OperationTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

// The failure carries what the window's message needs: the field it came from.
TEST(OperationFailure, NamesTheField) {
  const Outcome outcome = DmsToDecimalFields({{"113", "17", "20"}, {"23", "x", "0"}});
  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(std::string(outcome.failure->what()),
            "latitude minutes: \"x\" is not a number (expected digits with an optional sign, one "
            "period and an exponent such as 1.5E-3)");
}

// The table runs each operation on the texts of the controls it names, in the table's order.
TEST(WindowOperations, EachRowReadsItsControlsAndRunsItsOperation) {
  const std::map<std::string_view, std::string> form{
      {"Text1(0)", "113.288959"}, {"Text1(1)", "23.236255"}, {"Text3(0)", "113"},
      {"Text3(1)", "17"},         {"Text3(2)", "20.24048"},  {"Text3(3)", "23"},
      {"Text3(4)", "14"},         {"Text3(5)", "10.52032"},  {"Text4", "8i4k7zwpg"},
      {"Text2", "87ak7vtpg"}};
  const Corrections c{-193, 106};
  const std::map<std::string_view, Outcome> expected{
      {"Command1", DecimalToDmsFields("113.288959", "23.236255")},
      {"Command2", DmsToDecimalFields(kTypicalDms)},
      {"Command3", EncodeFields(kTypicalDms, c)},
      {"Command4", DecodeFields("8i4k7zwpg", c)},
      {"Command5", CompareFields("8i4k7zwpg", "87ak7vtpg")}};
  ASSERT_EQ(WindowOperations().size(), expected.size());
  for (const Operation& row : WindowOperations()) {
    SCOPED_TRACE(std::string(row.command));
    std::vector<std::string> texts;
    for (std::string_view control : row.reads) texts.push_back(form.at(control));
    EXPECT_EQ(WritesOf(row.run(texts, c)), WritesOf(expected.at(row.command)));
    EXPECT_EQ(row.corrected, row.command == "Command3" || row.command == "Command4");
    EXPECT_EQ(FindOperation(row.command), &row);
  }
  // The corrections reach only the rows that take them.
  const std::vector<std::string> dms{"113", "17", "20", "23", "14", "10"};
  EXPECT_NE(WritesOf(FindOperation("Command3")->run(dms, c)),
            WritesOf(FindOperation("Command3")->run(dms, {})));
  EXPECT_EQ(FindOperation("Command6"), nullptr);
  EXPECT_EQ(FindOperation("command1"), nullptr);
}

}  // namespace
}  // namespace miralto::form
