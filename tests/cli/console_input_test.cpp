// What is typed into a Windows console, as ReadConsoleW hands it over in reads: every piece taken
// converts to UTF-8 on its own, and Ctrl-Z at a line's start ends the input.
#include "cli/console_input.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace miralto::cli {
namespace {

struct ConsoleCase {
  const char* name;
  std::vector<std::u16string> reads;  // what each ReadConsoleW returns
  std::u16string text;                // every piece taken, and what Finish gives, in order
  bool ended;                         // a Ctrl-Z ended the input
};

void PrintTo(const ConsoleCase& c, std::ostream* out) { *out << c.name; }

bool EndsInHighSurrogate(const std::u16string& text) {
  return !text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF;
}

class ConsoleTextTest : public testing::TestWithParam<ConsoleCase> {};

TEST_P(ConsoleTextTest, PiecesConvertAlone) {
  const ConsoleCase& c = GetParam();
  ConsoleText console;
  std::u16string text;
  bool ended = false;
  for (const std::u16string& read : c.reads) {
    std::u16string piece;
    ended = !console.Take(read, piece);
    EXPECT_FALSE(EndsInHighSurrogate(piece)) << "a pair cut in two: no piece converts";
    text += piece;
    if (ended) break;
  }
  if (!ended) console.Finish(text);
  EXPECT_EQ(text, c.text);
  EXPECT_EQ(ended, c.ended);
}

// U+20000 is D840 DC00 in UTF-16.
INSTANTIATE_TEST_SUITE_P(
    Reads, ConsoleTextTest,
    testing::Values(
        ConsoleCase{"ChineseLineCrLf",
                    {u"广州塔 113.288959 23.236255\r\n"},
                    u"广州塔 113.288959 23.236255\r\n",
                    false},
        ConsoleCase{"PairSplitAcrossReads",
                    {u"名\xD840", u"\xDC00 113 23\r\n"},
                    u"名\U00020000 113 23\r\n",
                    false},
        ConsoleCase{"CrLfSplitThenCtrlZ", {u"113 23\r", u"\n", u"\x1A\r\n"}, u"113 23\r\n", true},
        ConsoleCase{"CtrlZAtALineStartInARead",
                    {u"113 23\r\n\x1A\r\nnot read\r\n", u"nor this\r\n"},
                    u"113 23\r\n",
                    true},
        ConsoleCase{"CtrlZFirst", {u"\x1A\r\n"}, u"", true},
        ConsoleCase{"CtrlZInALineIsText",
                    {u"1\x1A"
                     u"3 23\r\n"},
                    u"1\x1A"
                    u"3 23\r\n",
                    false},
        ConsoleCase{
            "CtrlZAfterALongLineSplitIsText", {u"113 ", u"\x1A\r\n"}, u"113 \x1A\r\n", false},
        ConsoleCase{
            "CtrlZAfterAHeldSurrogateIsText", {u"\xD840", u"\x1A\r\n"}, u"\xD840\x1A\r\n", false},
        ConsoleCase{"HighSurrogateAtTheEnd", {u"113\xD840"}, u"113\xD840", false},
        ConsoleCase{"EmptyRead", {u"1 2", u"", u"\r\n"}, u"1 2\r\n", false}),
    [](const testing::TestParamInfo<ConsoleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace miralto::cli
