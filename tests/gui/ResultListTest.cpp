// The result list of the compare window under wine, driven with messages:
// sorting by column clicks, marks by clicks, header boxes, arrow keys and
// the mark and removal commands, and renaming a file in place. The rows are
// pairs made here, so no search has to run.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/RowMarks.h"
#include "engine/ImageEntry.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "tests/gui/CompareFixtures.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"
#include "tests/support/TempFolder.h"

namespace {

using comparewindow::CImgCmp2017;
using comparewindow::RowMarks;
using comparewindow::Side;

struct Picture {
  std::wstring path;
  int width = 100;
  int height = 100;
  uint64_t bytes = 1000;
};

class ResultList : public testing::Test {
 protected:
  void SetUp() override {
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    host_ = guitest::MakeHostWindow();
    ASSERT_NE(host_, nullptr);
    view_ = std::make_unique<CImgCmp2017>();
    ASSERT_TRUE(guitest::OpenView(*view_, host_));
  }
  void TearDown() override {
    view_.reset();
    ::DestroyWindow(host_);
  }

  HWND Dialog() const { return view_->hwnd(); }
  HWND List() const { return view_->ResultList(); }
  int Rows() const { return ListView_GetItemCount(List()); }

  const engine::ImageEntry& Entry(const Picture& picture) {
    engine::ImageEntry& entry = entries_.emplace_back(engine::EmptyEntry());
    entry.SetPath(picture.path);
    entry.width = picture.width;
    entry.height = picture.height;
    entry.fileSize = picture.bytes;
    return entry;
  }
  void AddRow(const engine::ImageEntry& left, const engine::ImageEntry& right, int similarity = 95,
              int rotation = 0) {
    pairs_.push_back({&left, &right, similarity, 0, 0, rotation, 100});
    view_->AppendRow(pairs_.back());
  }
  void AddRow(const Picture& left, const Picture& right, int similarity = 95, int rotation = 0) {
    AddRow(Entry(left), Entry(right), similarity, rotation);
  }
  // Rows named by number ("C:\\r<n>a.png" and "...b.png"), similarity 90 + n.
  void AddRows(int count) {
    for (int n = 0; n < count; ++n) {
      const std::wstring stem = L"C:\\r" + std::to_wstring(n);
      AddRow(Picture{stem + L"a.png"}, Picture{stem + L"b.png"}, 90 + n);
    }
  }

  RowMarks Marks(int row) { return view_->List().Marks(row); }
  std::vector<RowMarks> AllMarks() {
    std::vector<RowMarks> marks;
    for (int row = 0; row < Rows(); ++row) marks.push_back(Marks(row));
    return marks;
  }
  void SetMarks(const std::vector<RowMarks>& marks) {
    view_->List().ChangeMarks([&](int row, RowMarks) { return marks[row]; });
  }
  void Command(int id) { ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  // Mouse clicks on a point of the list or its header.
  static void MouseClick(HWND window, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    // The list waits for the button's release before it reports the click.
    ::PostMessageW(window, WM_LBUTTONUP, 0, where);
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, where);
    guitest::PumpPending();
  }
  static POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  POINT CellPoint(int row, int column, bool onIcon) {
    RECT cell{};
    ListView_GetSubItemRect(List(), row, column, onIcon ? LVIR_ICON : LVIR_LABEL, &cell);
    return Centre(cell);
  }
  void ClickCell(int row, int column, bool onIcon) {
    MouseClick(List(), CellPoint(row, column, onIcon));
  }
  void DoubleClickCell(int row, int column) {
    const LPARAM where =
        MAKELPARAM(CellPoint(row, column, false).x, CellPoint(row, column, false).y);
    ::SendMessageW(List(), WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    ::SendMessageW(List(), WM_LBUTTONUP, 0, where);
    guitest::PumpPending();
  }
  void ColumnClick(int column) {
    const HWND header = ListView_GetHeader(List());
    RECT item{};
    Header_GetItemRect(header, column, &item);
    // Scrolled into view, as a user would; the header follows the list.
    ListView_Scroll(List(), item.left - ::GetScrollPos(List(), SB_HORZ), 0);
    guitest::PumpPending();
    MouseClick(header, Centre(item));
  }
  // The header tells the list, which passes it on to the window.
  void HeaderBoxClick(int column) {
    const HWND header = ListView_GetHeader(List());
    NMHEADERW click{};
    click.hdr = {header, static_cast<UINT_PTR>(::GetDlgCtrlID(header)),
                 static_cast<UINT>(HDN_ITEMSTATEICONCLICK)};
    click.iItem = column;
    ::SendMessageW(List(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  }
  int HeaderFormat(int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(List()), column, &item);
    return item.fmt;
  }
  bool ArrowKey(WPARAM key, bool repeat) {
    MSG message{List(), WM_KEYDOWN, key, repeat ? (1 << 30) | 1 : 1};
    return view_->PreTranslateMessage(message);
  }
  std::wstring Cell(int row, int column) { return view_->List().Text(row, column); }

  guitest::TempSettings settings_;
  HWND host_ = nullptr;
  std::unique_ptr<CImgCmp2017> view_;
  std::deque<engine::ImageEntry> entries_;  // stable addresses for the pairs
  std::deque<engine::MatchPair> pairs_;
};

// ---------------------------------------------------------------------------
// Sorting

TEST_F(ResultList, ColumnClicksFlipTheOrderOnEveryClick) {
  AddRow(Picture{L"C:\\b.png"}, Picture{L"C:\\x.png"}, 90, 90);
  AddRow(Picture{L"C:\\A.png"}, Picture{L"C:\\y.png"}, 97, 0);
  AddRow(Picture{L"C:\\c.png"}, Picture{L"C:\\z.png"}, 93, 180);
  const auto column = [&](int c) {
    std::vector<std::wstring> texts;
    for (int row = 0; row < Rows(); ++row) texts.push_back(Cell(row, c));
    return texts;
  };

  ColumnClick(2);  // the flag starts clear and flips first
  EXPECT_EQ(column(2), (std::vector<std::wstring>{L"97 %", L"93 %", L"90 %"}));
  EXPECT_TRUE(HeaderFormat(2) & HDF_SORTDOWN);
  EXPECT_EQ(app::Settings().ReadInt(L"Program", L"sort_col", -5), 2);
  EXPECT_EQ(app::Settings().ReadInt(L"Program", L"SortDescending", -5), 1);

  // Another column: the flag flips again, and rotation sorts the other way round.
  ColumnClick(8);
  EXPECT_EQ(column(8), (std::vector<std::wstring>{L"180 \u00b0", L"90 \u00b0", L"0 \u00b0"}));
  EXPECT_TRUE(HeaderFormat(8) & HDF_SORTUP);
  EXPECT_FALSE(HeaderFormat(2) & (HDF_SORTUP | HDF_SORTDOWN));
  EXPECT_EQ(app::Settings().ReadInt(L"Program", L"SortDescending", -5), 0);

  ColumnClick(8);
  EXPECT_EQ(column(8), (std::vector<std::wstring>{L"0 \u00b0", L"90 \u00b0", L"180 \u00b0"}));
  EXPECT_TRUE(HeaderFormat(8) & HDF_SORTDOWN);

  ColumnClick(0);  // ascending, letter case folded
  EXPECT_EQ(column(0), (std::vector<std::wstring>{L"C:\\A.png", L"C:\\b.png", L"C:\\c.png"}));
}

// ---------------------------------------------------------------------------
// Marks

TEST_F(ResultList, ClickOnACheckBoxFlipsItsMarkAndTheCaptionFollows) {
  AddRows(2);
  guitest::SelectRow(List(), 0);
  guitest::PumpPending();
  ClickCell(0, 1, true);
  EXPECT_EQ(Marks(0), (RowMarks{0, 1}));
  ASSERT_TRUE(guitest::PumpUntil(
      [&] { return guitest::ItemText(Dialog(), IDC_INFO_RIGHT).starts_with(L"\u2714 "); }));
  EXPECT_TRUE(guitest::ItemText(Dialog(), IDC_INFO_RIGHT).ends_with(L" \u2714 "));

  ClickCell(0, 0, false);  // the path text, beside the box
  ClickCell(1, 2, false);
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{0, 1}, {0, 0}}));
  ClickCell(0, 1, true);
  EXPECT_EQ(Marks(0), (RowMarks{0, 0}));
}

TEST_F(ResultList, HeaderBoxSetsTheWholeColumnToTheOppositeOfItself) {
  AddRows(3);
  EXPECT_TRUE(HeaderFormat(0) & HDF_CHECKBOX);
  SetMarks({{0, 0}, {1, 1}, {0, 0}});
  HeaderBoxClick(0);  // partly marked, box unchecked: all marked
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{1, 0}, {1, 1}, {1, 0}}));
  EXPECT_TRUE(HeaderFormat(0) & HDF_CHECKED);
  EXPECT_FALSE(HeaderFormat(1) & HDF_CHECKED);

  HeaderBoxClick(0);
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{0, 0}, {0, 1}, {0, 0}}));
  EXPECT_FALSE(HeaderFormat(0) & HDF_CHECKED);

  HeaderBoxClick(2);  // no box there
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{0, 0}, {0, 1}, {0, 0}}));

  // Every row of an empty list counts as marked: the box stays checked.
  view_->List().DeleteAllRows();
  for (int click = 0; click < 2; ++click) {
    HeaderBoxClick(1);
    EXPECT_TRUE(HeaderFormat(1) & HDF_CHECKED);
  }
}

TEST_F(ResultList, ArrowKeysFlipMarksOfTheSelectedRowsOncePerPress) {
  EXPECT_TRUE(view_->LeftRightSel());
  ::SetFocus(List());
  ASSERT_EQ(::GetFocus(), List());
  EXPECT_TRUE(ArrowKey(VK_RIGHT, false)) << "an empty list swallows the key";

  AddRows(4);
  ::SetFocus(List());
  for (int row : {0, 1, 3}) ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_TRUE(ArrowKey(VK_RIGHT, false));
  EXPECT_FALSE(ArrowKey(VK_RIGHT, true)) << "auto-repeat goes to the list";
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{0, 1}, {0, 1}, {0, 0}, {0, 1}}));
  EXPECT_TRUE(ArrowKey(VK_LEFT, false));
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{1, 1}, {1, 1}, {0, 0}, {1, 1}}));

  view_->SetLeftRightSel(false);
  EXPECT_FALSE(ArrowKey(VK_LEFT, false));
  view_->SetLeftRightSel(true);
  ::SetFocus(view_->Field(engine::PathBox::Right).hwnd());
  EXPECT_FALSE(ArrowKey(VK_LEFT, false)) << "only while the list has the focus";
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{1, 1}, {1, 1}, {0, 0}, {1, 1}}));
}

TEST_F(ResultList, MarkCommands) {
  AddRow(Picture{L"C:\\a1.png", 640, 480, 10}, Picture{L"C:\\b1.png", 320, 240, 900});
  AddRow(Picture{L"C:\\a2.png", 480, 640, 10}, Picture{L"C:\\b2.png", 640, 480, 20});
  AddRow(Picture{L"C:\\a3.png", 640, 480, 20}, Picture{L"C:\\b3.png", 640, 480, 20});
  SetMarks({{0, 1}, {1, 1}, {1, 1}});
  Command(comparewindow::kCmdMarkAutomatically);
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{1, 0}, {0, 1}, {0, 0}}))
      << "pixels first, then file size, then neither";
  Command(comparewindow::kCmdInvertMarks);
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{0, 1}, {1, 0}, {1, 1}}));
  Command(comparewindow::kCmdSwapMarks);
  EXPECT_EQ(AllMarks(), (std::vector<RowMarks>{{1, 0}, {0, 1}, {1, 1}}));
}

TEST_F(ResultList, RemovalCommandsTakeSelectedMarkedOrUnmarkedRows) {
  Command(comparewindow::kCmdRemoveUnmarkedRows);  // nothing on an empty list
  AddRows(5);
  SetMarks({{0, 0}, {1, 0}, {0, 0}, {0, 1}, {0, 0}});
  for (int row : {0, 3}) ListView_SetItemState(List(), row, LVIS_SELECTED, LVIS_SELECTED);
  Command(comparewindow::kCmdRemoveSelectedRows);
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 0), L"C:\\r1a.png");
  EXPECT_EQ(Cell(2, 0), L"C:\\r4a.png");
  Command(comparewindow::kCmdRemoveMarkedRows);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), L"C:\\r2a.png");
  Command(comparewindow::kCmdRemoveUnmarkedRows);
  EXPECT_EQ(Rows(), 0);
}

TEST_F(ResultList, RowToolbarsFollowTheirSetting) {
  AddRows(2);
  guitest::SelectRow(List(), 1);
  guitest::PumpPending();
  EXPECT_TRUE(view_->ShowListToolbar());
  EXPECT_TRUE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Right)));
  view_->SetShowListToolbar(false);
  EXPECT_FALSE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Right)));
  EXPECT_FALSE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Left)));
  EXPECT_EQ(app::Settings().ReadInt(app::Settings().SettingsName(), L"m_ShowListToolbar", -5), 0);
  view_->SetShowListToolbar(true);
  EXPECT_TRUE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Left)));
  EXPECT_EQ(app::Settings().ReadInt(app::Settings().SettingsName(), L"m_ShowListToolbar", -5), 1);
}

// ---------------------------------------------------------------------------
// Renaming in place

class Renaming : public ResultList {
 protected:
  std::wstring File(const wchar_t* name) { return temp_ / name; }
  void Write(const wchar_t* name, const char* bytes) {
    ASSERT_TRUE(platform::WriteFileBytes(File(name), bytes));
  }
  std::string Read(const wchar_t* name) {
    return platform::ReadFileBytes(File(name)).value_or("<none>");
  }
  HWND Editor() { return view_->List().Editor().hwnd(); }
  std::wstring EditorText() { return guitest::TextOf(Editor()); }
  std::pair<DWORD, DWORD> EditorSelection() {
    DWORD start = 0, end = 0;
    ::SendMessageW(Editor(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }
  void Key(WPARAM key) { ::SendMessageW(Editor(), WM_KEYDOWN, key, 1); }
  // Double-clicks a cell, types a new name over the editor's text and presses a key.
  void Rename(int row, int column, const wchar_t* name, WPARAM key = VK_RETURN) {
    DoubleClickCell(row, column);
    ASSERT_NE(Editor(), nullptr);
    ::SetWindowTextW(Editor(), name);
    Key(key);
  }

  testsupport::TempFolder temp_;
};

TEST_F(Renaming, EditorOpensOnTheNameWithItsStemSelected) {
  AddRows(3);
  guitest::SelectRow(List(), 0);
  guitest::PumpPending();
  ASSERT_TRUE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Left)));

  DoubleClickCell(0, 1);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(::GetParent(Editor()), List());
  EXPECT_EQ(EditorText(), L"r0b.png");
  EXPECT_EQ(EditorSelection(), (std::pair<DWORD, DWORD>{0, 3}));
  EXPECT_FALSE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Left))) << "hidden while editing";

  Key(VK_F2);
  EXPECT_EQ(EditorSelection(), (std::pair<DWORD, DWORD>{4, 7}));
  Key(VK_F2);
  EXPECT_EQ(EditorSelection(), (std::pair<DWORD, DWORD>{0, 7}));
  Key(VK_F2);
  EXPECT_EQ(EditorSelection(), (std::pair<DWORD, DWORD>{0, 3}));

  // Typing widens the editor, at most to the list's width.
  RECT before{}, client{};
  ::GetWindowRect(Editor(), &before);
  for (int i = 0; i < 200; ++i) ::SendMessageW(Editor(), WM_CHAR, L'w', 1);
  RECT after{};
  ::GetWindowRect(Editor(), &after);
  ::GetClientRect(List(), &client);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_LE(after.right - after.left, client.right);

  Key(VK_ESCAPE);
  EXPECT_EQ(Editor(), nullptr);
  EXPECT_EQ(::GetFocus(), List());
  EXPECT_EQ(Cell(0, 1), L"C:\\r0b.png");
  EXPECT_TRUE(::IsWindowVisible(view_->Toolbars().RowBar(Side::Left)));

  // Tab goes to the next cell; other columns cannot be renamed.
  DoubleClickCell(1, 1);
  Key(VK_TAB);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(view_->List().Editor().Cell(), (comparewindow::EditCell{1, 2}));
  EXPECT_EQ(EditorText(), L"No-Edit");
  Key(VK_DOWN);
  EXPECT_EQ(view_->List().Editor().Cell(), (comparewindow::EditCell{2, 2}));
  Key(VK_RETURN);  // past the last row: the edit just ends
  EXPECT_EQ(Editor(), nullptr);
}

TEST_F(Renaming, CollisionNamesOneTwoThenNothing) {
  for (const wchar_t* name : {L"a.png", L"b.png", L"c.png", L"d.png", L"e.png", L"taken.png"})
    Write(name, "x");
  Write(L"a.png", "A");
  const engine::ImageEntry& a = Entry({File(L"a.png")});
  const engine::ImageEntry& b = Entry({File(L"b.png")});
  AddRow(a, b);
  AddRow(Entry({File(L"c.png")}), a);  // the same picture in a second row
  AddRow(Entry({File(L"d.png")}), Entry({File(L"e.png")}));

  Rename(0, 0, L"taken.png");
  EXPECT_EQ(Read(L"taken.png"), "x") << "never overwritten";
  EXPECT_EQ(Read(L"taken_(1).png"), "A");
  EXPECT_EQ(Read(L"a.png"), "<none>");
  EXPECT_EQ(Cell(0, 0), File(L"taken_(1).png"));
  EXPECT_EQ(Cell(1, 1), File(L"taken_(1).png")) << "every row showing the picture";
  ASSERT_NE(Editor(), nullptr) << "Enter went on to the next row";
  EXPECT_EQ(view_->List().Editor().Cell(), (comparewindow::EditCell{1, 0}));
  EXPECT_EQ(EditorText(), L"c.png");

  ::SetWindowTextW(Editor(), L"taken.png");
  Key(VK_RETURN);
  EXPECT_EQ(Cell(1, 0), File(L"taken_(2).png"));
  EXPECT_EQ(Read(L"c.png"), "<none>");

  ::SetWindowTextW(Editor(), L"taken.png");
  Key(VK_ESCAPE);
  EXPECT_EQ(Read(L"d.png"), "x") << "Escape leaves the file alone";
  EXPECT_EQ(Cell(2, 0), File(L"d.png"));

  Rename(2, 0, L"taken.png");
  EXPECT_EQ(Read(L"d.png"), "x") << "the third failure changes nothing";
  EXPECT_EQ(Cell(2, 0), File(L"d.png"));
  for (const wchar_t* name : {L"taken.png", L"taken_(1).png", L"taken_(2).png"})
    EXPECT_NE(Read(name), "<none>") << name;
}

TEST_F(Renaming, NamesWithoutADotAndNamesThatLeaveTheFolder) {
  Write(L"a.png", "A");
  Write(L"b.png", "B");
  Write(L"plain", "P");
  AddRow(Entry({File(L"a.png")}), Entry({File(L"b.png")}));

  Rename(0, 1, L"plain", VK_TAB);
  EXPECT_EQ(Cell(0, 1), File(L"plain_(1)"));
  EXPECT_EQ(Read(L"plain_(1)"), "B");
  EXPECT_EQ(Read(L"plain"), "P");

  const std::wstring sub = temp_.MakeFolder(L"sub");
  for (const wchar_t* name : {L"sub\\a.png", L"..\\a.png", L"a.png:stream", L""}) {
    Rename(0, 0, name);
    EXPECT_EQ(Cell(0, 0), File(L"a.png")) << name;
    EXPECT_EQ(Read(L"a.png"), "A") << name;
  }
}

// The data-safety cases of a rename: whatever the file's state, its bytes are
// somewhere the list names, or where they were.
TEST_F(Renaming, ReadOnlyVanishedAndLetterCaseOnlyNamesLoseNothing) {
  Write(L"ro.png", "R");
  Write(L"gone.png", "G");
  Write(L"case.png", "C");
  Write(L"b.png", "B");
  ::SetFileAttributesW(File(L"ro.png").c_str(), FILE_ATTRIBUTE_READONLY);
  AddRow(Entry({File(L"ro.png")}), Entry({File(L"b.png")}));
  AddRow(Entry({File(L"gone.png")}), Entry({File(L"b.png")}));
  AddRow(Entry({File(L"case.png")}), Entry({File(L"b.png")}));

  Rename(0, 0, L"ro-renamed.png", VK_ESCAPE);  // typed, then cancelled
  EXPECT_EQ(Read(L"ro.png"), "R");
  Rename(0, 0, L"ro-renamed.png", VK_TAB);
  EXPECT_EQ(Read(L"ro-renamed.png"), "R") << "a read-only file is renamed like any other";
  EXPECT_EQ(Cell(0, 0), File(L"ro-renamed.png"));
  ::SetFileAttributesW(File(L"ro-renamed.png").c_str(), FILE_ATTRIBUTE_NORMAL);

  ASSERT_TRUE(::DeleteFileW(File(L"gone.png").c_str()));
  Rename(1, 0, L"back.png", VK_TAB);
  EXPECT_EQ(Read(L"back.png"), "<none>");
  EXPECT_EQ(Read(L"back_(1).png"), "<none>");
  EXPECT_EQ(Cell(1, 0), File(L"gone.png")) << "a failed rename changes nothing";

  Rename(2, 0, L"CASE.png", VK_TAB);
  const std::wstring shown = Cell(2, 0);
  EXPECT_EQ(platform::ReadFileBytes(shown).value_or("<none>"), "C")
      << "the row names the file's place: " << platform::ToUtf8(shown);
  EXPECT_EQ(Read(L"b.png"), "B");
}

}  // namespace
