// The window on Windows: a native Win32 view of the form model. It builds its controls from the
// control table, tells the model what the user typed and clicked, and shows what the model writes
// and every failure it reports. No operation runs here.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "form/form1.h"

struct IAccPropServices;

namespace miralto::win32 {

// The child-window id of the control in row `row` of form::kControls (GetDlgItem finds it). The ids
// start above IDOK and IDCANCEL, which the dialog keys send, so that Enter and Esc press nothing.
int ControlId(std::size_t row);

// The language of the user's Windows (GetUserDefaultUILanguage): Chinese for any Chinese one.
form::Language UserLanguage();

// The dots per inch the window is drawn at: GetDpiForWindow where Windows has it (10 1607 and
// later), else the screen's, so that the program also starts on older Windows.
UINT WindowDpi(HWND window);

class MainWindow final : public form::FormView {
 public:
  // Creates the window, hidden, with its controls, and runs Form_Load. A start-up failure is shown
  // by Show(), over the visible window. Failures are told in `language`.
  MainWindow(HINSTANCE instance, form::CorrectionStore& store, form::Language language);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window at its default place with the focus on the first control of the tab order,
  // then the start-up failure, if any.
  void Show(int show_command);

  // The top-level window; null once the user has closed it.
  HWND handle() const { return window_; }
  // The control named `name`, or null.
  HWND Control(std::string_view name) const;
  const form::Form1& model() const { return form_; }

  void ShowText(std::string_view control, const std::string& text) override;
  void ShowFailure(const form::Failure& failure) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(HWND window, UINT message, WPARAM w, LPARAM l);
  void CreateControls();
  // Gives each box and button its role as the name a screen reader reads (Dynamic Annotation),
  // where Windows has the service; the names go with the window.
  void NameControls();
  void ForgetNames();
  // The places of the controls in pixels at 96 dpi: the table's, with each label where its caption
  // in the window's font at `dpi` shows whole (form::FitLabel); a static control has no inset of
  // its own, so a label's place starts where its caption does.
  void PlaceAt96Dpi(UINT dpi);
  // Font and places for `dpi`; the client area keeps its size at 96 dpi, scaled.
  void ApplyDpi(UINT dpi);

  HINSTANCE instance_;
  form::Language language_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  UINT dpi_ = 96;
  std::vector<HWND> controls_;      // by table row
  HWND focus_ = nullptr;            // the control that had the focus when the window was left
  std::vector<form::Rect> places_;  // by table row, pixels at 96 dpi
  bool writing_ = false;            // a ShowText is setting a text: no typing to forward
  bool shown_ = false;
  std::optional<form::Failure> pending_;  // a start-up failure, shown with the window
  bool com_ = false;                      // this window initialised COM on its thread
  IAccPropServices* names_ = nullptr;     // the annotation service, while names are set
  form::Form1 form_;
};

// Handles a message the way the window's message loop does before dispatching it: the dialog keys
// (Tab and Shift+Tab in the table's order, Space, and Enter on a focused button). True if it was
// handled and must not be dispatched.
bool PreTranslate(HWND window, MSG& message);

// Runs the message loop until `window` is destroyed; returns the exit code.
int RunMessageLoop(HWND window);

}  // namespace miralto::win32
