// Where the controls of the compare window go, for a client area and the
// heights of the dialog's font and controls. Top to bottom: the status line
// and the progress bar; the folder row; the preview captions, the two panes
// with the 160-pixel information column between them (the Start/Stop button
// and the pair information box), the information lines and the preview
// toolbars; the search bar and the match bar; the result list.
//
//   CompareLayout layout = LayOutCompareWindow({client.right, client.bottom, twoFolders, 13, 21,
//   24}); Move(1054, layout.rightField);
#pragma once

namespace comparewindow {

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool visible = true;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Box&) const = default;
};

struct LayoutInput {
  int width = 0;  // client area
  int height = 0;
  bool twoFolders = false;
  int textHeight = 13;   // one line of the dialog's font
  int fieldHeight = 21;  // a folder field without its drop-down
  int barHeight = 24;    // a toolbar
};

struct CompareLayout {
  Box status, progress;
  Box leftField, leftChoose, leftAdd;     // 1053 with "..." and "...+", two-folder mode only
  Box rightField, rightChoose, rightAdd;  // 1054 with its buttons
  Box startStop, infoBox;                 // the middle column
  Box leftCaption, rightCaption;          // 1002, 1003
  Box leftPreview, rightPreview;          // the hosts 1000, 1001
  Box leftInfo, rightInfo;                // 6001, 6002
  Box leftPreviewBar, rightPreviewBar;
  Box searchBar, matchBar;
  Box list;  // the result list, or the file panel in its place
};

inline constexpr int kMargin = 4;
inline constexpr int kInfoColumnWidth = 160;
inline constexpr int kFolderButtonWidth = 33;
// In two-folder mode the left field's group ends this far left of the centre
// (and the right one starts as far right of it).
inline constexpr int kFolderGapFromCentre = 70;

CompareLayout LayOutCompareWindow(const LayoutInput& input);

// Inside a preview host of cx x cy: the preview pane, and in preview mode 2
// the file panel on the left half.
struct PreviewHostLayout {
  Box panel;
  Box pane;
};
PreviewHostLayout LayOutPreviewHost(int cx, int cy, int previewMode);

}  // namespace comparewindow
