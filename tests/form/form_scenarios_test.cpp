// The window scenarios on the form model alone, without any toolkit: what each click writes, in
// which order, what a failure keeps and how it is told in English and Chinese.
#include <gtest/gtest.h>

#include <cctype>
#include <memory>

#include "form/form1.h"
#include "tests/form/scenario_player.h"

namespace miralto::form {
namespace {

using scenarios::Reported;

class ModelWindow : public scenarios::ScenarioWindow, private FormView {
 public:
  void Start(const std::filesystem::path& directory) override {
    model_.reset();
    store_ = std::make_unique<FileCorrectionStore>(directory);
    model_ = std::make_unique<Form1>(*store_, static_cast<FormView&>(*this));
    Forget();
    model_->Form_Load();
  }
  void Set(std::string_view control, std::string_view text) override {
    model_->SetText(control, text);
  }
  void Click(std::string_view command) override {
    Forget();
    if (const ClickHandler click = HandlerOf(command)) ((*model_).*click)();
  }
  std::string Text(std::string_view control) override { return model_->Text(control); }
  std::vector<std::pair<std::string, std::string>> Writes() override { return writes_; }
  std::vector<Reported> Failures() override { return failures_; }
  std::optional<Corrections> Values() override { return model_->corrections(); }

 private:
  void Forget() {
    writes_.clear();
    failures_.clear();
  }
  void ShowText(std::string_view control, const std::string& text) override {
    writes_.emplace_back(control, text);
  }
  void ShowFailure(const Failure& failure) override {
    failures_.push_back({std::string(EnglishPattern(failure.title)),
                         FailureText(failure, Language::kEnglish),
                         FailureText(failure, Language::kChinese)});
  }

  std::unique_ptr<FileCorrectionStore> store_;
  std::unique_ptr<Form1> model_;
  std::vector<std::pair<std::string, std::string>> writes_;
  std::vector<Reported> failures_;
};

const nlohmann::json& Scenarios() {
  static const nlohmann::json table = scenarios::LoadScenarios(MIRALTO_FORM_SCENARIOS);
  return table;
}

class FormScenario : public ::testing::TestWithParam<std::size_t> {};

TEST_P(FormScenario, PlaysAsWritten) {
  const nlohmann::json& scenario = Scenarios().at(GetParam());
  scenarios::TemporaryFolder folder;
  ModelWindow window;
  for (const std::string& difference : scenarios::Play(scenario, window, folder.path())) {
    ADD_FAILURE() << difference;
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FormScenario, ::testing::Range<std::size_t>(0, Scenarios().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                           std::string name = Scenarios().at(info.param).at("name");
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace miralto::form
