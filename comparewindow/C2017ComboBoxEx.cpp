#include "comparewindow/C2017ComboBoxEx.h"

#include <shellapi.h>
#include <shlwapi.h>

#include "comparewindow/CIDropTargetPlus.h"

namespace comparewindow {
namespace {

// File-system paths and both kinds of URLs.
constexpr DWORD kAutoCompleteFlags = SHACF_FILESYSTEM | SHACF_URLALL;
constexpr COLORREF kWarningBackground = RGB(255, 0, 0);
constexpr COLORREF kWarningText = RGB(255, 255, 255);
constexpr LPARAM kRepeatBit = 1 << 30;

}  // namespace

C2017ComboBoxEx::C2017ComboBoxEx()
    : edit_(*this), warningBrush_(::CreateSolidBrush(kWarningBackground)) {}

bool C2017ComboBoxEx::Attach(HWND combo, std::wstring historySection) {
  if (!SubclassedWindow::Attach(combo)) return false;
  history_.emplace(std::move(historySection));
  COMBOBOXINFO info{sizeof info};
  if (::GetComboBoxInfo(combo, &info) && info.hwndItem) {
    edit_.Attach(info.hwndItem);
    ::SHAutoComplete(info.hwndItem, kAutoCompleteFlags);
  }
  return true;
}

bool C2017ComboBoxEx::HasHistory() const { return history_ && history_->HasLastEntry(); }

void C2017ComboBoxEx::LoadHistory() {
  if (!history_) return;
  history_->Load();
  FillList();
  const std::wstring last = history_->LastEntry();
  SetText(last);
  const int match = history_->FindPrefix(last);
  if (match >= 0) ::SendMessageW(hwnd(), CB_SETCURSEL, match, 0);
}

void C2017ComboBoxEx::Commit(const std::wstring& text) {
  if (!history_ || !history_->Commit(text)) return;
  FillList();
  ::SendMessageW(hwnd(), CB_SETCURSEL, 0, 0);
}

std::wstring C2017ComboBoxEx::Text(size_t maxChars) const {
  std::wstring text(maxChars + 1, L'\0');
  const int length = ::GetWindowTextW(hwnd(), text.data(), static_cast<int>(text.size()));
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

void C2017ComboBoxEx::SetText(const std::wstring& text) { ::SetWindowTextW(hwnd(), text.c_str()); }

std::vector<std::wstring> C2017ComboBoxEx::Entries() const {
  std::vector<std::wstring> entries;
  const int count = static_cast<int>(::SendMessageW(hwnd(), CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(hwnd(), CB_GETLBTEXTLEN, i, 0);
    if (length == CB_ERR) continue;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(hwnd(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    entries.push_back(std::move(text));
  }
  return entries;
}

LRESULT C2017ComboBoxEx::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:  // a disabled field (during a run) asks for this one
      return OnControlColour(message, wParam, lParam);
    case kMsgWarningColour:
      if (wParam == kWarningColourTag) return OnWarningColour(wParam, lParam);
      break;
    case WM_DROPFILES:
      return OnDropFiles(reinterpret_cast<HDROP>(wParam));
  }
  return DefaultMessage(message, wParam, lParam);
}

LRESULT C2017ComboBoxEx::OnControlColour(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!warning_ || !warningBrush_) return DefaultMessage(message, wParam, lParam);
  const auto dc = reinterpret_cast<HDC>(wParam);
  ::SetTextColor(dc, kWarningText);
  ::SetBkColor(dc, kWarningBackground);
  return reinterpret_cast<LRESULT>(warningBrush_.get());
}

LRESULT C2017ComboBoxEx::OnWarningColour(WPARAM, LPARAM lParam) {
  warning_ = lParam != 0;
  ::RedrawWindow(hwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return 0;
}

LRESULT C2017ComboBoxEx::OnDropFiles(HDROP drop) {
  const std::vector<std::wstring> paths = DroppedPaths(drop);
  ::DragFinish(drop);
  if (onDropFiles && !paths.empty()) onDropFiles(paths);
  return 0;
}

bool C2017ComboBoxEx::DeleteHighlightedEntry() {
  if (!history_ || !::SendMessageW(hwnd(), CB_GETDROPPEDSTATE, 0, 0)) return false;
  const int highlighted = static_cast<int>(::SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
  if (highlighted < 0) return false;
  const int next = history_->Remove(highlighted);
  ::SendMessageW(hwnd(), CB_DELETESTRING, highlighted, 0);
  if (next >= 0) ::SendMessageW(hwnd(), CB_SETCURSEL, next, 0);
  return true;
}

void C2017ComboBoxEx::FillList() {
  // Emptying the list empties the edit part too; callers set the text afterwards.
  ::SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
  for (const std::wstring& entry : history_->entries())
    ::SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

LRESULT C2017ComboBoxEx::EditControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wParam == VK_DELETE && (lParam & kRepeatBit) == 0 && owner_.DeleteHighlightedEntry())
        return 0;
      break;
  }
  return DefaultMessage(message, wParam, lParam);
}

}  // namespace comparewindow
