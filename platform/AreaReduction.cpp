#include "platform/AreaReduction.h"

#include <algorithm>

namespace platform {
namespace {

// The overlap of [a0, a1) and [b0, b1).
int64_t Overlap(int64_t a0, int64_t a1, int64_t b0, int64_t b1) {
  return std::max<int64_t>(0, std::min(a1, b1) - std::max(a0, b0));
}

// The exact average, rounded to the nearest.
uint8_t Average(uint64_t sum, uint64_t area) {
  return static_cast<uint8_t>((sum + area / 2) / area);
}

}  // namespace

// Target t covers [t * S, (t + 1) * S) and source i covers [i * T, (i + 1) * T).
AreaReducer::Taps AreaReducer::MakeTaps(int sourceSize, int targetSize) {
  Taps taps;
  const int64_t s = sourceSize, t = targetSize;
  for (int64_t target = 0; target < t; ++target) {
    const int64_t lo = target * s, hi = (target + 1) * s;
    const int first = static_cast<int>(lo / t), last = static_cast<int>((hi - 1) / t);
    taps.first.push_back(first);
    taps.count.push_back(last - first + 1);
    taps.start.push_back(static_cast<int>(taps.weight.size()));
    for (int64_t i = first; i <= last; ++i)
      taps.weight.push_back(static_cast<uint32_t>(Overlap(lo, hi, i * t, (i + 1) * t)));
  }
  return taps;
}

AreaReducer::AreaReducer(int targetWidth, int targetHeight)
    : targetWidth_(targetWidth), targetHeight_(targetHeight) {}

void AreaReducer::Begin(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  rowsDone_ = 0;
  sums_.assign(static_cast<size_t>(targetWidth_) * targetHeight_ * 4, 0);
  rowSums_.assign(static_cast<size_t>(targetWidth_) * 4, 0);
  if (width_ > 0) columns_ = MakeTaps(width_, targetWidth_);
}

void AreaReducer::Rows(const PixelView& rows) {
  if (rows.width != width_ || width_ == 0) return;
  for (int y = 0; y < rows.height && rowsDone_ < height_; ++y, ++rowsDone_)
    AddRow(rows.data + y * rows.stride, rowsDone_);
}

void AreaReducer::AddRow(const uint8_t* row, int sourceRow) {
  for (int target = 0; target < targetWidth_; ++target) {
    const uint8_t* pixel = row + static_cast<size_t>(columns_.first[target]) * 4;
    const uint32_t* weight = columns_.weight.data() + columns_.start[target];
    uint64_t b = 0, g = 0, r = 0, a = 0;
    for (int k = 0; k < columns_.count[target]; ++k, pixel += 4) {
      b += uint64_t{weight[k]} * pixel[0];
      g += uint64_t{weight[k]} * pixel[1];
      r += uint64_t{weight[k]} * pixel[2];
      a += uint64_t{weight[k]} * pixel[3];
    }
    uint64_t* sum = &rowSums_[target * 4];
    sum[0] = b, sum[1] = g, sum[2] = r, sum[3] = a;
  }
  // Source row r covers [r * targetHeight, (r + 1) * targetHeight); target
  // row t covers [t * height, (t + 1) * height).
  const int64_t lo = int64_t{sourceRow} * targetHeight_, hi = lo + targetHeight_;
  for (int64_t t = lo / height_; t <= (hi - 1) / height_; ++t) {
    const uint64_t weight = static_cast<uint64_t>(Overlap(lo, hi, t * height_, (t + 1) * height_));
    uint64_t* sum = &sums_[static_cast<size_t>(t) * targetWidth_ * 4];
    for (int i = 0; i < targetWidth_ * 4; ++i) sum[i] += weight * rowSums_[i];
  }
}

std::optional<Bitmap32> AreaReducer::Result() const {
  if (width_ == 0 || height_ == 0 || rowsDone_ != height_) return std::nullopt;
  Bitmap32 out{targetWidth_, targetHeight_, std::vector<uint8_t>(sums_.size())};
  const uint64_t area = uint64_t{static_cast<uint32_t>(width_)} * static_cast<uint32_t>(height_);
  for (size_t i = 0; i < sums_.size(); ++i) out.bits[i] = Average(sums_[i], area);
  return out;
}

Bitmap32 ReduceByAreaReference(const PixelView& picture, int targetWidth, int targetHeight) {
  const int64_t w = picture.width, h = picture.height, tw = targetWidth, th = targetHeight;
  Bitmap32 out{targetWidth, targetHeight, std::vector<uint8_t>(tw * th * 4)};
  for (int64_t ty = 0; ty < th; ++ty) {
    for (int64_t tx = 0; tx < tw; ++tx) {
      uint64_t sum[4] = {};
      // The source rows and columns that the target pixel's area reaches.
      for (int64_t y = ty * h / th; y <= ((ty + 1) * h - 1) / th; ++y) {
        const int64_t dy = Overlap(ty * h, (ty + 1) * h, y * th, (y + 1) * th);
        for (int64_t x = tx * w / tw; x <= ((tx + 1) * w - 1) / tw; ++x) {
          const int64_t dx = Overlap(tx * w, (tx + 1) * w, x * tw, (x + 1) * tw);
          const uint8_t* pixel = picture.data + y * picture.stride + x * 4;
          for (int c = 0; c < 4; ++c) sum[c] += static_cast<uint64_t>(dx * dy) * pixel[c];
        }
      }
      for (int c = 0; c < 4; ++c)
        out.bits[(ty * tw + tx) * 4 + c] = Average(sum[c], static_cast<uint64_t>(w * h));
    }
  }
  return out;
}

Bitmap32 ReduceByArea(const PixelView& picture, int targetWidth, int targetHeight) {
  AreaReducer reducer(targetWidth, targetHeight);
  reducer.Begin(picture.width, picture.height);
  reducer.Rows(picture);
  return reducer.Result().value_or(Bitmap32{});
}

}  // namespace platform
