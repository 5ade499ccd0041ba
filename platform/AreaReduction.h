// The one reduction of a decoded picture to a smaller size (the signature's
// 64 x 64, a preview pane's copy), the same on every system: each target
// pixel is the exact average of the source area it covers (a box filter with
// fractional edge weights), for blue, green, red and alpha alike; the aspect
// is not kept. A turned copy of a picture therefore reduces to the turned
// reduction, which sampling one source pixel in forty does not give.
//
//   platform::AreaReducer reducer(64, 64);
//   image.ReadScaled(128, 128, reducer);      // strips of rows, any size
//   std::optional<platform::Bitmap32> small = reducer.Result();
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/ImageDecoder.h"

namespace platform {

class AreaReducer final : public PixelSink {
 public:
  AreaReducer(int targetWidth, int targetHeight);

  void Begin(int width, int height) override;
  void Rows(const PixelView& rows) override;
  // The reduced picture once every source row has come; nothing before.
  std::optional<Bitmap32> Result() const;

 private:
  // Which source pixels make up one target column (or row), and how much of
  // each: in units of 1 / target size of a source pixel, so that all weights
  // are whole numbers and every target pixel's sum is exact.
  struct Taps {
    std::vector<int> first;        // per target: first source index
    std::vector<int> count;        // per target: how many source indices
    std::vector<uint32_t> weight;  // the weights, target after target
    std::vector<int> start;        // per target: where its weights begin
  };
  static Taps MakeTaps(int sourceSize, int targetSize);
  void AddRow(const uint8_t* row, int sourceRow);

  int targetWidth_, targetHeight_;
  int width_ = 0, height_ = 0, rowsDone_ = 0;
  Taps columns_;
  // For each source row: the target rows it touches and by how much.
  std::vector<int> rowFirstTarget_;
  std::vector<uint64_t> sums_;     // target pixels x 4 channels
  std::vector<uint64_t> rowSums_;  // one source row reduced across: targetWidth x 4
};

// The plain version: every target pixel summed over the source rectangle it
// covers, overlap by overlap. The tests hold AreaReducer to it.
Bitmap32 ReduceByAreaReference(const PixelView& picture, int targetWidth, int targetHeight);

// AreaReducer over a whole picture at once.
Bitmap32 ReduceByArea(const PixelView& picture, int targetWidth, int targetHeight);

}  // namespace platform
