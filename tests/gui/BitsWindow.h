// A borderless window that shows given pixels at its client origin, so that
// known content stands on the screen at known places.
#pragma once

#include <windows.h>

#include <utility>

#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"
#include "platform/Window_win.h"
#include "tests/gui/ScreenReading.h"

namespace guitest {

class BitsWindow : public platform::BaseWindow {
 public:
  // Shows `bits` with the window's top-left corner at screen point (x, y).
  bool Create(platform::Bitmap32 bits, int x, int y) {
    bits_ = std::move(bits);
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestBitsWindow";
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    return CreateWindowOfClass(windowClass, 0, L"bits", WS_POPUP | WS_VISIBLE, x, y, bits_.width,
                               bits_.height, nullptr, nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        platform::PaintScope paint(hwnd());
        const BITMAPINFO info = TopDown32(bits_.width, bits_.height);
        ::SetDIBitsToDevice(paint.dc(), 0, 0, bits_.width, bits_.height, 0, 0, 0, bits_.height,
                            bits_.bits.data(), &info, DIB_RGB_COLORS);
        return 0;
      }
    }
    return DefaultMessage(message, wParam, lParam);
  }

 private:
  platform::Bitmap32 bits_;
};

}  // namespace guitest
