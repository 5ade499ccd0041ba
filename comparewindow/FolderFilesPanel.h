// The file panel of view mode 1 (in the result list's place) and of preview
// mode 2 (beside each preview): a list of the files in the folder of the
// previewed picture, with that picture selected.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace comparewindow {

class FolderFilesPanel {
 public:
  // Makes the panel hidden; it goes with its parent.
  bool Create(HWND parent, HFONT font);
  HWND hwnd() const { return box_; }
  bool exists() const { return box_ != nullptr; }

  // Lists the files of the path's folder (of the path itself when it is a
  // folder) and selects the path's file.
  void ShowFolderOf(const std::wstring& path);
  // Empties the panel.
  void Release();

  const std::wstring& folder() const { return folder_; }
  std::vector<std::wstring> Names() const;

 private:
  HWND box_ = nullptr;
  std::wstring folder_;
};

}  // namespace comparewindow
