// The portable rules of the compare window: option menus and labels, the
// settings, the folder histories, the layout and the texts around the previews.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/MyProfStr.h"
#include "comparewindow/CompareLayout.h"
#include "comparewindow/CompareWindowSettings.h"
#include "comparewindow/OptionMenus.h"
#include "comparewindow/PathHistory.h"
#include "comparewindow/PreviewCaptions.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace comparewindow;

const engine::TextLookup kTexts = [](int id) { return L"<" + std::to_wstring(id) + L">"; };

// A settings file of the test's own (a portable copy's Duplora.ini).
struct TempStore {
  testsupport::TempFolder temp;
  app::CMyProfStr store;
  TempStore() {
    platform::WriteFileBytes(temp / L"Duplora.ini", "");
    store.Init(temp / L"Duplora.exe", temp.path());
  }
  std::wstring Main(const wchar_t* key) const {
    return store.ReadString(store.SettingsName(), key, L"<missing>");
  }
};

TEST(OptionMenus, ChoicesChangeTheirSettingAndLabel) {
  struct Case {
    const char* what;
    OptionBar bar;
    int button;
    int command;
    const wchar_t* key;  // the setting stored; null when none is
    int value;
    std::wstring label;
  };
  for (const Case& c : {
           Case{"similarity", OptionBar::Search, kSearchSimilarity, 85, L"m_similarity", 85,
                L"<300102> 85 %"},
           Case{"subfolders no", OptionBar::Search, kSearchSubfolders, 1, L"m_subfolder", 0,
                L"<300370> <300202>"},
           Case{"two folders", OptionBar::Match, kMatchCompareMode, 2, L"m_compare_mode", 1,
                L"<300312>"},
           Case{"whole picture", OptionBar::Match, kMatchRule, 3, L"m_signature_rule", 3,
                L"<300304>"},
           Case{"rotated yes", OptionBar::Match, kMatchRotated, 1, L"m_search_rotated", 1,
                L"<300108> <300201>"},
           Case{"mirrored yes", OptionBar::Match, kMatchFlipped, 1, L"m_search_flipped", 1,
                L"<300109> <300201>"},
           Case{"negative no", OptionBar::Match, kMatchNegative, 2, L"m_search_negative", 0,
                L"<300110> <300202>"},
           Case{"preview and panel", OptionBar::Preview, kPreviewMode, 3, nullptr, 2, L"<300323>"},
       }) {
    SCOPED_TRACE(c.what);
    CompareWindowSettings settings;
    settings.m_search_negative.value = 1;  // so that "no" is a change
    int viewMode = 0;
    const OptionChoice choice = ApplyOptionChoice(c.bar, c.button, c.command, settings, viewMode);
    ASSERT_TRUE(choice);
    if (c.key) {
      ASSERT_NE(choice.changed, nullptr);
      EXPECT_EQ(choice.changed->key, c.key);
      EXPECT_EQ(choice.changed->value, c.value);
    } else {
      EXPECT_EQ(choice.changed, nullptr) << "never stored";
      EXPECT_EQ(settings.preview_mode.value, c.value);
      EXPECT_TRUE(choice.rebuildPreviews);
    }
    EXPECT_EQ(OptionLabel(c.bar, c.button, settings, viewMode, kTexts), c.label);
  }
}

TEST(OptionMenus, OnlyOfferedItemsAreChoices) {
  CompareWindowSettings settings;
  int viewMode = 0;
  // Titles, the disabled middle preview entry and stray commands change nothing.
  EXPECT_FALSE(ApplyOptionChoice(OptionBar::Match, kMatchRule, 7, settings, viewMode));
  EXPECT_FALSE(ApplyOptionChoice(OptionBar::Preview, kPreviewMode, 2, settings, viewMode));
  EXPECT_FALSE(ApplyOptionChoice(OptionBar::Search, kSearchSimilarity, 87, settings, viewMode));
  EXPECT_FALSE(ApplyOptionChoice(OptionBar::Search, kSearchUnused, 1, settings, viewMode));
  EXPECT_EQ(settings.m_signature_rule.value, 1);
  EXPECT_EQ(settings.preview_mode.value, 0);
  EXPECT_EQ(settings.m_similarity.value, 90);

  const OptionChoice view =
      ApplyOptionChoice(OptionBar::Search, kSearchViewMode, 2, settings, viewMode);
  EXPECT_TRUE(view.viewMode);
  EXPECT_EQ(view.changed, nullptr);
  EXPECT_EQ(viewMode, kViewFilePanel);
  EXPECT_EQ(OptionLabel(OptionBar::Search, kSearchViewMode, settings, viewMode, kTexts),
            L"<300322>");
}

TEST(OptionMenus, MenusInTheirOrder) {
  const std::vector<OptionMenuItem> similarity =
      OptionMenu(OptionBar::Search, kSearchSimilarity, kTexts);
  ASSERT_EQ(similarity.size(), 13u);
  EXPECT_EQ(similarity.front().command, 100);
  EXPECT_EQ(similarity.front().text, L"<300102> 100 %");
  EXPECT_EQ(similarity.back().command, 40);

  const std::vector<OptionMenuItem> rotated = OptionMenu(OptionBar::Match, kMatchRotated, kTexts);
  ASSERT_EQ(rotated.size(), 4u);
  EXPECT_EQ(rotated[0].text, L"<300107> <300108>");
  EXPECT_FALSE(rotated[0].enabled);
  EXPECT_TRUE(rotated[1].separator);
  EXPECT_EQ(rotated[2].text, L"<300201>");  // item 1: yes
  EXPECT_EQ(rotated[3].text, L"<300202>");

  const std::vector<OptionMenuItem> preview = OptionMenu(OptionBar::Preview, kPreviewMode, kTexts);
  ASSERT_EQ(preview.size(), 3u);
  EXPECT_FALSE(preview[1].enabled);
  EXPECT_TRUE(OptionMenu(OptionBar::Search, kSearchMagnifier, kTexts).empty());
}

TEST(CompareWindowSettings, ReadsEightAndNeverTheTwoOthers) {
  TempStore s;
  const std::wstring main = s.store.SettingsName();
  for (const auto& [key, value] : {std::pair{L"m_similarity", L"33"},
                                   {L"m_compare_mode", L"1"},
                                   {L"m_subfolder", L"0"},
                                   {L"m_signature_rule", L"3"},
                                   {L"m_search_rotated", L"1"},
                                   {L"m_search_flipped", L"1"},
                                   {L"m_search_negative", L"1"},
                                   {L"m_ShowListToolbar", L"0"},
                                   {L"m_LeftRightSel", L"0"},
                                   {L"preview_mode", L"2"}})
    s.store.WriteString(main, key, value);
  CompareWindowSettings settings;
  settings.Load(s.store);
  const engine::CompareSettings run = settings.ToCompareSettings();
  EXPECT_EQ(run.m_similarity, 33) << "no range check";
  EXPECT_EQ(run.m_compare_mode, 1);
  EXPECT_EQ(run.m_subfolder, 0);
  EXPECT_EQ(run.m_signature_rule, 3);
  EXPECT_EQ(run.m_search_rotated + run.m_search_flipped + run.m_search_negative, 3);
  EXPECT_EQ(settings.m_ShowListToolbar.value, 0);
  EXPECT_EQ(settings.m_LeftRightSel.value, 1);
  EXPECT_EQ(settings.preview_mode.value, 0);
}

std::wstring EntryKey(int i) {
  wchar_t key[16];
  swprintf(key, 16, L"entry_%03d", i);
  return key;
}

TEST(PathHistory, CommitMovesToTheTopAndComparesExactly) {
  TempStore s;
  PathHistory history(L"Path2", s.store);
  EXPECT_FALSE(history.HasLastEntry());
  EXPECT_FALSE(history.Commit(L""));
  EXPECT_FALSE(history.HasLastEntry()) << "empty texts are never committed";
  for (const wchar_t* text : {L"C:\\a", L"C:\\b", L"c:\\A", L"C:\\a"}) history.Commit(text);
  EXPECT_EQ(history.entries(), (std::vector<std::wstring>{L"C:\\a", L"c:\\A", L"C:\\b"}));
  EXPECT_EQ(history.LastEntry(), L"C:\\a");

  PathHistory again(L"Path2", s.store);
  again.Load();
  EXPECT_EQ(again.entries(), history.entries());
  EXPECT_EQ(again.FindPrefix(L"C:\\B"), 2);
  EXPECT_EQ(again.FindPrefix(L"C:\\"), 0);
  EXPECT_EQ(again.FindPrefix(L"D:"), -1);
}

TEST(PathHistory, OnlySixtyFourComeBack) {
  TempStore s;
  for (int i = 0; i < 70; ++i)
    s.store.WriteString(L"Path1", EntryKey(i), L"D:\\f" + std::to_wstring(i));
  PathHistory history(L"Path1", s.store);
  history.Load();
  ASSERT_EQ(history.entries().size(), 64u);
  EXPECT_EQ(history.entries().back(), L"D:\\f63");
  // Written without a limit: a commit rewrites all it holds.
  history.Commit(L"E:\\new");
  EXPECT_EQ(s.store.ReadString(L"Path1", EntryKey(64), L""), L"D:\\f63");
}

TEST(PathHistory, RemoveRewritesTheKeysAndHighlightsANeighbour) {
  TempStore s;
  PathHistory history(L"Path2", s.store);
  for (const wchar_t* text : {L"C:\\c", L"C:\\b", L"C:\\a"}) history.Commit(text);  // a, b, c
  EXPECT_EQ(history.Remove(1), 1) << "the next one";
  EXPECT_EQ(s.store.ReadString(L"Path2", EntryKey(1), L"<missing>"), L"C:\\c");
  EXPECT_EQ(s.store.ReadString(L"Path2", EntryKey(2), L"<missing>"), L"") << "emptied past the end";
  EXPECT_EQ(history.Remove(1), 0) << "the previous one at the end";
  EXPECT_EQ(history.Remove(0), -1);
  EXPECT_EQ(history.Remove(0), -1) << "nothing left to remove";

  PathHistory again(L"Path2", s.store);
  again.Load();
  EXPECT_TRUE(again.entries().empty()) << "emptied keys are no entries";
  EXPECT_EQ(again.LastEntry(), L"C:\\a") << "the last committed text stays";
}

TEST(CompareLayout, FolderRowInBothModes) {
  const LayoutInput one{1000, 700, false, 13, 21, 24};
  const CompareLayout single = LayOutCompareWindow(one);
  EXPECT_FALSE(single.leftField.visible);
  EXPECT_FALSE(single.leftAdd.visible);
  EXPECT_EQ(single.rightField.left, kMargin);
  EXPECT_EQ(single.rightAdd.right, 1000 - kMargin) << "the field and its buttons span the width";

  LayoutInput twoInput = one;
  twoInput.twoFolders = true;
  const CompareLayout two = LayOutCompareWindow(twoInput);
  EXPECT_TRUE(two.leftField.visible);
  EXPECT_EQ(two.leftAdd.right, 500 - 70);
  EXPECT_EQ(two.rightField.left, 500 + 70);
  for (const CompareLayout& layout : {single, two}) {
    EXPECT_EQ(layout.rightChoose.left, layout.rightField.right + 1);
    EXPECT_EQ(layout.rightChoose.Width(), kFolderButtonWidth);
    EXPECT_EQ(layout.rightAdd.left, layout.rightChoose.right + 2);
    EXPECT_EQ(layout.rightAdd.Width(), kFolderButtonWidth);
  }
  EXPECT_EQ(two.leftChoose.left, two.leftField.right + 1);
}

TEST(CompareLayout, ColumnPanesAndListShareTheHeight) {
  for (const auto& [width, height] : {std::pair{1016, 690}, {1912, 1000}, {300, 200}}) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    const CompareLayout l = LayOutCompareWindow({width, height, true, 13, 21, 24});
    EXPECT_EQ(l.rightPreview.left - l.leftPreview.right, kInfoColumnWidth);
    EXPECT_EQ(l.leftPreview.right, width / 2 - kInfoColumnWidth / 2);
    EXPECT_GE(l.infoBox.left, l.leftPreview.right);
    EXPECT_LE(l.infoBox.right, l.rightPreview.left);
    EXPECT_GE(l.infoBox.top, l.startStop.bottom);
    // Top to bottom without overlaps.
    const Box* order[] = {&l.status,       &l.progress,  &l.rightField,      &l.rightCaption,
                          &l.rightPreview, &l.rightInfo, &l.rightPreviewBar, &l.searchBar,
                          &l.matchBar,     &l.list};
    for (size_t i = 1; i < std::size(order); ++i)
      EXPECT_LE(order[i - 1]->bottom, order[i]->top) << i;
    EXPECT_EQ(l.list.bottom, std::max(l.list.top, height - kMargin));
    EXPECT_EQ(l.searchBar.Width(), width - 2 * kMargin);
  }
}

TEST(CompareLayout, PreviewHostInBothPreviewModes) {
  const PreviewHostLayout plain = LayOutPreviewHost(401, 300, 0);
  EXPECT_FALSE(plain.panel.visible);
  EXPECT_EQ(plain.pane, (Box{0, 0, 401, 300}));
  const PreviewHostLayout split = LayOutPreviewHost(401, 300, 2);
  EXPECT_EQ(split.panel, (Box{0, 0, 200, 300}));
  EXPECT_EQ(split.pane, (Box{202, 0, 401, 300}));
}

TEST(PreviewCaptions, MarksAroundTheSizesAndThePairBox) {
  engine::ImageEntry right{};
  right.width = 640;
  right.height = 480;
  right.fileSize = 999;
  EXPECT_EQ(InfoLine(right, true), L"\u2714  640 x 480 999 Byte \u2714 ");
  EXPECT_EQ(InfoLine(right, false), L" 640 x 480 999 Byte ");

  engine::MatchPair pair{&right, &right, 100, 0, 0, 180, 100};
  EXPECT_EQ(PairInfo(pair), L"100 %\r\n 180 \u00b0\r\n==");
  pair.flip = 1;
  EXPECT_EQ(PairInfo(pair).substr(PairInfo(pair).size() - 2), L"HF");
  pair.flip = 2;
  EXPECT_EQ(PairInfo(pair).substr(PairInfo(pair).size() - 2), L"VF");
}

}  // namespace
