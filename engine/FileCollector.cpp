#include "engine/FileCollector.h"

#include "engine/Fingerprint.h"
#include "engine/PathList.h"
#include "platform/Clock.h"
#include "platform/Text.h"

namespace engine {
namespace {

// Folder prefixes, patterns and full paths are assembled in buffers of this
// many UTF-16 units on Windows, terminator included.
constexpr size_t kPathBufferUnits = 520;

bool FitsPathBuffer(const std::wstring& path) {
  if (path.size() >= kPathBufferUnits) return false;
  // Letters beyond the basic plane take two UTF-16 units.
  if constexpr (sizeof(wchar_t) > 2) return platform::ToUtf16(path).size() < kPathBufferUnits;
  return true;
}

}  // namespace

FileCollector::FileCollector(PictureServices& services, SearchWindow& window,
                             const std::atomic<int>& stopRequested, Clock clock)
    : services_(services),
      window_(window),
      stopRequested_(stopRequested),
      clock_(std::move(clock)) {}

FileCollector::FileCollector(PictureServices& services, SearchWindow& window,
                             const std::atomic<int>& stopRequested)
    : FileCollector(services, window, stopRequested, platform::MilliClock) {}

void FileCollector::CollectFiles(const std::wstring& path, bool recurse, bool addFiles,
                                 bool addEveryEntry) {
  if (!current_) return;
  if (addFiles) {
    const auto attributes = platform::FileAttributes(path);
    if (attributes && (*attributes & platform::kAttrDirectory) == 0) {
      if (FitsPathBuffer(path) && IsImageFile(services_, path)) (*current_)[path] = {};
      return;
    }
  }

  std::wstring prefix = path;
  if (prefix.empty() || prefix.back() != platform::kPathSeparator)
    prefix += platform::kPathSeparator;
  const std::wstring pattern = prefix + L"*.*";
  if (!FitsPathBuffer(pattern)) return;
  {
    platform::DirectoryEnumerator folder(prefix);
    platform::DirEntry entry;
    while (folder.Next(entry)) {
      if (entry.name == L"." || entry.name == L".." || entry.IsReparsePoint()) continue;
      const std::wstring full = prefix + entry.name;
      if (!FitsPathBuffer(full)) continue;
      if (addEveryEntry) (*current_)[full] = entry;
      if (recurse && entry.IsFolder()) {
        CollectFiles(full, recurse, addFiles, addEveryEntry);
      } else if (addFiles && !entry.IsFolder() && IsImageFile(services_, full)) {
        (*current_)[full] = entry;
      }
      if (StopRequested()) break;
    }
  }
  ShowProgress(pattern);
}

void FileCollector::ShowProgress(const std::wstring& pattern) {
  const uint32_t step = clock_() / 128;
  if (progressShown_ && step == progressStep_) return;
  progressShown_ = true;
  progressStep_ = step;
  window_.SetLine(TextLine::Detail,
                  platform::FormatText("(%05d) ", static_cast<int>(current_->size())) + pattern);
}

void FileCollector::CollectSearchSets(CompareMode mode, bool subfolders, const SearchPaths& paths,
                                      FileSet& left, FileSet& right) {
  auto collectItems = [&](const std::wstring& text, FileSet& set) {
    SelectSet(set);
    std::wstring normalised = text;
    PathItems items;
    NormalizePathList(normalised, &items);
    for (const std::wstring& item : items) {
      if (StopRequested()) return;
      CollectFiles(item, subfolders, true, false);
    }
  };
  if (mode == CompareMode::TwoFolderSets) collectItems(paths.Path1, left);
  collectItems(paths.Path2, right);
  // A stopped run compares nothing, so its duplicates need no messages.
  if (mode == CompareMode::TwoFolderSets && !StopRequested())
    RemoveFilesOnBothSides(left, right, window_);
}

void RemoveFilesOnBothSides(const FileSet& left, FileSet& right, SearchWindow& window) {
  for (const auto& [path, entry] : left) {
    if (right.erase(path) != 0) window.ShowDuplicateMessage(path);
  }
}

}  // namespace engine
