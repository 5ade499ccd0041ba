#include "comparewindow/PathHistory.h"

#include <algorithm>
#include <cstdio>

#include "platform/Text.h"

namespace comparewindow {
namespace {

const wchar_t kLastEntry[] = L"last_entry";
// Stands for a missing key: no committed text is ever this.
const wchar_t kMissing[] = L"\x01missing";

std::wstring EntryKey(size_t index) {
  char key[32];
  std::snprintf(key, sizeof key, "entry_%03zu", index);
  return std::wstring(key, key + std::char_traits<char>::length(key));
}

}  // namespace

PathHistory::PathHistory(std::wstring section, app::CMyProfStr& store)
    : section_(std::move(section)), store_(store) {}

bool PathHistory::HasLastEntry() const {
  return store_.ReadString(section_, kLastEntry, kMissing) != kMissing;
}

std::wstring PathHistory::LastEntry() const { return store_.ReadString(section_, kLastEntry, L""); }

void PathHistory::Load() {
  entries_.clear();
  for (int index = 0; index < kEntriesReadBack; ++index) {
    // A deletion leaves an empty key past the end; it is no entry.
    std::wstring text = store_.ReadString(section_, EntryKey(index), L"");
    if (!text.empty()) entries_.push_back(std::move(text));
  }
}

int PathHistory::FindPrefix(const std::wstring& text) const {
  const std::wstring prefix = platform::ToLower(text);
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].size() >= prefix.size() &&
        platform::ToLower(std::wstring_view(entries_[i]).substr(0, prefix.size())) == prefix)
      return static_cast<int>(i);
  }
  return -1;
}

bool PathHistory::Commit(const std::wstring& text) {
  if (text.empty()) return false;
  store_.WriteString(section_, kLastEntry, text);
  std::erase(entries_, text);
  entries_.insert(entries_.begin(), text);
  WriteEntries();
  return true;
}

int PathHistory::Remove(int index) {
  if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return -1;
  entries_.erase(entries_.begin() + index);
  WriteEntries();
  store_.WriteString(section_, EntryKey(entries_.size()), L"");
  if (entries_.empty()) return -1;
  return std::min(index, static_cast<int>(entries_.size()) - 1);
}

void PathHistory::WriteEntries() {
  for (size_t i = 0; i < entries_.size(); ++i)
    store_.WriteString(section_, EntryKey(i), entries_[i]);
}

}  // namespace comparewindow
