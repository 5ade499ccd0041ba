#include "comparewindow/CompareLayout.h"

#include <algorithm>

namespace comparewindow {
namespace {

constexpr int kRowGap = 3;
constexpr int kFieldToButton = 1;
constexpr int kButtonToButton = 2;
constexpr int kProgressHeight = 10;
constexpr int kColumnInset = 6;
// The previews take this share of the height left over; the list the rest.
constexpr int kPreviewSharePercent = 50;

Box Row(int left, int right, int top, int height) {
  return {left, top, std::max(left, right), top + std::max(0, height)};
}

// A field with its two buttons from left to right, the buttons at the right end.
void FolderGroup(int left, int right, int top, int height, Box& field, Box& choose, Box& add) {
  add = Row(right - kFolderButtonWidth, right, top, height);
  choose =
      Row(add.left - kButtonToButton - kFolderButtonWidth, add.left - kButtonToButton, top, height);
  field = Row(left, choose.left - kFieldToButton, top, height);
}

}  // namespace

CompareLayout LayOutCompareWindow(const LayoutInput& in) {
  CompareLayout out;
  const int left = kMargin;
  const int right = std::max(left, in.width - kMargin);
  const int centre = in.width / 2;
  const int lineHeight = in.textHeight + 2;
  int y = kMargin;

  out.status = Row(left, right, y, lineHeight);
  y = out.status.bottom + kRowGap;
  out.progress = Row(left, right, y, kProgressHeight);
  y = out.progress.bottom + kRowGap + 1;

  if (in.twoFolders) {
    FolderGroup(left, centre - kFolderGapFromCentre, y, in.fieldHeight, out.leftField,
                out.leftChoose, out.leftAdd);
    FolderGroup(centre + kFolderGapFromCentre, right, y, in.fieldHeight, out.rightField,
                out.rightChoose, out.rightAdd);
  } else {
    FolderGroup(left, right, y, in.fieldHeight, out.rightField, out.rightChoose, out.rightAdd);
    out.leftField.visible = out.leftChoose.visible = out.leftAdd.visible = false;
  }
  y += in.fieldHeight + kRowGap + 1;

  // What stays fixed below the previews: information lines, preview bars,
  // both option bars, and the gaps.
  const int below = lineHeight + kRowGap + in.barHeight + kRowGap + 2 * in.barHeight + 1 + kRowGap;
  const int captionTop = y;
  const int paneTop = captionTop + lineHeight + 1;
  const int flexible = std::max(0, in.height - kMargin - below - paneTop);
  const int paneHeight = flexible * kPreviewSharePercent / 100;

  const int columnLeft = centre - kInfoColumnWidth / 2;
  const int columnRight = centre + kInfoColumnWidth / 2;
  out.leftCaption = Row(left, columnLeft, captionTop, lineHeight);
  out.rightCaption = Row(columnRight, right, captionTop, lineHeight);
  out.leftPreview = Row(left, columnLeft, paneTop, paneHeight);
  out.rightPreview = Row(columnRight, right, paneTop, paneHeight);

  out.startStop =
      Row(columnLeft + kColumnInset, columnRight - kColumnInset, paneTop, in.fieldHeight + 4);
  const int infoHeight = std::min(
      3 * in.textHeight + 8, std::max(0, out.leftPreview.bottom - out.startStop.bottom - kRowGap));
  const int infoTop = out.startStop.bottom +
                      std::max(0, out.leftPreview.bottom - out.startStop.bottom - infoHeight) / 2;
  out.infoBox = Row(columnLeft + kColumnInset, columnRight - kColumnInset, infoTop, infoHeight);

  y = out.leftPreview.bottom + 1;
  out.leftInfo = Row(left, columnLeft, y, lineHeight);
  out.rightInfo = Row(columnRight, right, y, lineHeight);
  y = out.leftInfo.bottom + kRowGap;
  out.leftPreviewBar = Row(left, columnLeft, y, in.barHeight);
  out.rightPreviewBar = Row(columnRight, right, y, in.barHeight);
  y = out.leftPreviewBar.bottom + kRowGap;
  out.searchBar = Row(left, right, y, in.barHeight);
  y = out.searchBar.bottom + 1;
  out.matchBar = Row(left, right, y, in.barHeight);
  y = out.matchBar.bottom + kRowGap;
  out.list = Row(left, right, y, in.height - kMargin - y);
  return out;
}

PreviewHostLayout LayOutPreviewHost(int cx, int cy, int previewMode) {
  PreviewHostLayout out;
  if (previewMode != 2) {
    out.panel.visible = false;
    out.pane = Row(0, cx, 0, cy);
    return out;
  }
  const int middle = cx / 2;
  out.panel = Row(0, middle, 0, cy);
  out.pane = Row(middle + 2, cx, 0, cy);
  return out;
}

}  // namespace comparewindow
