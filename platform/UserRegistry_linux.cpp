#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/UserRegistry.h"

namespace platform {
namespace {

std::optional<std::wstring> RegistryFile() {
  const auto folder = UserAppDataFolder();
  if (!folder) return std::nullopt;
  return *folder + L"/Kelvane-registry.ini";
}

}  // namespace

std::optional<std::wstring> ReadUserRegistryString(const std::wstring& keyName,
                                                   const std::wstring& valueName) {
  const auto file = RegistryFile();
  if (!file) return std::nullopt;
  // A missing value and an empty one read alike; callers treat both as missing.
  std::wstring value = ReadIniValue(*file, keyName, valueName, L"");
  if (value.empty()) return std::nullopt;
  return value;
}

bool WriteUserRegistryString(const std::wstring& keyName, const std::wstring& valueName,
                             const std::wstring& value) {
  const auto file = RegistryFile();
  return file && WriteIniValue(*file, keyName, valueName, value);
}

}  // namespace platform
