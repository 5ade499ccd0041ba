#include <gtest/gtest.h>

#include "viewing/PreviewGeometry.h"

namespace {

using viewing::FitRect;
using viewing::PaintRect;
using viewing::PaneRect;

struct GeometryCase {
  const char* name;
  int w, h;          // the picture as decoded
  PaneRect stored;   // FitRect in a 400 x 300 pane: the stored copy's place and size
  PaneRect painted;  // PaintRect of the stored copy
};

// What a full decode in a 400 x 300 pane stores, and where painting draws it.
TEST(PreviewGeometry, FitsAndPaintsInA400By300Pane) {
  const GeometryCase cases[] = {
      {"smaller both ways: own size, centred", 100, 50, {150, 125, 250, 175}, {150, 125, 250, 175}},
      {"one pixel narrower: still centred", 399, 100, {0, 100, 399, 200}, {0, 100, 399, 200}},
      // As wide as the pane counts as not smaller: fitted, so drawn inside the margins.
      {"exactly as wide: fitted", 400, 100, {0, 100, 400, 200}, {5, 100, 395, 200}},
      {"exactly as high: fitted", 100, 300, {150, 0, 250, 300}, {150, 5, 250, 295}},
      {"wide panorama", 4000, 1000, {0, 100, 400, 200}, {5, 100, 395, 200}},
      {"tall strip", 1000, 4000, {162, 0, 237, 300}, {162, 5, 237, 295}},
      {"same aspect as the pane", 800, 600, {0, 0, 400, 300}, {5, 5, 395, 295}},
  };
  const PaneRect client{0, 0, 400, 300};
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(c.name);
    const PaneRect stored = FitRect(client, c.w, c.h);
    EXPECT_EQ(stored, c.stored);
    EXPECT_EQ(PaintRect(400, 300, stored.Width(), stored.Height()), c.painted);
  }
}

// A shell thumbnail comes at twice the pane's size; with the same aspect it
// lands where the decoded copy does.
TEST(PreviewGeometry, TwiceSizedThumbnailPaintsLikeTheDecodedCopy) {
  EXPECT_EQ(PaintRect(400, 300, 800, 200), (PaneRect{5, 100, 395, 200}));
  EXPECT_EQ(PaintRect(400, 300, 150, 600), PaintRect(400, 300, 75, 300));
}

}  // namespace
