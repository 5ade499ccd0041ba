// The screen loupe: a top-most pop-up that follows the mouse cursor and shows
// the screen around it enlarged (factor 1 to 16, below 1 it shrinks). Three
// display modes: 0 a snapshot of the screen taken when it is shown, 1 a live
// view, 2 a live view that lets mouse clicks through. It can cover the whole
// screen and copies its view (B) or a pixel's colour (P, C) to the clipboard.
//
//   viewing::Magnifier();                 // at program start: the one loupe
//   viewing::ShowMagnifier(mainWindow);   // the frame's Magnifier command (32815, Alt+L)
//
// The window is made by the first command and afterwards only shown and
// hidden; settings are kept in section "LUPE" (LupeSettings.h). The system
// magnifier control, desktop composition and layered windows are looked up
// at run time; where they are missing (older systems, wine) the loupe copies
// the screen itself. Everything runs on the user-interface thread.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/MyProfStr.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"
#include "viewing/LupeRules.h"
#include "viewing/LupeSettings.h"

namespace viewing {

// Sent to the owner by F1: the frame's help command.
inline constexpr UINT kLupeHelpCommand = 0xE146;
// Posted to the loupe itself: wParam = display mode; sets it, then shows.
inline constexpr UINT kLupeSetModeMessage = 3380;
// Left Windows key + Ctrl ends the message loop with this code.
inline constexpr int kLupeExitCode = 45054;

inline constexpr UINT_PTR kLupeUpdateTimer = 1000;       // 10 ms while shown
inline constexpr UINT_PTR kLupeShortcutTimer = 1111;     // 20 ms while the window exists
inline constexpr UINT_PTR kLupeFactorTextTimer = 11234;  // clears the factor text after 3 s
inline constexpr UINT_PTR kLupeReshowTimer = 11235;  // shows again 30 ms after a full-screen switch

class CWinLupe : public platform::BaseWindow {
 public:
  // The optional system functions; a null entry is missing.
  struct EntryPoints {
    BOOL(WINAPI* magInitialize)() = nullptr;
    BOOL(WINAPI* magUninitialize)() = nullptr;
    BOOL(WINAPI* magSetWindowTransform)(HWND, void* matrix3x3) = nullptr;
    BOOL(WINAPI* magSetWindowSource)(HWND, RECT) = nullptr;
    BOOL(WINAPI* setLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD) = nullptr;
    HRESULT(WINAPI* dwmIsCompositionEnabled)(BOOL*) = nullptr;
    // Keep the libraries loaded while the pointers are used.
    platform::UniqueModule magnification;
    platform::UniqueModule dwm;

    // Looks the functions up in the system's libraries.
    static EntryPoints Lookup();
  };

  // The keyboard and the end of the program as the loupe sees them; tests
  // replace them.
  struct Hooks {
    std::function<bool(int key)> keyDown;       // the thread's own keyboard state
    std::function<bool(int key)> asyncKeyDown;  // the keyboard now, whoever has the focus
    std::function<void(int exitCode)> endMessageLoop;
  };

  explicit CWinLupe(app::CMyProfStr& store = app::Settings());
  CWinLupe(app::CMyProfStr& store, EntryPoints entryPoints);
  ~CWinLupe() override;

  // The Magnifier command: reads the settings, makes the window the first
  // time (later only takes over factor and size), then shows it.
  void RunCommand(HWND owner);
  void Show();
  void Hide();

  void SetHooks(Hooks hooks);

  // What the loupe holds now.
  bool IsShown() const { return shown_; }
  float Factor() const { return factor_; }
  LupeSize CurrentSize() const { return currentSize_; }
  LupeSize NormalSize() const { return normalSize_; }
  int DisplayMode() const { return mode_; }
  bool FullScreen() const { return fullScreen_; }
  bool WindowBorder() const { return border_; }
  bool ControlInUse() const { return controlInUse_; }
  bool CompositionOn() const { return compositionOn_; }
  const std::wstring& FactorText() const { return factorText_; }
  const LupeRect& SourceRect() const { return source_; }
  const LupeRect& WindowRect() const { return window_; }
  POINT ViewCentre() const { return centre_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The screen copy that is magnified when the control does not show the view.
  struct Capture {
    platform::UniqueBitmap bitmap;
    platform::UniqueDc dc;
    int savedState = 0;
    LupeRect rect;  // the screen rectangle at the capture's (0, 0), without the extra 8 pixels
    LupeSize size;  // of the bitmap

    ~Capture() { Release(); }
    void Release();
  };

  bool Create();
  void SetDisplayMode(int mode);
  void SetSize(LupeSize size);
  void CaptureScreen(const LupeRect* source);
  void Update(bool forced);
  LupeSettings PresentSettings() const;
  void WriteSettings();
  LupeSize FrameWidths() const;
  DWORD WindowStyle() const;
  void ReplaceFrameStyle();

  void OnPaint();
  void OnKeyDown(WPARAM key);
  void OnTimer(UINT_PTR id);
  void OnWheel(int delta);
  void OnScroll(int code);
  bool OnSetCursor();
  void OnShortcutWatch();

  void ApplyFactor(float factor, bool fromKey);
  void TransformControl();
  void SwitchFullScreen();
  void SwitchBorder();
  void ChangeMode(int mode);
  void PaintView(HDC dc) const;
  // In the live modes with the system's control: the source as it shows it.
  void CaptureShownView();
  bool CopyPixelColour();
  bool CopyView();

  app::CMyProfStr& store_;
  EntryPoints system_;
  Hooks hooks_;

  POINT centre_{};
  RECT client_{};
  HWND control_ = nullptr;
  bool captureIsSource_ = false;
  LupeRect source_;
  LupeRect window_;
  int mode_ = 0;
  int hintCounter_ = 0;
  bool controlInUse_ = false;
  bool compositionOn_ = false;
  bool fullScreen_ = false;
  bool border_ = true;
  HWND owner_ = nullptr;
  Capture capture_;
  LupeScreen screen_;
  LupeSize currentSize_{600, 150};
  LupeSize normalSize_{600, 150};
  float factor_ = kLupeDefaultFactor;
  bool shown_ = false;

  std::wstring factorText_;
  float lastFactor_ = 0;
  LupeSize lastSize_;
  POINT lastCursor_{-1, -1};
  int escapeLatch_ = 1;
  bool crossCursor_ = false;
  bool magnificationStarted_ = false;
};

// The program's one loupe, made on first use (the frame does so at start).
CWinLupe& Magnifier();
// The frame's Magnifier command.
void ShowMagnifier(HWND owner);

}  // namespace viewing
