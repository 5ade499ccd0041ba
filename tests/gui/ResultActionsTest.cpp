// The actions on the files of the result list, driven through the real
// compare window: its context menu, the file operations run by the system's
// shell (whose questions the test answers from inside their own dialogs),
// the preview toolbars' single-image commands, and a matrix of awkward
// cases after which no file may be lost and the list must show what the
// file system holds.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/LangText.h"
#include "app/TextIds.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/ResultMenu_win.h"
#include "engine/ImageEntry.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/gui/CompareFixtures.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

using comparewindow::CImgCmp2017;
using comparewindow::Side;
using namespace comparewindow;  // the command ids

struct Entry {
  std::wstring text;
  UINT command = 0;  // 0 for separators and sub-menus
  UINT state = 0;
  std::vector<Entry> items;  // of a sub-menu
};

std::vector<Entry> ReadMenu(HMENU menu) {
  std::vector<Entry> entries;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[256] = {};
    ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    Entry entry{text, 0, ::GetMenuState(menu, i, MF_BYPOSITION)};
    if (HMENU sub = ::GetSubMenu(menu, i))
      entry.items = ReadMenu(sub);
    else if (!(entry.state & MF_SEPARATOR))
      entry.command = ::GetMenuItemID(menu, i);
    entries.push_back(entry);
  }
  return entries;
}

// Answers every dialog the shell shows on this thread while an operation
// runs: a thread timer fires inside the dialogs' own message loops. Keeps
// the texts it was asked.
class ShellDialogAnswerer {
 public:
  explicit ShellDialogAnswerer(int button) : button_(button) {
    active_ = this;
    timer_ = ::SetTimer(nullptr, 0, 20, Tick);
  }
  ~ShellDialogAnswerer() {
    ::KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  const std::vector<std::wstring>& Asked() const { return asked_; }

 private:
  static BOOL CALLBACK Collect(HWND child, LPARAM text) {
    wchar_t name[16] = {};
    ::GetClassNameW(child, name, 16);
    if (std::wstring(name) == L"Static")
      *reinterpret_cast<std::wstring*>(text) += guitest::TextOf(child) + L" ";
    return TRUE;
  }
  static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !::IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ShellDialogAnswerer* self = active_;
    HWND dialog = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!self || !dialog || dialog == self->lastDialog_) return;
    self->lastDialog_ = dialog;
    std::wstring text = guitest::TextOf(dialog) + L": ";
    ::EnumChildWindows(dialog, Collect, reinterpret_cast<LPARAM>(&text));
    self->asked_.push_back(text);
    int button = self->button_;
    if (!::GetDlgItem(dialog, button)) button = ::GetDlgItem(dialog, IDOK) ? IDOK : IDCANCEL;
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
  }

  static inline ShellDialogAnswerer* active_ = nullptr;
  int button_;
  UINT_PTR timer_ = 0;
  HWND lastDialog_ = nullptr;
  std::vector<std::wstring> asked_;
};

// The desktop trash that wine's recycle bin puts files in.
std::wstring TrashFiles() {
  if (auto data = platform::EnvironmentVariable(L"XDG_DATA_HOME"))
    return L"Z:" + *data + L"\\Trash\\files";
  return L"Z:" + platform::EnvironmentVariable(L"HOME").value_or(L"/root") +
         L"\\.local\\share\\Trash\\files";
}

// The file in `folder` with these bytes, if there is one.
std::optional<std::wstring> FindInFolder(const std::wstring& folder, const std::string& bytes) {
  platform::DirectoryEnumerator files(folder + L"\\");
  platform::DirEntry entry;
  while (files.Next(entry)) {
    if (entry.IsFolder()) continue;
    if (platform::ReadFileBytes(folder + L"\\" + entry.name) == bytes)
      return folder + L"\\" + entry.name;
  }
  return std::nullopt;
}

std::optional<std::wstring> FindInTrash(const std::string& bytes) {
  return FindInFolder(TrashFiles(), bytes);
}

// Takes a file out of the trash for good (with its note of where it came from).
void PurgeFromTrash(const std::wstring& trashed) {
  // A read-only file left there would make the next file of its name undeletable to the bin.
  ::SetFileAttributesW(trashed.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(trashed.c_str());
  const std::wstring name = trashed.substr(trashed.find_last_of(L'\\') + 1);
  const std::wstring info = TrashFiles() + L"\\..\\info\\" + name + L".trashinfo";
  ::DeleteFileW(info.c_str());
}

void MakeWritable(const std::wstring& folder) {
  platform::DirectoryEnumerator entries(folder + L"\\");
  platform::DirEntry entry;
  while (entries.Next(entry)) {
    if (entry.name == L"." || entry.name == L"..") continue;
    const std::wstring path = folder + L"\\" + entry.name;
    if (entry.IsFolder())
      MakeWritable(path);
    else
      ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

// The window, able to note and keep the commands that the menu hands on to
// it (their handling is the window's own business).
class RecordingView : public CImgCmp2017 {
 public:
  bool keepHandedOn = false;
  std::vector<int> handedOn;

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (keepHandedOn && message == WM_COMMAND && lParam == 0) {
      handedOn.push_back(LOWORD(wParam));
      return TRUE;
    }
    return CImgCmp2017::HandleMessage(message, wParam, lParam);
  }
};

class ResultListActions : public testing::Test {
 protected:
  void SetUp() override {
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    host_ = guitest::MakeHostWindow();
    ASSERT_NE(host_, nullptr);
    view_ = std::make_unique<RecordingView>();
    ASSERT_TRUE(guitest::OpenView(*view_, host_));
    view_->Actions().SetLauncher([this](const platform::LaunchRequest& request) {
      launched_.push_back(request);
      return true;
    });
    guitest::PumpPending();
  }
  void TearDown() override {
    view_.reset();
    ::DestroyWindow(host_);
    // Read-only files (and their copies) would stay behind in the scratch folder.
    MakeWritable(temp_.path());
  }

  CListCtrlHelp& List() { return view_->List(); }

  // A file whose bytes tell it apart from every other file of every run.
  std::wstring File(const std::wstring& name, const std::wstring& folder = {}) {
    const std::wstring path = (folder.empty() ? temp_.path() : folder) + L"\\" + name;
    platform::WriteFileBytes(path, Bytes(path));
    files_.push_back(path);
    return path;
  }
  std::string Bytes(const std::wstring& path) { return "picture " + platform::ToUtf8(path); }

  int AddRow(const std::wstring& left, const std::wstring& right, bool leftMarked = false,
             bool rightMarked = false) {
    for (const std::wstring& path : {left, right}) {
      entries_.push_back(std::make_unique<engine::ImageEntry>(engine::EmptyEntry()));
      entries_.back()->SetPath(path);
    }
    pairs_.push_back(
        {entries_[entries_.size() - 2].get(), entries_.back().get(), 95, 0, 0, 0, 100});
    List().AppendRow(pairs_.back());
    const int row = List().RowCount() - 1;
    List().SetMark(row, kMarkColumnLeft, leftMarked ? 1 : 0);
    List().SetMark(row, kMarkColumnRight, rightMarked ? 1 : 0);
    return row;
  }

  std::vector<std::wstring> Rows() {
    std::vector<std::wstring> rows;
    for (int row = 0; row < List().RowCount(); ++row)
      rows.push_back(List().Text(row, 0) + L" | " + List().Text(row, 1));
    return rows;
  }

  // Right-click in the list: the menu offered, and `command` chosen from it.
  std::vector<Entry> RightClick(int command) {
    std::vector<Entry> offered;
    view_->SetMenuChooser([&](HMENU menu, POINT, HWND) {
      offered = ReadMenu(menu);
      return command;
    });
    RECT client{};
    ::GetClientRect(List().hwnd(), &client);
    POINT at{client.right / 2, client.bottom - 5};
    ::ClientToScreen(List().hwnd(), &at);
    ::SendMessageW(List().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().hwnd()),
                   MAKELPARAM(at.x, at.y));
    view_->SetMenuChooser(nullptr);
    return offered;
  }

  guitest::TempSettings settings_;
  testsupport::TempFolder temp_;
  HWND host_ = nullptr;
  std::unique_ptr<RecordingView> view_;
  std::deque<std::unique_ptr<engine::ImageEntry>> entries_;
  std::deque<engine::MatchPair> pairs_;
  std::vector<std::wstring> files_;
  std::vector<platform::LaunchRequest> launched_;
};

// ---------------------------------------------------------------------------
// The context menu

TEST_F(ResultListActions, ContextMenuIsGreyOnAnEmptyListAndChecksTheListOptions) {
  auto text = [](int id) { return app::LangText(id); };
  const std::wstring invert = text(app::kTextInvertMarks);
  const std::vector<std::pair<std::wstring, UINT>> expected = {
      {text(app::kTextListOptions), 0},
      {L"", 0},
      {text(app::kTextCopyMarked), kCmdCopyMarked},
      {text(app::kTextMoveMarked), kCmdMoveMarked},
      {text(app::kTextDelete) + L" (" + text(app::kTextRecycleBin) + L")", kCmdDeleteMarked},
      {L"", 0},
      {text(app::kTextRemoveRows), 0},
      {L"", 0},
      {text(app::kTextCopyOverPartner), kCmdCopyOverPartner},
      {text(app::kTextMarkAutomatically), kCmdMarkAutomatically},
      {L"", 0},
      {invert.substr(0, invert.find(L'\t')), kCmdInvertMarks},
      {text(app::kTextSwapMarks) + L"\t<--->", kCmdSwapMarks},
      {L"", 0}};

  for (bool empty : {true, false}) {
    SCOPED_TRACE(empty ? "empty list" : "two rows");
    if (!empty) AddRow(File(L"a.png"), File(L"b.png"), true, false);
    const std::vector<Entry> menu = RightClick(0);
    ASSERT_EQ(menu.size(), expected.size());
    for (size_t i = 0; i < menu.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(menu[i].text, expected[i].first);
      EXPECT_EQ(menu[i].command, expected[i].second);
      if (expected[i].first.empty()) {
        EXPECT_TRUE(menu[i].state & MF_SEPARATOR);
        continue;
      }
      EXPECT_EQ((menu[i].state & MF_GRAYED) != 0, empty);
      for (const Entry& item : menu[i].items) EXPECT_EQ((item.state & MF_GRAYED) != 0, empty);
    }
    ASSERT_EQ(menu[0].items.size(), 2u);
    EXPECT_EQ(menu[0].items[0].command, static_cast<UINT>(kCmdShowListToolbar));
    EXPECT_EQ(menu[0].items[0].text, text(app::kTextShowRowButtons));
    EXPECT_EQ(menu[0].items[1].command, static_cast<UINT>(kCmdLeftRightSel));
    EXPECT_EQ(menu[0].items[1].text, L"<-- --> " + text(app::kTextArrowKeysMark) + L" (" +
                                         text(app::kTextArrowKeysWhich) + L")");
    ASSERT_EQ(menu[6].items.size(), 3u);
    EXPECT_EQ(menu[6].items[0].command, static_cast<UINT>(kCmdRemoveSelectedRows));
    EXPECT_EQ(menu[6].items[1].command, static_cast<UINT>(kCmdRemoveMarkedRows));
    EXPECT_EQ(menu[6].items[2].command, static_cast<UINT>(kCmdRemoveUnmarkedRows));
    EXPECT_EQ(menu[6].items[2].text, text(app::kTextRemoveUnmarked));
  }

  // The check marks follow the two options, and choosing an item flips its option.
  const auto checks = [&] {
    const std::vector<Entry> menu = RightClick(0);
    return std::pair{(menu[0].items[0].state & MF_CHECKED) != 0,
                     (menu[0].items[1].state & MF_CHECKED) != 0};
  };
  EXPECT_EQ(checks(), std::pair(true, true));
  RightClick(kCmdShowListToolbar);
  RightClick(kCmdLeftRightSel);
  EXPECT_EQ(checks(), std::pair(false, false));
  EXPECT_EQ(app::Settings().ReadString(app::Settings().SettingsName(), L"m_ShowListToolbar", L""),
            L"0");
  EXPECT_EQ(app::Settings().ReadString(app::Settings().SettingsName(), L"m_LeftRightSel", L"-"),
            L"-")
      << "not stored";
}

TEST_F(ResultListActions, MenuHandsTheWindowsOwnCommandsOnAndCarriesOutTheRest) {
  AddRow(File(L"a.png"), File(L"b.png"));
  view_->SetFolderChooser([](HWND, const std::wstring&) { return std::nullopt; });
  view_->keepHandedOn = true;
  for (int command :
       {kCmdCopyMarked, kCmdMoveMarked, kCmdDeleteMarked, kCmdMarkAutomatically, kCmdInvertMarks,
        kCmdSwapMarks, kCmdRemoveSelectedRows, kCmdRemoveMarkedRows, kCmdRemoveUnmarkedRows,
        kCmdCopyOverPartner, kCmdShowListToolbar, kCmdLeftRightSel})
    RightClick(command);
  // 1, 2 and 3 never arrive as commands: the window would read them as Enter and Escape.
  EXPECT_EQ(view_->handedOn, (std::vector<int>{kCmdMarkAutomatically, kCmdInvertMarks,
                                               kCmdSwapMarks, kCmdRemoveSelectedRows, kCmdRemoveMarkedRows,
                                               kCmdRemoveUnmarkedRows, kCmdCopyOverPartner}));
}

TEST_F(ResultListActions, ContextMenuOpensOnlyInsideTheListsClientArea) {
  AddRow(File(L"a.png"), File(L"b.png"), true, false);
  bool shown = false;
  view_->SetMenuChooser([&](HMENU, POINT, HWND) {
    shown = true;
    return 0;
  });
  RECT window{};
  ::GetWindowRect(List().hwnd(), &window);
  ::SendMessageW(List().hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().hwnd()),
                 MAKELPARAM(window.right + 20, window.bottom + 20));
  EXPECT_FALSE(shown);
}

// ---------------------------------------------------------------------------
// Copy, move and delete the marked images

TEST_F(ResultListActions, MovingThreeMarkedLeftImagesRemovesEveryRowShowingOne) {
  const std::wstring target = temp_.MakeFolder(L"target");
  const std::wstring remembered = temp_.MakeFolder(L"last time");
  app::Settings().WriteString(L"Move_to_Folder", L"folder", remembered);
  const std::wstring a1 = File(L"a1.png"), a2 = File(L"a2.png"), a3 = File(L"a3.png");
  const std::wstring b1 = File(L"b1.png"), b2 = File(L"b2.png"), c = File(L"c.png");
  AddRow(a1, b1, true, false);
  AddRow(b2, a2, false, false);  // shows a moved file without its mark
  AddRow(a2, b1, true, false);
  AddRow(b1, c);
  AddRow(a3, b2, true, false);

  // A cancelled folder choice touches nothing.
  std::wstring offered;
  view_->SetFolderChooser([&](HWND, const std::wstring& start) -> std::optional<std::wstring> {
    offered = start;
    return std::nullopt;
  });
  RightClick(kCmdMoveMarked);
  EXPECT_EQ(offered, remembered);
  EXPECT_EQ(List().RowCount(), 5);
  EXPECT_TRUE(platform::FileAttributes(a1));

  view_->SetFolderChooser([&](HWND, const std::wstring&) { return target; });
  ShellDialogAnswerer answerer(IDNO);
  RightClick(kCmdMoveMarked);
  EXPECT_TRUE(answerer.Asked().empty()) << answerer.Asked().front();
  for (const wchar_t* name : {L"a1.png", L"a2.png", L"a3.png"}) {
    EXPECT_TRUE(platform::FileAttributes(target + L"\\" + name)) << name;
    EXPECT_FALSE(platform::FileAttributes(temp_.path() + L"\\" + name)) << name;
  }
  EXPECT_EQ(Rows(), std::vector<std::wstring>{b1 + L" | " + c});
  EXPECT_EQ(app::Settings().ReadString(L"Move_to_Folder", L"folder", L""), target);
}

TEST_F(ResultListActions, CopyingIntoAFolderKeepsEveryRowAndCopiesAFileOnce) {
  const std::wstring target = temp_.MakeFolder(L"copies");
  const std::wstring a = File(L"a.png"), b = File(L"b.png");
  std::wstring upper = a;
  upper.replace(upper.size() - 5, 5, L"A.PNG");
  AddRow(a, b, true, false);
  AddRow(b, upper, false, true);  // the same file in another letter case
  view_->SetFolderChooser([&](HWND, const std::wstring&) { return target; });
  ShellDialogAnswerer answerer(IDNO);
  RightClick(kCmdCopyMarked);
  EXPECT_TRUE(answerer.Asked().empty()) << "a file copied twice would ask to replace itself";
  EXPECT_EQ(platform::ReadFileBytes(target + L"\\a.png"), Bytes(a));
  EXPECT_EQ(List().RowCount(), 2);
  EXPECT_EQ(List().Mark(0, kMarkColumnLeft), 1) << "marks stay";
}

TEST_F(ResultListActions, DeletingFromTheRightPreviewToolbarRecyclesTheRightImage) {
  const std::wstring x = File(L"x.png"), y = File(L"y.png"), z = File(L"z.png");
  AddRow(x, y);
  AddRow(z, y);
  AddRow(x, z);
  guitest::SelectRow(List().hwnd(), 0);
  guitest::PumpPending();

  ShellDialogAnswerer answerer(IDYES);
  guitest::ClickToolbarButton(view_->Toolbars().PreviewBar(Side::Right), kDeleteToRecycleBin);
  ASSERT_EQ(answerer.Asked().size(), 1u) << "the system asks first";
  EXPECT_FALSE(platform::FileAttributes(y));
  EXPECT_EQ(Rows(), std::vector<std::wstring>{x + L" | " + z});

  // The file can be put back from the recycle bin.
  const std::optional<std::wstring> trashed = FindInTrash(Bytes(y));
  ASSERT_TRUE(trashed) << "not in " << platform::ToUtf8(TrashFiles());
  EXPECT_TRUE(::MoveFileW(trashed->c_str(), y.c_str()));
  PurgeFromTrash(*trashed);
  EXPECT_EQ(platform::ReadFileBytes(y), Bytes(y));
}

TEST_F(ResultListActions, RefusingTheDeleteQuestionKeepsFilesAndRows) {
  const std::wstring x = File(L"x.png"), y = File(L"y.png");
  AddRow(x, y, true, true);
  ShellDialogAnswerer answerer(IDNO);
  RightClick(kCmdDeleteMarked);
  EXPECT_FALSE(answerer.Asked().empty());
  EXPECT_TRUE(platform::FileAttributes(x) && platform::FileAttributes(y));
  EXPECT_EQ(List().RowCount(), 1);
}

TEST_F(ResultListActions, CopyOverPartnersSkipsRowsWithBothOrNeitherMarked) {
  const std::wstring a = File(L"a.png"), b = File(L"b.png"), c = File(L"c.png");
  const std::wstring d = File(L"d.png"), e = File(L"e.png"), f = File(L"f.png");
  const std::wstring g = File(L"g.png"), h = File(L"h.png");
  AddRow(a, b, true, false);
  AddRow(c, d, true, true);
  AddRow(e, f, false, false);
  AddRow(g, h, false, true);
  const std::vector<std::wstring> before = Rows();

  ShellDialogAnswerer answerer(IDYES);
  RightClick(kCmdCopyOverPartner);
  EXPECT_FALSE(answerer.Asked().empty()) << "the system asks before replacing";
  EXPECT_EQ(platform::ReadFileBytes(b), Bytes(a));
  EXPECT_EQ(platform::ReadFileBytes(g), Bytes(h));
  for (const std::wstring& untouched : {a, c, d, e, f, h})
    EXPECT_EQ(platform::ReadFileBytes(untouched), Bytes(untouched));
  EXPECT_EQ(Rows(), before);
}

// ---------------------------------------------------------------------------
// One image

TEST_F(ResultListActions, ShowInExplorerAndOpenStartTheShellMaximised) {
  const std::wstring x = File(L"x.png"), y = File(L"y.png");
  AddRow(x, y);
  guitest::SelectRow(List().hwnd(), 0);
  guitest::PumpPending();
  ASSERT_EQ(view_->PreviewedPath(Side::Right), y);
  guitest::ClickToolbarButton(view_->Toolbars().PreviewBar(Side::Right), kShowInExplorer);
  guitest::ClickToolbarButton(view_->Toolbars().PreviewBar(Side::Left), kOpenWithProgram);
  wchar_t windows[MAX_PATH] = {};
  ::GetWindowsDirectoryW(windows, MAX_PATH);
  const std::vector<platform::LaunchRequest> expected = {
      {std::wstring(windows) + L"\\explorer.exe", L" /select,\"" + y + L"\",/e", true},
      {x, L"", true}};
  EXPECT_EQ(launched_, expected);
}

// ---------------------------------------------------------------------------
// Nothing lost: every action against awkward marked sets

enum class Action { Recycle, CopyInto, MoveInto, CopyOverPartners };
enum class Trouble { SameFileTwiceInOtherCase, TargetExists, ReadOnly, Vanished };

struct SafetyCase {
  Action action;
  Trouble trouble;
};

std::string Name(const SafetyCase& c) {
  const char* actions[] = {"Recycle", "CopyInto", "MoveInto", "CopyOverPartners"};
  const char* troubles[] = {"SameFileTwiceInOtherCase", "TargetExists", "ReadOnly", "Vanished"};
  return std::string(actions[static_cast<int>(c.action)]) + "_" +
         troubles[static_cast<int>(c.trouble)];
}

class DataSafety : public ResultListActions, public testing::WithParamInterface<SafetyCase> {};

TEST_P(DataSafety, NoFileIsLostAndTheListShowsTheFileSystem) {
  const auto [action, trouble] = GetParam();
  const std::wstring source = temp_.MakeFolder(L"src");
  const std::wstring other = temp_.MakeFolder(L"other");
  const std::wstring target = temp_.MakeFolder(L"target");
  const std::wstring a = File(L"a.png", source), b = File(L"b.png", source);
  const std::wstring c = File(L"c.png", other);
  std::wstring upperA = source + L"\\A.PNG";
  const bool intoFolder = action == Action::CopyInto || action == Action::MoveInto;

  // Files that are no source: each must keep its bytes unless the system asked.
  std::vector<std::wstring> bystanders;
  switch (trouble) {
    case Trouble::SameFileTwiceInOtherCase:
      if (action == Action::CopyOverPartners) {
        AddRow(a, upperA, true, false);  // a pair of one file: never copied over itself
        AddRow(b, c, false, true);
      } else {
        AddRow(a, c, true, false);
        AddRow(b, upperA, false, true);
      }
      break;
    case Trouble::TargetExists:
      if (intoFolder) bystanders.push_back(File(L"a.png", target));
      // Recycling two files of one name: the bin must keep both.
      AddRow(a, action == Action::Recycle ? File(L"a.png", other) : c, true,
             action == Action::Recycle);
      break;
    case Trouble::ReadOnly:
      AddRow(a, c, true, false);
      ::SetFileAttributesW((action == Action::CopyOverPartners ? c : a).c_str(),
                           FILE_ATTRIBUTE_READONLY);
      break;
    case Trouble::Vanished:
      AddRow(a, c, true, false);
      AddRow(b, c, false, true);
      ::DeleteFileW(a.c_str());
      break;
  }
  if (action == Action::CopyOverPartners)
    for (int row = 0; row < List().RowCount(); ++row)
      for (int column : {0, 1})
        if (List().Mark(row, column) == 0) bystanders.push_back(List().Text(row, column));

  // Where each file's bytes were before the action.
  std::vector<std::pair<std::wstring, std::string>> before;
  for (const std::wstring& path : files_)
    if (auto bytes = platform::ReadFileBytes(path)) before.push_back({path, *bytes});
  const std::vector<std::wstring> rowsBefore = Rows();

  view_->SetFolderChooser([&](HWND, const std::wstring&) { return target; });
  ShellDialogAnswerer answerer(IDYES);
  const int commands[] = {kCmdDeleteMarked, kCmdCopyMarked, kCmdMoveMarked, kCmdCopyOverPartner};
  RightClick(commands[static_cast<int>(action)]);
  const bool asked = !answerer.Asked().empty();

  for (const auto& [path, bytes] : before) {
    SCOPED_TRACE(platform::ToUtf8(path));
    const bool where = platform::ReadFileBytes(path) == bytes;
    const bool atTarget = FindInFolder(target, bytes).has_value();
    const std::optional<std::wstring> trashed = FindInTrash(bytes);
    if (trashed) PurgeFromTrash(*trashed);
    const bool bystander =
        std::find(bystanders.begin(), bystanders.end(), path) != bystanders.end();
    if (!bystander) {
      EXPECT_TRUE(where || atTarget || trashed) << "lost";
    } else if (!asked) {
      EXPECT_TRUE(where) << "replaced without a question";
    }
  }
  // A row stays exactly when both its files exist.
  std::vector<std::wstring> rowsExpected;
  for (const std::wstring& row : rowsBefore) {
    const size_t bar = row.find(L" | ");
    if (platform::FileAttributes(row.substr(0, bar)) &&
        platform::FileAttributes(row.substr(bar + 3)))
      rowsExpected.push_back(row);
  }
  EXPECT_EQ(Rows(), rowsExpected);
  for (const std::wstring& question : answerer.Asked())
    std::printf("  asked: %s\n", platform::ToUtf8(question).c_str());
}

std::vector<SafetyCase> AllSafetyCases() {
  std::vector<SafetyCase> cases;
  for (Action action :
       {Action::Recycle, Action::CopyInto, Action::MoveInto, Action::CopyOverPartners})
    for (Trouble trouble : {Trouble::SameFileTwiceInOtherCase, Trouble::TargetExists,
                            Trouble::ReadOnly, Trouble::Vanished})
      cases.push_back({action, trouble});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Matrix, DataSafety, testing::ValuesIn(AllSafetyCases()),
                         [](const testing::TestParamInfo<SafetyCase>& info) {
                           return Name(info.param);
                         });

}  // namespace
