// Pictures between the picture service's pixels and GDI: the shell's
// bitmaps read as pixels, and pixels drawn into a device context.
#pragma once

#include <windows.h>

#include <optional>

#include "platform/ImageDecoder.h"

namespace platform {

// The pixels of any GDI bitmap, counted opaque: the shell's thumbnails carry
// no alpha of their own. Nothing for a bitmap that cannot be read.
std::optional<Bitmap32> OpaquePixels(HBITMAP bitmap);

// Draws the picture stretched into the target rectangle; where it is
// transparent, what is already there shows through.
void DrawPixels(HDC dc, const Bitmap32& picture, const RECT& target);

}  // namespace platform
