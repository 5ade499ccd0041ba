#include "comparewindow/ResultActions.h"

#include <windowsx.h>

#include <optional>

#include "app/LangText.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/ResultMenu_win.h"
#include "platform/FileSystem.h"

namespace comparewindow {
namespace {

constexpr uint32_t kIntoFolderFlags = platform::kFileOpAllowUndo | platform::kFileOpFilesOnly;
constexpr uint32_t kOverPartnerFlags =
    platform::kFileOpMultiDestination | platform::kFileOpAllowUndo | platform::kFileOpFilesOnly;

int Index(Side side) { return static_cast<int>(side); }

std::wstring CollapseDoubledBackslashes(std::wstring path) {
  for (size_t at = path.find(L"\\\\"); at != std::wstring::npos; at = path.find(L"\\\\", at))
    path.erase(at, 1);
  return path;
}

}  // namespace

ResultActions::ResultActions(CImgCmp2017& window) : window_(window), launcher_(platform::Launch) {}

// ---------------------------------------------------------------------------
// The context menu

bool ResultActions::OnContextMenu(HWND from, LPARAM screenPoint) {
  const HWND list = window_.List().hwnd();
  if (from != list) return false;
  POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  RECT client{};
  ::GetClientRect(list, &client);
  if (at.x == -1 && at.y == -1) {
    // From the keyboard: at the list's upper left corner.
    at = {client.left, client.top};
    ::ClientToScreen(list, &at);
  } else {
    POINT inList = at;
    ::ScreenToClient(list, &inList);
    if (!::PtInRect(&client, inList)) return false;
  }
  const ResultMenuState state{window_.List().RowCount() == 0, window_.ShowListToolbar(),
                              window_.LeftRightSel()};
  const platform::UniqueMenu menu = BuildResultMenu(state, window_.Texts());
  if (!menu) return true;
  const int command = window_.ChooseFromMenu(menu.get(), at);
  // A greyed menu gives no command; a chooser that ignores the grey does not get through either.
  if (command != 0 && !state.emptyList) RunMenuCommand(command);
  return true;
}

void ResultActions::RunMenuCommand(int command) {
  switch (command) {
    case kCmdCopyMarked:
      CopyOrMoveMarked(platform::FileFunction::Copy);
      return;
    case kCmdMoveMarked:
      CopyOrMoveMarked(platform::FileFunction::Move);
      return;
    case kCmdDeleteMarked:
      DeleteMarked();
      return;
    case kCmdShowListToolbar:
      window_.SetShowListToolbar(!window_.ShowListToolbar());
      return;
    case kCmdLeftRightSel:
      window_.SetLeftRightSel(!window_.LeftRightSel());
      return;
    case kCmdMarkAutomatically:
    case kCmdInvertMarks:
    case kCmdSwapMarks:
    case kCmdRemoveSelectedRows:
    case kCmdRemoveMarkedRows:
    case kCmdRemoveUnmarkedRows:
    case kCmdCopyOverPartner:
      // The window's own commands, as when they come from elsewhere.
      ::SendMessageW(window_.hwnd(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
      return;
  }
}

// ---------------------------------------------------------------------------
// Marked images

std::vector<MarkedRow> ResultActions::Rows() const {
  const CListCtrlHelp& list = window_.List();
  std::vector<MarkedRow> rows(static_cast<size_t>(list.RowCount()));
  for (int row = 0; row < static_cast<int>(rows.size()); ++row)
    for (int column : {kMarkColumnLeft, kMarkColumnRight}) {
      rows[row].marked[column] = list.Mark(row, column) == 1;
      rows[row].paths[column] = list.Text(row, column, kMarkedPathChars);
    }
  return rows;
}

void ResultActions::CopyOrMoveMarked(platform::FileFunction function) {
  const std::wstring marked = MarkedFileList(Rows());
  if (marked.empty()) return;
  app::CMyProfStr& settings = app::Settings();
  const std::wstring remembered = settings.ReadString(kTargetFolderSection, kTargetFolderKey, L"");
  const std::optional<std::wstring> folder = window_.AskForFolder(remembered);
  if (!folder || folder->empty()) return;
  if (function == platform::FileFunction::Move) {
    // Each file named at a free place in the folder: some shells replace an
    // existing file on a move without asking.
    const MoveLists move = MoveIntoFolder(marked, *folder, [](const std::wstring& path) {
      return platform::FileAttributes(path).has_value();
    });
    if (!move.sources.empty())
      RunOperation(function, ShellPathList(move.sources), ShellPathList(move.targets),
                   kIntoFolderFlags | platform::kFileOpMultiDestination);
  } else {
    RunOperation(function, ShellPathList(marked), ShellPathList(*folder), kIntoFolderFlags);
  }
  settings.WriteString(kTargetFolderSection, kTargetFolderKey, *folder);
  RemoveVanishedRows();
}

void ResultActions::DeleteMarked() {
  const std::wstring marked = MarkedFileList(Rows());
  if (marked.empty()) return;
  RunOperation(platform::FileFunction::Delete, ShellPathList(marked), {},
               platform::kFileOpAllowUndo);
  RemoveVanishedRows();
}

void ResultActions::CopyOverPartners() {
  const PartnerCopy copy = PartnerCopyLists(Rows());
  if (copy.empty()) return;
  RunOperation(platform::FileFunction::Copy, ShellPathList(copy.sources),
               ShellPathList(copy.targets), kOverPartnerFlags);
  // Normally nothing went; a file that vanished before must not stay listed.
  RemoveVanishedRows();
}

void ResultActions::RunOperation(platform::FileFunction function, const std::wstring& sources,
                                 const std::wstring& targets, uint32_t flags) {
  platform::FileOperation operation;
  operation.owner = window_.hwnd();
  operation.function = function;
  operation.sources = sources;
  operation.targets = targets;
  operation.flags = flags;
  // The shell reports its failures itself; the list is set right by looking
  // at the file system afterwards.
  platform::RunFileOperation(operation);
}

// ---------------------------------------------------------------------------
// One image

void ResultActions::ShowInExplorer(Side side) {
  const std::wstring& path = window_.PreviewedPath(side);
  const std::optional<std::wstring> windows = platform::WindowsFolder();
  if (path.empty() || !windows || !launcher_) return;
  launcher_({CollapseDoubledBackslashes(*windows + L"\\explorer.exe"),
             L" /select,\"" + path + L"\",/e", true});
}

void ResultActions::OpenImage(Side side) {
  const std::wstring& path = window_.PreviewedPath(side);
  if (path.empty() || !launcher_) return;
  launcher_({path, L"", true});
}

void ResultActions::DeleteOne(Side side) {
  const CListCtrlHelp& list = window_.List();
  const int row = list.SelectionMark();
  if (row < 0 || row >= list.RowCount()) return;
  const std::wstring path = list.Text(row, Index(side), kMarkedPathChars);
  if (path.empty()) return;
  RunOperation(platform::FileFunction::Delete, ShellPathList(path), {}, platform::kFileOpAllowUndo);
  RemoveVanishedRows();
}

// ---------------------------------------------------------------------------
// The list follows the file system

void ResultActions::RemoveVanishedRows() {
  CListCtrlHelp& list = window_.List();
  bool removed = false;
  for (int row = list.RowCount() - 1; row >= 0; --row)
    for (int column : {kMarkColumnLeft, kMarkColumnRight}) {
      if (platform::FileAttributes(list.Text(row, column))) continue;
      ListView_DeleteItem(list.hwnd(), row);
      removed = true;
      break;
    }
  if (removed) window_.PlaceRowToolbars(list.SelectionMark());
}

}  // namespace comparewindow
