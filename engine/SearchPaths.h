// The check of both path boxes before a search run starts.
#pragma once

#include <cstdint>
#include <string>

#include "engine/SearchWindow.h"
#include "engine/TextLookup.h"

namespace engine {

// The setting m_compare_mode.
enum class CompareMode : int32_t {
  OneFolderSet = 0,   // all pairs within the right box's files
  TwoFolderSets = 1,  // left files against right files
};

// The normalised texts of the left and the right box, as the run collects them.
struct SearchPaths {
  std::wstring Path1;
  std::wstring Path2;
};

// Text id of the message of a field warning about a path box.
inline constexpr int kPathWarningText = 300000;

// Reads both boxes and normalises them. In two-folder mode every left item must
// exist; in both modes every right item must exist and the last right item in
// item order must be a folder. On failure the box at fault gets a field
// warning (text 300000, a line break, the text at fault) and false comes back;
// on success both texts go to the boxes' histories and into paths.
bool ValidateSearchPaths(SearchWindow& window, CompareMode mode, const TextLookup& text,
                         SearchPaths& paths);

}  // namespace engine
