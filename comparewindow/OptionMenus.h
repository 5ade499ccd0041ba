// The option toolbars of the compare window, as data: the label of every
// button, the drop-down menu of every option and what choosing an item
// changes. The window builds its toolbars and menus from these.
//
//   OptionLabel(OptionBar::Search, kSearchSimilarity, options, 0, texts)   // "Similarity 90 %"
//   for (const OptionMenuItem& item : OptionMenu(OptionBar::Match, kMatchRule, texts)) ...
//   OptionChoice what = ApplyOptionChoice(OptionBar::Match, kMatchRule, 2, options, viewMode);
//   if (what.changed) what.changed->Save();
#pragma once

#include <string>
#include <vector>

#include "comparewindow/CompareWindowSettings.h"
#include "engine/TextLookup.h"

namespace comparewindow {

enum class OptionBar { Search, Match, Preview };

// Buttons of the search bar.
inline constexpr int kSearchViewMode = 32906;
inline constexpr int kSearchSimilarity = 32907;
inline constexpr int kSearchSubfolders = 32908;
inline constexpr int kSearchUnused = 32909;  // always disabled
inline constexpr int kSearchMagnifier = 32910;
// Buttons of the match bar.
inline constexpr int kMatchCompareMode = 32906;
inline constexpr int kMatchRule = 32907;
inline constexpr int kMatchRotated = 32908;
inline constexpr int kMatchFlipped = 32909;
inline constexpr int kMatchNegative = 32910;
// Buttons of the preview toolbars; the row toolbars have 32907 and 32908.
inline constexpr int kPreviewMode = 32906;
inline constexpr int kShowInExplorer = 32907;
inline constexpr int kDeleteToRecycleBin = 32908;
inline constexpr int kOpenWithProgram = 32909;

inline constexpr int kButtonsPerOptionBar = 5;
inline constexpr int kButtonsPerPreviewBar = 4;

// View mode 0 shows the result list, 1 a file panel in its place.
inline constexpr int kViewResultList = 0;
inline constexpr int kViewFilePanel = 1;

struct OptionMenuItem {
  int command = 0;  // what the menu returns; 0 for a separator
  std::wstring text;
  bool enabled = true;
  bool separator = false;
};

// The drop-down menu of a button; empty for a button without one.
std::vector<OptionMenuItem> OptionMenu(OptionBar bar, int button, const engine::TextLookup& texts);

// What a chosen menu command changed.
struct OptionChoice {
  app::CNamedInt* changed = nullptr;  // the setting to store, when one is stored
  bool layout = false;                // the window must be laid out again
  bool rebuildPreviews = false;
  bool viewMode = false;  // the view mode was set
  explicit operator bool() const { return changed || layout || rebuildPreviews || viewMode; }
};

// Applies command, the choice from the menu of (bar, button), to the settings
// and the view mode. Commands that are no item of that menu change nothing.
OptionChoice ApplyOptionChoice(OptionBar bar, int button, int command,
                               CompareWindowSettings& settings, int& viewMode);

// The label of a button: the option's current value, or the button's name.
std::wstring OptionLabel(OptionBar bar, int button, const CompareWindowSettings& settings,
                         int viewMode, const engine::TextLookup& texts);

}  // namespace comparewindow
