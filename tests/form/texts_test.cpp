// The windows' texts without Qt: the table generated from the translation file has every message
// and every role, with the English placeholders; the language of a locale name; the message box.
#include <gtest/gtest.h>

#include <set>

#include "form/form1.h"
#include "form/translations.h"

namespace miralto::form {
namespace {

// The placeholders %1 to %9 a text uses.
std::set<std::string> Placeholders(std::string_view text) {
  std::set<std::string> found;
  for (std::size_t at = text.find('%'); at != std::string_view::npos && at + 1 < text.size();
       at = text.find('%', at + 1)) {
    if (text[at + 1] >= '1' && text[at + 1] <= '9') found.emplace(text.substr(at, 2));
  }
  return found;
}

TEST(Translations, EveryMessageHasAChineseTextWithItsPlaceholders) {
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    const std::string_view english = EnglishPattern(static_cast<MessageId>(i));
    const std::string_view chinese = Chinese(kMessageContext, english);
    EXPECT_FALSE(chinese.empty()) << "untranslated: " << english;
    EXPECT_EQ(Placeholders(chinese), Placeholders(english)) << english;
  }
}

TEST(Translations, EveryRoleHasAChineseText) {
  for (const ControlSpec& row : kControls) {
    EXPECT_NE(RoleText(row, Language::kChinese), row.role) << row.name;
    EXPECT_EQ(RoleText(row, Language::kEnglish), row.role) << row.name;
  }
  EXPECT_EQ(RoleText(kControls[*ControlRow("Command5")], Language::kChinese), "计算差值");
}

TEST(Translations, TableIsSortedForTheLookup) {
  for (std::size_t i = 1; i < kChinese.size(); ++i) {
    EXPECT_LT(std::pair(kChinese[i - 1].context, kChinese[i - 1].source),
              std::pair(kChinese[i].context, kChinese[i].source));
  }
  EXPECT_EQ(Chinese("Messages", "no such text"), "");
  EXPECT_EQ(Chinese("Form1", "conversion error"), "");  // another context's entry
}

TEST(LanguageOf, ChineseForAnyChineseTag) {
  for (const char* tag : {"zh", "zh_CN.UTF-8", "zh-TW", "zh_HK", "ZH-Hant", "zh@stroke"}) {
    EXPECT_EQ(LanguageOf(tag), Language::kChinese) << tag;
  }
  for (const char* tag : {"", "C", "C.UTF-8", "POSIX", "en_US.UTF-8", "de-DE", "zu", "zha"}) {
    EXPECT_EQ(LanguageOf(tag), Language::kEnglish) << tag;
  }
}

TEST(FailureText, TitleOverTheDetailInEitherLanguage) {
  const Failure failure{MessageId::kOutOfMemory, {MessageId::kNeedsMoreMemory, {}}, {}};
  EXPECT_EQ(FailureText(failure, Language::kEnglish),
            "Out of memory:\nthe operation needs more memory than is free");
  EXPECT_EQ(FailureText(failure, Language::kChinese), "内存不足：\n此操作需要的内存超过了可用内存");
  const Failure in_context{
      MessageId::kConversionError,
      {MessageId::kNotANumber, {Argument::Quoted("x")}},
      {{MessageId::kFieldOfQuantity,
        {Argument::Term(MessageId::kLatitude), Argument::Term(MessageId::kMinutes)}}}};
  EXPECT_EQ(FailureTitle(in_context, Language::kChinese), "转换错误");
  EXPECT_EQ(FailureDetail(in_context, Language::kEnglish).substr(0, 25),
            "latitude minutes: \"x\" is ");
  EXPECT_TRUE(FailureDetail(in_context, Language::kChinese).starts_with("纬度（分）：“x”不是数字"));
}

}  // namespace
}  // namespace miralto::form
