// duplora-cli collect: the files a search takes part in, in the order it numbers them.
#include <atomic>

#include "cli/Commands.h"
#include "engine/FileCollector.h"
#include "engine/NullSearchWindow.h"
#include "engine/SearchPaths.h"
#include "platform/ComThread.h"
#include "platform/Console.h"

namespace cli {
namespace {

// What a path box's edit field holds at most.
constexpr size_t kPathBoxChars = 254;

// English stand-ins for the interface texts this command shows.
std::wstring CollectText(int id) {
  if (id == engine::kPathWarningText) return L"This path cannot be searched:";
  return L"#" + std::to_wstring(id);
}

// The window side of a search, on the console: the boxes hold the command's
// texts, warnings and duplicates go to standard error, the rest is not shown.
class ConsoleSearchWindow final : public engine::NullSearchWindow {
 public:
  ConsoleSearchWindow(std::wstring left, std::wstring right)
      : left_(std::move(left)), right_(std::move(right)) {}

  std::wstring PathBoxText(engine::PathBox box) override {
    return box == engine::PathBox::Left ? left_ : right_;
  }
  void FieldWarning(engine::PathBox box, const std::wstring& message) override {
    platform::WriteErr(std::wstring(L"duplora-cli: ") +
                       (box == engine::PathBox::Left ? L"--left: " : L"") + message + L"\n");
  }
  void AddToHistory(engine::PathBox, const std::wstring&) override {}
  // Printed, not waited for: nobody is there to acknowledge it.
  void ShowDuplicateMessage(const std::wstring& path) override {
    platform::WriteErr(L"duplora-cli: on both sides, left out of the right set: " + path + L"\n");
  }

 private:
  std::wstring left_;
  std::wstring right_;
};

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
  if (!engine::ValidateSearchPaths(window, mode, CollectText, paths)) return 2;

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
