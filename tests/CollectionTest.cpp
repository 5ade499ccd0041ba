#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileCollector.h"
#include "engine/NullSearchWindow.h"
#include "engine/PathList.h"
#include "engine/SearchPaths.h"
#include "platform/ComThread.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#include <winioctl.h>
#else
#include <sys/stat.h>
#endif

namespace {

using engine::CompareMode;
using engine::FileSet;
using engine::PathBox;
using engine::PathItems;

constexpr wchar_t kSep = platform::kPathSeparator;

void SetVariable(const std::wstring& name, const std::wstring& value) {
#ifdef _WIN32
  // The C runtime passes this on to the process environment; an empty value removes the name.
  _wputenv((name + L"=" + value).c_str());
#else
  if (value.empty())
    unsetenv(platform::ToUtf8(name).c_str());
  else
    setenv(platform::ToUtf8(name).c_str(), platform::ToUtf8(value).c_str(), 1);
#endif
}

std::wstring Text(int id) { return L"#" + std::to_wstring(id); }

// The window side as the tests see it: boxes with given texts, and a record of the requests.
class RecordingWindow final : public engine::NullSearchWindow {
 public:
  std::wstring left, right;
  std::vector<std::pair<PathBox, std::wstring>> warnings, histories;
  std::vector<std::wstring> detailLines, duplicates;

  std::wstring PathBoxText(PathBox box) override { return box == PathBox::Left ? left : right; }
  void FieldWarning(PathBox box, const std::wstring& message) override {
    warnings.emplace_back(box, message);
  }
  void AddToHistory(PathBox box, const std::wstring& text) override {
    histories.emplace_back(box, text);
  }
  void ShowDuplicateMessage(const std::wstring& path) override { duplicates.push_back(path); }
  void SetLine(engine::TextLine line, const std::wstring& text) override {
    if (line == engine::TextLine::Detail) detailLines.push_back(text);
  }
};

// ---- Path texts ----

TEST(NormalizePathList, Cases) {
  SetVariable(L"DUPLORA_TEST_BASE", L"base");
  SetVariable(L"DUPLORA_TEST_ONE", L"q");
  SetVariable(L"DUPLORA_TEST_SELF", L"%DUPLORA_TEST_SELF%x");
  SetVariable(L"DUPLORA_TEST_UNSET", L"");
  const std::wstring base = std::wstring(L"base") + kSep;

  struct Case {
    std::wstring typed, text, last;
    std::vector<std::wstring> items;  // in item order
  };
  const Case cases[] = {
      {L"C:\\a;c:\\A;;x", L"C:\\a", L"C:\\a", {L"C:\\a"}},
      {L"", L"", L"", {}},
      {L"ab;;x;\n;", L"", L"", {}},
      // Typed order in the text and the result, code-unit order in the items.
      {L"zzz;aaa;BBB", L"zzz;aaa;BBB", L"BBB", {L"BBB", L"aaa", L"zzz"}},
      {L"abc;ABC;Abc;abd;", L"abc;abd", L"abd", {L"abc", L"abd"}},
      {L"one\ntwo\r\nthree", L"one;two;three", L"three", {L"one", L"three", L"two"}},
      // Blanks are part of an item.
      {L" ab;abc ", L" ab;abc ", L"abc ", {L" ab", L"abc "}},
      {L"%DUPLORA_TEST_BASE%pics", base + L"pics", base + L"pics", {base + L"pics"}},
      {L"%DUPLORA_TEST_BASE%a%DUPLORA_TEST_BASE%",
       base + L"a" + base,
       base + L"a" + base,
       {base + L"a" + base}},
      {L"%DUPLORA_TEST_UNSET%\\pics",
       L"%DUPLORA_TEST_UNSET%\\pics",
       L"%DUPLORA_TEST_UNSET%\\pics",
       {L"%DUPLORA_TEST_UNSET%\\pics"}},
      // Only the first pair of percent signs is looked at.
      {L"%DUPLORA_TEST_UNSET%%DUPLORA_TEST_BASE%",
       L"%DUPLORA_TEST_UNSET%%DUPLORA_TEST_BASE%",
       L"%DUPLORA_TEST_UNSET%%DUPLORA_TEST_BASE%",
       {L"%DUPLORA_TEST_UNSET%%DUPLORA_TEST_BASE%"}},
      // Duplicates and short items count after expansion.
      {L"%DUPLORA_TEST_BASE%pics;BASE" + std::wstring(1, kSep) + L"PICS;%DUPLORA_TEST_ONE%",
       base + L"pics",
       base + L"pics",
       {base + L"pics"}},
      // A value that holds its own name is not expanded again.
      {L"%DUPLORA_TEST_SELF%",
       L"%DUPLORA_TEST_SELF%x" + std::wstring(1, kSep),
       L"%DUPLORA_TEST_SELF%x" + std::wstring(1, kSep),
       {L"%DUPLORA_TEST_SELF%x" + std::wstring(1, kSep)}},
  };
  for (const Case& c : cases) {
    std::wstring text = c.typed;
    PathItems items;
    const std::wstring last = engine::NormalizePathList(text, &items);
    const std::string label = platform::ToUtf8(c.typed);
    EXPECT_EQ(text, c.text) << label;
    EXPECT_EQ(last, c.last) << label;
    EXPECT_EQ(std::vector<std::wstring>(items.begin(), items.end()), c.items) << label;
  }
  SetVariable(L"DUPLORA_TEST_BASE", L"");
  SetVariable(L"DUPLORA_TEST_ONE", L"");
  SetVariable(L"DUPLORA_TEST_SELF", L"");
}

// A folder "pics" and a file "a.png" beside it, and text ids shown as "#id".
class PathChecks : public testing::Test {
 protected:
  testsupport::TempFolder root_;
  std::wstring pics_ = root_.MakeFolder(L"pics");
  std::wstring file_ = root_ / L"a.png";
  std::wstring late_ = root_ / L"z.png";  // after "pics" in item order
  std::wstring missing_ = root_ / L"missing";
  RecordingWindow window_;
  engine::SearchPaths paths_;

  void SetUp() override {
    ASSERT_TRUE(platform::WriteFileBytes(file_, "a"));
    ASSERT_TRUE(platform::WriteFileBytes(late_, "z"));
  }
  bool Validate(CompareMode mode) {
    return engine::ValidateSearchPaths(window_, mode, Text, paths_);
  }
};

TEST_F(PathChecks, CheckPathsExistLeavesTheItemItLookedAtLast) {
  std::wstring text = pics_ + L";" + file_;
  EXPECT_EQ(engine::CheckPathsExist(text), 2);
  EXPECT_EQ(text, pics_);  // ".../a.png" comes first in item order
  text = file_ + L";" + missing_ + L";" + pics_;
  EXPECT_EQ(engine::CheckPathsExist(text), 0);
  EXPECT_EQ(text, missing_);
  text = L";;x";
  EXPECT_EQ(engine::CheckPathsExist(text), 0);
}

TEST_F(PathChecks, FailuresWarnTheBoxAtFault) {
  struct Case {
    CompareMode mode;
    std::wstring left, right;
    PathBox box;
    std::wstring fault;
  };
  const Case cases[] = {
      // Both empty: only the left box is warned about.
      {CompareMode::TwoFolderSets, L"", L"", PathBox::Left, L""},
      {CompareMode::TwoFolderSets, L"ab", pics_, PathBox::Left, L""},
      {CompareMode::TwoFolderSets, pics_ + L";" + missing_, pics_, PathBox::Left, missing_},
      {CompareMode::TwoFolderSets, pics_, L"", PathBox::Right, L""},
      {CompareMode::OneFolderSet, L"", missing_ + L";" + pics_, PathBox::Right, missing_},
      // The last right item in item order must be a folder.
      {CompareMode::OneFolderSet, L"", pics_ + L";" + late_, PathBox::Right, late_},
      {CompareMode::OneFolderSet, L"", file_, PathBox::Right, file_},
  };
  for (const Case& c : cases) {
    window_ = RecordingWindow{};
    window_.left = c.left;
    window_.right = c.right;
    paths_ = {L"old1", L"old2"};
    const std::string label = platform::ToUtf8(c.left + L" | " + c.right);
    EXPECT_FALSE(Validate(c.mode)) << label;
    ASSERT_EQ(window_.warnings.size(), 1u) << label;
    EXPECT_EQ(window_.warnings[0].first, c.box) << label;
    EXPECT_EQ(window_.warnings[0].second, L"#300000\n" + c.fault) << label;
    EXPECT_TRUE(window_.histories.empty()) << label;
    EXPECT_EQ(paths_.Path1, L"old1") << label;
    EXPECT_EQ(paths_.Path2, L"old2") << label;
  }
}

TEST_F(PathChecks, SuccessStoresAndRemembersTheNormalisedTexts) {
  // A file in the left box is allowed; in the right box it may stand before the folder.
  window_.left = file_ + L";;" + pics_;
  window_.right = file_ + L";" + pics_ + L";" + platform::ToLower(pics_) + L";x";
  ASSERT_TRUE(Validate(CompareMode::TwoFolderSets));
  EXPECT_TRUE(window_.warnings.empty());
  const std::wstring left = file_ + L";" + pics_;
  const std::wstring right = file_ + L";" + pics_;
  EXPECT_EQ(paths_.Path1, left);
  EXPECT_EQ(paths_.Path2, right);
  const decltype(window_.histories) histories = {{PathBox::Left, left}, {PathBox::Right, right}};
  EXPECT_EQ(window_.histories, histories);

  // One folder set: the left box is not checked.
  window_ = RecordingWindow{};
  window_.left = missing_;
  window_.right = pics_;
  EXPECT_TRUE(Validate(CompareMode::OneFolderSet));
  EXPECT_TRUE(window_.warnings.empty());
  EXPECT_EQ(paths_.Path2, pics_);
}

// ---- Collection ----

// A picture tree on disk:
//   .hidden.png  B.png  a.png  tiny.png  notes.png (not a picture)
//   sub/c.png  sub/deeper/d.png
class Collection : public testing::Test {
 protected:
  platform::ComThread com_;
  engine::SystemPictureServices services_;
  testsupport::TempFolder root_;
  RecordingWindow window_;
  std::atomic<int> stop_{0};

  void SetUp() override {
    root_.MakeFolder(L"sub" + std::wstring(1, kSep) + L"deeper");
    for (const std::wstring name :
         {L".hidden.png", L"B.png", L"a.png", L"sub/c.png", L"sub/deeper/d.png"})
      Picture(Relative(name), 128);
    Picture(L"tiny.png", 8);
    ASSERT_TRUE(platform::WriteFileBytes(root_ / L"notes.png", "not a picture\n"));
  }

  // A name with "/" between folders, in this system's separators.
  static std::wstring Relative(std::wstring name) {
    for (wchar_t& c : name)
      if (c == L'/') c = kSep;
    return name;
  }
  void Picture(const std::wstring& name, int side) {
    ASSERT_TRUE(testsupport::WritePng(root_ / name, side, side, [&](int x, int y) {
      return testsupport::Pattern(x, y, side, side, 3);
    }));
  }
  std::vector<std::wstring> Keys(const FileSet& set) const {
    std::vector<std::wstring> keys;
    for (const auto& [path, entry] : set) keys.push_back(path);
    return keys;
  }
  std::vector<std::wstring> Paths(std::vector<std::wstring> names) const {
    for (std::wstring& name : names) name = root_ / Relative(name);
    return names;
  }
  FileSet Collect(const std::wstring& path, bool recurse) {
    FileSet set;
    engine::FileCollector collector(services_, window_, stop_);
    collector.SelectSet(set);
    collector.CollectFiles(path, recurse, true, false);
    return set;
  }
};

TEST_F(Collection, FolderBecomesOrderedSetOfPictures) {
  // Hidden files count; the size floor belongs to the fingerprint, not to collection.
  const FileSet all = Collect(root_.path(), true);
  EXPECT_EQ(Keys(all), Paths({L".hidden.png", L"B.png", L"a.png", L"sub/c.png", L"sub/deeper/d.png",
                              L"tiny.png"}));
  const platform::DirEntry& a = all.at(root_ / L"a.png");
  EXPECT_EQ(a.name, L"a.png");
  EXPECT_EQ(a.fileSize, platform::FileEntry(root_ / L"a.png")->fileSize);
  EXPECT_NE(a.lastWriteTime, 0u);

  // A trailing separator adds none of its own.
  EXPECT_EQ(Keys(Collect(root_.path() + kSep, false)),
            Paths({L".hidden.png", L"B.png", L"a.png", L"tiny.png"}));
}

TEST_F(Collection, FilePathTakesPartWithEmptyEntry) {
  const std::wstring a = root_ / L"a.png";
  const FileSet one = Collect(a, true);
  ASSERT_EQ(Keys(one), std::vector<std::wstring>{a});
  EXPECT_EQ(one.at(a).fileSize, 0u);
  EXPECT_EQ(one.at(a).lastWriteTime, 0u);
  EXPECT_TRUE(Collect(root_ / L"notes.png", true).empty());
  EXPECT_TRUE(Collect(root_ / L"missing", true).empty());
}

TEST_F(Collection, ProgressLineAtMostOncePerClockStep) {
  // The first call shows even at time 0; a frozen clock shows nothing more.
  FileSet set;
  engine::FileCollector frozen(services_, window_, stop_, [] { return 0u; });
  frozen.SelectSet(set);
  frozen.CollectFiles(root_.path(), true, true, false);
  ASSERT_EQ(window_.detailLines.size(), 1u);
  EXPECT_EQ(window_.detailLines[0].substr(0, 1), L"(");
  EXPECT_EQ(window_.detailLines[0].substr(6, 2), L") ");

  // A new step after each folder: one line per folder, the top folder last.
  window_.detailLines.clear();
  uint32_t now = 0;
  FileSet again;
  engine::FileCollector ticking(services_, window_, stop_, [&] { return now += 128; });
  ticking.SelectSet(again);
  ticking.CollectFiles(root_.path(), true, true, false);
  ASSERT_EQ(window_.detailLines.size(), 3u);
  EXPECT_EQ(window_.detailLines.back(), L"(00006) " + root_.path() + kSep + L"*.*");
}

// Stops the run when it first opens a file.
class StoppingServices final : public engine::PictureServices {
 public:
  StoppingServices(engine::PictureServices& real, std::atomic<int>& stop)
      : real_(real), stop_(stop) {}
  int opened = 0;

  std::unique_ptr<engine::PictureFile> Open(const std::wstring& path) override {
    ++opened;
    stop_ = 1;
    return real_.Open(path);
  }
  std::optional<platform::Bitmap32> ShellExtract(const std::wstring& path, int w, int h,
                                                 uint32_t flags) override {
    return real_.ShellExtract(path, w, h, flags);
  }
  std::optional<platform::Bitmap32> ShellSquareThumbnail(const std::wstring& path,
                                                         int size) override {
    return real_.ShellSquareThumbnail(path, size);
  }
  std::optional<std::pair<int, int>> ShellImageSize(const std::wstring& path) override {
    return real_.ShellImageSize(path);
  }
  bool ShellIsAtLeast(const std::wstring& path, int n) override {
    return real_.ShellIsAtLeast(path, n);
  }

 private:
  engine::PictureServices& real_;
  std::atomic<int>& stop_;
};

TEST_F(Collection, StopRequestEndsTheWalk) {
  // Whichever file comes first, the folders above it end their loops too.
  StoppingServices stopping(services_, stop_);
  engine::FileCollector collector(stopping, window_, stop_);
  FileSet left, right;
  const std::wstring items = root_.path() + L";" + (root_ / L"sub");
  collector.CollectSearchSets(CompareMode::TwoFolderSets, true, {items, items}, left, right);
  EXPECT_EQ(stopping.opened, 1);
  EXPECT_LE(left.size(), 1u);
  EXPECT_TRUE(right.empty());
  EXPECT_TRUE(window_.duplicates.empty());
}

TEST_F(Collection, SameFolderOnBothSidesEmptiesTheRightSet) {
  engine::FileCollector collector(services_, window_, stop_);
  FileSet left, right;
  collector.CollectSearchSets(CompareMode::TwoFolderSets, true, {root_.path(), root_.path()}, left,
                              right);
  EXPECT_EQ(left.size(), 6u);
  EXPECT_TRUE(right.empty());
  EXPECT_EQ(window_.duplicates, Keys(left));  // one message per file, in set order
}

TEST_F(Collection, OnlyFilesOnBothSidesLeaveTheRightSet) {
  engine::FileCollector collector(services_, window_, stop_);
  FileSet left, right;
  collector.CollectSearchSets(CompareMode::TwoFolderSets, true, {root_ / L"sub", root_.path()},
                              left, right);
  EXPECT_EQ(Keys(left), Paths({L"sub/c.png", L"sub/deeper/d.png"}));
  EXPECT_EQ(Keys(right), Paths({L".hidden.png", L"B.png", L"a.png", L"tiny.png"}));
  EXPECT_EQ(window_.duplicates, Keys(left));

  // One folder set: the left text is not collected, and nothing is removed.
  window_.duplicates.clear();
  FileSet left1, right1;
  collector.CollectSearchSets(CompareMode::OneFolderSet, false, {root_ / L"sub", root_ / L"sub"},
                              left1, right1);
  EXPECT_TRUE(left1.empty());
  EXPECT_EQ(Keys(right1), Paths({L"sub/c.png"}));
  EXPECT_TRUE(window_.duplicates.empty());
}

#ifndef _WIN32
TEST_F(Collection, LinksAndSpecialFilesAreNotFollowed) {
  namespace fs = std::filesystem;
  const fs::path root(root_.path());
  fs::create_directory_symlink(root / "sub", root / "link");
  fs::create_directory_symlink(root, root / "sub" / "loop");
  fs::create_symlink(root / "a.png", root / "file-link.png");
  fs::create_symlink(root / "gone", root / "dangling.png");
  // A named pipe would block whoever opens it.
  ASSERT_EQ(mkfifo((root / "pipe.png").c_str(), 0600), 0);

  EXPECT_EQ(
      Keys(Collect(root_.path(), true)),
      Paths({L".hidden.png", L"B.png", L"a.png", L"sub/c.png", L"sub/deeper/d.png", L"tiny.png"}));
  // The enumerator marks each link as a reparse point, folder links also as folders.
  platform::DirectoryEnumerator folder(root_.path() + L"/");
  platform::DirEntry entry;
  int links = 0;
  while (folder.Next(entry)) {
    if (entry.name == L"link" || entry.name == L"file-link.png" || entry.name == L"dangling.png") {
      EXPECT_TRUE(entry.IsReparsePoint()) << platform::ToUtf8(entry.name);
      EXPECT_EQ(entry.IsFolder(), entry.name == L"link") << platform::ToUtf8(entry.name);
      ++links;
    }
  }
  EXPECT_EQ(links, 3);
}

TEST_F(Collection, PathsBeyondTheClassicBuffersAreLeftOut) {
  // Full paths of 519 UTF-16 units fit a buffer of 520 with its terminator; 520 do not.
  const std::wstring deep =
      root_.MakeFolder(std::wstring(200, L'a') + L"/" + std::wstring(200, L'b'));
  const size_t room = 519 - deep.size() - 1;  // units left for a name of 519 in all
  ASSERT_GT(room, 10u);
  ASSERT_LT(room, 250u);
  const std::wstring fits = deep + L"/" + std::wstring(room - 4, L'f') + L".png";
  const std::wstring tooLong = deep + L"/" + std::wstring(room - 3, L'g') + L".png";
  // U+1F600 takes two UTF-16 units.
  const std::wstring wide = deep + L"/" + std::wstring(room - 5, L'w') + L"\U0001F600.png";
  const std::wstring deeper = root_.MakeFolder(
      std::wstring(200, L'a') + L"/" + std::wstring(200, L'b') + L"/" + std::wstring(120, L'c'));
  for (const std::wstring& path : {fits, tooLong, wide, deeper + L"/x.png"})
    ASSERT_TRUE(platform::WriteFileBytes(path, *platform::ReadFileBytes(root_ / L"a.png")));

  const FileSet set = Collect(root_ / std::wstring(200, L'a'), true);
  EXPECT_EQ(Keys(set), std::vector<std::wstring>{fits});
}
#endif

#ifdef _WIN32
// Makes link a junction to target; false where the system cannot.
bool MakeJunction(const std::wstring& target, const std::wstring& link) {
  if (!CreateDirectoryW(link.c_str(), nullptr)) return false;
  HANDLE handle = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const std::wstring substitute = L"\\??\\" + target;
  struct {
    DWORD tag;
    WORD dataLength, reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
    wchar_t names[1024];
  } buffer{};
  buffer.tag = IO_REPARSE_TAG_MOUNT_POINT;
  const size_t substituteBytes = substitute.size() * sizeof(wchar_t);
  const size_t printBytes = target.size() * sizeof(wchar_t);
  std::copy(substitute.begin(), substitute.end(), buffer.names);
  std::copy(target.begin(), target.end(), buffer.names + substitute.size() + 1);
  buffer.substituteLength = static_cast<WORD>(substituteBytes);
  buffer.printOffset = static_cast<WORD>(substituteBytes + sizeof(wchar_t));
  buffer.printLength = static_cast<WORD>(printBytes);
  buffer.dataLength = static_cast<WORD>(8 + substituteBytes + printBytes + 2 * sizeof(wchar_t));
  DWORD returned = 0;
  const BOOL made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &buffer, buffer.dataLength + 8,
                                    nullptr, 0, &returned, nullptr);
  CloseHandle(handle);
  return made && (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

TEST_F(Collection, JunctionIsNotFollowed) {
  if (!MakeJunction(root_ / L"sub", root_ / L"junction"))
    GTEST_SKIP() << "this system cannot make a junction";
  EXPECT_EQ(
      Keys(Collect(root_.path(), true)),
      Paths({L".hidden.png", L"B.png", L"a.png", L"sub/c.png", L"sub/deeper/d.png", L"tiny.png"}));
}
#endif

}  // namespace
