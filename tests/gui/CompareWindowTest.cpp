// The compare window as a real window under wine, driven with messages: its
// searches, its options, its folder fields and their warnings, the result
// list and the previews. Each test has a settings file of its own.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/FramePlugins_win.h"
#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "app/TextIds.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/PreviewCaptions.h"
#include "engine/NumberTexts.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "tests/gui/CompareFixtures.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"
#include "viewing/PreviewGeometry.h"

namespace {

using comparewindow::C2017ComboBoxEx;
using comparewindow::CImgCmp2017;
using comparewindow::Side;
using engine::PathBox;
using guitest::ClickButton;
using guitest::ItemText;

// The window with a few hooks: the first row appended and the running states, as the run sets them.
class TestView : public CImgCmp2017 {
 public:
  using CImgCmp2017::CImgCmp2017;

  std::function<void()> onFirstRow;  // runs on the worker, after the row is in the list

  void AppendRow(const engine::MatchPair& pair) override {
    CImgCmp2017::AppendRow(pair);
    if (onFirstRow) std::exchange(onFirstRow, nullptr)();
  }
  void SetRunning(bool running) override {
    {
      std::lock_guard lock(mutex_);
      states_.push_back(running);
    }
    CImgCmp2017::SetRunning(running);
  }
  std::vector<bool> States() {
    std::lock_guard lock(mutex_);
    return states_;
  }

 private:
  std::mutex mutex_;
  std::vector<bool> states_;
};

std::wstring CellText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 1024;
  ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

int HeaderFormat(HWND list, int column) {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  Header_GetItem(ListView_GetHeader(list), column, &item);
  return item.fmt;
}

std::wstring MainValue(const wchar_t* key) {
  return app::Settings().ReadString(app::Settings().SettingsName(), key, L"<missing>");
}

RECT RectIn(HWND parent, HWND child) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What a field's edit part is painted with: the background colour the field gives.
COLORREF FieldBackground(HWND field) {
  platform::UniqueDc dc(::CreateCompatibleDC(nullptr));
  ::SetBkColor(dc.get(), RGB(1, 2, 3));
  COMBOBOXINFO info{sizeof info};
  ::GetComboBoxInfo(field, &info);
  ::SendMessageW(field, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(info.hwndItem));
  return ::GetBkColor(dc.get());
}

class CompareWindow : public testing::Test {
 protected:
  void SetUp() override {
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
    host_ = guitest::MakeHostWindow();
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override {
    view_.reset();
    ::DestroyWindow(host_);
  }

  TestView& Open() {
    view_ = std::make_unique<TestView>();
    EXPECT_TRUE(guitest::OpenView(*view_, host_));
    return *view_;
  }
  TestView& Reopen() {
    view_.reset();
    return Open();
  }
  HWND Dialog() const { return view_->hwnd(); }
  HWND List() const { return view_->ResultList(); }

  // Six pictures: three pairs of near copies (the same pattern at two sizes).
  std::wstring WritePairs(const std::wstring& name = L"pairs") {
    const std::wstring folder = temp_.MakeFolder(name);
    for (int i = 0; i < 6; ++i) {
      const int seed = i / 2;
      const int w = 200 + 10 * i;
      testsupport::WritePng(folder + L"\\p" + std::to_wstring(i) + L".png", w, 150,
                            [&](int x, int y) { return testsupport::Pattern(x, y, w, 150, seed); });
    }
    return folder;
  }

  void Search(const std::wstring& right) {
    view_->Field(PathBox::Right).SetText(right);
    ClickButton(Dialog(), IDC_START_STOP);
    ASSERT_TRUE(guitest::WaitForRunEnd(*view_));
    guitest::PumpPending();
  }

  guitest::TempSettings settings_;
  testsupport::TempFolder temp_;
  HWND host_ = nullptr;
  std::unique_ptr<TestView> view_;
};

// ---------------------------------------------------------------------------
// Searches

TEST_F(CompareWindow, SearchFillsTheListSortedAndEndsIdle) {
  TestView& view = Open();
  const std::wstring folder = WritePairs();
  view.Field(PathBox::Right).SetText(folder);
  ClickButton(Dialog(), IDC_START_STOP);
  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), L"Stop");
  EXPECT_FALSE(::IsWindowEnabled(view.Field(PathBox::Right).hwnd()));
  EXPECT_FALSE(::IsWindowEnabled(view.Toolbars().MatchBar()));
  ASSERT_TRUE(guitest::WaitForRunEnd(view));
  guitest::PumpPending();

  ASSERT_EQ(ListView_GetItemCount(List()), 3);
  int previous = 101;
  for (int row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    const std::wstring left = CellText(List(), row, 0);
    const std::wstring right = CellText(List(), row, 1);
    ASSERT_EQ(left.rfind(folder + L"\\p", 0), 0u);
    const int first = left.back() == L'g' ? left[left.size() - 5] - L'0' : -1;
    EXPECT_EQ(first % 2, 0) << "pairs of near copies";
    EXPECT_EQ(right, folder + L"\\p" + std::to_wstring(first + 1) + L".png");
    const int similarity = std::stoi(CellText(List(), row, 2));
    EXPECT_GE(similarity, 90);
    EXPECT_LE(similarity, previous) << "most similar first";
    previous = similarity;
    EXPECT_EQ(CellText(List(), row, 2), std::to_wstring(similarity) + L" %");
    EXPECT_EQ(CellText(List(), row, 4), std::to_wstring(200 + 10 * first) + L" x 150");
    EXPECT_EQ(CellText(List(), row, 5), std::to_wstring(210 + 10 * first) + L" x 150");
    EXPECT_EQ(CellText(List(), row, 8), L"0 \u00b0");
    EXPECT_EQ(CellText(List(), row, 9), L"no");
    EXPECT_EQ(CellText(List(), row, 10), L"no");
    EXPECT_EQ(CellText(List(), row, 11), engine::SizeText(platform::FileEntry(left)->fileSize));
    EXPECT_EQ(CellText(List(), row, 12), engine::SizeText(platform::FileEntry(right)->fileSize));
  }
  EXPECT_TRUE(HeaderFormat(List(), 2) & HDF_SORTDOWN);

  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), L"Start search");
  EXPECT_FALSE(view.IsRunning());
  EXPECT_TRUE(::IsWindowEnabled(view.Field(PathBox::Right).hwnd()));
  EXPECT_TRUE(::IsWindowEnabled(view.Toolbars().MatchBar()));
  EXPECT_EQ(ItemText(Dialog(), IDC_STATUS_LINE).rfind(L"Similarity: 3 / Comparisons: 15 / ", 0), 0u)
      << platform::ToUtf8(ItemText(Dialog(), IDC_STATUS_LINE));
  EXPECT_EQ(view.States(), (std::vector<bool>{true, false}));
  // The checked folder went to the top of the field's history.
  EXPECT_EQ(view.Field(PathBox::Right).Entries().front(), folder);
}

// The run finishes the comparisons in flight, so the press may come before
// or after its last ones: either way the rows it found stay and the window
// turns idle.
TEST_F(CompareWindow, StopDuringARunKeepsTheRows) {
  TestView& view = Open();
  bool runningBefore = false, runningAfter = true;
  view.onFirstRow = [&] {
    runningBefore = view.IsRunning();
    ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_START_STOP, BN_CLICKED), 0);
    runningAfter = view.IsRunning();
  };
  Search(WritePairs());
  EXPECT_TRUE(runningBefore);
  EXPECT_FALSE(runningAfter) << "the press stopped the run";
  const int rows = ListView_GetItemCount(List());
  EXPECT_GE(rows, 1);
  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), L"Start search");
  EXPECT_EQ(view.States(), (std::vector<bool>{true, false}));
  guitest::PumpPending();
  EXPECT_EQ(ListView_GetItemCount(List()), rows) << "the rows stay";
  EXPECT_FALSE(CellText(List(), 0, 0).empty());
}

TEST_F(CompareWindow, StartPressedTwiceQuicklyStartsOneRunAndStopsIt) {
  TestView& view = Open();
  view.Field(PathBox::Right).SetText(WritePairs());
  // The worker needs this thread for its first request, so both presses come first.
  ClickButton(Dialog(), IDC_START_STOP);
  EXPECT_TRUE(view.IsRunning());
  ClickButton(Dialog(), IDC_START_STOP);
  EXPECT_FALSE(view.IsRunning());
  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), L"Stop") << "until the worker has ended";
  ASSERT_TRUE(guitest::WaitForRunEnd(view));
  guitest::PumpPending();
  EXPECT_EQ(view.States(), (std::vector<bool>{true, false})) << "one run";
  EXPECT_EQ(ListView_GetItemCount(List()), 0);
  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), L"Start search");
}

TEST_F(CompareWindow, ClosingDuringARunEndsTheWorker) {
  {
    SCOPED_TRACE("the window, while the run fingerprints");
    const std::wstring folder = temp_.MakeFolder(L"many");
    for (int i = 0; i < 60; ++i)
      testsupport::WritePng(folder + L"\\m" + std::to_wstring(i) + L".png", 200, 150,
                            [&](int x, int y) { return testsupport::Pattern(x, y, 200, 150, i); });
    TestView& view = Open();
    view.Field(PathBox::Right).SetText(folder);
    ClickButton(Dialog(), IDC_START_STOP);
    ASSERT_TRUE(guitest::PumpUntil([&] {
      return ItemText(Dialog(), IDC_STATUS_LINE).find(app::LangText(app::kTextPleaseWait)) !=
             std::wstring::npos;
    }));
    ::DestroyWindow(view.hwnd());
    EXPECT_FALSE(view.WorkerActive());
    EXPECT_FALSE(view.IsRunning());
    view_.reset();
  }
  {
    SCOPED_TRACE("the program, while the worker waits for its first request");
    app::CImgCompareMain frame;
    app::FrameStart start;
    start.createView = app::CreateHostedView;
    ASSERT_TRUE(guitest::OpenFrame(frame, start));
    auto* view = dynamic_cast<CImgCmp2017*>(frame.HostedView());
    ASSERT_NE(view, nullptr);
    view->Field(PathBox::Right).SetText(WritePairs());
    ClickButton(view->hwnd(), IDC_START_STOP);
    ::SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame.hwnd()));
  }
}

// ---------------------------------------------------------------------------
// Options

TEST_F(CompareWindow, OptionsChosenFromTheMenusAreStoredAndComeBack) {
  using namespace comparewindow;
  TestView& view = Open();
  const HWND search = view.Toolbars().SearchBar();
  const HWND match = view.Toolbars().MatchBar();
  const HWND preview = view.Toolbars().PreviewBar(Side::Left);

  const std::vector<guitest::MenuEntry> similarity =
      guitest::ChooseFromOptionMenu(view, search, kSearchSimilarity, 85);
  ASSERT_EQ(similarity.size(), 13u);
  EXPECT_EQ(similarity[0].text, L"Similarity 100 %");
  const std::vector<guitest::MenuEntry> subfolders =
      guitest::ChooseFromOptionMenu(view, search, kSearchSubfolders, 1);
  ASSERT_EQ(subfolders.size(), 4u);
  EXPECT_TRUE(subfolders[0].grayed) << "the title";
  guitest::ChooseFromOptionMenu(view, match, kMatchCompareMode, 2);
  guitest::ChooseFromOptionMenu(view, match, kMatchRule, 3);
  for (int button : {kMatchRotated, kMatchFlipped, kMatchNegative})
    guitest::ChooseFromOptionMenu(view, match, button, 1);
  const std::vector<guitest::MenuEntry> previewModes =
      guitest::ChooseFromOptionMenu(view, preview, kPreviewMode, 3);
  ASSERT_EQ(previewModes.size(), 3u);
  EXPECT_TRUE(previewModes[1].grayed);
  // Cancelling a menu changes nothing.
  guitest::ChooseFromOptionMenu(view, search, kSearchSimilarity, 0);

  const CompareToolbars& bars = view.Toolbars();
  EXPECT_EQ(bars.Label(search, kSearchSimilarity), L"Similarity 85 %");
  EXPECT_EQ(bars.Label(search, kSearchSubfolders), L"Subfolders: no");
  EXPECT_EQ(bars.Label(match, kMatchCompareMode), L"Two folders: left against right");
  EXPECT_EQ(bars.Label(match, kMatchRule), L"Whole picture (exact)");
  EXPECT_EQ(bars.Label(match, kMatchNegative), L"Negative yes");
  EXPECT_EQ(bars.Label(preview, kPreviewMode), L"Files and preview");
  EXPECT_EQ(view.Options().preview_mode.value, 2);

  for (const auto& [key, value] : {std::pair{L"m_similarity", L"85"},
                                   {L"m_subfolder", L"0"},
                                   {L"m_compare_mode", L"1"},
                                   {L"m_signature_rule", L"3"},
                                   {L"m_search_rotated", L"1"},
                                   {L"m_search_flipped", L"1"},
                                   {L"m_search_negative", L"1"},
                                   {L"preview_mode", L"<missing>"},
                                   {L"m_LeftRightSel", L"<missing>"}}) {
    EXPECT_EQ(MainValue(key), value) << platform::ToUtf8(key);
  }

  TestView& again = Reopen();
  EXPECT_EQ(again.Toolbars().Label(again.Toolbars().SearchBar(), kSearchSimilarity),
            L"Similarity 85 %");
  EXPECT_EQ(again.Toolbars().Label(again.Toolbars().MatchBar(), kMatchRotated), L"Rotated yes");
  EXPECT_EQ(again.Options().ToCompareSettings().m_compare_mode, 1);
  EXPECT_EQ(again.Options().preview_mode.value, 0);
  EXPECT_EQ(again.Options().m_LeftRightSel.value, 1);
  EXPECT_EQ(again.Toolbars().Label(again.Toolbars().PreviewBar(Side::Right), kPreviewMode),
            L"Picture preview");
  EXPECT_TRUE(::IsWindowVisible(again.Field(PathBox::Left).hwnd())) << "two-folder mode";
}

TEST_F(CompareWindow, OneFolderModeShowsOnlyTheRightFieldAcrossTheWidth) {
  TestView& view = Open();
  RECT client{};
  ::GetClientRect(Dialog(), &client);
  for (int id : {IDC_FIELD_LEFT, IDC_CHOOSE_LEFT, IDC_ADD_LEFT})
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(Dialog(), id))) << id;
  EXPECT_EQ(RectIn(Dialog(), view.Field(PathBox::Right).hwnd()).left, comparewindow::kMargin);
  EXPECT_EQ(RectIn(Dialog(), ::GetDlgItem(Dialog(), IDC_ADD_RIGHT)).right,
            client.right - comparewindow::kMargin);

  guitest::ChooseFromOptionMenu(view, view.Toolbars().MatchBar(), comparewindow::kMatchCompareMode,
                                2);
  EXPECT_TRUE(::IsWindowVisible(view.Field(PathBox::Left).hwnd()));
  EXPECT_EQ(RectIn(Dialog(), ::GetDlgItem(Dialog(), IDC_ADD_LEFT)).right, client.right / 2 - 70);
  EXPECT_EQ(RectIn(Dialog(), view.Field(PathBox::Right).hwnd()).left, client.right / 2 + 70);
}

TEST_F(CompareWindow, FilePanelsShowThePreviewedFolder) {
  using namespace comparewindow;
  TestView& view = Open();
  Search(WritePairs());
  guitest::SelectRow(List(), 0);
  const std::wstring left = view.PreviewedPath(Side::Left);
  ASSERT_FALSE(left.empty());
  const std::wstring leftName = left.substr(left.rfind(L'\\') + 1);

  guitest::ChooseFromOptionMenu(view, view.Toolbars().PreviewBar(Side::Left), kPreviewMode, 3);
  FolderFilesPanel& panel = view.PreviewPanel(Side::Right);
  ASSERT_TRUE(panel.exists());
  EXPECT_TRUE(::IsWindowVisible(panel.hwnd()));
  EXPECT_EQ(panel.Names().size(), 6u);
  RECT host{};
  ::GetClientRect(::GetDlgItem(Dialog(), IDC_PREVIEW_RIGHT), &host);
  EXPECT_EQ(
      RectIn(::GetDlgItem(Dialog(), IDC_PREVIEW_RIGHT), view.Preview(Side::Right).hwnd()).left,
      host.right / 2 + 2);

  guitest::ChooseFromOptionMenu(view, view.Toolbars().SearchBar(), kSearchViewMode, 2);
  ASSERT_TRUE(view.ViewPanel().exists());
  EXPECT_TRUE(::IsWindowVisible(view.ViewPanel().hwnd()));
  EXPECT_FALSE(::IsWindowVisible(List()));
  const int selected =
      static_cast<int>(::SendMessageW(view.ViewPanel().hwnd(), LB_GETCURSEL, 0, 0));
  ASSERT_GE(selected, 0);
  EXPECT_EQ(view.ViewPanel().Names()[selected], leftName);

  // A start shows the result list again.
  ClickButton(Dialog(), IDC_START_STOP);
  EXPECT_EQ(view.ViewMode(), kViewResultList);
  EXPECT_TRUE(::IsWindowVisible(List()));
  EXPECT_FALSE(::IsWindowVisible(view.ViewPanel().hwnd()));
  ASSERT_TRUE(guitest::WaitForRunEnd(view));
}

TEST_F(CompareWindow, LanguageChangeRetitlesColumnsButtonAndBars) {
  guitest::EnglishAfterwards english;
  TestView& view = Open();
  app::SetCurrentLanguage(app::kLanguageGerman);
  ASSERT_TRUE(
      guitest::PumpUntil([&] { return ItemText(Dialog(), IDC_START_STOP) != L"Start search"; }));
  EXPECT_EQ(ItemText(Dialog(), IDC_START_STOP), app::LangText(app::kTextStartSearch));
  LVCOLUMNW column{};
  wchar_t title[64] = {};
  column.mask = LVCF_TEXT;
  column.pszText = title;
  column.cchTextMax = 64;
  ListView_GetColumn(List(), 0, &column);
  EXPECT_EQ(std::wstring(title), app::LangText(app::kTextColumnFile) + L" (1)");
  EXPECT_EQ(view.Toolbars().Label(view.Toolbars().MatchBar(), comparewindow::kMatchCompareMode),
            app::LangText(app::kTextOneFolder));
}

// ---------------------------------------------------------------------------
// Folder check and field warnings

TEST_F(CompareWindow, BadFolderTextWarnsTheRightFieldAndStartsNothing) {
  const std::wstring good = WritePairs();
  struct Case {
    const char* what;
    bool twoFolders;
    std::wstring left, right;
    PathBox warned;
    std::wstring fault;  // the text after the message's line break
  };
  const std::wstring missing = temp_ / L"missing";
  for (const Case& c : {
           Case{"one folder, missing", false, L"", missing, PathBox::Right, missing},
           Case{"two folders, both empty", true, L"", L"", PathBox::Left, L""},
           Case{"two folders, the right one missing", true, good, missing, PathBox::Right, missing},
       }) {
    SCOPED_TRACE(c.what);
    guitest::TempSettings fresh;
    if (c.twoFolders)
      app::Settings().WriteInt(app::Settings().SettingsName(), L"m_compare_mode", 1);
    TestView& view = Reopen();
    view.Field(PathBox::Left).SetText(c.left);
    view.Field(PathBox::Right).SetText(c.right);
    ClickButton(Dialog(), IDC_START_STOP);
    ASSERT_TRUE(guitest::WaitForRunEnd(view));
    guitest::PumpPending();
    EXPECT_EQ(view.WarningTarget(), view.Field(c.warned).hwnd());
    EXPECT_EQ(view.WarningCounter(), comparewindow::kWarningSteps);
    wchar_t text[1024] = {};
    TOOLINFOW tool{sizeof tool};
    tool.hwnd = Dialog();
    tool.uId = 1;
    tool.lpszText = text;
    ::SendMessageW(CImgCmp2017::BalloonTip(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), app::LangText(app::kTextBadPath) + L"\n" + c.fault);
    EXPECT_EQ(ListView_GetItemCount(List()), 0);
    EXPECT_EQ(ItemText(Dialog(), IDC_STATUS_LINE), app::LangText(app::kTextStatusReady));
    EXPECT_EQ(view.Field(c.warned).Text(), c.warned == PathBox::Left ? c.left : c.right)
        << "the field keeps its text";
  }
}

TEST_F(CompareWindow, WarningFlashEndsInNormalColours) {
  constexpr COLORREF kRed = RGB(255, 0, 0);
  app::Settings().WriteInt(app::Settings().SettingsName(), L"m_compare_mode", 1);
  TestView& view = Open();
  const HWND left = view.Field(PathBox::Left).hwnd();
  const HWND right = view.Field(PathBox::Right).hwnd();
  const auto tick = [&] { ::SendMessageW(Dialog(), WM_TIMER, comparewindow::kWarningTimer, 0); };

  view.FieldWarning(PathBox::Right, L"first");
  EXPECT_NE(FieldBackground(right), kRed) << "the first flash comes with the first tick";
  for (int step = 1; step <= 4; ++step) {
    tick();
    EXPECT_EQ(FieldBackground(right) == kRed, step % 2 == 1) << step;
  }
  tick();  // red again
  ASSERT_EQ(FieldBackground(right), kRed);
  // A second warning before the first ended starts over; one on another field
  // leaves the first in its normal colours.
  view.FieldWarning(PathBox::Right, L"again");
  EXPECT_EQ(view.WarningCounter(), comparewindow::kWarningSteps);
  for (int step = 1; step <= comparewindow::kWarningSteps; ++step) tick();
  EXPECT_NE(FieldBackground(right), kRed);
  EXPECT_FALSE(::IsWindowVisible(CImgCmp2017::BalloonTip()));

  view.FieldWarning(PathBox::Right, L"right");
  tick();
  ASSERT_EQ(FieldBackground(right), kRed);
  view.FieldWarning(PathBox::Left, L"left");
  EXPECT_NE(FieldBackground(right), kRed);
  for (int step = 1; step <= comparewindow::kWarningSteps; ++step) tick();
  EXPECT_NE(FieldBackground(left), kRed);
  EXPECT_EQ(view.WarningCounter(), 0);
}

// ---------------------------------------------------------------------------
// Result list and previews

TEST_F(CompareWindow, SelectingARowLoadsBothPreviewsAndFillsTheTexts) {
  TestView& view = Open();
  EXPECT_TRUE(view.Preview(Side::Right).turned) << "the placeholder upside down";
  EXPECT_FALSE(view.Preview(Side::Left).turned);

  // One pair, too large for the panes: both are stored fitted.
  const std::wstring folder = temp_.MakeFolder(L"wide");
  for (const auto& [name, w, h] : {std::tuple{L"\\a.png", 1600, 400}, {L"\\b.png", 800, 200}})
    testsupport::WritePng(folder + name, w, h,
                          [&](int x, int y) { return testsupport::Pattern(x, y, w, h, 4); });
  Search(folder);
  ASSERT_EQ(ListView_GetItemCount(List()), 1);
  guitest::SelectRow(List(), 0);
  ASSERT_TRUE(guitest::WaitForPreviews(view));

  const std::wstring leftPath = CellText(List(), 0, 0);
  EXPECT_EQ(view.PreviewedPath(Side::Left), leftPath);
  EXPECT_EQ(view.PreviewedRow(), 0);
  EXPECT_FALSE(view.Preview(Side::Right).turned);
  for (Side side : {Side::Left, Side::Right}) {
    SCOPED_TRACE(static_cast<int>(side));
    const bool isA = view.PreviewedPath(side).ends_with(L"a.png");
    RECT client{};
    ::GetClientRect(view.Preview(side).hwnd(), &client);
    const viewing::PaneRect fitted =
        viewing::FitRect({0, 0, client.right, client.bottom}, isA ? 1600 : 800, isA ? 400 : 200);
    const viewing::PreviewState state = view.Preview(side).State();
    EXPECT_TRUE(state.hasPicture);
    EXPECT_EQ(state.width, fitted.Width());
    EXPECT_EQ(state.height, fitted.Height());
  }

  EXPECT_EQ(ItemText(Dialog(), IDC_CAPTION_LEFT), leftPath);
  const bool leftIsA = leftPath.ends_with(L"a.png");
  const auto info = [&](bool a) {
    return std::wstring(a ? L" 1600 x 400 " : L" 800 x 200 ") +
           engine::SizeText(platform::FileEntry(folder + (a ? L"\\a.png" : L"\\b.png"))->fileSize) +
           L" ";
  };
  EXPECT_EQ(ItemText(Dialog(), IDC_INFO_LEFT), info(leftIsA));
  EXPECT_EQ(ItemText(Dialog(), IDC_INFO_RIGHT), info(!leftIsA));
  EXPECT_EQ(ItemText(Dialog(), IDC_PAIR_INFO),
            std::to_wstring(std::stoi(CellText(List(), 0, 2))) + L" %\r\n 0 \u00b0\r\n==");
  // The row toolbars float over the path cells of the selected row.
  EXPECT_TRUE(::IsWindowVisible(view.Toolbars().RowBar(Side::Left)));

  // A changed mark shows in the captions without loading the pictures again.
  const uint32_t loads = view.Preview(Side::Left).State().loads;
  view.List().SetMark(0, comparewindow::kMarkColumnRight, 1);
  view.ScheduleCaptionRefresh();
  ASSERT_TRUE(guitest::PumpUntil(
      [&] { return ItemText(Dialog(), IDC_INFO_RIGHT).starts_with(L"\u2714 "); }));
  EXPECT_EQ(ItemText(Dialog(), IDC_INFO_RIGHT), L"\u2714 " + info(!leftIsA) + L"\u2714 ");
  EXPECT_EQ(view.Preview(Side::Left).State().loads, loads);
}

// ---------------------------------------------------------------------------
// Folder fields

TEST_F(CompareWindow, FirstStartSeedsTheSecondFieldOnly) {
  TestView& view = Open();
  const std::vector<std::wstring> entries = view.Field(PathBox::Right).Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], L"C:\\");
  EXPECT_EQ(view.Field(PathBox::Right).Text(), L"C:\\");
  EXPECT_TRUE(view.Field(PathBox::Left).Entries().empty());
  EXPECT_EQ(app::Settings().ReadString(L"Path2", L"last_entry", L""), L"C:\\");
  EXPECT_EQ(app::Settings().ReadString(L"Path1", L"last_entry", L"<missing>"), L"<missing>");
}

TEST_F(CompareWindow, FolderButtonsChooseAndAdd) {
  TestView& view = Open();
  C2017ComboBoxEx& field = view.Field(PathBox::Right);
  std::wstring offered;
  std::optional<std::wstring> answer = L"z:\\pics\\SUMMER";
  view.SetFolderChooser([&](HWND, const std::wstring& start) {
    offered = start;
    return answer;
  });

  field.SetText(L"Z:\\pics\\summer;x;Z:\\pics\\winter");
  ClickButton(Dialog(), IDC_ADD_RIGHT);
  EXPECT_EQ(offered, L"Z:\\pics\\winter") << "opens on the last item";
  EXPECT_EQ(field.Text(), L"Z:\\pics\\summer;Z:\\pics\\winter") << "one copy, short pieces gone";
  EXPECT_EQ(field.Entries().front(), field.Text());

  answer = std::nullopt;  // cancelled
  ClickButton(Dialog(), IDC_CHOOSE_RIGHT);
  EXPECT_EQ(field.Text(), L"Z:\\pics\\summer;Z:\\pics\\winter");

  answer = L"Y:\\other";
  ClickButton(Dialog(), IDC_CHOOSE_RIGHT);
  EXPECT_EQ(field.Text(), L"Y:\\other");
  EXPECT_EQ(app::Settings().ReadString(L"Path2", L"entry_000", L""), L"Y:\\other");
  EXPECT_EQ(app::Settings().ReadString(L"Path2", L"last_entry", L""), L"Y:\\other");
}

TEST_F(CompareWindow, DeleteInTheOpenDropDownRemovesTheEntry) {
  TestView& view = Open();
  C2017ComboBoxEx& field = view.Field(PathBox::Right);
  for (const wchar_t* text : {L"D:\\c", L"D:\\b", L"D:\\a"}) field.Commit(text);
  ASSERT_EQ(field.Entries().size(), 6u);  // with the three of the first start

  const auto press = [&](LPARAM flags) {
    ::SendMessageW(field.EditPart(), WM_KEYDOWN, VK_DELETE, flags);
  };
  ::SendMessageW(field.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
  ::SendMessageW(field.hwnd(), CB_SETCURSEL, 1, 0);  // D:\b
  press(1);
  EXPECT_EQ(::SendMessageW(field.hwnd(), CB_GETCURSEL, 0, 0), 1) << "its neighbour highlighted";
  press(1 << 30);  // the key held down: no further entry goes
  ::SendMessageW(field.hwnd(), CB_SHOWDROPDOWN, FALSE, 0);
  const std::vector<std::wstring> entries = field.Entries();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0], L"D:\\a");
  EXPECT_EQ(entries[1], L"D:\\c");
  EXPECT_EQ(app::Settings().ReadString(L"Path2", L"entry_001", L""), L"D:\\c");
  EXPECT_EQ(app::Settings().ReadString(L"Path2", L"entry_005", L"<missing>"), L"");

  // Closed, Delete is the edit part's own key.
  press(1);
  EXPECT_EQ(field.Entries().size(), 5u);
  EXPECT_EQ(Reopen().Field(PathBox::Right).Entries(), entries);
}

TEST_F(CompareWindow, OnlySixtyFourHistoryEntriesComeBack) {
  for (int i = 0; i < 70; ++i) {
    wchar_t key[16];
    swprintf(key, 16, L"entry_%03d", i);
    app::Settings().WriteString(L"Path1", key, L"E:\\f" + std::to_wstring(i));
  }
  app::Settings().WriteString(L"Path1", L"last_entry", L"e:\\F1");
  TestView& view = Open();
  EXPECT_EQ(view.Field(PathBox::Left).Entries().size(), 64u);
  // The first entry that begins with the last text, letter case ignored.
  EXPECT_EQ(::SendMessageW(view.Field(PathBox::Left).hwnd(), CB_GETCURSEL, 0, 0), 1);
}

// Dropped files from Explorer: appended, as the left button is up by now.
TEST_F(CompareWindow, DroppedFolderIsAppended) {
  TestView& view = Open();
  C2017ComboBoxEx& field = view.Field(PathBox::Right);
  field.SetText(L"Z:\\first");
  const std::wstring dropped = L"Z:\\dropped";
  const size_t bytes = sizeof(DROPFILES) + (dropped.size() + 2) * sizeof(wchar_t);
  const HGLOBAL memory = ::GlobalAlloc(GHND, bytes);
  auto* files = static_cast<DROPFILES*>(::GlobalLock(memory));
  files->pFiles = sizeof(DROPFILES);
  files->fWide = TRUE;
  std::copy(dropped.begin(), dropped.end(),
            reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(files) + sizeof(DROPFILES)));
  ::GlobalUnlock(memory);
  ::SendMessageW(field.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // frees it
  EXPECT_EQ(field.Text(), L"Z:\\first;Z:\\dropped");
  EXPECT_EQ(field.Entries().front(), L"Z:\\first;Z:\\dropped");
}

}  // namespace
