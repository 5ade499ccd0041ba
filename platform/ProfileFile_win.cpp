#include <windows.h>

#include "platform/ProfileFile.h"

namespace platform {

std::wstring ReadIniValue(const std::wstring& file, const std::wstring& section,
                          const std::wstring& key, const std::wstring& fallback) {
  // The call cannot tell how long the value is; grow the buffer until it fits.
  for (DWORD size = 4096;; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD n = ::GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                               buffer.data(), size, file.c_str());
    if (n + 1 < size || size >= (1u << 24)) {
      buffer.resize(n);
      return buffer;
    }
  }
}

bool WriteIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) {
  return ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         0;
}

std::vector<std::wstring> ReadIniSection(const std::wstring& file, const std::wstring& section) {
  for (DWORD size = 65536;; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD n = ::GetPrivateProfileSectionW(section.c_str(), buffer.data(), size, file.c_str());
    // A full buffer returns size - 2.
    if (n + 2 < size || size >= (1u << 24)) {
      std::vector<std::wstring> entries;
      for (size_t at = 0; at < n;) {
        const size_t end = buffer.find(L'\0', at);
        if (end == std::wstring::npos || end > n) break;
        if (end > at) entries.push_back(buffer.substr(at, end - at));
        at = end + 1;
      }
      return entries;
    }
  }
}

bool WriteIniSection(const std::wstring& file, const std::wstring& section,
                     const std::vector<std::wstring>& entries) {
  // The system takes the entries as one block: each ended by NUL, the block by another.
  std::wstring block;
  for (const std::wstring& entry : entries) {
    block += entry;
    block.push_back(L'\0');
  }
  block.push_back(L'\0');
  return ::WritePrivateProfileSectionW(section.c_str(), block.c_str(), file.c_str()) != 0;
}

bool DeleteIniSection(const std::wstring& file, const std::wstring& section) {
  return ::WritePrivateProfileStringW(section.c_str(), nullptr, nullptr, file.c_str()) != 0;
}

}  // namespace platform
