#include "viewing/PreviewGeometry.h"

#include <algorithm>

namespace viewing {
namespace {

constexpr int kMargin = 5;

PaneRect Centred(int cx, int cy, int w, int h) {
  const int x0 = std::max(0, (cx - w) / 2);
  const int y0 = std::max(0, (cy - h) / 2);
  return {x0, y0, x0 + w, y0 + h};
}

}  // namespace

PaneRect FitRect(const PaneRect& client, int w, int h) {
  const int cx = client.Width();
  const int cy = client.Height();
  if (w < cx && h < cy) return Centred(cx, cy, w, h);
  const float rw = static_cast<float>(w) / static_cast<float>(cx);
  const float rh = static_cast<float>(h) / static_cast<float>(cy);
  if (rh > rw) {
    const int nw = static_cast<int>(static_cast<float>(w) / rh);
    const int x0 = (cx - nw) / 2;
    return {x0, client.top, x0 + nw, client.bottom};
  }
  if (rw > rh) {
    const int nh = static_cast<int>(static_cast<float>(h) / rw);
    const int y0 = (cy - nh) / 2;
    return {client.left, y0, client.right, y0 + nh};
  }
  return client;
}

PaneRect PaintRect(int cx, int cy, int w, int h) {
  if (w < cx && h < cy) return Centred(cx, cy, w, h);
  // The scaled size is worked out for the full client area but drawn inside
  // the margins, so fitted pictures come out 10 pixels short on one side.
  PaneRect rect{kMargin, kMargin, cx - kMargin, cy - kMargin};
  const float rw = static_cast<float>(w) / static_cast<float>(cx);
  const float rh = static_cast<float>(h) / static_cast<float>(cy);
  if (rh > rw) {
    const int nw = static_cast<int>(static_cast<float>(w) / rh);
    rect.left = (cx - nw) / 2;
    rect.right = rect.left + nw;
  } else if (rw > rh) {
    const int nh = static_cast<int>(static_cast<float>(h) / rw);
    rect.top = (cy - nh) / 2;
    rect.bottom = rect.top + nh;
  }
  return rect;
}

}  // namespace viewing
