// Windows and dialogs as C++ classes: one window class per C++ class, one
// message dispatch each.
//
//   class CPicWindow : public platform::BaseWindow {
//     LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
//       switch (message) {
//         case WM_PAINT: return OnPaint();
//       }
//       return DefaultMessage(message, wParam, lParam);
//     }
//   };
//
// The procedures catch everything, so no exception unwinds through the system.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

class BaseWindow {
 public:
  BaseWindow() = default;
  virtual ~BaseWindow();
  BaseWindow(const BaseWindow&) = delete;
  BaseWindow& operator=(const BaseWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class (once per process and name) and creates the window.
  HWND CreateWindowOfClass(const WNDCLASSEXW& windowClass, DWORD exStyle, const wchar_t* title,
                           DWORD style, int x, int y, int width, int height, HWND parent,
                           HMENU menu);

  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // The default processing; frames and MDI children override it.
  virtual LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // Called after WM_NCDESTROY, when the window handle is gone.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// A modeless dialog made from a dialog template of the program's resources.
class DialogWindow {
 public:
  DialogWindow() = default;
  virtual ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }

  HWND CreateModeless(HINSTANCE instance, int templateId, HWND parent);
  INT_PTR RunModal(HINSTANCE instance, int templateId, HWND parent);

 protected:
  // Returns TRUE for a message the dialog handled (with SetWindowLongPtr(DWLP_MSGRESULT) where needed).
  virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// A control of a system class (a combo box, an edit) whose messages a C++
// object sees first: HandleMessage is its dispatch, DefaultMessage the
// control's own processing. The subclass goes with the window or Detach.
class SubclassedWindow {
 public:
  SubclassedWindow() = default;
  virtual ~SubclassedWindow();
  SubclassedWindow(const SubclassedWindow&) = delete;
  SubclassedWindow& operator=(const SubclassedWindow&) = delete;

  bool Attach(HWND window);
  void Detach();
  HWND hwnd() const { return hwnd_; }

 protected:
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self);
  HWND hwnd_ = nullptr;
};

// The program's own module (resources are looked up here).
HINSTANCE ProgramInstance();

// The whole text of a window or control.
std::wstring WindowText(HWND window);

}  // namespace platform
