// The main window without a toolkit: its field texts, its correction values, the start-up step and
// the six buttons' handlers over the window's operations (operations.h). A window (Qt, Windows,
// the browser) builds its controls from controls.h, forwards typed texts here, calls Form_Load and
// a button's handler, and shows what the model reports through FormView.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/position_code.h"
#include "corrections/correction_file.h"
#include "form/controls.h"

namespace miralto::form {

// A failure as a window reports it: the title names the kind ("conversion error"), the detail is
// the phrase with its context, outermost first. Views format it with FailureText.
struct Failure {
  MessageId title;
  Phrase detail;
  std::vector<Phrase> context;
};

// What a window implements: the model tells it each text it writes, in order, and each failure.
class FormView {
 public:
  virtual ~FormView() = default;
  virtual void ShowText(std::string_view control, const std::string& text) = 0;
  virtual void ShowFailure(const Failure& failure) = 0;
};

// Where the correction values are kept: the file "修正.txt" in a folder (desktop windows), or
// another store (the browser's storage). Same load and save semantics as LoadCorrections and
// SaveCorrections.
class CorrectionStore {
 public:
  virtual ~CorrectionStore() = default;
  // What loading found, line by line, and the failure that stopped it. Never throws.
  virtual CorrectionLoad Load() = 0;
  // Stores the two texts unchanged and returns their values. Throws Error.
  virtual Corrections Save(std::string_view lon_text, std::string_view lat_text) = 0;
};

// The correction file "修正.txt" in `directory`.
class FileCorrectionStore : public CorrectionStore {
 public:
#ifdef _WIN32
  // The folder as wide text, with the store's wide-text functions: the window links no
  // std::filesystem (see corrections/correction_file.h).
  explicit FileCorrectionStore(std::wstring directory) : directory_(std::move(directory)) {}
  explicit FileCorrectionStore(const std::filesystem::path& directory)
      : directory_(directory.native()) {}
#else
  explicit FileCorrectionStore(std::filesystem::path directory);
#endif
  CorrectionLoad Load() override;
  Corrections Save(std::string_view lon_text, std::string_view lat_text) override;

 private:
#ifdef _WIN32
  std::wstring directory_;
#else
  std::filesystem::path directory_;
#endif
};

class Form1 {
 public:
  // The field texts start as the control table's start-up texts; the values at 0. Neither `store`
  // nor `view` is owned; both outlive the model.
  Form1(CorrectionStore& store, FormView& view);

  // The text of a text box ("Text3(0)"); the empty text for a name that is not a text box.
  const std::string& Text(std::string_view control) const;
  // The user typed `text` into `control`: no ShowText, and no operation runs. Unknown: ignored.
  void SetText(std::string_view control, std::string_view text);

  // The start-up step: the correction values and fields from the store, as far as it could be
  // read, then the digit table; a failure is reported through the view.
  void Form_Load();
  // The buttons' handlers, which the views call on a click (HandlerOf finds one by name).
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();

  Corrections corrections() const { return {CorrectionLon, CorrectionLat}; }

 private:
  void Write(std::string_view control, std::string text);
  void RunOperation(std::string_view command);

  CorrectionStore& store_;
  FormView& view_;
  std::map<std::string, std::string, std::less<>> texts_;
  Long CorrectionLon = 0;
  Long CorrectionLat = 0;
};

// A button's handler as a view holds it, to call as (form.*handler)().
using ClickHandler = void (Form1::*)();

// The handler of the button named `button` ("Command3": Command3_Click); null for any other name.
ClickHandler HandlerOf(std::string_view button);

enum class Language { kEnglish, kChinese };

// Chinese for any Chinese language tag or locale name ("zh", "zh_CN.UTF-8", "zh-TW"), else
// English.
Language LanguageOf(std::string_view tag);

// The failure's kind in `language`, as its title: "conversion error", "转换错误".
std::string FailureTitle(const Failure& failure, Language language);
// What went wrong, with its context, in `language`.
std::string FailureDetail(const Failure& failure, Language language);
// The message box text of a title and a detail already told in `language`: "Conversion
// error:\n<detail>" (the title's first letter capitalised), "转换错误：\n<detail>".
std::string MessageBoxText(std::string_view title, std::string_view detail, Language language);
// The message box text of `failure`: MessageBoxText of its title and detail.
std::string FailureText(const Failure& failure, Language language);

// The accessible name of a control (its role) in `language`.
std::string RoleText(const ControlSpec& row, Language language);

}  // namespace miralto::form
