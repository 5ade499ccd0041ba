#include "cli/ConsoleSearchWindow.h"

#include <algorithm>

#include "comparewindow/ResultColumns.h"
#include "platform/Console.h"

namespace cli {
namespace {

// What fits a terminal line of the usual width without wrapping.
constexpr size_t kProgressWidth = 118;

}  // namespace

ConsoleSearchWindow::ConsoleSearchWindow(std::wstring left, std::wstring right, bool showProgress)
    : left_(std::move(left)), right_(std::move(right)), showProgress_(showProgress) {}

ConsoleSearchWindow::~ConsoleSearchWindow() { EndProgress(); }

std::wstring ConsoleSearchWindow::PathBoxText(engine::PathBox box) {
  return box == engine::PathBox::Left ? left_ : right_;
}

void ConsoleSearchWindow::FieldWarning(engine::PathBox box, const std::wstring& message) {
  EndProgress();
  warned_ = true;
  platform::WriteErr(std::wstring(L"duplora-cli: ") +
                     (box == engine::PathBox::Left ? L"--left: " : L"") + message + L"\n");
}

void ConsoleSearchWindow::ShowDuplicateMessage(const std::wstring& path) {
  EndProgress();
  platform::WriteErr(L"duplora-cli: on both sides, left out of the right set: " + path + L"\n");
}

void ConsoleSearchWindow::SetLine(engine::TextLine line, const std::wstring& text) {
  lines_[static_cast<int>(line)] = text;
  if (!showProgress_ || line == engine::TextLine::Statistics) return;
  std::wstring shown = text;
  for (wchar_t& c : shown)
    if (c == L'\n' || c == L'\r' || c == L'\t') c = L' ';
  if (shown.size() > kProgressWidth) shown = shown.substr(0, kProgressWidth - 3) + L"...";
  // Back to the line's start, the text, and the rest of the old text erased.
  platform::WriteErr(L"\r" + shown + L"\x1b[K");
  progressShown_ = true;
}

void ConsoleSearchWindow::EndProgress() {
  if (!progressShown_) return;
  platform::WriteErr(L"\r\x1b[K");
  progressShown_ = false;
}

void ConsoleSearchWindow::SortBy(int column, bool descending) {
  // The list's merge sort: a row moves before an earlier one only when the
  // compare function puts the earlier one after it.
  std::stable_sort(rows_.begin(), rows_.end(),
                   [&](const engine::MatchPair* x, const engine::MatchPair* y) {
                     return comparewindow::CompareRows(*y, *x, column, descending) > 0;
                   });
}

const std::wstring& ConsoleSearchWindow::line(engine::TextLine which) const {
  return lines_[static_cast<int>(which)];
}

}  // namespace cli
