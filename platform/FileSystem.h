// Files and folders as the engine sees them. (Names avoid those of the
// Windows API, whose headers turn them into macros.)
//
// A DirEntry holds what the program uses of a directory entry, with the
// attribute bits and time base of Windows on both systems. On Linux a
// symbolic link (to a file or a folder) carries the reparse-point bit, so
// callers that skip reparse points never follow a link into a loop.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform {

inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrSystem = 0x4;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
inline constexpr uint32_t kAttrReparsePoint = 0x400;

struct DirEntry {
  uint32_t attributes = 0;
  // 100-nanosecond ticks since 1601-01-01 UTC.
  uint64_t creationTime = 0;
  uint64_t lastAccessTime = 0;
  uint64_t lastWriteTime = 0;
  uint64_t fileSize = 0;
  std::wstring name;  // name within its folder

  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
  bool IsReparsePoint() const { return (attributes & kAttrReparsePoint) != 0; }
};

// The attributes of a file or folder, or nothing when it cannot be found.
std::optional<uint32_t> FileAttributes(const std::wstring& path);

// The directory entry of one file or folder, with its name part.
std::optional<DirEntry> FileEntry(const std::wstring& path);

// Enumerates the entries of one folder, "." and ".." included as the system gives them.
// folderPrefix ends with the path separator. A folder that cannot be read yields nothing.
class DirectoryEnumerator {
 public:
  explicit DirectoryEnumerator(const std::wstring& folderPrefix);
  ~DirectoryEnumerator();
  DirectoryEnumerator(const DirectoryEnumerator&) = delete;
  DirectoryEnumerator& operator=(const DirectoryEnumerator&) = delete;

  bool Next(DirEntry& entry);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The value of an environment variable, or nothing when it is not set.
std::optional<std::wstring> EnvironmentVariable(const std::wstring& name);

// The full path of the running program's file.
std::wstring ProgramFilePath();

// The user's folder for the settings of programs: on Windows the roaming
// application-data folder, on Linux $XDG_CONFIG_HOME or ~/.config (made when
// missing). Nothing when it cannot be determined.
std::optional<std::wstring> UserAppDataFolder();

// Moves or renames a file, never over an existing one; false when it failed.
bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to);

// Reads a whole file; nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Creates or replaces a file with the given bytes in one write.
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);

}  // namespace platform
