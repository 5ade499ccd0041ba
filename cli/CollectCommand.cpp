// duplora-cli collect: the files a search takes part in, in the order it numbers them.
#include <atomic>

#include "cli/Commands.h"
#include "cli/ConsoleSearchWindow.h"
#include "engine/FileCollector.h"
#include "engine/SearchPaths.h"
#include "platform/ComThread.h"
#include "platform/Console.h"

namespace cli {
namespace {

void PrintSet(const wchar_t* side, const engine::FileSet& set) {
  for (const auto& [path, entry] : set)
    platform::WriteOut(std::wstring(side) + L"\t" + path + L"\n");
}

}  // namespace

int CollectCommand(const Arguments& args) {
  bool subfolders = true;
  bool twoFolders = false;
  std::wstring left;
  Arguments texts;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--no-subfolders") {
      subfolders = false;
    } else if (args[i] == L"--left") {
      if (i + 1 >= args.size()) return UsageError(L"--left takes a path text");
      twoFolders = true;
      left = args[++i];
    } else if (args[i].starts_with(L"--")) {
      return UsageError(L"unknown option: " + args[i]);
    } else {
      texts.push_back(args[i]);
    }
  }
  if (texts.size() != 1) return UsageError(L"collect takes one path text");
  // A path box holds no more; cutting a path short would search another folder.
  if (left.size() > kPathBoxChars || texts[0].size() > kPathBoxChars)
    return UsageError(L"a path text holds at most 254 characters");

  ConsoleSearchWindow window(left, texts[0]);
  const engine::CompareMode mode =
      twoFolders ? engine::CompareMode::TwoFolderSets : engine::CompareMode::OneFolderSet;
  engine::SearchPaths paths;
  if (!engine::ValidateSearchPaths(window, mode, InterfaceTexts(), paths)) return 2;

  platform::ComThread com;
  engine::SystemPictureServices services;
  const std::atomic<int> stopRequested{0};
  engine::FileCollector collector(services, window, stopRequested);
  engine::FileSet leftSet, rightSet;
  collector.CollectSearchSets(mode, subfolders, paths, leftSet, rightSet);

  if (twoFolders) platform::WriteOut(L"Path1\t" + paths.Path1 + L"\n");
  platform::WriteOut(L"Path2\t" + paths.Path2 + L"\n");
  PrintSet(L"left", leftSet);
  PrintSet(L"right", rightSet);
  return 0;
}

}  // namespace cli
