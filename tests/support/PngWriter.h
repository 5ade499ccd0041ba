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

// Makes the header of PngBytes' output declare another size (and interlacing),
// with a correct check sum, leaving the picture data as it is: a file that
// claims far more pixels than it holds.
void DeclarePngSize(std::string& png, uint32_t width, uint32_t height, bool interlaced = false);

// Some picture with structure in it: gradients and a disc, seeded.
Rgba Pattern(int x, int y, int width, int height, int seed);

}  // namespace testsupport
