#include "tests/form/scenario_player.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "corrections/correction_file.h"

namespace miralto::scenarios {

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::optional<std::string> ReadFile(const fs::path& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file << bytes;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// Whether `actual` is `expected` where "{reason}" may stand for any text that is not empty.
bool Matches(const std::string& actual, const std::string& expected) {
  const std::size_t reason = expected.find("{reason}");
  if (reason == std::string::npos) return actual == expected;
  const std::string_view head(expected.data(), reason);
  const std::string_view tail = std::string_view(expected).substr(reason + 8);
  return actual.size() > head.size() + tail.size() && actual.starts_with(head) &&
         actual.ends_with(tail);
}

std::string Show(const nlohmann::json& value) { return value.dump(-1, ' ', false); }

}  // namespace

nlohmann::json LoadScenarios(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return nlohmann::json::parse(file);
}

std::vector<std::string> Play(const nlohmann::json& scenario, ScenarioWindow& window,
                              const fs::path& directory) {
  std::vector<std::string> differences;
  const fs::path file = CorrectionFilePath(directory);
  const nlohmann::json& start = scenario.at("correction_file");
  if (start.is_string()) WriteFile(file, start.get<std::string>());
  if (scenario.value("correction_folder", false)) fs::create_directories(file / "x");
  window.Start(directory);

  int number = 0;
  for (const nlohmann::json& step : scenario.at("steps")) {
    ++number;
    const auto differ = [&](const std::string& what) {
      differences.push_back("step " + std::to_string(number) + " " + Show(step) + ": " + what);
    };
    if (step.contains("set")) {
      for (const auto& [control, text] : step["set"].items()) {
        window.Set(control, text.get<std::string>());
      }
    } else if (step.contains("click")) {
      window.Click(step["click"].get<std::string>());
    } else if (step.contains("restart")) {
      window.Start(directory);
    } else if (step.contains("writes")) {
      std::vector<std::pair<std::string, std::string>> expected;
      for (const nlohmann::json& write : step["writes"]) {
        expected.emplace_back(write.at(0).get<std::string>(), write.at(1).get<std::string>());
      }
      const auto actual = window.Writes();
      if (actual != expected) differ("written " + Show(nlohmann::json(actual)));
    } else if (step.contains("texts")) {
      for (const auto& [control, text] : step["texts"].items()) {
        const std::string actual = window.Text(control);
        if (actual != text.get<std::string>()) differ(control + " holds " + Show(actual));
      }
    } else if (step.contains("corrections")) {
      const auto values = window.Values();
      if (values && (values->lon != step["corrections"].at(0).get<Long>() ||
                     values->lat != step["corrections"].at(1).get<Long>())) {
        differ("values " + std::to_string(values->lon) + ", " + std::to_string(values->lat));
      }
    } else if (step.contains("file")) {
      const std::optional<std::string> actual = ReadFile(file);
      const nlohmann::json& expected = step["file"];
      if (expected.is_null() ? actual.has_value()
                             : actual != std::optional(expected.get<std::string>())) {
        differ("the file holds " + (actual ? Show(*actual) : std::string("nothing")));
      }
    } else if (step.contains("failure")) {
      const std::vector<Reported> failures = window.Failures();
      const nlohmann::json& expected = step["failure"];
      if (expected.is_null()) {
        if (!failures.empty()) {
          differ("reported " + failures.front().kind.value_or("") + " " +
                 failures.front().en.value_or(failures.front().zh.value_or("")));
        }
        continue;
      }
      if (failures.size() != 1) {
        differ(std::to_string(failures.size()) + " failures reported");
        continue;
      }
      const Reported& failure = failures.front();
      if (failure.kind && *failure.kind != expected.at("kind").get<std::string>()) {
        differ("kind " + *failure.kind);
      }
      for (const char* language : {"en", "zh"}) {
        const std::optional<std::string>& actual = language[0] == 'e' ? failure.en : failure.zh;
        if (!actual || !expected.contains(language)) continue;
        std::string text = expected[language].get<std::string>();
        ReplaceAll(text, "{file}", Utf8(file));
        if (!Matches(*actual, text)) differ(std::string(language) + " text " + Show(*actual));
      }
    } else {
      differ("unknown step");
    }
  }
  return differences;
}

}  // namespace miralto::scenarios
