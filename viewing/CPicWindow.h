// A preview pane: a child window that shows one picture fitted into its
// client area over a dark background. Pictures are loaded on a worker thread
// of the pane's own, so the window that owns the pane stays responsive.
//
//   CPicWindow pane;
//   pane.Create(control, rect);                       // rect in the parent's client co-ordinates
//   pane.turned = true;                               // the placeholder upside down
//   pane.RequestPicture(kPlaceholderPicture, true);   // a resource of type "PNG"
//   ...
//   pane.turned = false;
//   pane.RequestPicture(path, false);                 // returns at once
//
// Requests that arrive while a picture loads are merged: only the path
// current when the worker looks again is loaded. Destroying the window (or
// the object) stops the worker and waits for it; Shutdown does the same
// earlier, for an owner that wants the worker gone before its own teardown.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"
#include "platform/ThumbBitmap_win.h"
#include "platform/Window_win.h"

namespace viewing {

// The mascot shown until a pair is selected (resource names match without regard to case).
inline constexpr wchar_t kPlaceholderPicture[] = L"QORV_4.png";

// What a pane holds and has done, read in one piece.
struct PreviewState {
  bool hasPicture = false;
  int width = 0;  // of the stored copy, already scaled for the pane
  int height = 0;
  bool hasAlpha = false;
  uint32_t requests = 0;    // raised by every request and every reload after a resize
  uint32_t handled = 0;     // the request count the worker took up last
  uint32_t loads = 0;       // loads finished
  std::wstring loadedPath;  // the path of the last finished load
};

class CPicWindow : public platform::BaseWindow {
 public:
  CPicWindow();
  ~CPicWindow() override;

  // Creates the pane as a child of `parent` covering `rect`; nullptr on failure.
  HWND Create(HWND parent, const RECT& rect);

  // Makes `path` the picture to show (a resource name when `fromResource`)
  // and wakes the worker, starting it on the first request. Never decodes.
  // Ignored before Create and after Shutdown. User-interface thread only.
  void RequestPicture(const std::wstring& path, bool fromResource);

  // Stops the worker and waits for it; a load in progress is abandoned and
  // no request is taken afterwards. Runs by itself on destruction.
  void Shutdown();

  // Set by the owner: pictures loaded from now on are turned by 180 degrees.
  std::atomic<bool> turned{false};

  PreviewState State() const;
  // Waits until the worker has finished loading for the latest request;
  // false when the limit passes first or the pane was shut down.
  bool WaitUntilIdle(std::chrono::milliseconds limit) const;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // One loaded picture, already scaled for the pane, complete before it
  // becomes current.
  struct Picture {
    platform::Bitmap32 pixels;
    bool hasAlpha = false;
    explicit operator bool() const { return pixels.width > 0; }
  };

  LRESULT OnCreate();
  LRESULT OnSize(int cx, int cy);
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnPaint();
  LRESULT OnTimer(UINT_PTR id);
  LRESULT OnScroll(int bar, WORD code, WORD thumb);
  LRESULT OnMouseWheel(int bar, short delta);
  LRESULT OnSettingChange();
  LRESULT OnDestroy();

  void Paint(HDC dc);
  void PaintPicture(HDC dc);
  void ScrollTo(LONG x, LONG y);

  void WorkerLoop(HWND window);
  void LoadPicture(HWND window, const std::wstring& path, bool fromResource);
  Picture LoadPlaceholder(const std::wstring& name);
  Picture LoadFile(const std::wstring& path, const RECT& client);
  Picture Fitted(const platform::DecodedImage& image, const RECT& client, bool hasAlpha) const;
  bool StopRequested() const;

  // Used by the worker only.
  platform::CThumbBitmap shellExtractor_;

  platform::UniqueBrush checkerboard_;
  const COLORREF background_ = RGB(16, 32, 64);

  // Shared with the worker, under lock_.
  mutable std::mutex lock_;
  std::condition_variable requested_;
  mutable std::condition_variable loaded_;
  std::wstring path_;
  bool fromResource_ = false;
  uint32_t requestCount_ = 0;
  uint32_t handledCount_ = 0;
  uint32_t finishedCount_ = 0;  // the request count the last finished load served
  uint32_t loads_ = 0;
  std::wstring loadedPath_;
  Picture current_;
  bool stop_ = false;

  std::thread worker_;

  // User-interface thread only.
  bool pictureRequested_ = false;
  SIZE client_{};
  SIZE scrollExtent_{1, 1};
  POINT scrollOrigin_{};
  UINT wheelLines_ = 3;
};

}  // namespace viewing
