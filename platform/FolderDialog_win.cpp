#include "platform/FolderDialog_win.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace platform {

std::optional<std::wstring> ChooseFolder(HWND owner, const std::wstring& start) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(dialog.GetAddressOf()))))
    return std::nullopt;
  DWORD options = 0;
  if (FAILED(dialog->GetOptions(&options)) ||
      FAILED(dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM)))
    return std::nullopt;
  if (!start.empty()) {
    ComPtr<IShellItem> folder;
    if (SUCCEEDED(::SHCreateItemFromParsingName(start.c_str(), nullptr,
                                                IID_PPV_ARGS(folder.GetAddressOf()))))
      dialog->SetFolder(folder.Get());
  }
  if (FAILED(dialog->Show(owner))) return std::nullopt;  // cancelled
  ComPtr<IShellItem> chosen;
  if (FAILED(dialog->GetResult(chosen.GetAddressOf()))) return std::nullopt;
  PWSTR path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return std::nullopt;
  std::wstring result = path;
  ::CoTaskMemFree(path);
  return result;
}

}  // namespace platform
