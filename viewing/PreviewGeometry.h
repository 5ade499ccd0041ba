// Where a preview pane puts its picture. Portable, so the arithmetic is
// checked on both systems.
//
//   PaneRect target = FitRect({0, 0, cx, cy}, w, h);      // size of the stored copy
//   PaneRect drawn = PaintRect(cx, cy, target.Width(), target.Height());
//
// Ratios are computed as 32-bit floats and scaled sizes truncated, so the
// stored copy and the painted rectangle agree to the pixel with what the
// pane has always shown.
#pragma once

namespace viewing {

struct PaneRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const PaneRect&) const = default;
};

// The rectangle a w x h picture takes in the client rectangle: its own size,
// centred, when it is smaller in both directions; otherwise fitted to the
// full width or height with the aspect ratio kept.
PaneRect FitRect(const PaneRect& client, int w, int h);

// The rectangle painting draws a stored w x h picture into, in a cx x cy
// client area: fitted pictures are drawn inside a 5-pixel margin, smaller
// ones centred at their own size.
PaneRect PaintRect(int cx, int cy, int w, int h);

}  // namespace viewing
