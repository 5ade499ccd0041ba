#include <windows.h>

#include <shlobj.h>

#include "platform/FileSystem.h"
#include "platform/Handles_win.h"

namespace platform {
namespace {

uint64_t Ticks(const FILETIME& t) {
  return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// WIN32_FIND_DATAW and WIN32_FILE_ATTRIBUTE_DATA share these fields.
template <typename Data>
DirEntry EntryWithoutName(const Data& data) {
  DirEntry entry;
  entry.attributes = data.dwFileAttributes;
  entry.creationTime = Ticks(data.ftCreationTime);
  entry.lastAccessTime = Ticks(data.ftLastAccessTime);
  entry.lastWriteTime = Ticks(data.ftLastWriteTime);
  entry.fileSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return entry;
}

DirEntry FromFindData(const WIN32_FIND_DATAW& data) {
  DirEntry entry = EntryWithoutName(data);
  entry.name = data.cFileName;
  return entry;
}

}  // namespace

std::optional<uint32_t> FileAttributes(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return attributes;
}

std::optional<DirEntry> FileEntry(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  DirEntry entry = EntryWithoutName(data);
  const size_t cut = path.find_last_of(L"\\/");
  entry.name = cut == std::wstring::npos ? path : path.substr(cut + 1);
  return entry;
}

struct DirectoryEnumerator::Impl {
  UniqueFindHandle find;
  WIN32_FIND_DATAW data{};
  bool pending = false;
};

DirectoryEnumerator::DirectoryEnumerator(const std::wstring& folderPrefix)
    : impl_(std::make_unique<Impl>()) {
  const std::wstring pattern = folderPrefix + L"*.*";
  impl_->find.reset(::FindFirstFileW(pattern.c_str(), &impl_->data));
  impl_->pending = static_cast<bool>(impl_->find);
}

DirectoryEnumerator::~DirectoryEnumerator() = default;

bool DirectoryEnumerator::Next(DirEntry& entry) {
  if (!impl_->pending) return false;
  entry = FromFindData(impl_->data);
  impl_->pending = ::FindNextFileW(impl_->find.get(), &impl_->data) != 0;
  return true;
}

std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) {
  wchar_t buffer[520];
  const DWORD n = ::GetEnvironmentVariableW(name.c_str(), buffer, 520);
  if (n == 0 || n >= 520) return std::nullopt;
  return std::wstring(buffer, n);
}

std::wstring ProgramFilePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::wstring> UserAppDataFolder() {
  wchar_t folder[MAX_PATH];
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return std::nullopt;
  return std::wstring(folder);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size()))
    return std::nullopt;
  return bytes;
}

bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to) {
  // Without MOVEFILE_REPLACE_EXISTING an existing target makes the move fail.
  return ::MoveFileW(from.c_str(), to.c_str()) != FALSE;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
         written == bytes.size();
}

}  // namespace platform
