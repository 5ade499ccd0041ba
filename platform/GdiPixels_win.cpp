#include "platform/GdiPixels_win.h"

#include <cstring>

#include "platform/Handles_win.h"

namespace platform {
namespace {

// 32 bits a pixel, rows from the top: the layout of Bitmap32.
BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

std::optional<Bitmap32> OpaquePixels(HBITMAP bitmap) {
  BITMAP header{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof header, &header) || header.bmWidth <= 0 ||
      header.bmHeight == 0)
    return std::nullopt;
  Bitmap32 out;
  out.width = header.bmWidth;
  out.height = header.bmHeight < 0 ? -header.bmHeight : header.bmHeight;
  out.bits.resize(static_cast<size_t>(out.width) * out.height * 4);
  BITMAPINFO info = TopDownInfo(out.width, out.height);
  UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dc || ::GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(out.height), out.bits.data(), &info,
                         DIB_RGB_COLORS) != out.height)
    return std::nullopt;
  for (size_t i = 3; i < out.bits.size(); i += 4) out.bits[i] = 0xFF;
  return out;
}

void DrawPixels(HDC dc, const Bitmap32& picture, const RECT& target) {
  const PixelView view = picture.View();
  if (!view.data) return;
  const BITMAPINFO info = TopDownInfo(picture.width, picture.height);
  void* bits = nullptr;
  UniqueBitmap section(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueDc source(::CreateCompatibleDC(dc));
  if (!section || !bits || !source) return;
  std::memcpy(bits, view.data, picture.bits.size());
  SelectObjectGuard select(source.get(), section.get());
  // The pixels are premultiplied; an opaque picture is simply copied.
  const BLENDFUNCTION premultiplied{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::AlphaBlend(dc, target.left, target.top, target.right - target.left, target.bottom - target.top,
               source.get(), 0, 0, picture.width, picture.height, premultiplied);
}

}  // namespace platform
