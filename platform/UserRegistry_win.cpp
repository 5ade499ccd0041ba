#include <windows.h>

#include "platform/UserRegistry.h"

namespace platform {
namespace {

std::wstring KeyPath(const std::wstring& keyName) { return L"Software\\Kelvane\\" + keyName; }

}  // namespace

std::optional<std::wstring> ReadUserRegistryString(const std::wstring& keyName,
                                                   const std::wstring& valueName) {
  DWORD bytes = 0;
  const std::wstring path = KeyPath(keyName);
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), valueName.c_str(), RRF_RT_REG_SZ, nullptr,
                     value.data(), &bytes) != ERROR_SUCCESS)
    return std::nullopt;
  value.resize(wcsnlen(value.c_str(), value.size()));
  return value;
}

bool WriteUserRegistryString(const std::wstring& keyName, const std::wstring& valueName,
                             const std::wstring& value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(keyName).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG result = ::RegSetValueExW(key, valueName.c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace platform
