#include "platform/Window_win.h"

#include <commctrl.h>

namespace platform {

BaseWindow::~BaseWindow() {
  if (hwnd_) {
    // The object goes first: the window must not call into it any more.
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

HWND BaseWindow::CreateWindowOfClass(const WNDCLASSEXW& windowClass, DWORD exStyle,
                                     const wchar_t* title, DWORD style, int x, int y, int width,
                                     int height, HWND parent, HMENU menu) {
  WNDCLASSEXW registered = windowClass;
  registered.cbSize = sizeof registered;
  registered.lpfnWndProc = WindowProc;
  if (!registered.hInstance) registered.hInstance = ProgramInstance();
  WNDCLASSEXW existing{sizeof existing};
  if (!::GetClassInfoExW(registered.hInstance, registered.lpszClassName, &existing))
    ::RegisterClassExW(&registered);
  return ::CreateWindowExW(exStyle, registered.lpszClassName, title, style, x, y, width, height,
                           parent, menu, registered.hInstance, this);
}

LRESULT BaseWindow::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK BaseWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  BaseWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    self = static_cast<BaseWindow*>(create->lpCreateParams);
    // MDI children get their parameter through the MDI structure.
    if (create->dwExStyle & WS_EX_MDICHILD)
      self = reinterpret_cast<BaseWindow*>(
          reinterpret_cast<MDICREATESTRUCTW*>(create->lpCreateParams)->lParam);
    if (self) {
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<BaseWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    const LRESULT result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      self->OnFinalMessage();
    }
    return result;
  } catch (...) {
    return 0;
  }
}

DialogWindow::~DialogWindow() {
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    ::DestroyWindow(hwnd_);
  }
}

HWND DialogWindow::CreateModeless(HINSTANCE instance, int templateId, HWND parent) {
  return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogWindow::RunModal(HINSTANCE instance, int templateId, HWND parent) {
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  DialogWindow* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogWindow*>(lParam);
    if (self) {
      self->hwnd_ = window;
      ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
  }
  if (!self) return FALSE;
  try {
    const INT_PTR result = self->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(window, DWLP_USER, 0);
      self->hwnd_ = nullptr;
    }
    return result;
  } catch (...) {
    return FALSE;
  }
}

SubclassedWindow::~SubclassedWindow() { Detach(); }

bool SubclassedWindow::Attach(HWND window) {
  Detach();
  if (!window || !::SetWindowSubclass(window, SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this)))
    return false;
  hwnd_ = window;
  return true;
}

void SubclassedWindow::Detach() {
  if (hwnd_) ::RemoveWindowSubclass(hwnd_, SubclassProc, 0);
  hwnd_ = nullptr;
}

LRESULT SubclassedWindow::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<SubclassedWindow*>(data);
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, SubclassProc, 0);
    if (self) self->hwnd_ = nullptr;
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

HINSTANCE ProgramInstance() { return ::GetModuleHandleW(nullptr); }

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace platform
