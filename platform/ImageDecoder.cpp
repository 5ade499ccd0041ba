#include "platform/ImageDecoder.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/AreaReduction.h"

namespace platform {
namespace {

std::atomic<uint64_t> g_opened{0};

}  // namespace

uint64_t DecodedImage::OpenedSoFar() { return g_opened; }
void DecodedImage::CountOpened() { ++g_opened; }

void BitmapCollector::Begin(int width, int height) {
  bitmap_.width = width;
  bitmap_.height = height;
  bitmap_.bits.assign(static_cast<size_t>(width) * height * 4, 0);
  rows_ = 0;
}

void BitmapCollector::Rows(const PixelView& rows) {
  const size_t rowBytes = static_cast<size_t>(bitmap_.width) * 4;
  const int count = std::min(rows.height, bitmap_.height - rows_);
  if (rows.width != bitmap_.width || count <= 0) return;
  for (int y = 0; y < count; ++y)
    std::memcpy(bitmap_.bits.data() + (rows_ + y) * rowBytes, rows.data + y * rows.stride,
                rowBytes);
  rows_ += count;
}

std::optional<Bitmap32> BitmapCollector::Take() {
  if (bitmap_.width <= 0 || rows_ != bitmap_.height) return std::nullopt;
  rows_ = 0;
  return std::move(bitmap_);
}

void SendBitmap(const Bitmap32& bitmap, PixelSink& sink) {
  sink.Begin(bitmap.width, bitmap.height);
  sink.Rows(bitmap.View());
}

std::optional<Bitmap32> ScaledCopy(const DecodedImage& image, int width, int height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  AreaReducer reducer(width, height);
  if (!image.ReadScaled(width, height, reducer)) return std::nullopt;
  return reducer.Result();
}

void TurnHalfway(Bitmap32& bitmap) {
  // Turned by half a turn, the last pixel comes first: the pixels in reverse order.
  const size_t count = bitmap.bits.size() / 4;
  uint8_t* pixels = bitmap.bits.data();
  for (size_t i = 0, j = count - 1; count > 0 && i < j; ++i, --j)
    std::swap_ranges(pixels + 4 * i, pixels + 4 * i + 4, pixels + 4 * j);
}

int JpegScaleDenominator(int width, int height, int minWidth, int minHeight) {
  const int needWidth = std::min(width, minWidth);
  const int needHeight = std::min(height, minHeight);
  for (int denominator : {8, 4, 2}) {
    // The decoder rounds a reduced size up.
    if ((width + denominator - 1) / denominator >= needWidth &&
        (height + denominator - 1) / denominator >= needHeight)
      return denominator;
  }
  return 1;
}

}  // namespace platform
