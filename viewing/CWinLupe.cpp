#include "viewing/CWinLupe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "app/LangText.h"

namespace viewing {
namespace {

constexpr wchar_t kClassName[] = L"RealTimeMagnifier1";

template <typename Fn>
void FindEntry(HMODULE module, const char* name, Fn& entry) {
  entry = module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                 : nullptr;
}

// Only from the system folder: a library of the same name beside the program
// or in the current folder must not be loaded in its place.
platform::UniqueModule LoadSystemLibrary(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return platform::UniqueModule(::LoadLibraryW(path.c_str()));
}

RECT ToRect(const LupeRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// OpenClipboard and CloseClipboard as one scope.
class ClipboardScope {
 public:
  explicit ClipboardScope(HWND window) : open_(::OpenClipboard(window) != FALSE) {}
  ~ClipboardScope() {
    if (open_) ::CloseClipboard();
  }
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

CWinLupe::EntryPoints CWinLupe::EntryPoints::Lookup() {
  EntryPoints entries;
  entries.magnification = LoadSystemLibrary(L"Magnification.dll");
  FindEntry(entries.magnification.get(), "MagInitialize", entries.magInitialize);
  FindEntry(entries.magnification.get(), "MagUninitialize", entries.magUninitialize);
  FindEntry(entries.magnification.get(), "MagSetWindowTransform", entries.magSetWindowTransform);
  FindEntry(entries.magnification.get(), "MagSetWindowSource", entries.magSetWindowSource);
  FindEntry(::GetModuleHandleW(L"USER32.DLL"), "SetLayeredWindowAttributes",
            entries.setLayeredWindowAttributes);
  entries.dwm = LoadSystemLibrary(L"dwmapi.dll");
  FindEntry(entries.dwm.get(), "DwmIsCompositionEnabled", entries.dwmIsCompositionEnabled);
  return entries;
}

void CWinLupe::Capture::Release() {
  // The bitmap can only go once the context has let go of it.
  if (dc && savedState != 0) ::RestoreDC(dc.get(), savedState);
  savedState = 0;
  dc.reset();
  bitmap.reset();
}

CWinLupe::CWinLupe(app::CMyProfStr& store) : CWinLupe(store, EntryPoints::Lookup()) {}

CWinLupe::CWinLupe(app::CMyProfStr& store, EntryPoints entryPoints)
    : store_(store), system_(std::move(entryPoints)) {
  screen_ = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  hooks_.keyDown = [](int key) { return (::GetKeyState(key) & 0x8000) != 0; };
  hooks_.asyncKeyDown = [](int key) { return (::GetAsyncKeyState(key) & 0x8000) != 0; };
  hooks_.endMessageLoop = [](int exitCode) { ::PostQuitMessage(exitCode); };
}

CWinLupe::~CWinLupe() {
  // The window and its magnifier control go before the runtime they use.
  if (hwnd()) ::DestroyWindow(hwnd());
  capture_.Release();
  if (magnificationStarted_ && system_.magUninitialize) system_.magUninitialize();
}

void CWinLupe::SetHooks(Hooks hooks) {
  if (hooks.keyDown) hooks_.keyDown = std::move(hooks.keyDown);
  if (hooks.asyncKeyDown) hooks_.asyncKeyDown = std::move(hooks.asyncKeyDown);
  if (hooks.endMessageLoop) hooks_.endMessageLoop = std::move(hooks.endMessageLoop);
}

void CWinLupe::RunCommand(HWND owner) {
  LupeSettings settings = PresentSettings();
  ReadLupeSettings(store_, settings);
  factor_ = settings.factor;
  currentSize_ = settings.size;
  owner_ = owner;
  if (!hwnd()) {
    mode_ = settings.mode;
    fullScreen_ = settings.fullScreen;
    border_ = settings.border;
    if (!Create()) return;
  }
  TransformControl();
  // The stored size is the one the user gave the window last time; in full
  // screen it is the screen's and the normal size stays.
  if (!fullScreen_) normalSize_ = currentSize_;
  Show();
}

bool CWinLupe::Create() {
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.style = CS_DROPSHADOW;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
  windowClass.hbrBackground = nullptr;  // the view covers the whole window
  windowClass.lpszClassName = kClassName;
  if (!CreateWindowOfClass(windowClass, WS_EX_TOPMOST, L"", WindowStyle(), 0, 0, 200, 200, nullptr,
                           nullptr))
    return false;
  BOOL enabled = FALSE;
  compositionOn_ = system_.dwmIsCompositionEnabled &&
                   SUCCEEDED(system_.dwmIsCompositionEnabled(&enabled)) && enabled;
  SetDisplayMode(mode_);
  ::SetTimer(hwnd(), kLupeShortcutTimer, 20, nullptr);
  return true;
}

DWORD CWinLupe::WindowStyle() const {
  return WS_POPUP | (border_ && !fullScreen_ ? WS_THICKFRAME : 0);
}

void CWinLupe::SetDisplayMode(int mode) {
  if (mode < 0 || mode >= kLupeModeCount) mode = 0;
  if (!system_.setLayeredWindowAttributes) {
    mode_ = 0;
    WriteSettings();
    return;
  }
  if (mode != 2) crossCursor_ = true;
  LONG_PTR exStyle = WS_EX_TOPMOST;
  if (mode >= 1) exStyle |= WS_EX_LAYERED;
  if (mode == 2) exStyle |= WS_EX_TRANSPARENT;
  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, exStyle);
  if (mode >= 1) system_.setLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA);

  if (compositionOn_) {
    // Started once; the runtime is left to the end of the program.
    if (!magnificationStarted_ && system_.magInitialize && system_.magSetWindowTransform &&
        system_.magSetWindowSource)
      magnificationStarted_ = system_.magInitialize() != FALSE;
    if (magnificationStarted_) {
      ::GetClientRect(hwnd(), &client_);
      if (!control_)
        control_ = ::CreateWindowExW(0, L"Magnifier", L"MagnifierWindow", WS_CHILD | WS_VISIBLE,
                                     client_.left, client_.top, client_.right - client_.left,
                                     client_.bottom - client_.top, hwnd(), nullptr,
                                     platform::ProgramInstance(), nullptr);
      if (control_) ::ShowWindow(control_, SW_SHOW);
    }
    controlInUse_ = magnificationStarted_ && control_;
    TransformControl();
  }

  mode_ = mode;
  if (mode_ == 0) {
    if (control_) ::ShowWindow(control_, SW_HIDE);
    CaptureScreen(nullptr);
  }
  WriteSettings();
}

void CWinLupe::Show() {
  if (!hwnd()) return;
  shown_ = true;
  if (mode_ == 0) {
    if (control_) ::ShowWindow(control_, SW_HIDE);
    CaptureScreen(nullptr);
  }
  SetSize(normalSize_);
  ::SetTimer(hwnd(), kLupeUpdateTimer, 10, nullptr);
  ::SetFocus(hwnd());
  Update(true);
  ::SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  ::ShowWindow(hwnd(), SW_SHOW);
  // A hidden window cannot take the focus; now that it shows, the keys go to it.
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
}

void CWinLupe::Hide() {
  if (!shown_) return;
  capture_.Release();
  ::ShowWindow(hwnd(), SW_HIDE);
  ::KillTimer(hwnd(), kLupeUpdateTimer);
  shown_ = false;
}

void CWinLupe::SetSize(LupeSize size) {
  normalSize_ = LimitedSize(size, {screen_.width, screen_.height});
  if (!fullScreen_) currentSize_ = normalSize_;
  WriteSettings();
}

LupeSettings CWinLupe::PresentSettings() const {
  LupeSettings settings;
  settings.size = currentSize_;
  settings.factor = factor_;
  settings.mode = mode_;
  settings.fullScreen = fullScreen_;
  settings.border = border_;
  return settings;
}

void CWinLupe::WriteSettings() { WriteLupeSettings(store_, PresentSettings()); }

void CWinLupe::CaptureScreen(const LupeRect* source) {
  capture_.Release();
  screen_ = {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
             ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const LupeRect rect = source ? *source
                               : LupeRect{screen_.left, screen_.top, screen_.left + screen_.width,
                                          screen_.top + screen_.height};
  captureIsSource_ = source != nullptr;
  const LupeSize size{rect.right - rect.left + 8, rect.bottom - rect.top + 8};
  if (size.width <= 0 || size.height <= 0) return;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc dc(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), size.width, size.height));
  if (!dc || !bitmap) return;
  capture_.savedState = ::SaveDC(dc.get());
  ::SelectObject(dc.get(), bitmap.get());
  // Only the part on the screen is copied: some systems copy nothing at all
  // when the rectangle reaches beyond it. The rest stays black.
  RECT all{0, 0, size.width, size.height};
  ::FillRect(dc.get(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  const int left = std::max(rect.left, screen_.left);
  const int top = std::max(rect.top, screen_.top);
  const int right = std::min(rect.left + size.width, screen_.left + screen_.width);
  const int bottom = std::min(rect.top + size.height, screen_.top + screen_.height);
  if (right > left && bottom > top)
    ::BitBlt(dc.get(), left - rect.left, top - rect.top, right - left, bottom - top, screen.get(),
             left, top, SRCCOPY);
  capture_.dc = std::move(dc);
  capture_.bitmap = std::move(bitmap);
  capture_.rect = rect;
  capture_.size = size;
}

LupeSize CWinLupe::FrameWidths() const {
  RECT outer{};
  ::GetWindowRect(hwnd(), &outer);
  POINT client{0, 0};
  ::ClientToScreen(hwnd(), &client);
  return {client.x - outer.left, client.y - outer.top};
}

void CWinLupe::Update(bool forced) {
  if (!hwnd()) return;
  POINT cursor;
  if (!::GetCursorPos(&cursor)) return;
  currentSize_ = fullScreen_ ? LupeSize{screen_.width, screen_.height} : normalSize_;
  ::GetClientRect(hwnd(), &client_);
  const LupeSize frame = FrameWidths();
  const LupeView view = ComputeLupeView(cursor.x, cursor.y, currentSize_, factor_, fullScreen_,
                                        screen_, frame.width, frame.height);
  centre_ = {view.centreX, view.centreY};
  source_ = view.source;
  window_ = view.window;

  if (mode_ != 0 && !controlInUse_) CaptureScreen(&source_);
  // The snapshot only changes with the factor, the size or the cursor.
  if (mode_ == 0 && !forced && factor_ == lastFactor_ && currentSize_ == lastSize_ &&
      cursor.x == lastCursor_.x && cursor.y == lastCursor_.y)
    return;
  lastFactor_ = factor_;
  lastSize_ = currentSize_;
  lastCursor_ = cursor;
  if (mode_ == 0 && crossCursor_) ::SetCursor(::LoadCursorW(nullptr, IDC_CROSS));

  ::MoveWindow(hwnd(), window_.left, window_.top, window_.right - window_.left,
               window_.bottom - window_.top, TRUE);
  if (controlInUse_ && mode_ != 0) {
    system_.magSetWindowSource(control_, ToRect(source_));
    ::SetWindowPos(control_, nullptr, -frame.width, -frame.height, currentSize_.width,
                   currentSize_.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

LRESULT CWinLupe::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(wParam);
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_MOUSEMOVE:
      Update(false);
      return 0;
    case WM_MOUSEWHEEL:
      OnWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      return 0;
    case WM_VSCROLL:
    case WM_HSCROLL:
      OnScroll(LOWORD(wParam));
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor()) return TRUE;
      break;
    case kLupeSetModeMessage:
      SetDisplayMode(wParam < static_cast<WPARAM>(kLupeModeCount) ? static_cast<int>(wParam) : 0);
      Show();
      return 0;
    case WM_DESTROY:
      capture_.Release();
      control_ = nullptr;
      controlInUse_ = false;
      shown_ = false;
      break;
  }
  return DefaultMessage(message, wParam, lParam);
}

void CWinLupe::OnPaint() {
  platform::PaintScope paint(hwnd());
  if (controlInUse_ && mode_ != 0) return;  // the control shows the view
  // The view belongs to the whole window: its centre is the window's centre,
  // under the cursor, also when a frame takes some of it.
  const LupeSize frame = FrameWidths();
  if (frame.width > 0 && frame.height > 0)
    ::SetViewportOrgEx(paint.dc(), -frame.width, -frame.height, nullptr);
  PaintView(paint.dc());
}

void CWinLupe::PaintView(HDC dc) const {
  const int width = currentSize_.width;
  const int height = currentSize_.height;
  if (capture_.dc) {
    ::SetStretchBltMode(dc, COLORONCOLOR);
    if (captureIsSource_) {
      ::StretchBlt(dc, 0, 0, width, height, capture_.dc.get(), 0, 0,
                   static_cast<int>(width / factor_), static_cast<int>(height / factor_), SRCCOPY);
    } else {
      ::StretchBlt(dc, 0, 0, width, height, capture_.dc.get(), source_.left - capture_.rect.left,
                   source_.top - capture_.rect.top, source_.right - source_.left,
                   source_.bottom - source_.top, SRCCOPY);
    }
  } else {
    RECT all{0, 0, width, height};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  }
  if (factorText_.empty()) return;
  ::SetBkMode(dc, TRANSPARENT);
  RECT shadow{6, 6, 400, 50};
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::DrawTextW(dc, factorText_.c_str(), -1, &shadow, DT_WORDBREAK | DT_NOCLIP);
  RECT text{5, 5, 400, 50};
  ::SetTextColor(dc, RGB(0xFF, 0x00, 0xFF));
  ::DrawTextW(dc, factorText_.c_str(), -1, &text, DT_WORDBREAK | DT_NOCLIP);
}

void CWinLupe::OnKeyDown(WPARAM key) {
  const int step = hooks_.keyDown(VK_SHIFT) ? kLupeFineSizeStep : kLupeSizeStep;
  if (const auto factor = FactorForKey(static_cast<int>(key))) {
    ApplyFactor(*factor, true);
    return;
  }
  switch (key) {
    case VK_ADD:
      ApplyFactor(FactorUp(factor_), true);
      break;
    case VK_SUBTRACT:
      ApplyFactor(FactorDownByKey(factor_), true);
      break;
    case 'P':
    case 'C':
      CopyPixelColour();
      break;
    case 'B':
      CopyView();
      break;
    case 'E':
      SwitchBorder();
      break;
    case 'F':
    case VK_F11:
      SwitchFullScreen();
      break;
    case VK_F1:
      Hide();
      if (owner_) ::SendMessageW(owner_, WM_COMMAND, kLupeHelpCommand, 0);
      break;
    case VK_F2:
    case VK_F3:
    case VK_F4:
      ChangeMode(static_cast<int>(key - VK_F2));
      break;
    case 'X':
      ChangeMode(NextDisplayMode(mode_));
      break;
    case VK_ESCAPE:
      // With the Windows key it is the shortcut watch's Win+Esc.
      if (!hooks_.keyDown(VK_LWIN)) Hide();
      break;
    case VK_LEFT:
      SetSize({currentSize_.width - step, currentSize_.height});
      break;
    case VK_RIGHT:
      SetSize({currentSize_.width + step, currentSize_.height});
      break;
    case VK_UP:
      SetSize({currentSize_.width, currentSize_.height + step});
      break;
    case VK_DOWN:
      SetSize({currentSize_.width, currentSize_.height - step});
      break;
  }
}

void CWinLupe::ApplyFactor(float factor, bool fromKey) {
  factor_ = factor;
  if (fromKey) {
    factorText_ = viewing::FactorText(factor_);
    ::SetTimer(hwnd(), kLupeFactorTextTimer, 3000, nullptr);
  }
  TransformControl();
  if (!controlInUse_ || !fromKey)
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  WriteSettings();
}

void CWinLupe::TransformControl() {
  if (!controlInUse_) return;
  float matrix[3][3] = {{factor_, 0, 0}, {0, factor_, 0}, {0, 0, 1}};
  system_.magSetWindowTransform(control_, matrix);
}

void CWinLupe::OnWheel(int delta) {
  if (delta > 0) ApplyFactor(FactorUp(factor_), false);
  if (delta < 0) ApplyFactor(FactorDownByWheel(factor_), false);
}

void CWinLupe::OnScroll(int code) {
  if (code == SB_LINEUP || code == SB_PAGEUP) ApplyFactor(FactorDownByWheel(factor_), false);
  if (code == SB_LINEDOWN || code == SB_PAGEDOWN) ApplyFactor(FactorUp(factor_), false);
}

bool CWinLupe::OnSetCursor() {
  if (!crossCursor_) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_CROSS));
  return true;
}

void CWinLupe::OnTimer(UINT_PTR id) {
  switch (id) {
    case kLupeUpdateTimer:
      Update(false);
      if (auto title = NextHintTitle(hintCounter_, app::CurrentLanguage() == app::kLanguageGerman))
        ::SetWindowTextW(hwnd(), title->c_str());
      break;
    case kLupeShortcutTimer:
      OnShortcutWatch();
      break;
    case kLupeFactorTextTimer:
      ::KillTimer(hwnd(), kLupeFactorTextTimer);
      factorText_.clear();
      ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      break;
    case kLupeReshowTimer:
      ::KillTimer(hwnd(), kLupeReshowTimer);
      Show();
      break;
  }
}

void CWinLupe::OnShortcutWatch() {
  // Win+Esc switches once per press of Esc, however long it is held.
  if (hooks_.asyncKeyDown(VK_ESCAPE)) {
    if (escapeLatch_ == 0 && hooks_.asyncKeyDown(VK_LWIN)) {
      if (shown_)
        Hide();
      else
        Show();
    }
    escapeLatch_ = 1;
  } else {
    escapeLatch_ = 0;
  }
  if (hooks_.keyDown(VK_LWIN) && hooks_.keyDown(VK_CONTROL)) hooks_.endMessageLoop(kLupeExitCode);
}

void CWinLupe::ReplaceFrameStyle() {
  LONG_PTR style = ::GetWindowLongPtrW(hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_THICKFRAME);
  style |= WindowStyle() & WS_THICKFRAME;
  ::SetWindowLongPtrW(hwnd(), GWL_STYLE, style);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWinLupe::SwitchFullScreen() {
  fullScreen_ = !fullScreen_;
  ReplaceFrameStyle();
  Hide();
  SetSize(normalSize_);
  // The snapshot must not catch the windows below before they have repainted.
  if (mode_ == 0)
    ::SetTimer(hwnd(), kLupeReshowTimer, 30, nullptr);
  else
    Show();
  WriteSettings();
}

void CWinLupe::SwitchBorder() {
  border_ = !border_;
  if (!fullScreen_) {
    ReplaceFrameStyle();
    Hide();
    Show();
  }
  WriteSettings();
}

void CWinLupe::ChangeMode(int mode) {
  Hide();
  ::PostMessageW(hwnd(), kLupeSetModeMessage, static_cast<WPARAM>(mode), 0);
}

void CWinLupe::CaptureShownView() {
  // The system's control keeps what it shows to itself; a copy of the
  // screen below the loupe is what it magnifies.
  if (controlInUse_ && mode_ != 0) CaptureScreen(&source_);
}

bool CWinLupe::CopyPixelColour() {
  CaptureShownView();
  if (!capture_.dc) return false;
  POINT cursor;
  if (!::GetCursorPos(&cursor)) return false;
  // The screen pixel above and left of the cursor, wherever the capture starts.
  const int x = cursor.x - 1 - capture_.rect.left;
  const int y = cursor.y - 1 - capture_.rect.top;
  if (x < 0 || y < 0 || x >= capture_.size.width || y >= capture_.size.height) return false;
  const COLORREF colour = ::GetPixel(capture_.dc.get(), x, y);
  if (colour == CLR_INVALID) return false;
  // Hex digits are the same in every ANSI code page, so this is the thread's ANSI text.
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  const size_t bytes = std::strlen(text) + 1;
  platform::UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = ::GlobalLock(memory.get());
  if (!target) return false;
  std::memcpy(target, text, bytes);
  ::GlobalUnlock(memory.get());
  ClipboardScope clipboard(hwnd());
  if (!clipboard.open() || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_TEXT, memory.get())) return false;
  memory.release();  // the clipboard owns it now
  return true;
}

bool CWinLupe::CopyView() {
  CaptureShownView();
  RECT outer{};
  if (!::GetWindowRect(hwnd(), &outer)) return false;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc dc(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap bitmap(
      ::CreateCompatibleBitmap(screen.get(), outer.right - outer.left, outer.bottom - outer.top));
  if (!dc || !bitmap) return false;
  {
    platform::SelectObjectGuard select(dc.get(), bitmap.get());
    PaintView(dc.get());
  }
  ClipboardScope clipboard(hwnd());
  if (!clipboard.open() || !::EmptyClipboard()) return false;
  if (!::SetClipboardData(CF_BITMAP, bitmap.get())) return false;
  bitmap.release();  // the clipboard owns it now
  return true;
}

CWinLupe& Magnifier() {
  static CWinLupe lupe;
  return lupe;
}

void ShowMagnifier(HWND owner) { Magnifier().RunCommand(owner); }

}  // namespace viewing
