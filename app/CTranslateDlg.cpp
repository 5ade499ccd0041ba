#include "app/CTranslateDlg.h"

#include <commctrl.h>
#include <commdlg.h>

#include <vector>

#include "app/LangText.h"
#include "app/MyProfStr.h"
#include "app/ProgramInfo.h"
#include "app/TextIds.h"
#include "platform/FileSystem.h"
#include "resources/resource.h"

namespace app {
namespace {

constexpr const wchar_t* kTitle =
    L"Help Translate  1.02 Beta Version / 4 correct interpretation of characters please use "
    L"Tessera Unicode or x64";

// Drop-down entries in this order; the index is what "translate_from" stores.
struct SourceLanguage {
  const wchar_t* label;
  const wchar_t* pack;
};
constexpr SourceLanguage kSourceLanguages[] = {
    {L"Translate from English", L"EN"},
    {L"Translate from Deutsch (German)", L"DE"},
    {L"Translate from English (UK)", L"UK"},
};
constexpr int kSourceLanguageCount = static_cast<int>(std::size(kSourceLanguages));

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kFirstTickMs = 300;
constexpr UINT kTickMs = 750;

// The rows of a source language. English has every id; a language whose
// pack is missing or lacks a text shows the English one.
TranslationRows SourceRowsFor(int index) {
  const auto english = LoadPackText(L"EN");
  std::optional<std::wstring> source;
  if (index > 0) source = LoadPackText(kSourceLanguages[index].pack);
  return SourceRows(english ? *english : std::wstring(), source);
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::optional<std::wstring> ChooseFileWithSystemDialog(HWND owner, bool forSaving,
                                                       const std::wstring& currentFile) {
  std::vector<wchar_t> name(32768, L'\0');
  currentFile.copy(name.data(), std::min(currentFile.size(), name.size() - 1));
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = L"TXT (*.txt)\0*.txt\0";
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrDefExt = L"txt";
  dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 (forSaving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
  const BOOL chosen = forSaving ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return std::wstring(name.data());
}

int SystemMessageBox(HWND owner, const std::wstring& text, UINT type) {
  return ::MessageBoxW(owner, text.c_str(), ProgramName().c_str(), type);
}

std::wstring SystemTempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  std::wstring folder(buffer, ::GetTempPathW(MAX_PATH + 1, buffer));
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

}  // namespace

CTranslateDlg::Services CTranslateDlg::SystemServices() {
  return {ChooseFileWithSystemDialog, SystemMessageBox, {}};
}

CTranslateDlg::CTranslateDlg(Services services) : services_(std::move(services)) {}

CTranslateDlg::~CTranslateDlg() {
  // Destroyed here, while this class still answers WM_DESTROY (which ends checking mode).
  if (hwnd()) ::DestroyWindow(hwnd());
}

bool CTranslateDlg::Show(HWND owner) {
  if (!hwnd()) {
    if (!CreateModeless(platform::ProgramInstance(), IDD_TRANSLATE, owner)) return false;
  } else if (!::IsWindowVisible(hwnd())) {
    firstTick_ = true;
    ::SetTimer(hwnd(), kTimerId, kFirstTickMs, nullptr);
  }
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  return true;
}

INT_PTR CTranslateDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == kTimerId) OnTimer();
      return TRUE;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnSize(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_CLOSE:
      OnClose();
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return FALSE;
  }
  return FALSE;
}

BOOL CTranslateDlg::OnInitDialog() {
  ::SetWindowTextW(hwnd(), kTitle);

  const HWND source = Item(IDC_TR_SOURCE_LANGUAGE);
  for (const SourceLanguage& language : kSourceLanguages)
    ::SendMessageW(source, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(language.label));
  const int sourceIndex =
      Settings().ReadInt(L"Start", L"translate_from", 0, 0, kSourceLanguageCount - 1);
  ::SendMessageW(source, CB_SETCURSEL, static_cast<WPARAM>(sourceIndex), 0);

  ::SetDlgItemTextW(hwnd(), IDC_TR_CHECKING, LangText(kTextCheckingMode).c_str());

  const HWND list = Item(IDC_TR_LIST);
  ListView_SetExtendedListViewStyle(
      list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  const int titles[] = {kTextColumnTranslation, kTextColumnTextId, kTextColumnSourceText};
  for (int column = 0; column < 3; ++column) {
    const std::wstring title = LangText(titles[column]);
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    info.pszText = const_cast<wchar_t*>(title.c_str());
    info.cx = 100;
    info.iSubItem = column;
    ListView_InsertColumn(list, column, &info);
  }
  int order[] = {kColumnId, kColumnSource, kColumnTranslation};
  ListView_SetColumnOrderArray(list, 3, order);

  rows_ = SourceRowsFor(sourceIndex);
  // The stored file is the current translation: its texts are what Save
  // writes back, so they must be in the list before anything is saved.
  currentFile_ = Settings().ReadString(L"Translate", L"File", L"");
  ::SetDlgItemTextW(hwnd(), IDC_TR_PATH, currentFile_.c_str());
  if (!currentFile_.empty()) {
    if (const auto bytes = platform::ReadFileBytes(currentFile_))
      FillTranslations(rows_, ReadTranslationFile(*bytes));
  }
  ShowRows();

  // The template's size is the smallest; controls keep their distances to the edges.
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  smallest_ = {window.right - window.left, window.bottom - window.top};
  RECT client;
  ::GetClientRect(hwnd(), &client);
  client_ = {client.right, client.bottom};
  for (int id : {IDC_TR_PATH, IDC_TR_NEXT_UNTRANSLATED, IDC_TR_LIST, IDC_TR_SOURCE_TEXT,
                 IDC_TR_TRANSLATION, IDC_TR_REVISION}) {
    Placed& placed = placed_[placedCount_++];
    placed.id = id;
    ::GetWindowRect(Item(id), &placed.rect);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&placed.rect), 2);
  }
  FitColumns();

  firstTick_ = true;
  ::SetTimer(hwnd(), kTimerId, kFirstTickMs, nullptr);
  return TRUE;
}

void CTranslateDlg::OnCommand(int id, int code) {
  switch (id) {
    case IDC_TR_SAVE_AS:
      if (code == BN_CLICKED) SaveAs();
      break;
    case IDC_TR_SAVE:
      if (code == BN_CLICKED) Save();
      break;
    case IDC_TR_LOAD:
      if (code == BN_CLICKED) Load();
      break;
    case IDC_TR_SOURCE_LANGUAGE:
      if (code == CBN_SELCHANGE) OnSourceLanguageChanged();
      break;
    case IDC_TR_CHECKING:
      if (code == BN_CLICKED) OnCheckingModeClicked();
      break;
    case IDC_TR_NEXT_UNTRANSLATED:
      if (code == BN_CLICKED) GotoNextUntranslated();
      break;
    case IDC_TR_TRANSLATION:
      if (code == EN_CHANGE) OnTranslationEdited();
      break;
    case IDCANCEL:
      OnClose();
      break;
  }
}

INT_PTR CTranslateDlg::OnNotify(const NMHDR& header) {
  if (header.idFrom != IDC_TR_LIST) return FALSE;
  const HWND list = header.hwndFrom;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
      if (!(item.mask & LVIF_TEXT) || item.cchTextMax <= 0) return TRUE;
      const size_t row = static_cast<size_t>(item.iItem);
      std::wstring_view text;
      if (row < rows_.size()) {
        text = item.iSubItem == kColumnId       ? rows_[row].id
               : item.iSubItem == kColumnSource ? rows_[row].source
                                                : rows_[row].translation;
      }
      const size_t count = std::min(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
      text.copy(item.pszText, count);
      item.pszText[count] = L'\0';
      return TRUE;
    }
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        ShowSelectedRow();
      return TRUE;
    }
    case LVN_BEGINLABELEDIT: {
      const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
      const size_t row = static_cast<size_t>(edit.item.iItem);
      const BOOL refuse = row >= rows_.size();
      // The list hands its edit a display-sized copy; the whole cell is edited.
      if (const HWND field = ListView_GetEditControl(list); field && !refuse) {
        ::SendMessageW(field, EM_LIMITTEXT, 0, 0);
        ::SetWindowTextW(field, rows_[row].translation.c_str());
      }
      ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, refuse);
      return TRUE;
    }
    case LVN_ENDLABELEDIT: {
      const auto& edit = reinterpret_cast<const NMLVDISPINFOW&>(header);
      if (edit.item.pszText && edit.item.iItem >= 0) {
        const int row = edit.item.iItem;
        SetTranslation(row, CellOfEditText(edit.item.pszText));
        if (row == SelectedRow()) ShowSelectedRow();
      }
      ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, FALSE);
      return TRUE;
    }
    case NM_DBLCLK: {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (click.iItem >= 0) ListView_EditLabel(list, click.iItem);
      return TRUE;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_F2 && SelectedRow() >= 0)
        ListView_EditLabel(list, SelectedRow());
      return TRUE;
  }
  return FALSE;
}

void CTranslateDlg::OnTimer() {
  if (firstTick_) {
    firstTick_ = false;
    ::SetTimer(hwnd(), kTimerId, kTickMs, nullptr);
  }
  if (changedSinceApply_ && checking_) ApplyPreview();
}

void CTranslateDlg::OnSize(int width, int height) {
  if (placedCount_ == 0) return;
  const int dx = width - client_.cx;
  const int dy = height - client_.cy;
  HDWP moves = ::BeginDeferWindowPos(placedCount_);
  for (int i = 0; i < placedCount_ && moves; ++i) {
    RECT r = placed_[i].rect;
    switch (placed_[i].id) {
      case IDC_TR_PATH:
        r.right += dx;
        break;
      case IDC_TR_NEXT_UNTRANSLATED:
        ::OffsetRect(&r, dx, 0);
        break;
      case IDC_TR_LIST:
        r.right += dx;
        r.bottom += dy;
        break;
      case IDC_TR_SOURCE_TEXT:  // the left half below the list
        ::OffsetRect(&r, 0, dy);
        r.right += dx / 2;
        break;
      case IDC_TR_TRANSLATION:  // the right half
        ::OffsetRect(&r, dx / 2, dy);
        r.right += dx - dx / 2;
        break;
      case IDC_TR_REVISION:
        ::OffsetRect(&r, 0, dy);
        break;
    }
    moves = ::DeferWindowPos(moves, Item(placed_[i].id), nullptr, r.left, r.top, r.right - r.left,
                             r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (moves) ::EndDeferWindowPos(moves);
  FitColumns();
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CTranslateDlg::OnGetMinMaxInfo(MINMAXINFO& info) const {
  if (smallest_.cx > 0) info.ptMinTrackSize = {smallest_.cx, smallest_.cy};
}

void CTranslateDlg::OnClose() {
  if (modified_) {
    const int answer =
        services_.messageBox(hwnd(), kSaveQuestion, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES) SaveAs();
    if (answer != IDNO) return;
  }
  // The program shows its texts with the English fallback again; the check
  // box says so when the editor comes back.
  SetCheckingMode(false);
  checking_ = false;
  ::CheckDlgButton(hwnd(), IDC_TR_CHECKING, BST_UNCHECKED);
  ::KillTimer(hwnd(), kTimerId);
  ::ShowWindow(hwnd(), SW_HIDE);
}

void CTranslateDlg::OnDestroy() {
  ::KillTimer(hwnd(), kTimerId);
  if (checking_) SetCheckingMode(false);
  checking_ = false;
}

void CTranslateDlg::ShowRows() {
  const HWND list = Item(IDC_TR_LIST);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, static_cast<int>(rows_.size()), 0);
  ::InvalidateRect(list, nullptr, TRUE);
  ShowSelectedRow();
}

int CTranslateDlg::SelectedRow() const {
  const int row = ListView_GetNextItem(Item(IDC_TR_LIST), -1, LVNI_SELECTED);
  return row >= 0 && static_cast<size_t>(row) < rows_.size() ? row : -1;
}

void CTranslateDlg::ShowSelectedRow() {
  const int row = SelectedRow();
  showingRow_ = true;
  ::SetDlgItemTextW(hwnd(), IDC_TR_SOURCE_TEXT,
                    row >= 0 ? EditTextOfCell(rows_[row].source).c_str() : L"");
  ::SetDlgItemTextW(hwnd(), IDC_TR_TRANSLATION,
                    row >= 0 ? EditTextOfCell(rows_[row].translation).c_str() : L"");
  showingRow_ = false;
  // Without a row there is nothing the typing would go to.
  ::SendDlgItemMessageW(hwnd(), IDC_TR_TRANSLATION, EM_SETREADONLY, row < 0, 0);
}

void CTranslateDlg::SetTranslation(int row, std::wstring cell) {
  if (row < 0 || static_cast<size_t>(row) >= rows_.size()) return;
  if (rows_[row].translation == cell) return;
  rows_[row].translation = std::move(cell);
  ListView_RedrawItems(Item(IDC_TR_LIST), row, row);
  modified_ = true;
  changedSinceApply_ = true;
}

void CTranslateDlg::OnTranslationEdited() {
  if (showingRow_) return;
  SetTranslation(SelectedRow(), CellOfEditText(platform::WindowText(Item(IDC_TR_TRANSLATION))));
}

void CTranslateDlg::OnSourceLanguageChanged() {
  const int index =
      static_cast<int>(::SendDlgItemMessageW(hwnd(), IDC_TR_SOURCE_LANGUAGE, CB_GETCURSEL, 0, 0));
  if (index < 0 || index >= kSourceLanguageCount) return;
  Settings().WriteInt(L"Start", L"translate_from", index);
  // The translations typed so far stay with their ids.
  const TextTable kept = TranslatedTexts(rows_);
  rows_ = SourceRowsFor(index);
  FillTranslations(rows_, kept);
  ShowRows();
}

void CTranslateDlg::OnCheckingModeClicked() {
  checking_ = ::IsDlgButtonChecked(hwnd(), IDC_TR_CHECKING) == BST_CHECKED;
  SetCheckingMode(checking_);
  if (checking_) {
    changedSinceApply_ = true;
    return;
  }
  ReloadTexts();
  RequestRetranslation();
}

void CTranslateDlg::ApplyPreview() {
  SetCurrentTexts(TranslatedTexts(rows_));
  changedSinceApply_ = false;
  RequestRetranslation();
}

void CTranslateDlg::GotoNextUntranslated() {
  const int selected = SelectedRow();
  const auto next =
      NextUntranslatedRow(rows_, selected >= 0 ? std::optional<size_t>(selected) : std::nullopt);
  if (!next) return;
  const HWND list = Item(IDC_TR_LIST);
  const int row = static_cast<int>(*next);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, row, FALSE);
  ::SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
}

bool CTranslateDlg::WriteFile(const std::wstring& path) const {
  return platform::WriteFileBytes(path, TranslationFileBytes(rows_));
}

void CTranslateDlg::SetCurrentFile(const std::wstring& path) {
  currentFile_ = path;
  Settings().WriteString(L"Translate", L"File", path);
  ::SetDlgItemTextW(hwnd(), IDC_TR_PATH, path.c_str());
}

bool CTranslateDlg::Save() {
  if (currentFile_.empty()) return SaveAs();
  // A copy goes to the temporary folder first, so the work survives a
  // current file that cannot be written (a read-only or vanished drive).
  const std::wstring folder =
      services_.tempFolder.empty() ? SystemTempFolder() : services_.tempFolder;
  const std::wstring copy = folder + L"\\lng_" + FileNameOf(currentFile_);
  const bool copied = WriteFile(copy);
  if (!WriteFile(currentFile_)) {
    std::wstring text = LangText(kTextCannotWrite) + L"\n" + currentFile_;
    if (copied) text += L"\n\n" + LangText(kTextCopySavedAt) + L"\n" + copy;
    services_.messageBox(hwnd(), text, MB_OK | MB_ICONWARNING);
    return false;
  }
  modified_ = false;
  return true;
}

bool CTranslateDlg::SaveAs() {
  const auto chosen = services_.chooseFile(hwnd(), true, currentFile_);
  if (!chosen) return false;
  const std::wstring path = WithTxtExtension(*chosen);
  if (!WriteFile(path)) {
    services_.messageBox(hwnd(), LangText(kTextCannotWrite) + L"\n" + path, MB_OK | MB_ICONWARNING);
    return false;
  }
  SetCurrentFile(path);
  modified_ = false;
  return true;
}

bool CTranslateDlg::AskToSaveFirst() {
  if (!modified_) return true;
  const int answer = services_.messageBox(hwnd(), kSaveQuestion, MB_YESNOCANCEL | MB_ICONQUESTION);
  if (answer == IDYES) return SaveAs();
  return answer == IDNO;
}

void CTranslateDlg::Load() {
  // Loading replaces the translation column; unsaved work is not dropped unasked.
  if (!AskToSaveFirst()) return;
  const auto chosen = services_.chooseFile(hwnd(), false, currentFile_);
  if (!chosen) return;
  const auto bytes = platform::ReadFileBytes(*chosen);
  if (!bytes) {
    services_.messageBox(hwnd(), LangText(kTextCannotRead) + L"\n" + *chosen,
                         MB_OK | MB_ICONWARNING);
    return;
  }
  FillTranslations(rows_, ReadTranslationFile(*bytes));
  SetCurrentFile(*chosen);
  modified_ = false;
  changedSinceApply_ = true;
  ShowRows();
}

void CTranslateDlg::FitColumns() {
  const HWND list = Item(IDC_TR_LIST);
  RECT client;
  ::GetClientRect(list, &client);
  RECT idWidth{0, 0, 28, 0};  // dialog units: room for a six-digit id
  ::MapDialogRect(hwnd(), &idWidth);
  const int rest = std::max<int>(client.right - idWidth.right, 2 * 40);
  ListView_SetColumnWidth(list, kColumnId, idWidth.right);
  ListView_SetColumnWidth(list, kColumnSource, rest / 2);
  ListView_SetColumnWidth(list, kColumnTranslation, rest - rest / 2);
}

}  // namespace app
