// The texts a window tells a failure and a control's role with, in English or Chinese.
#include <algorithm>
#include <utility>

#include "core/errors.h"
#include "form/form1.h"
#include "form/translations.h"

namespace miralto::form {

namespace {

// The context the control table's roles are filed under in the translation file.
constexpr std::string_view kRoleContext = "Form1";

std::string_view English(MessageId id) { return EnglishPattern(id); }

// The message table in `language`; an entry without a finished translation stays English.
Patterns PatternsOf(Language language) {
  if (language == Language::kEnglish) return [](MessageId id) { return std::string(English(id)); };
  return [](MessageId id) {
    const std::string_view chinese = Chinese(kMessageContext, English(id));
    return std::string(chinese.empty() ? English(id) : chinese);
  };
}

}  // namespace

std::string_view Chinese(std::string_view context, std::string_view source) {
  const auto key = [](const Translation& row) { return std::pair(row.context, row.source); };
  const auto wanted = std::pair(context, source);
  const auto found =
      std::lower_bound(kChinese.begin(), kChinese.end(), wanted,
                       [&](const Translation& row, const auto& value) { return key(row) < value; });
  return found != kChinese.end() && key(*found) == wanted ? found->translation : std::string_view();
}

Language LanguageOf(std::string_view tag) {
  // The language is the tag's first part: "zh" in "zh_CN.UTF-8", "zh-Hant-TW", "zh".
  const std::string_view language = tag.substr(0, tag.find_first_of("_-.@"));
  const bool chinese = language.size() == 2 && (language[0] == 'z' || language[0] == 'Z') &&
                       (language[1] == 'h' || language[1] == 'H');
  return chinese ? Language::kChinese : Language::kEnglish;
}

std::string FailureTitle(const Failure& failure, Language language) {
  return PatternsOf(language)(failure.title);
}

std::string FailureDetail(const Failure& failure, Language language) {
  // The detail after its context, joined as every error of the tool joins them; the kind plays no
  // part in that.
  return Error(ErrorKind::kConversion, failure.detail, failure.context)
      .DetailIn(PatternsOf(language));
}

std::string MessageBoxText(std::string_view title, std::string_view detail, Language language) {
  std::string heading(title);
  // An English title starts a sentence; a Chinese one has no capitals. ASCII only, whatever the
  // process locale says of other bytes.
  if (!heading.empty() && heading[0] >= 'a' && heading[0] <= 'z') heading[0] -= 'a' - 'A';
  return Format({MessageId::kTitledMessage, {Argument::Text(heading), Argument::Text(detail)}},
                PatternsOf(language));
}

std::string FailureText(const Failure& failure, Language language) {
  return MessageBoxText(FailureTitle(failure, language), FailureDetail(failure, language),
                        language);
}

std::string RoleText(const ControlSpec& row, Language language) {
  if (language == Language::kChinese) {
    const std::string_view chinese = Chinese(kRoleContext, row.role);
    if (!chinese.empty()) return std::string(chinese);
  }
  return row.role;
}

}  // namespace miralto::form
