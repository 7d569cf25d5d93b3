#include "win32/main_window.h"

// The annotation service's GUIDs are defined here, where they are used.
#include <initguid.h>
#include <oleacc.h>

#include <array>

#include "platform/windows_text.h"

namespace miralto::win32 {
namespace {

constexpr int kFirstControlId = 100;
constexpr wchar_t kClassName[] = L"MiraltoForm1";
constexpr wchar_t kCaption[] = L"Miralto";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
// The table's design font: Tahoma 9 pt. Windows links a CJK face to Tahoma for the Chinese
// captions.
constexpr int kFontPoints = 9;

int Scale(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), 96); }

// A function of user32 that older Windows lack, looked up at run time.
template <typename Function>
Function User32(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

HFONT CreateDesignFont(UINT dpi) {
  return CreateFontW(-MulDiv(kFontPoints, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                     FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");
}

std::wstring WindowText(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The outer size of a window whose client area is `client` at `dpi`.
SIZE FrameSize(SIZE client, UINT dpi) {
  RECT rect{0, 0, client.cx, client.cy};
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32<AdjustForDpi>("AdjustWindowRectExForDpi");
  if (adjust != nullptr) {
    adjust(&rect, kStyle, FALSE, kExStyle, dpi);
  } else {
    AdjustWindowRectEx(&rect, kStyle, FALSE, kExStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

int ControlId(std::size_t row) { return kFirstControlId + static_cast<int>(row); }

form::Language UserLanguage() {
  // The language as a locale name ("zh-CN"), so that the one rule of LanguageOf decides.
  std::array<wchar_t, LOCALE_NAME_MAX_LENGTH> name{};
  const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (LCIDToLocaleName(locale, name.data(), static_cast<int>(name.size()), 0) == 0) {
    return form::Language::kEnglish;
  }
  return form::LanguageOf(platform::Utf8(name.data()));
}

UINT WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto get_dpi = User32<GetDpi>("GetDpiForWindow");
  if (get_dpi != nullptr) {
    if (const UINT dpi = get_dpi(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

MainWindow::MainWindow(HINSTANCE instance, form::CorrectionStore& store, form::Language language)
    : instance_(instance), language_(language), form_(store, *this) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  if (!GetClassInfoExW(instance, kClassName, &window_class)) {
    window_class.lpfnWndProc = &MainWindow::Procedure;
    window_class.hInstance = instance;
    // The icon resource holds 32x32 and 16x16 images; each size takes its own.
    window_class.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                   GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR | LR_SHARED));
    window_class.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR | LR_SHARED));
    window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    RegisterClassExW(&window_class);
  }
  window_ = CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  CreateControls();
  NameControls();
  ApplyDpi(WindowDpi(window_));
  form_.Form_Load();
}

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
  if (names_ != nullptr) names_->Release();
  if (com_) CoUninitialize();
}

void MainWindow::NameControls() {
  com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  void* service = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IAccPropServices, &service))) {
    return;  // no annotations: readers fall back to the nearest label
  }
  names_ = static_cast<IAccPropServices*>(service);
  for (std::size_t row = 0; row < controls_.size(); ++row) {
    const form::ControlSpec& entry = form::kControls[row];
    if (entry.kind == form::ControlKind::kLabel) continue;  // a label's name is its caption
    std::wstring name = platform::Wide(form::RoleText(entry, language_));
    names_->SetHwndPropStr(controls_[row], static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                           PROPID_ACC_NAME, name.data());
  }
}

void MainWindow::ForgetNames() {
  if (names_ == nullptr) return;
  MSAAPROPID name = PROPID_ACC_NAME;
  for (HWND control : controls_) {
    names_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
  }
}

void MainWindow::CreateControls() {
  controls_.reserve(form::kControls.size());
  // Created in the table's order, which is the order Tab follows.
  for (std::size_t row = 0; row < form::kControls.size(); ++row) {
    const form::ControlSpec& entry = form::kControls[row];
    const wchar_t* window_class = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD ex_style = 0;
    std::wstring text = platform::Wide(entry.text);
    switch (entry.kind) {
      case form::ControlKind::kLabel:
        // Never wrapped, no & mnemonics: the caption shows as written.
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        break;
      case form::ControlKind::kTextBox:
        window_class = L"EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        ex_style = WS_EX_CLIENTEDGE;
        text = platform::Wide(form_.Text(entry.name));
        break;
      case form::ControlKind::kButton:
        window_class = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    HWND control = CreateWindowExW(ex_style, window_class, text.c_str(), style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(row))),
                                   instance_, nullptr);
    if (entry.kind == form::ControlKind::kTextBox) {
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no limit on what is typed
    }
    controls_.push_back(control);
  }
}

void MainWindow::PlaceAt96Dpi(UINT dpi) {
  HFONT font = CreateDesignFont(dpi);
  HDC dc = GetDC(window_);
  HGDIOBJ old_font = SelectObject(dc, font);
  places_.clear();
  for (std::size_t row = 0; row < form::kControls.size(); ++row) {
    const form::ControlSpec& entry = form::kControls[row];
    form::Rect place = form::Pixels(entry);
    if (entry.kind == form::ControlKind::kLabel) {
      const std::wstring caption = platform::Wide(entry.text);
      SIZE extent{};
      GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
      // Text does not scale exactly with the font: the width it needs at `dpi`, in pixels at 96
      // dpi rounded up, so that scaled back it holds the caption whole.
      const int needed = (extent.cx * 96 + static_cast<int>(dpi) - 1) / static_cast<int>(dpi);
      const form::LabelFit fit = form::FitLabel(entry, needed);
      place = fit.place;
      place.left += fit.inset;
      place.width -= fit.inset;
    }
    places_.push_back(place);
  }
  SelectObject(dc, old_font);
  ReleaseDC(window_, dc);
  DeleteObject(font);
}

void MainWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi;
  PlaceAt96Dpi(dpi);
  HFONT font = CreateDesignFont(dpi);
  for (std::size_t row = 0; row < controls_.size(); ++row) {
    const form::Rect& place = places_[row];
    SetWindowPos(controls_[row], nullptr, Scale(place.left, dpi), Scale(place.top, dpi),
                 Scale(place.width, dpi), Scale(place.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[row], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  const SIZE client{Scale(form::kClientWidth, dpi), Scale(form::kClientHeight, dpi)};
  SIZE frame = FrameSize(client, dpi);
  SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame Windows actually draws decides: where it differs from the computed one (a system
  // that scales the frame otherwise), the client area is set right by the difference.
  RECT actual{};
  GetClientRect(window_, &actual);
  if (actual.right != client.cx || actual.bottom != client.cy) {
    frame.cx += client.cx - actual.right;
    frame.cy += client.cy - actual.bottom;
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::Show(int show_command) {
  ShowWindow(window_, show_command);
  UpdateWindow(window_);
  shown_ = true;
  SetFocus(controls_.front());  // Text3(0), the first of the tab order
  if (pending_) {
    const form::Failure failure = std::move(*pending_);
    pending_.reset();
    ShowFailure(failure);
  }
}

HWND MainWindow::Control(std::string_view name) const {
  const auto row = form::ControlRow(name);
  return row ? controls_[*row] : nullptr;
}

void MainWindow::ShowText(std::string_view control, const std::string& text) {
  HWND box = Control(control);
  if (box == nullptr) return;
  writing_ = true;
  SetWindowTextW(box, platform::Wide(text).c_str());
  writing_ = false;
}

void MainWindow::ShowFailure(const form::Failure& failure) {
  if (!shown_) {
    pending_ = failure;
    return;
  }
  const std::wstring text = platform::Wide(form::FailureText(failure, language_));
  MessageBoxW(window_, text.c_str(), kCaption, MB_OK | MB_ICONERROR);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, w, l);
  return self->Handle(window, message, w, l);
}

LRESULT MainWindow::Handle(HWND window, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(w);
      if (id < kFirstControlId || id >= ControlId(form::kControls.size())) break;
      const form::ControlSpec& entry =
          form::kControls[static_cast<std::size_t>(id - kFirstControlId)];
      const int code = HIWORD(w);
      if (entry.kind == form::ControlKind::kButton && code == BN_CLICKED) {
        if (const form::ClickHandler click = form::HandlerOf(entry.name)) (form_.*click)();
      } else if (entry.kind == form::ControlKind::kTextBox && code == EN_CHANGE && !writing_) {
        form_.SetText(entry.name, platform::Utf8(WindowText(reinterpret_cast<HWND>(l))));
      }
      return 0;
    }
    case WM_DPICHANGED: {
      // Windows suggests where the window goes; its size follows from the client area.
      const auto* suggested = reinterpret_cast<const RECT*>(l);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi(HIWORD(w));
      return 0;
    }
    case WM_ACTIVATE:
      // As a dialog does: the focused control is kept while another window (a message box) is
      // active, and gets the focus back through WM_SETFOCUS below.
      if (LOWORD(w) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window, focus)) focus_ = focus;
      }
      break;
    case WM_SETFOCUS:
      // The window itself takes no keys: they would go nowhere.
      if (focus_ != nullptr && IsChild(window, focus_)) {
        SetFocus(focus_);
      } else if (!controls_.empty()) {
        SetFocus(controls_.front());
      }
      return 0;
    case WM_DESTROY:
      ForgetNames();  // the controls still exist
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      window_ = nullptr;
      focus_ = nullptr;
      controls_.clear();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, w, l);
}

bool PreTranslate(HWND window, MSG& message) {
  // Enter presses the focused button; no button is pressed by Enter from elsewhere.
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(window, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) !=
            0) {
      SendMessageW(focus, BM_CLICK, 0, 0);
      return true;
    }
  }
  return IsDialogMessageW(window, &message) != FALSE;
}

int RunMessageLoop(HWND window) {
  MSG message{};
  while (IsWindow(window)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return 1;
    if (PreTranslate(window, message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace miralto::win32
