#include "tests/win32/window_driver.h"

#include <chrono>

#include "win32/main_window.h"

namespace miralto::win32 {
namespace {

WriteRecorder* recorder = nullptr;

bool IsMessageBox(HWND window) {
  std::wstring name(64, L'\0');
  name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), 64)));
  return name == L"#32770" && IsWindowVisible(window);
}

// Whether `window` is the window's top level (not, say, a message box).
bool IsMainWindow(HWND window) {
  std::wstring name(64, L'\0');
  name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), 64)));
  return name == L"MiraltoForm1";
}

SeenBox Read(HWND box) {
  SeenBox seen;
  seen.title = TextOf(box);
  seen.owner = GetWindow(box, GW_OWNER);
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    std::wstring name(64, L'\0');
    name.resize(static_cast<std::size_t>(GetClassNameW(child, name.data(), 64)));
    if (_wcsicmp(name.c_str(), L"Static") != 0) continue;
    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    } else {
      const std::wstring text = TextOf(child);
      if (text.size() > seen.text.size()) seen.text = text;
    }
  }
  return seen;
}

}  // namespace

std::wstring TextOf(HWND window) {
  const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void Pump(HWND window) {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (IsWindow(window) && PreTranslate(window, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

BoxWatcher::BoxWatcher(DWORD process)
    : process_(process == 0 ? GetCurrentProcessId() : process), thread_([this] { Watch(); }) {}

BoxWatcher::~BoxWatcher() {
  stop_ = true;
  thread_.join();
}

void BoxWatcher::Watch() {
  while (!stop_) {
    struct Search {
      DWORD process;
      HWND box;
    } search{process_, nullptr};
    EnumWindows(
        [](HWND window, LPARAM l) -> BOOL {
          auto* search = reinterpret_cast<Search*>(l);
          DWORD process = 0;
          GetWindowThreadProcessId(window, &process);
          if (process != search->process || !IsMessageBox(window)) return TRUE;
          search->box = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.box != nullptr) {
      SeenBox seen = Read(search.box);
      {
        std::lock_guard lock(mutex_);
        seen_.push_back(std::move(seen));
      }
      PostMessageW(search.box, WM_COMMAND, IDOK, 0);
      for (int i = 0; i < 500 && IsWindow(search.box); ++i) Sleep(10);
    }
    Sleep(10);
  }
}

std::vector<SeenBox> BoxWatcher::Take() {
  std::lock_guard lock(mutex_);
  return std::exchange(seen_, {});
}

std::vector<SeenBox> BoxWatcher::WaitAndTake(int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    {
      std::lock_guard lock(mutex_);
      if (!seen_.empty()) break;
    }
    Sleep(10);
  }
  return Take();
}

WriteRecorder::WriteRecorder()
    : hook_(
          SetWindowsHookExW(WH_CALLWNDPROC, &WriteRecorder::Hook, nullptr, GetCurrentThreadId())) {
  recorder = this;
}

WriteRecorder::~WriteRecorder() {
  recorder = nullptr;
  UnhookWindowsHookEx(hook_);
}

LRESULT CALLBACK WriteRecorder::Hook(int code, WPARAM w, LPARAM l) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
  if (code == HC_ACTION && recorder != nullptr && !recorder->paused_ &&
      call->message == WM_SETTEXT && (GetWindowLongW(call->hwnd, GWL_STYLE) & WS_CHILD) != 0 &&
      IsMainWindow(GetAncestor(call->hwnd, GA_PARENT))) {
    const auto* text = reinterpret_cast<const wchar_t*>(call->lParam);
    recorder->writes_.emplace_back(GetDlgCtrlID(call->hwnd), text != nullptr ? text : L"");
  }
  return CallNextHookEx(nullptr, code, w, l);
}

std::vector<std::pair<int, std::wstring>> WriteRecorder::Take() {
  return std::exchange(writes_, {});
}

}  // namespace miralto::win32
