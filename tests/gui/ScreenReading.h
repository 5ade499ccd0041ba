// Reading back what the screen and the clipboard hold, as 32-bit pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"

namespace guitest {

// The header of 32-bit top-down pixels without padding (platform::Bitmap32).
inline BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

inline COLORREF PixelAt(const platform::Bitmap32& bits, int x, int y) {
  const uint8_t* p = &bits.bits[(static_cast<size_t>(y) * bits.width + x) * 4];
  return RGB(p[2], p[1], p[0]);
}

// The colour of a screen pixel as it shows now.
inline COLORREF ScreenPixel(int x, int y) {
  platform::WindowDc screen(nullptr);
  return ::GetPixel(screen.get(), x, y);
}

// The pixels of a bitmap that no device context holds; nothing when they cannot be read.
inline std::optional<platform::Bitmap32> BitmapBits(HBITMAP bitmap) {
  BITMAP header{};
  if (!::GetObjectW(bitmap, sizeof header, &header)) return std::nullopt;
  platform::Bitmap32 bits;
  bits.width = header.bmWidth;
  bits.height = header.bmHeight;
  bits.bits.resize(static_cast<size_t>(bits.width) * bits.height * 4);
  BITMAPINFO info = TopDown32(bits.width, bits.height);
  platform::WindowDc screen(nullptr);
  if (::GetDIBits(screen.get(), bitmap, 0, bits.height, bits.bits.data(), &info, DIB_RGB_COLORS) !=
      bits.height)
    return std::nullopt;
  return bits;
}

// The screen's pixels in a rectangle.
inline std::optional<platform::Bitmap32> ScreenBits(const RECT& area) {
  platform::WindowDc screen(nullptr);
  platform::UniqueDc dc(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap bitmap(
      ::CreateCompatibleBitmap(screen.get(), area.right - area.left, area.bottom - area.top));
  if (!dc || !bitmap) return std::nullopt;
  {
    platform::SelectObjectGuard select(dc.get(), bitmap.get());
    ::BitBlt(dc.get(), 0, 0, area.right - area.left, area.bottom - area.top, screen.get(),
             area.left, area.top, SRCCOPY);
  }
  return BitmapBits(bitmap.get());
}

// Whether a pixel of that colour stands in a rectangle of the screen.
inline bool ScreenShows(const RECT& area, COLORREF colour) {
  const auto bits = ScreenBits(area);
  for (int y = 0; bits && y < bits->height; ++y)
    for (int x = 0; x < bits->width; ++x)
      if (PixelAt(*bits, x, y) == colour) return true;
  return false;
}

// The text on the clipboard (CF_TEXT), if any.
inline std::optional<std::string> ClipboardText() {
  if (!::OpenClipboard(nullptr)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const char* chars = static_cast<const char*>(::GlobalLock(data))) {
      text = chars;
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

// The pixels of the clipboard's bitmap (CF_BITMAP), if any.
inline std::optional<platform::Bitmap32> ClipboardBitmap() {
  if (!::OpenClipboard(nullptr)) return std::nullopt;
  std::optional<platform::Bitmap32> bits;
  if (HBITMAP bitmap = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)))
    bits = BitmapBits(bitmap);
  ::CloseClipboard();
  return bits;
}

}  // namespace guitest
