// The portable rules of the result list's marks, row removals and renaming
// in place: automatic marking, the editor's texts and keys, collision names
// and the move that never replaces a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comparewindow/CellEditRules.h"
#include "comparewindow/FileRename.h"
#include "comparewindow/RowMarks.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace comparewindow;

TEST(RowMarks, AutoMarksByPixelsThenFileSizeThenNeither) {
  struct Case {
    int leftW, leftH;
    uint64_t leftBytes;
    int rightW, rightH;
    uint64_t rightBytes;
    RowMarks expected;
  };
  const Case cases[] = {
      {640, 480, 10, 320, 240, 900, {1, 0}},  // more pixels wins over a larger file
      {320, 240, 900, 640, 480, 10, {0, 1}},
      {480, 640, 10, 640, 480, 20, {0, 1}},  // equal pixels: the larger file
      {640, 480, 30, 480, 640, 20, {1, 0}},
      {640, 480, 20, 640, 480, 20, {0, 0}},  // equal in both: neither
      {50000, 50000, 1, 1, 1, 2, {1, 0}},    // pixel counts beyond 32 bits
  };
  for (const Case& c : cases) {
    engine::ImageEntry left{}, right{};
    left.width = c.leftW;
    left.height = c.leftH;
    left.fileSize = c.leftBytes;
    right.width = c.rightW;
    right.height = c.rightH;
    right.fileSize = c.rightBytes;
    const engine::MatchPair pair{&left, &right, 95, 0, 0, 0, 100};
    EXPECT_EQ(AutoMarks(pair), c.expected) << c.leftW << "x" << c.leftH << " " << c.leftBytes;
  }
}

TEST(RowMarks, InvertSwapAndRemovalsFromTheLastRow) {
  EXPECT_EQ(Inverted({1, 0}), (RowMarks{0, 1}));
  EXPECT_EQ(Swapped({1, 0}), (RowMarks{0, 1}));
  EXPECT_EQ(Swapped({1, 1}), (RowMarks{1, 1}));

  const std::vector<RowState> rows = {
      {true, {0, 0}}, {false, {1, 0}}, {false, {0, 0}}, {true, {0, 1}}, {false, {1, 1}}};
  EXPECT_EQ(RowsToRemove(RowRemoval::Selected, rows), (std::vector<int>{3, 0}));
  EXPECT_EQ(RowsToRemove(RowRemoval::Marked, rows), (std::vector<int>{4, 3, 1}));
  EXPECT_EQ(RowsToRemove(RowRemoval::Unmarked, rows), (std::vector<int>{2, 0}));
  EXPECT_TRUE(RowsToRemove(RowRemoval::Unmarked, {}).empty());
}

TEST(CellEditRules, PathColumnsEditTheNameWithItsStemSelected) {
  EditStart start = EditStartFor(1, L"C:\\pics.old\\beach.2019.jpg");
  EXPECT_EQ(start.text, L"beach.2019.jpg");
  EXPECT_EQ(start.selection, (TextRange{0, 10}));
  EXPECT_TRUE(start.renames);

  start = EditStartFor(0, L"C:\\pics.old\\README");
  EXPECT_EQ(start.text, L"README");
  EXPECT_EQ(start.selection, (TextRange{0, 6})) << "no dot: the whole name";

  start = EditStartFor(2, L"97 %");
  EXPECT_EQ(start.text, L"No-Edit");
  EXPECT_FALSE(start.renames);
}

TEST(CellEditRules, F2CyclesWholeStemExtension) {
  const std::wstring name = L"beach.jpg";
  TextRange range{0, 9};
  range = NextF2Selection(name, range);
  EXPECT_EQ(range, (TextRange{0, 5}));
  range = NextF2Selection(name, range);
  EXPECT_EQ(range, (TextRange{6, 9}));
  range = NextF2Selection(name, range);
  EXPECT_EQ(range, (TextRange{0, 9}));
  // A caret somewhere selects the whole text first.
  EXPECT_EQ(NextF2Selection(name, {3, 3}), (TextRange{0, 9}));
}

TEST(CellEditRules, KeysMoveTheEdit) {
  const EditGrid grid{5, 13, 3};
  struct Case {
    EditKey key;
    bool shift, ctrl;
    EditCell from;
    EditMove expected;
  };
  const Case cases[] = {
      {EditKey::Enter, false, false, {1, 0}, {true, false, {2, 0}}},
      {EditKey::Enter, true, false, {1, 1}, {true, false, {0, 1}}},
      {EditKey::Enter, false, false, {4, 0}, {true, true, {}}},  // past the last row
      {EditKey::Tab, false, false, {1, 3}, {true, false, {1, 4}}},
      {EditKey::Tab, false, false, {1, 12}, {true, false, {2, 0}}},
      {EditKey::Tab, true, false, {1, 0}, {true, false, {0, 12}}},
      {EditKey::Tab, true, false, {0, 0}, {true, true, {}}},
      {EditKey::Up, false, false, {0, 1}, {true, false, {0, 1}}},
      {EditKey::Down, false, false, {2, 1}, {true, false, {3, 1}}},
      {EditKey::PageDown, false, false, {2, 0}, {true, false, {4, 0}}},
      {EditKey::PageUp, false, false, {4, 0}, {true, false, {1, 0}}},
      {EditKey::Home, false, true, {3, 1}, {true, false, {0, 1}}},
      {EditKey::End, false, true, {0, 1}, {true, false, {4, 1}}},
      {EditKey::Left, false, true, {2, 1}, {true, false, {2, 0}}},
      {EditKey::Right, false, true, {2, 12}, {true, false, {2, 12}}},
      {EditKey::Left, false, false, {2, 1}, {false, false, {}}},  // moves the caret
      {EditKey::Home, false, false, {2, 1}, {false, false, {}}},
  };
  for (const Case& c : cases) {
    const EditMove move = EditMoveFor(c.key, c.shift, c.ctrl, c.from, grid);
    SCOPED_TRACE(static_cast<int>(c.key));
    EXPECT_EQ(move.handled, c.expected.handled);
    EXPECT_EQ(move.leaves, c.expected.leaves);
    if (move.handled && !move.leaves) {
      EXPECT_EQ(move.to, c.expected.to);
    }
  }
}

TEST(FileRename, NewPathsAndCollisionNames) {
  EXPECT_EQ(RenamedPath(L"C:\\p\\a.jpg", L"b.png"), L"C:\\p\\b.png");
  EXPECT_EQ(CollisionName(L"C:\\p\\beach.jpg", 1), L"C:\\p\\beach_(1).jpg");
  EXPECT_EQ(CollisionName(L"C:\\p\\beach.old.jpg", 2), L"C:\\p\\beach.old_(2).jpg");
  EXPECT_EQ(CollisionName(L"C:\\p\\README", 1), L"C:\\p\\README_(1)");
  EXPECT_EQ(CollisionName(L"C:\\p.d\\README", 2), L"C:\\p.d\\README_(2)")
      << "a dot in the folder is no extension";

  for (const wchar_t* name : {L"", L"..", L"a\\b.jpg", L"../b.jpg", L"b.jpg:hidden", L"b?.jpg"})
    EXPECT_FALSE(IsPlainFileName(name)) << name;
  EXPECT_TRUE(IsPlainFileName(L"beach (2) \u00e9t\u00e9.jpg"));
}

// Real files: a taken name gives _(1), then _(2); the third failure leaves
// the file where it was, and no existing file is ever replaced.
TEST(FileRename, CollisionsOnRealFilesNeverReplace) {
  testsupport::TempFolder temp;
  const auto write = [&](const wchar_t* name, const char* bytes) {
    ASSERT_TRUE(platform::WriteFileBytes(temp / name, bytes));
  };
  const auto read = [&](const wchar_t* name) {
    return platform::ReadFileBytes(temp / name).value_or("<none>");
  };
  write(L"a.jpg", "A");
  write(L"b.jpg", "B");
  write(L"n", "N");
  write(L"taken", "T");

  auto renamed =
      RenameWithCollisionNames(temp / L"a.jpg", temp / L"b.jpg", platform::MoveFileNoReplace);
  EXPECT_EQ(renamed, temp / L"b_(1).jpg");
  EXPECT_EQ(read(L"b.jpg"), "B");
  EXPECT_EQ(read(L"b_(1).jpg"), "A");

  write(L"c.jpg", "C");
  renamed = RenameWithCollisionNames(temp / L"c.jpg", temp / L"b.jpg", platform::MoveFileNoReplace);
  EXPECT_EQ(renamed, temp / L"b_(2).jpg");

  write(L"d.jpg", "D");
  renamed = RenameWithCollisionNames(temp / L"d.jpg", temp / L"b.jpg", platform::MoveFileNoReplace);
  EXPECT_FALSE(renamed);
  EXPECT_EQ(read(L"d.jpg"), "D");
  EXPECT_EQ(read(L"b.jpg"), "B");
  EXPECT_EQ(read(L"b_(1).jpg"), "A");
  EXPECT_EQ(read(L"b_(2).jpg"), "C");

  renamed = RenameWithCollisionNames(temp / L"n", temp / L"taken", platform::MoveFileNoReplace);
  EXPECT_EQ(renamed, temp / L"taken_(1)");
  EXPECT_EQ(read(L"taken"), "T");
  EXPECT_EQ(read(L"taken_(1)"), "N");
}

}  // namespace
