#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/position_code.h"
#include "core/text.h"

namespace miralto {
namespace {

struct Split {
  std::string_view text;
  std::vector<std::string_view> forward;   // NextCharacter's characters from the front
  std::vector<std::string_view> backward;  // PreviousCharacter's from the end
};

// A UTF-8 character has at most four bytes: a run of continuation bytes beyond them, as pasted
// damaged text can hold, is a character of its own in either direction.
TEST(TextTest, CharactersAreAtMostFourBytesEitherWay) {
  const Split cases[] = {
      {"a\xc3\xa9", {"a", "\xc3\xa9"}, {"\xc3\xa9", "a"}},
      {"\xe7\xbb\x8f\xf0\x9f\x98\x80",
       {"\xe7\xbb\x8f", "\xf0\x9f\x98\x80"},
       {"\xf0\x9f\x98\x80", "\xe7\xbb\x8f"}},
      {"\xf0\x9f\x98\x80\x80", {"\xf0\x9f\x98\x80", "\x80"}, {"\x9f\x98\x80\x80", "\xf0"}},
      {"\xf0\x80\x80\x80\x80", {"\xf0\x80\x80\x80", "\x80"}, {"\x80\x80\x80\x80", "\xf0"}},
      {"\x80\x80\x80\x80\x80\x80",
       {"\x80\x80\x80\x80", "\x80\x80"},
       {"\x80\x80\x80\x80", "\x80\x80"}},
  };
  for (const Split& c : cases) {
    std::vector<std::string_view> forward;
    for (std::size_t pos = 0; pos < c.text.size();) forward.push_back(NextCharacter(c.text, pos));
    EXPECT_EQ(forward, c.forward) << c.text;
    std::vector<std::string_view> backward;
    for (std::size_t end = c.text.size(); end > 0;) {
      backward.push_back(PreviousCharacter(c.text, end));
    }
    EXPECT_EQ(backward, c.backward) << c.text;
    EXPECT_EQ(CharacterCount(c.text), c.forward.size()) << c.text;
  }
}

// What a user sees of it: a code field whose text ends in a damaged character.
TEST(TextTest, ACodeCountsADamagedCharacterAsTheUserSeesIt) {
  try {
    DecodePosition("87ak7vtpg\xf0\x9f\x98\x80\x80", {});
    FAIL() << "decoded";
  } catch (const InvalidCodeError& error) {
    EXPECT_EQ(
        error.Message(),
        "invalid position code: the code \"87ak7vtpg\xf0\x9f\x98\x80\x80\" has 11 characters; "
        "a position code has 9");
  }
}

// A text cut to fit a buffer (the C library's, a PostgreSQL result's) never ends inside a
// character; one that fits is kept whole.
TEST(TextTest, APrefixEndsOnACharacterBoundary) {
  struct Cut {
    std::string_view text;
    std::size_t max_bytes;
    std::string_view kept;
  };
  const Cut cases[] = {
      {"abc", 3, "abc"},
      {"abc", 2, "ab"},
      {"a\xE7\xBA\xAC", 3, "a"},  // 纬 needs three bytes
      {"a\xE7\xBA\xAC", 4, "a\xE7\xBA\xAC"},
      {"\xF0\x9F\x98\x80x", 4, "\xF0\x9F\x98\x80"},
      {"\xF0\x9F\x98\x80x", 3, ""},
      {"abc", 0, ""},
  };
  for (const Cut& c : cases) EXPECT_EQ(Utf8Prefix(c.text, c.max_bytes), c.kept) << c.max_bytes;
}

}  // namespace
}  // namespace miralto
