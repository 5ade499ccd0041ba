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

}  // namespace

void CListCtrlHelp::SetUp() {
  const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_SUBITEMIMAGES | LVS_EX_GRIDLINES;
  ListView_SetExtendedListViewStyleEx(list_, extended, extended);
  // Without LVS_SHAREIMAGELISTS the list destroys the image list with itself.
  if (HIMAGELIST marks = ImageList_LoadImageW(platform::ProgramInstance(),
                                              MAKEINTRESOURCEW(IDB_MARKS), kMarkImageSize, 0,
                                              kMarkTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION))
    ListView_SetImageList(list_, marks, LVSIL_SMALL);
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
    ListView_InsertColumn(list_, column, &item);
  }

  // Check boxes in the headers of the two path columns.
  const HWND header = ListView_GetHeader(list_);
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
    ListView_SetColumn(list_, column, &item);
  }
}

void CListCtrlHelp::AppendRow(const engine::MatchPair& pair) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
  item.iItem = RowCount();
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = 0;
  item.lParam = reinterpret_cast<LPARAM>(&pair);
  const int row = ListView_InsertItem(list_, &item);
  if (row >= 0) SetMark(row, kMarkColumnRight, 0);
}

void CListCtrlHelp::DeleteAllRows() { ListView_DeleteAllItems(list_); }

int CListCtrlHelp::RowCount() const { return ListView_GetItemCount(list_); }

const engine::MatchPair* CListCtrlHelp::PairOf(int row) const {
  if (row < 0) return nullptr;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(list_, &item)) return nullptr;
  return reinterpret_cast<const engine::MatchPair*>(item.lParam);
}

int CListCtrlHelp::Mark(int row, int column) const {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  if (!ListView_GetItem(list_, &item)) return 0;
  return item.iImage;
}

void CListCtrlHelp::SetMark(int row, int column, int mark) {
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iSubItem = column;
  item.iImage = mark;
  ListView_SetItem(list_, &item);
}

std::wstring CListCtrlHelp::Text(int row, int column, size_t maxChars) const {
  std::wstring text(maxChars + 1, L'\0');
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text.data();
  item.cchTextMax = static_cast<int>(text.size());
  const LRESULT length =
      ::SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  text.resize(std::min<size_t>(std::wcslen(text.c_str()),
                               static_cast<size_t>(std::max<LRESULT>(length, 0))));
  return text;
}

int CListCtrlHelp::SelectionMark() const { return ListView_GetSelectionMark(list_); }

std::vector<int> CListCtrlHelp::SelectedRows() const {
  std::vector<int> rows;
  for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list_, row, LVNI_SELECTED))
    rows.push_back(row);
  return rows;
}

RECT CListCtrlHelp::CellLabelRect(int row, int column) const {
  RECT cell{};
  if (row < 0 || row >= RowCount() ||
      !ListView_GetSubItemRect(list_, row, column, LVIR_LABEL, &cell))
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
