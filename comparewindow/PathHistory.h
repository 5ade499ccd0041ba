// The history of a folder field, kept in a settings section of its own:
// "last_entry" holds the text last committed, "entry_000", "entry_001", ...
// the drop-down entries, newest first.
//
//   PathHistory history(L"Path2");
//   history.Load();                       // the first 64 entries
//   history.Commit(L"C:\\Pictures");      // to the top, keys rewritten
//   history.Remove(3);                    // Delete in the open drop-down
//
// Entries compare exactly: the same folder in another letter case is another
// entry. The keys are written without a limit; only the first 64 come back.
#pragma once

#include <string>
#include <vector>

#include "app/MyProfStr.h"

namespace comparewindow {

class PathHistory {
 public:
  static constexpr int kEntriesReadBack = 64;

  explicit PathHistory(std::wstring section, app::CMyProfStr& store = app::Settings());

  // Whether anything was ever committed (the first start has no "last_entry").
  bool HasLastEntry() const;
  std::wstring LastEntry() const;

  // Reads the keys entry_000 to entry_063 that hold a text, in key order.
  void Load();
  const std::vector<std::wstring>& entries() const { return entries_; }

  // The first entry that begins with text, letter case ignored; -1 when none.
  int FindPrefix(const std::wstring& text) const;

  // Makes text the last entry and entry 0 (an equal entry moves up) and
  // rewrites the keys. An empty text is never committed: false.
  bool Commit(const std::wstring& text);

  // Removes an entry and rewrites the keys, emptying the one past the end.
  // Returns the entry to highlight instead: the next one, or the previous
  // one at the end; -1 when the list is empty (or index was no entry).
  int Remove(int index);

  const std::wstring& section() const { return section_; }

 private:
  void WriteEntries();

  std::wstring section_;
  app::CMyProfStr& store_;
  std::vector<std::wstring> entries_;
};

}  // namespace comparewindow
