// GDI+ for the Windows side: start-up once per process and owners for its objects.
#pragma once

// In this order: GDI+ needs the COM types, which need windows.h.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on

#include <memory>
#include <optional>

namespace platform {

// Starts GDI+ once for the process; it lives until the process ends.
void EnsureGdiplusStarted();

struct GpImageDeleter {
  void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
struct GpGraphicsDeleter {
  void operator()(Gdiplus::GpGraphics* graphics) const {
    Gdiplus::DllExports::GdipDeleteGraphics(graphics);
  }
};
using GpImagePtr = std::unique_ptr<Gdiplus::GpImage, GpImageDeleter>;
using GpGraphicsPtr = std::unique_ptr<Gdiplus::GpGraphics, GpGraphicsDeleter>;

// GDI+ pixel formats used by the program.
inline constexpr Gdiplus::PixelFormat kFormat32bppArgb = 0x0026200A;
// Flag bit of a pixel format: the format carries alpha.
inline constexpr uint32_t kPixelFormatAlpha = 0x00040000;

}  // namespace platform

namespace platform {
struct Bitmap32;
// The bytes of a GDI bitmap as GetBitmapBits gives them, with the bitmap's size.
std::optional<Bitmap32> ReadBitmapBits(HBITMAP bitmap);
}  // namespace platform
