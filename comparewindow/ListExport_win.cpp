#include "comparewindow/ListExport_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "app/MyProfStr.h"
#include "platform/FileSystem.h"

namespace comparewindow {
namespace {

constexpr wchar_t kDialogTitle[] = L"Export TXT,CSV,HTML,XLS";
constexpr wchar_t kSection[] = L"List";
constexpr wchar_t kIndexKey[] = L"ExportIndex";
constexpr size_t kFileChars = 260;
constexpr size_t kFirstTextChars = 256;
// Only a list that answers every size with a full buffer gets this far.
constexpr size_t kMostTextChars = size_t{1} << 26;

// Reads a text through `read`, which fills a buffer of the given size and
// returns the characters it wrote. A full buffer may have cut the text, so
// the buffer doubles from 256 characters until the text leaves room.
template <typename Read>
std::wstring ReadWholeText(Read read) {
  for (size_t size = kFirstTextChars;; size *= 2) {
    std::wstring buffer(size, L'\0');
    const size_t length = std::min(read(buffer.data(), static_cast<int>(size)), size - 1);
    if (length + 1 < size || size >= kMostTextChars) {
      buffer.resize(length);
      return buffer;
    }
  }
}

std::wstring ColumnText(HWND list, int column) {
  return ReadWholeText([&](wchar_t* buffer, int size) {
    LVCOLUMNW item{};
    item.mask = LVCF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = size;
    if (!ListView_GetColumn(list, column, &item)) return size_t{0};
    return std::wcslen(buffer);
  });
}

std::wstring CellText(HWND list, int row, int column) {
  return ReadWholeText([&](wchar_t* buffer, int size) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = size;
    return static_cast<size_t>(::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                              reinterpret_cast<LPARAM>(&item)));
  });
}

// The type list of the save dialog: name and pattern of each type, each
// ending in a NUL, and one more NUL at the end.
std::wstring DialogFilter() {
  std::wstring filter;
  for (const ExportFileType& type : kExportFileTypes) {
    filter += type.name;
    filter += L'\0';
    filter += type.pattern;
    filter += L'\0';
  }
  return filter + L'\0';
}

}  // namespace

ExportServices SystemExportServices() {
  return {[](OPENFILENAMEW& dialog) { return ::GetSaveFileNameW(&dialog); },
          [](const std::wstring& path) {
            ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
          }};
}

ExportTable ReadListTable(HWND list) {
  ExportTable table;
  const int columns = Header_GetItemCount(ListView_GetHeader(list));
  if (columns <= 0) return table;
  std::vector<int> order(static_cast<size_t>(columns));
  if (!ListView_GetColumnOrderArray(list, columns, order.data()))
    for (int i = 0; i < columns; ++i) order[static_cast<size_t>(i)] = i;
  for (int column : order) table.titles.push_back(ColumnText(list, column));
  const int rows = ListView_GetItemCount(list);
  table.rows.reserve(static_cast<size_t>(std::max(rows, 0)));
  for (int row = 0; row < rows; ++row) {
    std::vector<std::wstring>& cells = table.rows.emplace_back();
    cells.reserve(order.size());
    for (int column : order) cells.push_back(CellText(list, row, column));
  }
  return table;
}

ExportOutcome Export(HWND list, const std::wstring& name, const ExportServices& services) {
  app::CMyProfStr& settings = app::Settings();
  const std::wstring filter = DialogFilter();
  std::wstring file(kFileChars, L'\0');
  const std::wstring suggested = L"Export_" + name;
  suggested.copy(file.data(), std::min(suggested.size(), kFileChars - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = nullptr;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex =
      static_cast<DWORD>(settings.ReadInt(kSection, kIndexKey, 1, 1, kExportFileTypeCount));
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(kFileChars);
  dialog.lpstrTitle = kDialogTitle;
  dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT;
  if (!services.chooseFile(dialog)) return ExportOutcome::Cancelled;

  int index = static_cast<int>(dialog.nFilterIndex);
  if (!ExportFileTypeAt(index)) index = 1;
  settings.WriteInt(kSection, kIndexKey, index);
  const ExportFileType& type = *ExportFileTypeAt(index);
  const std::wstring path = WithExportExtension(file.c_str(), type);
  // Opening the path after a failed write would show an older file of that
  // name as if it were this export.
  if (!platform::WriteFileBytes(path, ExportDocument(ReadListTable(list), type.format)))
    return ExportOutcome::NotWritten;
  services.openFile(path);
  return ExportOutcome::Written;
}

}  // namespace comparewindow
