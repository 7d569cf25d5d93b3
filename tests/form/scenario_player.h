// Plays the window scenarios of scenarios.json on any window: the model alone, or a view over it.
// A window is driven through ScenarioWindow; Play returns what differed from the scenario, so that
// each test framework reports it in its own way.
//
// A scenario: "name"; "correction_file", the file's bytes before the start (null: no file);
// optionally "correction_folder": true, a folder where the file would be. Its "steps", in order:
//   {"set": {"Text7(0)": "-193"}}        the user types texts (no operation runs)
//   {"click": "Command3"}                a button is pressed
//   {"restart": true}                    a new window over the same correction file, started
//   {"writes": [["Text4", "..."]]}       exactly the writes since the last start or click
//   {"failure": null}                    no failure since the last start or click, or exactly one:
//   {"failure": {"kind": "conversion error", "en": "...", "zh": "..."}}
//                                        kind is the title in English; en and zh the message box
//                                        text, {file} standing for the correction file's path and
//                                        {reason} for the system's reason
//   {"texts": {"Text4": "..."}}          the boxes' texts now
//   {"corrections": [-193, 106]}         the correction values now, where a window can tell them
//   {"file": "-193\r\n106\r\n"}          the correction file's bytes now (null: no file)
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/position_code.h"
#include "tests/temporary_folder.h"

namespace miralto::scenarios {

// A failure as the window reported it; a window fills in what it can tell.
struct Reported {
  std::optional<std::string> kind;  // the English title: "conversion error"
  std::optional<std::string> en;    // the message box text in English
  std::optional<std::string> zh;    // the same in Chinese
};

class ScenarioWindow {
 public:
  virtual ~ScenarioWindow() = default;
  // A new window over the correction file in `directory`, its start-up step run. Any window of
  // an earlier Start is gone.
  virtual void Start(const std::filesystem::path& directory) = 0;
  // The user types `text` into `control`.
  virtual void Set(std::string_view control, std::string_view text) = 0;
  virtual void Click(std::string_view command) = 0;
  virtual std::string Text(std::string_view control) = 0;
  // The writes and the failures since the last Start or Click, in order.
  virtual std::vector<std::pair<std::string, std::string>> Writes() = 0;
  virtual std::vector<Reported> Failures() = 0;
  // The correction values, where the window can tell them.
  virtual std::optional<Corrections> Values() = 0;
};

// The scenarios of the table at `path`.
nlohmann::json LoadScenarios(const std::filesystem::path& path);

// Plays `scenario` on `window` in `directory` (an empty folder of the test's own) and returns
// every difference found, empty when the window did what the scenario says. In the expected
// failure texts, {file} stands for the correction file's path and {reason} for any reason the
// system gives.
std::vector<std::string> Play(const nlohmann::json& scenario, ScenarioWindow& window,
                              const std::filesystem::path& directory);

// The tests' temporary folder, under the name the scenario tests know.
using TemporaryFolder = ::miralto::testing::TemporaryFolder;

}  // namespace miralto::scenarios
