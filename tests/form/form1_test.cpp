// The form model over a correction store of the test's own, as the browser keeps the values
// elsewhere than in a file: what it asks of the store, and failures the file never gives.
#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <stdexcept>
#include <utility>

#include "core/errors.h"
#include "form/form1.h"

namespace miralto::form {
namespace {

using Texts = std::pair<std::string, std::string>;

// Keeps the two texts in memory; `fail_with` makes the next Save throw it.
class MemoryStore : public CorrectionStore {
 public:
  CorrectionLoad Load() override {
    CorrectionLoad load;
    if (!texts) return load;
    load.present = true;
    for (const std::string& text : {texts->first, texts->second}) {
      load.lines.push_back({text, CorrectionValue(text, "correction")});
    }
    return load;
  }
  Corrections Save(std::string_view lon, std::string_view lat) override {
    if (fail_with) std::rethrow_exception(std::exchange(fail_with, nullptr));
    const Corrections values{CorrectionValue(lon, "longitude correction"),
                             CorrectionValue(lat, "latitude correction")};
    texts.emplace(lon, lat);
    return values;
  }

  std::optional<std::pair<std::string, std::string>> texts;
  std::exception_ptr fail_with;
};

struct Recorder : FormView {
  void ShowText(std::string_view control, const std::string& text) override {
    writes.emplace_back(control, text);
  }
  void ShowFailure(const Failure& failure) override { failures.push_back(failure); }

  std::vector<std::pair<std::string, std::string>> writes;
  std::vector<Failure> failures;
};

TEST(Form1, SavesToAndStartsFromAnyStore) {
  MemoryStore store;
  Recorder view;
  Form1 form(store, view);
  form.Form_Load();
  form.SetText("Text7(0)", "-193");
  form.SetText("Text7(1)", "106");
  form.Command6_Click();
  EXPECT_EQ(store.texts, Texts("-193", "106"));
  EXPECT_EQ(form.corrections().lon, -193);

  Recorder next_view;
  Form1 next(store, next_view);
  next.Form_Load();
  EXPECT_EQ(next.Text("Text7(1)"), "106");
  EXPECT_EQ(next.corrections().lat, 106);
  EXPECT_TRUE(view.failures.empty());
  EXPECT_TRUE(next_view.failures.empty());
}

TEST(Form1, RunningOutOfMemoryIsReportedAndChangesNothing) {
  MemoryStore store;
  Recorder view;
  Form1 form(store, view);
  form.SetText("Text7(0)", "5");
  store.fail_with = std::make_exception_ptr(std::bad_alloc());
  form.Command6_Click();
  ASSERT_EQ(view.failures.size(), 1u);
  EXPECT_EQ(view.failures[0].title, MessageId::kOutOfMemory);
  EXPECT_EQ(FailureText(view.failures[0], Language::kEnglish),
            "Out of memory:\nthe operation needs more memory than is free");
  EXPECT_EQ(form.corrections().lon, 0);
  EXPECT_FALSE(store.texts);
}

TEST(Form1, AnyOtherFailureOfTheStoreIsToldAsItSaysItself) {
  MemoryStore store;
  Recorder view;
  Form1 form(store, view);
  store.fail_with = std::make_exception_ptr(std::runtime_error("quota exceeded"));
  form.Command6_Click();
  ASSERT_EQ(view.failures.size(), 1u);
  EXPECT_EQ(FailureText(view.failures[0], Language::kEnglish), "Error:\nquota exceeded");
  EXPECT_EQ(FailureText(view.failures[0], Language::kChinese), "错误：\nquota exceeded");
}

TEST(Form1, TypingRunsNothingAndOnlyButtonsHaveHandlers) {
  MemoryStore store;
  Recorder view;
  Form1 form(store, view);
  form.SetText("Text4", "87ak7vtpg");
  form.SetText("Label1(0)", "x");  // not a text box
  form.SetText("Text9", "x");
  for (const ControlSpec& row : kControls) {
    EXPECT_EQ(HandlerOf(row.name) != nullptr, row.kind == ControlKind::kButton) << row.name;
  }
  for (const char* name : {"Command7", "Form_Load", "command1", ""}) {
    EXPECT_EQ(HandlerOf(name), nullptr) << name;
  }
  EXPECT_TRUE(view.writes.empty());
  EXPECT_TRUE(view.failures.empty());
  EXPECT_EQ(form.Text("Text4"), "87ak7vtpg");
  EXPECT_EQ(form.Text("Label1(0)"), "");
  EXPECT_EQ(form.Text("Text9"), "");
  (form.*HandlerOf("Command4"))();
  ASSERT_EQ(view.writes.size(), 6u);
  EXPECT_EQ(view.writes[2], Texts("Text3(2)", "39.5"));
}

}  // namespace
}  // namespace miralto::form
