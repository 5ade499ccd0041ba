// Turns the folders of a search into ordered sets of picture files.
//
//   FileSet left, right;
//   FileCollector collector(services, window, stopRequested);
//   collector.CollectSearchSets(CompareMode::TwoFolderSets, true, paths, left, right);
//
// Runs on the search worker. Entries with the reparse-point attribute
// (junctions, symbolic links) are never followed or collected, so no walk
// can loop; hidden and system files are collected like any other. A path
// that does not fit the system's classic buffers (520 UTF-16 units with its
// terminator) is left out, and a folder that cannot be read adds nothing.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "engine/PictureServices.h"
#include "engine/SearchPaths.h"
#include "engine/SearchWindow.h"
#include "platform/FileSystem.h"

namespace engine {

// Full file path -> its directory entry. Keys compare code unit by code unit,
// so the order is case-sensitive and upper case sorts before lower case.
using FileSet = std::map<std::wstring, platform::DirEntry>;

class FileCollector {
 public:
  using Clock = std::function<uint32_t()>;  // milliseconds, wrapping at 2^32

  // stopRequested belongs to the run; it is read after every directory entry.
  FileCollector(PictureServices& services, SearchWindow& window,
                const std::atomic<int>& stopRequested, Clock clock);
  FileCollector(PictureServices& services, SearchWindow& window,
                const std::atomic<int>& stopRequested);

  // The set that CollectFiles adds to from now on.
  void SelectSet(FileSet& set) { current_ = &set; }

  // A file path adds that file (with an all-zero directory entry) when it is
  // a picture; a folder path adds its pictures, and with recurse those of its
  // subfolders. addEveryEntry adds every entry of the folders unexamined.
  // Afterwards the detail line shows "(count) folder pattern", at most once
  // per 128-millisecond step of the clock.
  void CollectFiles(const std::wstring& path, bool recurse, bool addFiles, bool addEveryEntry);

  // The collection of a run into two emptied sets: in two-folder mode every
  // item of Path1 into left, then every item of Path2 into right; files on
  // both sides then leave the right set.
  void CollectSearchSets(CompareMode mode, bool subfolders, const SearchPaths& paths, FileSet& left,
                         FileSet& right);

 private:
  bool StopRequested() const { return stopRequested_.load(std::memory_order_relaxed) != 0; }
  void ShowProgress(const std::wstring& pattern);

  PictureServices& services_;
  SearchWindow& window_;
  const std::atomic<int>& stopRequested_;
  Clock clock_;
  FileSet* current_ = nullptr;
  bool progressShown_ = false;
  uint32_t progressStep_ = 0;
};

// Takes every path of left that is also in right (exact match) out of right,
// in left's order, and shows one message per path, waiting for each.
void RemoveFilesOnBothSides(const FileSet& left, FileSet& right, SearchWindow& window);

}  // namespace engine
