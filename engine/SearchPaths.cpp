#include "engine/SearchPaths.h"

#include <optional>

#include "engine/PathList.h"
#include "platform/FileSystem.h"

namespace engine {
namespace {

// The box's edit field holds no more than this.
constexpr size_t kPathBoxChars = 254;

std::wstring ReadBox(SearchWindow& window, PathBox box) {
  std::wstring text = window.PathBoxText(box);
  if (text.size() > kPathBoxChars) text.resize(kPathBoxChars);
  NormalizePathList(text);
  return text;
}

// The text at fault in a normalised box text, or nothing when it passes.
std::optional<std::wstring> FindFault(std::wstring text, bool lastMustBeFolder) {
  if (text.size() < 3) return text;
  if (CheckPathsExist(text) == 0) return text;  // text now holds the missing item
  if (lastMustBeFolder) {
    // text holds the last item in item order.
    const auto attributes = platform::FileAttributes(text);
    if (!attributes || (*attributes & platform::kAttrDirectory) == 0) return text;
  }
  return std::nullopt;
}

}  // namespace

bool ValidateSearchPaths(SearchWindow& window, CompareMode mode, const TextLookup& text,
                         SearchPaths& paths) {
  const std::wstring left = ReadBox(window, PathBox::Left);
  const std::wstring right = ReadBox(window, PathBox::Right);

  auto warn = [&](PathBox box, const std::wstring& fault) {
    window.FieldWarning(box, text(kPathWarningText) + L"\n" + fault);
    return false;
  };
  if (mode == CompareMode::TwoFolderSets) {
    if (auto fault = FindFault(left, false)) return warn(PathBox::Left, *fault);
  }
  if (auto fault = FindFault(right, true)) return warn(PathBox::Right, *fault);

  window.AddToHistory(PathBox::Left, left);
  window.AddToHistory(PathBox::Right, right);
  paths.Path1 = left;
  paths.Path2 = right;
  return true;
}

}  // namespace engine
