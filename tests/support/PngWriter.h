// Pictures written by the tests themselves, so the same tests run on Linux
// and under wine: PNG files with uncompressed deflate blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace testsupport {

struct Rgba {
  uint8_t r, g, b, a;
};

using PixelFn = std::function<Rgba(int x, int y)>;

// The bytes of a PNG file; with alpha false the alpha of each pixel is ignored.
std::string PngBytes(int width, int height, const PixelFn& pixel, bool alpha);

bool WritePng(const std::wstring& path, int width, int height, const PixelFn& pixel,
              bool alpha = false);

// Some picture with structure in it: gradients and a disc, seeded.
Rgba Pattern(int x, int y, int width, int height, int seed);

}  // namespace testsupport
