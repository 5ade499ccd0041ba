// The actions on the files of the result list: the list's context menu,
// copying, moving and deleting the marked images through the system's file
// operation service, copying marked images over their partners, and the
// single-image commands of the preview and row toolbars. After a file
// operation the rows whose files are gone are removed, so the list shows
// what the file system holds, whatever the operation did.
//
//   ResultActions actions(window);          // a member of the compare window
//   actions.SetLauncher(testLauncher);      // programs started instead by a test
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "comparewindow/CompareToolbars.h"
#include "comparewindow/MarkedFiles.h"
#include "platform/ShellFileOperation.h"
#include "platform/ShellLaunch.h"

namespace comparewindow {

class CImgCmp2017;

using Launcher = std::function<bool(const platform::LaunchRequest&)>;

// Where copy and move remember their target folder.
inline constexpr wchar_t kTargetFolderSection[] = L"Move_to_Folder";
inline constexpr wchar_t kTargetFolderKey[] = L"folder";

class ResultActions {
 public:
  explicit ResultActions(CImgCmp2017& window);

  void SetLauncher(Launcher launcher) { launcher_ = std::move(launcher); }

  // WM_CONTEXTMENU of the dialog: opens the menu for a click in the list's
  // client area and carries out the chosen command.
  bool OnContextMenu(HWND from, LPARAM screenPoint);
  void RunMenuCommand(int command);

  // Commands 1 and 2: copy or move the marked images into a chosen folder.
  void CopyOrMoveMarked(platform::FileFunction function);
  // Command 3: the marked images to the recycle bin.
  void DeleteMarked();
  // Command 57641: each marked image over its unmarked partner.
  void CopyOverPartners();

  // The preview and row toolbars' commands for one side's image.
  void ShowInExplorer(Side side);
  void OpenImage(Side side);
  void DeleteOne(Side side);

  // Removes, last to first, each row one of whose files no longer exists.
  void RemoveVanishedRows();

 private:
  std::vector<MarkedRow> Rows() const;
  void RunOperation(platform::FileFunction function, const std::wstring& sources,
                    const std::wstring& targets, uint32_t flags);

  CImgCmp2017& window_;
  Launcher launcher_;
};

}  // namespace comparewindow
