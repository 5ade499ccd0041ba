#include "app/Autostart_win.h"

namespace app {

bool ToggleAutostart(HKEY root, const wchar_t* subkey, const std::wstring& valueName,
                     const std::wstring& programPath) {
  if (::RegGetValueW(root, subkey, valueName.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
      ERROR_SUCCESS)
    return ::RegDeleteKeyValueW(root, subkey, valueName.c_str()) == ERROR_SUCCESS;
  const std::wstring data = L"\"" + programPath + L"\" -bg";
  return ::RegSetKeyValueW(root, subkey, valueName.c_str(), REG_SZ, data.c_str(),
                           static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) ==
         ERROR_SUCCESS;
}

}  // namespace app
