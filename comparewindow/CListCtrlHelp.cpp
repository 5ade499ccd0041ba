#include "comparewindow/CListCtrlHelp.h"

#include <algorithm>
#include <cwchar>

#include "comparewindow/ResultColumns.h"
#include "platform/Window_win.h"
#include "resources/resource.h"

namespace comparewindow {
namespace {

constexpr int kMarkImageSize = 16;
constexpr COLORREF kMarkTransparent = RGB(255, 0, 0);

// Paths and file sizes fill what the list offers; the other cells are short.
bool IsLongCell(int column) { return column == 0 || column == 1 || column == 11 || column == 12; }

// How wide a header item must be for its title beside a sort arrow: the
// title and the header's margins on both sides, and about a line's height
// for the arrow with its margins.
int TitleRoom(HWND header, const std::wstring& title) {
  const HDC dc = ::GetDC(header);
  const HGDIOBJ old =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(header, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(header, dc);
  const int margin = Header_GetBitmapMargin(header);
  return size.cx + 4 * margin + size.cy;
}

// The Part's widths are for English at best: a column grows to its title,
// so that no language cuts it (it never shrinks, the user may have widened it).
void FitColumnToTitle(HWND list, int column, const std::wstring& title) {
  const int room = TitleRoom(ListView_GetHeader(list), title);
  if (ListView_GetColumnWidth(list, column) < room) ListView_SetColumnWidth(list, column, room);
}

}  // namespace

LRESULT CListCtrlHelp::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Handled here alone: the list passes this one on to its parent on some
  // systems and not on others, and a box click must count once.
  if (message == WM_NOTIFY) {
    const auto* notice = reinterpret_cast<const NMHDR*>(lParam);
    if (notice && notice->code == HDN_ITEMSTATEICONCLICK &&
        notice->hwndFrom == ListView_GetHeader(hwnd()))
      return ::SendMessageW(::GetParent(hwnd()), WM_NOTIFY, wParam, lParam);
  }
  return DefaultMessage(message, wParam, lParam);
}

void CListCtrlHelp::SetUp() {
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_GRIDLINES;
  ListView_SetExtendedListViewStyleEx(hwnd(), extended, extended);
  // Without LVS_SHAREIMAGELISTS the list destroys the image list with itself.
  if (HIMAGELIST marks = ImageList_LoadImageW(platform::ProgramInstance(),
                                              MAKEINTRESOURCEW(IDB_MARKS), kMarkImageSize, 0,
                                              kMarkTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION))
    ListView_SetImageList(hwnd(), marks, LVSIL_SMALL);
}

void CListCtrlHelp::AddColumns(const engine::TextLookup& texts) {
  for (int column = 0; column < kColumnCount; ++column) {
    const ColumnLayout layout = ColumnLayoutOf(column);
    std::wstring title = ColumnTitle(column, texts);
    LVCOLUMNW item{};
    item.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    item.fmt = layout.rightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
    item.cx = layout.width;
    item.pszText = title.data();
    item.iSubItem = column;
    ListView_InsertColumn(hwnd(), column, &item);
    FitColumnToTitle(hwnd(), column, title);
  }

  // Check boxes in the headers of the two path columns.
  const HWND header = ListView_GetHeader(hwnd());
  ::SetWindowLongPtrW(header, GWL_STYLE, ::GetWindowLongPtrW(header, GWL_STYLE) | HDS_CHECKBOXES);
  for (int column : {kMarkColumnLeft, kMarkColumnRight}) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, column, &item);
    item.fmt |= HDF_CHECKBOX;
    Header_SetItem(header, column, &item);
  }
}

void CListCtrlHelp::SetColumnTitles(int first, int last, const engine::TextLookup& texts) {
  for (int column = first; column <= last && column < kColumnCount; ++column) {
    std::wstring title = ColumnTitle(column, texts);
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = title.data();
    ListView_SetColumn(hwnd(), column, &item);
    FitColumnToTitle(hwnd(), column, title);
  }
}

void CListCtrlHelp::AppendRow(const engine::MatchPair& pair) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
  item.iItem = RowCount();
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = 0;
  item.lParam = reinterpret_cast<LPARAM>(&pair);
  const int row = ListView_InsertItem(hwnd(), &item);
  if (row >= 0) SetMark(row, kMarkColumnRight, 0);
}

void CListCtrlHelp::DeleteAllRows() {
  editor_.End(false);
  ListView_DeleteAllItems(hwnd());
}

int CListCtrlHelp::RowCount() const { return ListView_GetItemCount(hwnd()); }

const engine::MatchPair* CListCtrlHelp::PairOf(int row) const {
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(hwnd(), &item)) return nullptr;
  return reinterpret_cast<const engine::MatchPair*>(item.lParam);
}

int CListCtrlHelp::Mark(int row, int column) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  if (!ListView_GetItem(hwnd(), &item)) return 0;
  return item.iImage;
}

void CListCtrlHelp::SetMark(int row, int column, int mark) {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  item.iImage = mark;
  ListView_SetItem(hwnd(), &item);
}

std::wstring CListCtrlHelp::Text(int row, int column, size_t maxChars) const {
  std::wstring text(maxChars + 1, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const LRESULT length =
      ::SendMessageW(hwnd(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  text.resize(std::min<size_t>(std::wcslen(text.c_str()),
                               static_cast<size_t>(std::max<LRESULT>(length, 0))));
  return text;
}

RowMarks CListCtrlHelp::Marks(int row) const {
  return {Mark(row, kMarkColumnLeft), Mark(row, kMarkColumnRight)};
}

void CListCtrlHelp::ChangeMarks(const std::function<RowMarks(int row, RowMarks marks)>& change) {
  for (int row = 0, rows = RowCount(); row < rows; ++row) {
    const RowMarks marks = change(row, Marks(row));
    SetMark(row, kMarkColumnLeft, marks.left);
    SetMark(row, kMarkColumnRight, marks.right);
  }
}

bool CListCtrlHelp::FlipMarkAt(POINT point) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  const int row = ListView_SubItemHitTest(hwnd(), &hit);
  if (row < 0) return false;
  for (int column : {kMarkColumnLeft, kMarkColumnRight}) {
    RECT icon{};
    if (ListView_GetSubItemRect(hwnd(), row, column, LVIR_ICON, &icon) && ::PtInRect(&icon, point)) {
      SetMark(row, column, Mark(row, column) == 1 ? 0 : 1);
      return true;
    }
  }
  return false;
}

void CListCtrlHelp::FlipSelectedMarks(int column) {
  for (int row : SelectedRows()) SetMark(row, column, Mark(row, column) == 1 ? 0 : 1);
}

bool CListCtrlHelp::ClickHeaderBox(int column) {
  const HWND header = ListView_GetHeader(hwnd());
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!Header_GetItem(header, column, &item) || !(item.fmt & HDF_CHECKBOX)) return false;
  const int mark = HeaderBoxChecked(column) ? 0 : 1;
  const int rows = RowCount();
  for (int row = 0; row < rows; ++row) SetMark(row, column, mark);
  bool all = true;
  for (int row = 0; row < rows && all; ++row) all = Mark(row, column) == 1;
  SetHeaderBoxChecked(column, all);
  return true;
}

bool CListCtrlHelp::HeaderBoxChecked(int column) const {
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  Header_GetItem(ListView_GetHeader(hwnd()), column, &item);
  return (item.fmt & HDF_CHECKED) != 0;
}

void CListCtrlHelp::SetHeaderBoxChecked(int column, bool checked) {
  const HWND header = ListView_GetHeader(hwnd());
  HDITEMW item{};
  item.mask = HDI_FORMAT;
  if (!Header_GetItem(header, column, &item)) return;
  item.fmt = checked ? (item.fmt | HDF_CHECKED) : (item.fmt & ~HDF_CHECKED);
  Header_SetItem(header, column, &item);
}

bool CListCtrlHelp::RemoveRows(RowRemoval removal) {
  editor_.End(false);  // its row may go
  std::vector<RowState> rows(static_cast<size_t>(RowCount()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    rows[row] = {(ListView_GetItemState(hwnd(), row, LVIS_SELECTED) & LVIS_SELECTED) != 0,
                 Marks(row)};
  const std::vector<int> gone = RowsToRemove(removal, rows);
  for (int row : gone) ListView_DeleteItem(hwnd(), row);
  return !gone.empty();
}

std::optional<EditCell> CListCtrlHelp::CellAt(POINT point) const {
  LVHITTESTINFO hit{};
  hit.pt = point;
  if (ListView_SubItemHitTest(hwnd(), &hit) < 0 || hit.iItem < 0) return std::nullopt;
  return EditCell{hit.iItem, hit.iSubItem};
}

bool CListCtrlHelp::StartEdit(int row, int column) {
  editor_.End(false);
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return false;
  return editor_.Open(row, column);
}

int CListCtrlHelp::SelectionMark() const { return ListView_GetSelectionMark(hwnd()); }

std::vector<int> CListCtrlHelp::SelectedRows() const {
  std::vector<int> rows;
  for (int row = ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(hwnd(), row, LVNI_SELECTED))
    rows.push_back(row);
  return rows;
}

RECT CListCtrlHelp::CellLabelRect(int row, int column) const {
  RECT cell{};
  if (row < 0 || row >= RowCount() ||
      !ListView_GetSubItemRect(hwnd(), row, column, LVIR_LABEL, &cell))
    return {};
  return cell;
}

void CListCtrlHelp::FillDisplayInfo(NMLVDISPINFOW& info, const engine::TextLookup& texts) const {
  LVITEMW& item = info.item;
  if (item.mask & LVIF_IMAGE) {
    // Only the path columns carry marks.
    if (item.iSubItem > kMarkColumnRight) item.iImage = I_IMAGENONE;
  }
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  const auto* pair =
      item.lParam ? reinterpret_cast<const engine::MatchPair*>(item.lParam) : PairOf(item.iItem);
  if (!pair) return;
  const std::wstring text = CellText(*pair, item.iSubItem, texts);
  size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  if (!IsLongCell(item.iSubItem)) length = std::min(length, kShortCellChars);
  std::wmemcpy(item.pszText, text.data(), length);
  item.pszText[length] = L'\0';
}

}  // namespace comparewindow
