#include "comparewindow/FolderFilesPanel.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "platform/Window_win.h"

namespace comparewindow {

bool FolderFilesPanel::Create(HWND parent, HFONT font) {
  box_ =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                        WS_CHILD | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                        0, 0, 0, 0, parent, nullptr, platform::ProgramInstance(), nullptr);
  if (box_ && font) ::SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return box_ != nullptr;
}

void FolderFilesPanel::ShowFolderOf(const std::wstring& path) {
  if (!box_) return;
  std::wstring folder = path;
  std::wstring selected;
  const auto attributes = platform::FileAttributes(path);
  if (!attributes || (*attributes & platform::kAttrDirectory) == 0) {
    const size_t slash = path.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    selected = slash == std::wstring::npos ? path : path.substr(slash + 1);
  }
  if (folder == folder_ && !folder.empty()) {
    // The same folder: only the selection moves.
    ::SendMessageW(box_, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(selected.c_str()));
    return;
  }
  folder_ = folder;
  std::vector<std::wstring> names;
  platform::DirectoryEnumerator files(folder + L"\\");
  for (platform::DirEntry entry; files.Next(entry);)
    if (!entry.IsFolder()) names.push_back(entry.name);
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    return platform::ToLower(a) < platform::ToLower(b);
  });
  ::SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(box_, LB_RESETCONTENT, 0, 0);
  for (const std::wstring& name : names)
    ::SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  ::SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(box_, nullptr, TRUE);
  const auto found = std::find(names.begin(), names.end(), selected);
  if (found != names.end()) ::SendMessageW(box_, LB_SETCURSEL, found - names.begin(), 0);
}

void FolderFilesPanel::Release() {
  if (box_) ::SendMessageW(box_, LB_RESETCONTENT, 0, 0);
  folder_.clear();
}

std::vector<std::wstring> FolderFilesPanel::Names() const {
  std::vector<std::wstring> names;
  const int count = box_ ? static_cast<int>(::SendMessageW(box_, LB_GETCOUNT, 0, 0)) : 0;
  for (int i = 0; i < count; ++i) {
    const LRESULT length = ::SendMessageW(box_, LB_GETTEXTLEN, i, 0);
    std::wstring name(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    ::SendMessageW(box_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace comparewindow
