// The window on Windows, driven by its messages: the form's scenario table against the real
// controls and message boxes, in English and in Chinese; the tab order and the keys; the places of
// the controls at 96 and 144 dpi; and miralto.exe itself, alone in a folder, started twice.
#include <gtest/gtest.h>
#include <windows.h>
// The annotation service's GUIDs, defined in this program too.
#include <initguid.h>
#include <oleacc.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "corrections/correction_file.h"
#include "corrections/correction_location.h"
#include "form/controls.h"
#include "form/form1.h"
#include "platform/windows_text.h"
#include "tests/form/scenario_player.h"
#include "tests/win32/window_driver.h"
#include "win32/main_window.h"

namespace miralto::win32 {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::optional<std::string> FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string NameOf(int id) {
  const int row = id - ControlId(0);
  if (row < 0 || row >= static_cast<int>(form::kControls.size())) return "?";
  return form::kControls[static_cast<std::size_t>(row)].name;
}

// The window driven by its messages, for the scenario player: what its last start or click wrote
// (the WM_SETTEXT its controls received) and the message boxes it opened.
class Win32Window : public scenarios::ScenarioWindow {
 public:
  explicit Win32Window(form::Language language) : language_(language) {}

  void Start(const fs::path& directory) override {
    window_.reset();
    store_ = std::make_unique<form::FileCorrectionStore>(directory);
    recorder_.Take();
    window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), *store_, language_);
    window_->Show(SW_SHOWNORMAL);
    Finish();
  }

  void Set(std::string_view control, std::string_view text) override {
    HWND box = window_->Control(control);
    ASSERT_NE(box, nullptr) << control;
    recorder_.Pause(true);
    SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::Wide(text).c_str()));
    recorder_.Pause(false);
  }

  void Click(std::string_view command) override {
    HWND button = window_->Control(command);
    ASSERT_NE(button, nullptr) << command;
    recorder_.Take();
    SendMessageW(button, BM_CLICK, 0, 0);
    Finish();
  }

  std::string Text(std::string_view control) override {
    return platform::Utf8(TextOf(window_->Control(control)));
  }

  std::vector<std::pair<std::string, std::string>> Writes() override { return writes_; }

  std::vector<scenarios::Reported> Failures() override {
    std::vector<scenarios::Reported> reported;
    for (const SeenBox& box : boxes_) {
      // The rest of the box as the user sees it: its title, its owner and its icon.
      EXPECT_EQ(box.title, L"Miralto");
      EXPECT_EQ(box.owner, window_->handle());
      EXPECT_EQ(box.icon, LoadIconW(nullptr, MAKEINTRESOURCEW(32513)));  // IDI_ERROR
      scenarios::Reported failure;
      (language_ == form::Language::kChinese ? failure.zh : failure.en) = platform::Utf8(box.text);
      reported.push_back(std::move(failure));
    }
    return reported;
  }

  std::optional<Corrections> Values() override { return window_->model().corrections(); }

 private:
  void Finish() {
    Pump(window_->handle());
    writes_.clear();
    for (const auto& [id, text] : recorder_.Take())
      writes_.emplace_back(NameOf(id), platform::Utf8(text));
    boxes_ = watcher_.Take();
  }

  form::Language language_;
  WriteRecorder recorder_;
  BoxWatcher watcher_;
  std::unique_ptr<form::FileCorrectionStore> store_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::pair<std::string, std::string>> writes_;
  std::vector<SeenBox> boxes_;
};

// Whether the scenario expects a message box: only its text depends on the language.
bool ReportsAFailure(const json& scenario) {
  for (const json& step : scenario.at("steps")) {
    if (step.contains("failure") && !step["failure"].is_null()) return true;
  }
  return false;
}

void PlayScenarios(form::Language language) {
  for (const json& scenario : scenarios::LoadScenarios(MIRALTO_FORM_SCENARIOS)) {
    if (language == form::Language::kChinese && !ReportsAFailure(scenario)) continue;
    scenarios::TemporaryFolder folder;
    Win32Window window(language);
    for (const std::string& difference : scenarios::Play(scenario, window, folder.path())) {
      ADD_FAILURE() << scenario.at("name").get<std::string>() << ": " << difference;
    }
  }
}

TEST(WindowTest, ScenarioTableInEnglish) { PlayScenarios(form::Language::kEnglish); }

// The scenarios with a message box again, the window telling failures in Chinese.
TEST(WindowTest, ScenarioTableInChinese) { PlayScenarios(form::Language::kChinese); }

// Where a control stands in its window's client area.
RECT ClientPlace(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int CaptionWidth(HWND label) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring caption = TextOf(label);
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return extent.cx;
}

// Boxes and buttons stand where the table puts them, and the client area has its size; every
// label shows its caption whole and keeps the table's place unless its caption needs more room.
void ExpectPlaces(MainWindow& window, int dpi) {
  const auto scale = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
  RECT client{};
  GetClientRect(window.handle(), &client);
  EXPECT_EQ(client.right, scale(form::kClientWidth));
  EXPECT_EQ(client.bottom, scale(form::kClientHeight));
  for (const form::ControlSpec& entry : form::kControls) {
    SCOPED_TRACE(entry.name);
    const form::Rect designed = form::Pixels(entry);
    const RECT place = ClientPlace(window.Control(entry.name));
    EXPECT_EQ(place.top, scale(designed.top));
    EXPECT_EQ(place.bottom - place.top, scale(designed.height));
    if (entry.kind != form::ControlKind::kLabel) {
      EXPECT_EQ(place.left, scale(designed.left));
      EXPECT_EQ(place.right - place.left, scale(designed.width));
      continue;
    }
    // Where the form fits the caption, at 96 dpi rounded up as the window measures it; a static
    // control has no inset of its own, so it starts where the caption does.
    const int caption = (CaptionWidth(window.Control(entry.name)) * 96 + dpi - 1) / dpi;
    const form::LabelFit fit = form::FitLabel(entry, caption);
    EXPECT_EQ(place.left, scale(fit.place.left + fit.inset));
    EXPECT_NEAR(place.right, scale(fit.place.left + fit.place.width), 1);
    const int left = std::max(0, designed.left);
    const int right = designed.left + designed.width;
    EXPECT_GE(place.right - place.left, CaptionWidth(window.Control(entry.name)));
    if (place.right - place.left > scale(right - left) + 1) continue;  // widened
    EXPECT_EQ(place.left, scale(left));
    EXPECT_NEAR(place.right, scale(right), 1);
  }
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window.Control("Text4"), WM_GETFONT, 0, 0)),
             sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, L"Tahoma");
  EXPECT_EQ(font.lfHeight, -MulDiv(9, dpi, 72));
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
}

// The window in English over the corrections of a fresh folder, shown and drawn.
struct ShownWindow {
  ShownWindow() {
    window.Show(SW_SHOWNORMAL);
    Pump(window.handle());
  }
  scenarios::TemporaryFolder folder;
  form::FileCorrectionStore store{folder.path()};
  MainWindow window{GetModuleHandleW(nullptr), store, form::Language::kEnglish};
};

TEST(WindowTest, ControlsStandWhereTheTablePutsThemAtEveryDpi) {
  scenarios::TemporaryFolder folder;
  form::FileCorrectionStore store(folder.path());
  MainWindow window(GetModuleHandleW(nullptr), store, form::Language::kEnglish);
  window.Show(SW_SHOWNORMAL);
  ASSERT_EQ(WindowDpi(window.handle()), 96u) << "the test's display runs at 96 dpi";
  ExpectPlaces(window, 96);
  EXPECT_EQ(TextOf(window.handle()), L"Miralto");

  // Moved to a monitor at 150 %: Windows tells the window, which scales itself.
  RECT frame{};
  GetWindowRect(window.handle(), &frame);
  SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
               reinterpret_cast<LPARAM>(&frame));
  ExpectPlaces(window, 144);
  SendMessageW(window.handle(), WM_DPICHANGED, MAKEWPARAM(96, 96),
               reinterpret_cast<LPARAM>(&frame));
  ExpectPlaces(window, 96);
}

// The dots per inch Windows runs at (MIRALTO_EXPECTED_DPI, set with the prefix's LogPixels): the
// window starts at them, its places and font scaled from 96 dpi as the window rounds.
TEST(WindowTest, ControlsScaleWithTheSystemDpi) {
  const char* expected = std::getenv("MIRALTO_EXPECTED_DPI");
  if (expected == nullptr) GTEST_SKIP() << "run with MIRALTO_EXPECTED_DPI=<the prefix's LogPixels>";
  const int dpi = std::atoi(expected);
  ShownWindow shown;
  MainWindow& window = shown.window;
  ASSERT_EQ(WindowDpi(window.handle()), static_cast<UINT>(dpi));
  ExpectPlaces(window, dpi);
}

// The name a screen reader reads for `control`, as it asks for it (Active Accessibility).
std::wstring AccessibleName(HWND control) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&accessible)))) {
    return L"<no accessible object>";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text = SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr
                          ? std::wstring(name, SysStringLen(name))
                          : L"<no name>";
  SysFreeString(name);
  accessible->Release();
  return text;
}

// Whether this system keeps a name set by Dynamic Annotation (Wine's oleacc answers E_NOTIMPL).
bool AnnotationsKept() {
  void* service = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, &service))) {
    return false;
  }
  auto* names = static_cast<IAccPropServices*>(service);
  HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  std::wstring text = L"probe";
  const bool kept = SUCCEEDED(names->SetHwndPropStr(probe, static_cast<DWORD>(OBJID_CLIENT),
                                                    CHILDID_SELF, PROPID_ACC_NAME, text.data())) &&
                    AccessibleName(probe) == text;
  MSAAPROPID name = PROPID_ACC_NAME;
  names->ClearHwndProps(probe, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  DestroyWindow(probe);
  names->Release();
  return kept;
}

// Every box and button is read out by its role, in the window's language.
TEST(WindowTest, ScreenReadersReadEachBoxAndButtonByItsRole) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  if (!AnnotationsKept()) {
    CoUninitialize();
    GTEST_SKIP() << "this system keeps no Dynamic Annotation names (Wine's oleacc does not)";
  }
  for (const form::Language language : {form::Language::kEnglish, form::Language::kChinese}) {
    scenarios::TemporaryFolder folder;
    form::FileCorrectionStore store(folder.path());
    MainWindow window(GetModuleHandleW(nullptr), store, language);
    for (const form::ControlSpec& entry : form::kControls) {
      if (entry.kind == form::ControlKind::kLabel) continue;
      EXPECT_EQ(AccessibleName(window.Control(entry.name)),
                platform::Wide(form::RoleText(entry, language)))
          << entry.name;
    }
  }
  CoUninitialize();
}

// The pixels of `text` drawn in `font`, black on white.
std::vector<COLORREF> Drawn(HFONT font, const wchar_t* text) {
  constexpr int kSize = 32;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
  HGDIOBJ old_font = SelectObject(dc, font);
  RECT all{0, 0, kSize, kSize};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 2, 2, text, static_cast<int>(wcslen(text)));
  std::vector<COLORREF> pixels;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  SelectObject(dc, old_font);
  SelectObject(dc, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixels;
}

// Tahoma has no Chinese: the captions show only through the face linked to it. Where none is,
// every character is drawn as the same empty box.
TEST(WindowTest, ChineseCaptionsAreDrawnInALinkedFace) {
  scenarios::TemporaryFolder folder;
  form::FileCorrectionStore store(folder.path());
  MainWindow window(GetModuleHandleW(nullptr), store, form::Language::kEnglish);
  const auto font =
      reinterpret_cast<HFONT>(SendMessageW(window.Control("Label1(0)"), WM_GETFONT, 0, 0));
  const std::vector<COLORREF> longitude = Drawn(font, L"经");
  const std::vector<COLORREF> latitude = Drawn(font, L"纬");
  const std::vector<COLORREF> blank = Drawn(font, L" ");
  EXPECT_NE(longitude, blank);
  EXPECT_NE(longitude, latitude);
}

TEST(WindowTest, TabFollowsTheTableOrderAndSkipsLabels) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  EXPECT_EQ(GetFocus(), window.Control("Text3(0)"));

  const std::vector<std::string> order{"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)",
                                       "Text3(5)", "Text4",    "Command3", "Text1(0)", "Text1(1)",
                                       "Command1", "Command2", "Command4", "Text2",    "Text5",
                                       "Text6",    "Command5", "Command6", "Text7(0)", "Text7(1)"};
  HWND at = window.Control(order.front());
  for (std::size_t i = 1; i <= order.size(); ++i) {
    at = GetNextDlgTabItem(window.handle(), at, FALSE);
    EXPECT_EQ(at, window.Control(order[i % order.size()])) << "after " << order[i - 1];
  }
  for (std::size_t i = order.size(); i > 0; --i) {
    at = GetNextDlgTabItem(window.handle(), at, TRUE);
    EXPECT_EQ(at, window.Control(order[i - 1])) << "Shift+Tab to " << order[i - 1];
  }
}

// A key as the message loop receives it, with the focus on `control`.
void PressKey(MainWindow& window, HWND control, WPARAM key, bool alt = false) {
  const LPARAM down = 1 | (alt ? (1 << 29) : 0);
  const LPARAM up = down | (1 << 30) | (1u << 31);
  PostMessageW(control, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(control, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
  Pump(window.handle());
}

TEST(WindowTest, KeysMoveTheFocusAndPressTheFocusedButtonOnly) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  BoxWatcher watcher;

  SetFocus(window.Control("Text3(5)"));
  PressKey(window, GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), window.Control("Text4"));
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PressKey(window, GetFocus(), VK_TAB);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), window.Control("Text3(5)"));

  // Enter and Esc in a text box run nothing.
  SetFocus(window.Control("Text4"));
  PressKey(window, GetFocus(), VK_RETURN);
  PressKey(window, GetFocus(), VK_ESCAPE);
  EXPECT_EQ(TextOf(window.Control("Text4")), L"");

  // Enter presses the focused "→", Space the focused "↓".
  SetFocus(window.Control("Command3"));
  PressKey(window, GetFocus(), VK_RETURN);
  EXPECT_EQ(TextOf(window.Control("Text4")), L"7uy1yuy1y");
  SetFocus(window.Control("Command2"));
  PressKey(window, GetFocus(), VK_SPACE);
  EXPECT_EQ(TextOf(window.Control("Text1(0)")), L"105");
  EXPECT_EQ(TextOf(window.Control("Text1(1)")), L"40");
  EXPECT_TRUE(watcher.Take().empty());

  // Alt+F4 closes the window.
  PressKey(window, window.handle(), VK_F4, true);
  EXPECT_EQ(window.handle(), nullptr);
}

// A message box takes the focus while it is up; closed, it gives it back to the control that had
// it, so that the keys go on where the user was.
TEST(WindowTest, TheFocusReturnsToItsControlAfterAMessageBox) {
  ShownWindow shown;
  MainWindow& window = shown.window;
  BoxWatcher watcher;

  // "计算差值" with Text4 still empty fails; Enter on it again fails again.
  SetFocus(window.Control("Command5"));
  PressKey(window, GetFocus(), VK_RETURN);
  EXPECT_EQ(watcher.Take().size(), 1u);
  EXPECT_EQ(GetFocus(), window.Control("Command5"));
  PressKey(window, GetFocus(), VK_RETURN);
  EXPECT_EQ(watcher.Take().size(), 1u) << "Enter went nowhere after the first box";

  // The same after a save that fails.
  SendMessageW(window.Control("Text7(0)"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3000000000"));
  SetFocus(window.Control("Command6"));
  PressKey(window, GetFocus(), VK_RETURN);
  EXPECT_EQ(watcher.Take().size(), 1u);
  EXPECT_EQ(GetFocus(), window.Control("Command6"));
}

// A running miralto.exe and its window, found by the window's class among the process's windows.
class Program {
 public:
  explicit Program(const fs::path& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    const std::wstring folder = exe.parent_path().wstring();
    EXPECT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &startup, &process_))
        << exe;
    for (int i = 0; i < 1000 && window_ == nullptr; ++i) {
      Sleep(10);
      struct Search {
        DWORD process;
        HWND window;
      } search{process_.dwProcessId, nullptr};
      EnumWindows(
          [](HWND window, LPARAM l) -> BOOL {
            auto* search = reinterpret_cast<Search*>(l);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            wchar_t name[64]{};
            GetClassNameW(window, name, 64);
            // Shown only once its start-up step has run.
            if (process != search->process || std::wstring_view(name) != L"MiraltoForm1" ||
                !IsWindowVisible(window)) {
              return TRUE;
            }
            search->window = window;
            return FALSE;
          },
          reinterpret_cast<LPARAM>(&search));
      window_ = search.window;
    }
    EXPECT_NE(window_, nullptr) << "no window from " << exe;
  }
  ~Program() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  DWORD id() const { return process_.dwProcessId; }
  HWND window() const { return window_; }
  HWND Control(std::string_view name) const {
    return GetDlgItem(window_, ControlId(*form::ControlRow(name)));
  }
  void Set(std::string_view name, const std::wstring& text) const {
    SendMessageW(Control(name), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void Click(std::string_view name) const { SendMessageW(Control(name), BM_CLICK, 0, 0); }
  std::wstring Text(std::string_view name) const { return TextOf(Control(name)); }

  // Closes the window as the user does and waits for the program to end; its exit code.
  DWORD Close() const {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process_.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

fs::path BuiltProgram() { return fs::absolute(fs::path(MIRALTO_PROGRAM).make_preferred()); }

// The typical road of a user, by the program's window.
void ConvertTheTypicalRoad(const Program& program) {
  program.Set("Text1(0)", L"113.288959");
  program.Set("Text1(1)", L"23.236255");
  program.Click("Command1");
  program.Click("Command3");
  EXPECT_EQ(program.Text("Text4"), L"8i4k7zwpg");
}

// The failure the model reports at start-up over the correction file in `folder`, told in the
// user's language: what the program's own message box must say.
std::string StartupFailureText(const fs::path& folder) {
  struct Recorder : form::FormView {
    void ShowText(std::string_view, const std::string&) override {}
    void ShowFailure(const form::Failure& failure) override {
      text = form::FailureText(failure, UserLanguage());
    }
    std::string text;
  } recorder;
  form::FileCorrectionStore store(folder);
  form::Form1 model(store, recorder);
  model.Form_Load();
  return recorder.text;
}

TEST(ProgramTest, AloneInAFolderKeepsItsCorrectionsBesideItself) {
  scenarios::TemporaryFolder folder;
  const fs::path exe = folder.path() / "miralto.exe";
  fs::copy_file(BuiltProgram(), exe);
  {
    Program program(exe);
    ASSERT_NE(program.window(), nullptr);
    BoxWatcher boxes(program.id());
    EXPECT_EQ(TextOf(program.window()), L"Miralto");
    ConvertTheTypicalRoad(program);
    program.Set("Text7(0)", L"-193");
    program.Set("Text7(1)", L"106");
    program.Click("Command6");
    EXPECT_EQ(program.Close(), 0u);
    EXPECT_TRUE(boxes.Take().empty());
  }
  EXPECT_EQ(FileBytes(CorrectionFilePath(folder.path())), "-193\r\n106\r\n");

  // The next start reads them back and encodes with them.
  {
    Program program(exe);
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(program.Text("Text7(0)"), L"-193");
    EXPECT_EQ(program.Text("Text7(1)"), L"106");
    EXPECT_EQ(program.Text("Text4"), L"");
    program.Click("Command1");
    program.Click("Command3");
    EXPECT_EQ(program.Text("Text4"), L"87ak7vtpg");
    program.Close();
  }

  // A correction file of one line: the start-up failure over the window, in the user's language.
  WriteBytes(CorrectionFilePath(folder.path()), "12\r\n");
  {
    Program program(exe);
    ASSERT_NE(program.window(), nullptr);
    BoxWatcher watcher(program.id());
    const std::vector<SeenBox> boxes = watcher.WaitAndTake(10000);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(platform::Utf8(boxes[0].text), StartupFailureText(folder.path()));
    EXPECT_EQ(boxes[0].title, L"Miralto");
    EXPECT_EQ(boxes[0].owner, program.window());
    EXPECT_NE(boxes[0].icon, nullptr);
    EXPECT_EQ(program.Text("Text7(0)"), L"12");
    if (const char* expected = std::getenv("MIRALTO_EXPECTED_LANGUAGE")) {
      EXPECT_EQ(std::string(expected) == "zh", boxes[0].text.front() > 0x7F) << expected;
    }
    program.Close();
  }
}

// The program where an installer put it (MIRALTO_INSTALLED_PROGRAM): it starts, converts and
// keeps its corrections in the user's folder, not in the folder every user shares, even where the
// user may write that folder (an administrator, Wine).
TEST(ProgramTest, Installed) {
  const char* installed = std::getenv("MIRALTO_INSTALLED_PROGRAM");
  if (installed == nullptr) GTEST_SKIP() << "run with MIRALTO_INSTALLED_PROGRAM=<miralto.exe>";
  const fs::path exe(platform::Wide(installed));
  const fs::path users_file = CorrectionFilePath(UserCorrectionDirectory());
  const std::optional<std::string> users_before = FileBytes(users_file);
  {
    Program program(exe);
    ASSERT_NE(program.window(), nullptr);
    ConvertTheTypicalRoad(program);
    program.Set("Text7(0)", L"-193");
    program.Set("Text7(1)", L"106");
    program.Click("Command6");
    EXPECT_EQ(program.Close(), 0u);
  }
  const fs::path shared_file = CorrectionFilePath(exe.parent_path());
  EXPECT_FALSE(fs::exists(shared_file)) << "saved in the installed folder";
  fs::remove(shared_file);
  EXPECT_EQ(FileBytes(users_file), "-193\r\n106\r\n");
  if (users_before) {
    WriteBytes(users_file, *users_before);
  } else {
    fs::remove(users_file);
  }
}

// A save that Windows refuses (the file held open by another program that shares its reading and
// writing, not its replacement) is told with the system's
// reason in the user's language, which a message box shows only as Unicode: text in the ANSI code
// page (a Chinese Windows's GBK) would show as replacement characters.
TEST(WindowTest, ASaveFailureIsToldInTheUserLanguage) {
  scenarios::TemporaryFolder folder;
  WriteBytes(CorrectionFilePath(folder.path()), "1\r\n2\r\n");
  form::FileCorrectionStore store(folder.path());
  MainWindow window(GetModuleHandleW(nullptr), store, UserLanguage());
  window.Show(SW_SHOWNORMAL);
  Pump(window.handle());
  const HANDLE other =
      CreateFileW(CorrectionFilePath(folder.path()).c_str(), GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  BoxWatcher watcher;
  SendMessageW(window.Control("Text7(0)"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-193"));
  SendMessageW(window.Control("Command6"), BM_CLICK, 0, 0);
  Pump(window.handle());
  CloseHandle(other);
  const std::vector<SeenBox> boxes = watcher.Take();
  ASSERT_EQ(boxes.size(), 1u);
  const std::wstring& text = boxes[0].text;
  EXPECT_EQ(text.find(L'\uFFFD'), std::wstring::npos) << platform::Utf8(text);
  EXPECT_EQ(text.find(L'\r'), std::wstring::npos) << platform::Utf8(text);
  EXPECT_EQ(FileBytes(CorrectionFilePath(folder.path())), "1\r\n2\r\n");
}

TEST(WindowTest, UserLanguage) {
  const char* expected = std::getenv("MIRALTO_EXPECTED_LANGUAGE");
  if (expected == nullptr) GTEST_SKIP() << "run with MIRALTO_EXPECTED_LANGUAGE=zh or en";
  EXPECT_EQ(UserLanguage() == form::Language::kChinese ? "zh" : "en", std::string(expected));
}

}  // namespace
}  // namespace miralto::win32
