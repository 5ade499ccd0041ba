// The file lists of the actions on results: which marked paths go to the
// shell, once each, and in which form.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comparewindow/MarkedFiles.h"

namespace {

using comparewindow::MarkedRow;

MarkedRow Row(std::wstring left, bool leftMarked, std::wstring right, bool rightMarked) {
  MarkedRow row;
  row.paths[0] = std::move(left);
  row.paths[1] = std::move(right);
  row.marked[0] = leftMarked;
  row.marked[1] = rightMarked;
  return row;
}

TEST(MarkedFileList, TakesRowByRowLeftFirstOnceEachInTheFirstLetterCase) {
  const std::vector<MarkedRow> rows = {
      Row(L"C:\\a\\Photo.JPG", false, L"C:\\b\\x.jpg", true),
      Row(L"C:\\A\\photo.jpg", true, L"C:\\b\\y.jpg", true),  // the first one, another case
      Row(L"C:\\b\\X.jpg", true, L"C:\\a\\photo.JPG", true),  // both met already
      Row(L"C:\\c\\\u00c4rger.png", true, L"C:\\c\\\u00e4rger.png", true),
      Row(L"C:\\d\\unmarked.png", false, L"C:\\d\\unmarked2.png", false),
  };
  EXPECT_EQ(comparewindow::MarkedFileList(rows),
            L"C:\\b\\x.jpg\nC:\\A\\photo.jpg\nC:\\b\\y.jpg\nC:\\c\\\u00c4rger.png\n");
  EXPECT_EQ(comparewindow::MarkedFileList({}), L"");
}

TEST(MarkedFileList, CutsCellsAtThreeHundredCharacters) {
  const std::wstring longPath = L"C:\\" + std::wstring(400, L'n');
  const std::wstring list = comparewindow::MarkedFileList({Row(longPath, true, L"", true)});
  EXPECT_EQ(list, longPath.substr(0, 300) + L"\n") << "an empty cell gives no path";
}

TEST(PartnerCopyLists, PairsEachMarkedImageWithItsPartner) {
  const std::vector<MarkedRow> rows = {
      Row(L"C:\\l1.jpg", true, L"C:\\r1.jpg", false),
      Row(L"C:\\l2.jpg", true, L"C:\\r2.jpg", true),    // both: skipped
      Row(L"C:\\l3.jpg", false, L"C:\\r3.jpg", false),  // neither: skipped
      Row(L"C:\\l4.jpg", false, L"C:\\r4.jpg", true),
      Row(L"C:\\Same.jpg", true, L"C:\\same.JPG", false),  // one file: never over itself
  };
  const comparewindow::PartnerCopy copy = comparewindow::PartnerCopyLists(rows);
  EXPECT_EQ(copy.sources, L"C:\\l1.jpg\nC:\\r4.jpg\n");
  EXPECT_EQ(copy.targets, L"C:\\r1.jpg\nC:\\l4.jpg\n");
  EXPECT_TRUE(comparewindow::PartnerCopyLists({rows[1], rows[2]}).empty());
}

TEST(MoveIntoFolder, NamesEachFileInTheFolderWithoutTakingATakenName) {
  const std::vector<std::wstring> onDisk = {L"E:\\to\\x.jpg", L"E:\\to\\x_(1).jpg",
                                            L"E:\\to\\noext"};
  const auto exists = [&](const std::wstring& path) {
    return std::find(onDisk.begin(), onDisk.end(), path) != onDisk.end();
  };
  const comparewindow::MoveLists lists = comparewindow::MoveIntoFolder(
      L"C:\\a\\x.jpg\nD:\\b\\Y.png\nD:\\c\\y.PNG\nC:\\noext\n", L"E:\\to", exists);
  EXPECT_EQ(lists.sources, L"C:\\a\\x.jpg\nD:\\b\\Y.png\nD:\\c\\y.PNG\nC:\\noext\n");
  EXPECT_EQ(lists.targets,
            L"E:\\to\\x_(2).jpg\nE:\\to\\Y.png\nE:\\to\\y_(1).PNG\nE:\\to\\noext_(1)\n");
  EXPECT_EQ(comparewindow::MoveIntoFolder(L"C:\\a\\x.jpg\n", L"E:\\", exists).targets,
            L"E:\\x.jpg\n");

  // Already there, or no free name at all: the file stays out.
  EXPECT_EQ(comparewindow::MoveIntoFolder(L"E:\\To\\X.jpg\n", L"E:\\to", exists).sources, L"");
  const comparewindow::MoveLists full = comparewindow::MoveIntoFolder(
      L"C:\\a\\x.jpg\n", L"E:\\to", [](const std::wstring&) { return true; });
  EXPECT_EQ(full.sources, L"");
  EXPECT_EQ(full.targets, L"");
}

TEST(ShellPathList, EndsEachPathWithANulAndTheListWithTwo) {
  EXPECT_EQ(comparewindow::ShellPathList(L"a\nbc\n"), std::wstring(L"a\0bc\0\0", 6));
  EXPECT_EQ(comparewindow::ShellPathList(L"C:\\to"), std::wstring(L"C:\\to\0\0", 7));
  EXPECT_EQ(comparewindow::ShellPathList(L""), std::wstring(L"\0\0", 2));
}

}  // namespace
