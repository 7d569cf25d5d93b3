// Drives the window on Windows as a user's tools see it: by window messages to its real controls.
// What the window writes is recorded as the WM_SETTEXT messages its controls receive, and every
// message box it opens is found, read and closed by a watcher on another thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace miralto::win32 {

// A message box as the user saw it.
struct SeenBox {
  std::wstring title;
  std::wstring text;
  HWND owner = nullptr;
  HICON icon = nullptr;  // in this process, the same handle as the system icon it shows
};

// Watches the top-level windows of one process (0: this one) for message boxes; reads each one and
// presses its OK button.
class BoxWatcher {
 public:
  explicit BoxWatcher(DWORD process = 0);
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // The boxes seen since the last call.
  std::vector<SeenBox> Take();
  // Waits up to `milliseconds` for a box, then returns those seen.
  std::vector<SeenBox> WaitAndTake(int milliseconds);

 private:
  void Watch();

  DWORD process_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::thread thread_;
};

// Records the texts set on the controls of this thread by WM_SETTEXT, in order, while it lives and
// is not paused.
class WriteRecorder {
 public:
  WriteRecorder();
  ~WriteRecorder();
  WriteRecorder(const WriteRecorder&) = delete;
  WriteRecorder& operator=(const WriteRecorder&) = delete;

  void Pause(bool paused) { paused_ = paused; }
  // The (control id, text) writes since the last call.
  std::vector<std::pair<int, std::wstring>> Take();

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM w, LPARAM l);
  HHOOK hook_;
  bool paused_ = false;
  std::vector<std::pair<int, std::wstring>> writes_;
};

// The text of a window, by WM_GETTEXT (which also reaches windows of other processes).
std::wstring TextOf(HWND window);

// Dispatches every queued message of this thread the way the window's message loop does.
void Pump(HWND window);

}  // namespace miralto::win32
