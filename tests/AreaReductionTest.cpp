#include <gtest/gtest.h>

#include <random>

#include "platform/AreaReduction.h"

namespace {

using platform::Bitmap32;

// Random premultiplied pixels: no colour above its alpha.
Bitmap32 RandomPicture(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Bitmap32 picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
  for (size_t i = 0; i < picture.bits.size(); i += 4) {
    const uint8_t alpha = random() % 4 == 0 ? static_cast<uint8_t>(random() % 256) : 255;
    for (int c = 0; c < 3; ++c) picture.bits[i + c] = static_cast<uint8_t>(random() % (alpha + 1));
    picture.bits[i + 3] = alpha;
  }
  return picture;
}

// The picture turned a quarter turn clockwise, or mirrored left to right.
Bitmap32 Turned(const Bitmap32& in) {
  Bitmap32 out{in.height, in.width, std::vector<uint8_t>(in.bits.size())};
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x)
      for (int c = 0; c < 4; ++c)
        out.bits[((x * out.width) + (in.height - 1 - y)) * 4 + c] =
            in.bits[(y * in.width + x) * 4 + c];
  return out;
}
Bitmap32 Mirrored(const Bitmap32& in) {
  Bitmap32 out = in;
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x)
      for (int c = 0; c < 4; ++c)
        out.bits[(y * in.width + in.width - 1 - x) * 4 + c] = in.bits[(y * in.width + x) * 4 + c];
  return out;
}

// Odd sizes on both sides of 64, stretched ones, and long thin ones.
const std::pair<int, int> kSizes[] = {{1, 1},    {7, 5},     {63, 65},  {64, 64},
                                      {65, 63},  {127, 129}, {128, 96}, {301, 199},
                                      {1000, 3}, {3, 1000},  {641, 17}, {2001, 131}};

TEST(AreaReduction, EqualsTheExactAverageOnRandomPictures) {
  unsigned seed = 1;
  for (auto [width, height] : kSizes) {
    const Bitmap32 picture = RandomPicture(width, height, seed++);
    const Bitmap32 expected = platform::ReduceByAreaReference(picture.View(), 64, 64);
    // Strips of every height, as the decoders hand them over.
    for (int strip : {1, 7, 64, height}) {
      platform::AreaReducer reducer(64, 64);
      reducer.Begin(width, height);
      for (int top = 0; top < height; top += strip) {
        platform::PixelView rows = picture.View();
        rows.data += top * rows.stride;
        rows.height = std::min(strip, height - top);
        reducer.Rows(rows);
      }
      const auto reduced = reducer.Result();
      ASSERT_TRUE(reduced) << width << "x" << height;
      EXPECT_EQ(reduced->bits, expected.bits) << width << "x" << height << " strips of " << strip;
    }
  }
}

TEST(AreaReduction, AveragesWholeAreas) {
  // 64 x 64 is kept as it is; a 2 x 2 checkerboard of 0 and 255 averages 127.5, rounded up.
  const Bitmap32 same = RandomPicture(64, 64, 99);
  EXPECT_EQ(platform::ReduceByArea(same.View(), 64, 64).bits, same.bits);
  Bitmap32 checker{128, 128, std::vector<uint8_t>(128 * 128 * 4, 255)};
  for (int y = 0; y < 128; ++y)
    for (int x = 0; x < 128; ++x)
      if ((x + y) % 2)
        for (int c = 0; c < 3; ++c) checker.bits[(y * 128 + x) * 4 + c] = 0;
  const Bitmap32 grey = platform::ReduceByArea(checker.View(), 64, 64);
  for (size_t i = 0; i < grey.bits.size(); ++i) ASSERT_EQ(grey.bits[i], i % 4 == 3 ? 255 : 128);
  // A third of a source pixel counts a third: 3 pixels (0, 90, 255) into 1 x 1 is 115.
  Bitmap32 three{3, 1, {0, 0, 0, 255, 90, 90, 90, 255, 255, 255, 255, 255}};
  EXPECT_EQ(platform::ReduceByArea(three.View(), 1, 1).bits[0], 115);
}

// What sampling cannot give: a turned or mirrored picture reduces to the
// turned or mirrored reduction, exactly.
TEST(AreaReduction, TurnedAndMirroredPicturesReduceAlike) {
  const Bitmap32 picture = RandomPicture(2001, 1333, 7);
  const Bitmap32 reduced = platform::ReduceByArea(picture.View(), 64, 64);
  EXPECT_EQ(platform::ReduceByArea(Turned(picture).View(), 64, 64).bits, Turned(reduced).bits);
  EXPECT_EQ(platform::ReduceByArea(Mirrored(picture).View(), 64, 64).bits, Mirrored(reduced).bits);
}

TEST(AreaReduction, IncompleteOrMismatchedPicturesGiveNothing) {
  const Bitmap32 picture = RandomPicture(100, 80, 3);
  platform::AreaReducer reducer(64, 64);
  EXPECT_FALSE(reducer.Result());
  reducer.Begin(100, 80);
  platform::PixelView half = picture.View();
  half.height = 40;
  reducer.Rows(half);
  EXPECT_FALSE(reducer.Result());
  platform::PixelView narrow = half;
  narrow.width = 99;  // not the picture's width
  reducer.Rows(narrow);
  EXPECT_FALSE(reducer.Result());
  half.data += 40 * half.stride;
  reducer.Rows(half);
  EXPECT_TRUE(reducer.Result());
  // A bitmap read back short has no pixels to give.
  Bitmap32 shortBits = picture;
  shortBits.bits.resize(100);
  EXPECT_EQ(platform::ReduceByArea(shortBits.View(), 64, 64).width, 0);
}

}  // namespace
