#include "comparewindow/CListEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <optional>

#include "comparewindow/CListCtrlHelp.h"
#include "comparewindow/ResultColumns.h"
#include "platform/Handles_win.h"

namespace comparewindow {
namespace {

constexpr int kEditorId = 1;
// Room for the caret and the border beyond the text.
constexpr int kTextMargin = 12;

bool KeyDown(int key) { return ::GetKeyState(key) < 0; }

std::optional<EditKey> EditKeyOf(WPARAM key) {
  switch (key) {
    case VK_RETURN:
      return EditKey::Enter;
    case VK_TAB:
      return EditKey::Tab;
    case VK_UP:
      return EditKey::Up;
    case VK_DOWN:
      return EditKey::Down;
    case VK_PRIOR:
      return EditKey::PageUp;
    case VK_NEXT:
      return EditKey::PageDown;
    case VK_HOME:
      return EditKey::Home;
    case VK_END:
      return EditKey::End;
    case VK_LEFT:
      return EditKey::Left;
    case VK_RIGHT:
      return EditKey::Right;
  }
  return std::nullopt;
}

}  // namespace

bool CListEdit::Open(int row, int column) {
  const HWND list = list_.hwnd();
  ListView_EnsureVisible(list, row, FALSE);
  RECT client{};
  ::GetClientRect(list, &client);
  RECT cell = list_.CellLabelRect(row, column);
  // Bring the cell's start into view when it lies beside the visible part.
  if (cell.left < 0 || cell.right > client.right) {
    const int dx = cell.left < 0 ? cell.left : std::min(cell.left, cell.right - client.right);
    ListView_Scroll(list, dx, 0);
    cell = list_.CellLabelRect(row, column);
  }
  const HWND edit =
      ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT, cell.left,
                        cell.top, cell.right - cell.left, cell.bottom - cell.top, list,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)),
                        platform::ProgramInstance(), nullptr);
  if (!edit) return false;
  ::SendMessageW(edit, WM_SETFONT, ::SendMessageW(list, WM_GETFONT, 0, 0), FALSE);
  Attach(edit);
  cell_ = {row, column};
  cellRect_ = cell;
  initial_.clear();
  if (Notify(LVN_BEGINLABELEDITW, nullptr) != 0) {
    ::DestroyWindow(edit);
    return false;
  }
  ::ShowWindow(edit, SW_SHOW);
  ::SetFocus(edit);
  return true;
}

void CListEdit::SetText(const std::wstring& text, TextRange selection) {
  if (!hwnd()) return;
  initial_ = text;
  ::SetWindowTextW(hwnd(), text.c_str());
  ::SendMessageW(hwnd(), EM_SETSEL, selection.start, selection.end);
  Widen();
}

void CListEdit::End(bool cancel) {
  const HWND edit = hwnd();
  if (!edit || ending_) return;
  ending_ = true;
  std::wstring text = platform::WindowText(edit);
  const bool changed = !cancel && text != initial_;
  ::ShowWindow(edit, SW_HIDE);
  Notify(LVN_ENDLABELEDITW, changed ? text.data() : nullptr);
  if (::GetFocus() == edit) ::SetFocus(list_.hwnd());
  ::DestroyWindow(edit);
  ending_ = false;
}

LRESULT CListEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter, Escape, Tab and the arrows belong to the editor, not the dialog.
      return DLGC_WANTALLKEYS | DefaultMessage(message, wParam, lParam);
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_CHAR:
      // Their key-downs did the work; the edit would only beep.
      if (wParam == VK_RETURN || wParam == VK_ESCAPE || wParam == VK_TAB) return 0;
      [[fallthrough]];
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO: {
      const LRESULT result = DefaultMessage(message, wParam, lParam);
      Widen();
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefaultMessage(message, wParam, lParam);
      End(false);
      return result;
    }
  }
  return DefaultMessage(message, wParam, lParam);
}

bool CListEdit::OnKeyDown(WPARAM key) {
  if (key == VK_ESCAPE) {
    End(true);
    return true;
  }
  if (key == VK_F2) {
    DWORD start = 0, end = 0;
    ::SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    const TextRange next = NextF2Selection(platform::WindowText(hwnd()),
                                           {static_cast<int>(start), static_cast<int>(end)});
    ::SendMessageW(hwnd(), EM_SETSEL, next.start, next.end);
    return true;
  }
  const std::optional<EditKey> editKey = EditKeyOf(key);
  if (!editKey) return false;
  const EditGrid grid{list_.RowCount(), kColumnCount,
                      std::max(1, ListView_GetCountPerPage(list_.hwnd()))};
  const EditMove move = EditMoveFor(*editKey, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), cell_, grid);
  if (!move.handled) return false;
  if (move.leaves)
    End(false);
  else if (!(move.to == cell_))
    list_.StartEdit(move.to.row, move.to.column);  // ends this edit first
  return true;
}

void CListEdit::Widen() {
  const HWND edit = hwnd();
  if (!edit) return;
  const std::wstring text = platform::WindowText(edit);
  SIZE extent{};
  {
    platform::WindowDc dc(edit);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
    platform::SelectObjectGuard select(dc.get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  RECT client{};
  ::GetClientRect(list_.hwnd(), &client);
  const int width = std::min<int>(
      std::max<int>(cellRect_.right - cellRect_.left, extent.cx + kTextMargin), client.right);
  // Grown past the list's right edge: shift left so all of it shows.
  const int left = std::max<int>(0, std::min<int>(cellRect_.left, client.right - width));
  ::SetWindowPos(edit, nullptr, left, cellRect_.top, width, cellRect_.bottom - cellRect_.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CListEdit::Notify(UINT code, wchar_t* text) {
  const HWND list = list_.hwnd();
  NMLVDISPINFOW info{};
  info.hdr.hwndFrom = list;
  info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
  info.hdr.code = code;
  info.item.mask = LVIF_TEXT;
  info.item.iItem = cell_.row;
  info.item.iSubItem = cell_.column;
  info.item.pszText = text;
  info.item.cchTextMax = text ? static_cast<int>(std::wcslen(text)) + 1 : 0;
  return ::SendMessageW(::GetParent(list), WM_NOTIFY, info.hdr.idFrom,
                        reinterpret_cast<LPARAM>(&info));
}

}  // namespace comparewindow
