#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/FileSystem.h"
#include "platform/Text.h"

namespace platform {
namespace {

// Seconds between 1601-01-01 and 1970-01-01.
constexpr uint64_t kEpochDifference = 11644473600ull;

uint64_t Ticks(const timespec& t) {
  return (static_cast<uint64_t>(t.tv_sec) + kEpochDifference) * 10000000ull +
         static_cast<uint64_t>(t.tv_nsec) / 100u;
}

// Attributes as Windows would report them. A symbolic link is a reparse point;
// it also counts as a folder when it leads to one, as a folder link does on Windows.
std::optional<DirEntry> EntryOf(const std::string& path, std::wstring name) {
  struct stat link{};
  if (lstat(path.c_str(), &link) != 0) return std::nullopt;
  struct stat target = link;
  uint32_t attributes = 0;
  if (S_ISLNK(link.st_mode)) {
    attributes |= kAttrReparsePoint;
    if (stat(path.c_str(), &target) != 0) target = link;
  }
  if (S_ISDIR(target.st_mode)) attributes |= kAttrDirectory;
  if (!name.empty() && name[0] == L'.' && name != L"." && name != L"..")
    attributes |= kAttrHidden;
  if ((target.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (!S_ISDIR(target.st_mode) && !S_ISREG(target.st_mode)) attributes |= kAttrSystem;
  if (attributes == 0) attributes = kAttrArchive;

  DirEntry entry;
  entry.attributes = attributes;
  entry.creationTime = Ticks(target.st_ctim);
  entry.lastAccessTime = Ticks(target.st_atim);
  entry.lastWriteTime = Ticks(target.st_mtim);
  entry.fileSize = S_ISDIR(target.st_mode) ? 0 : static_cast<uint64_t>(target.st_size);
  entry.name = std::move(name);
  return entry;
}

}  // namespace

std::optional<uint32_t> FileAttributes(const std::wstring& path) {
  auto entry = FileEntry(path);
  if (!entry) return std::nullopt;
  return entry->attributes;
}

std::optional<DirEntry> FileEntry(const std::wstring& path) {
  std::string utf8 = ToUtf8(path);
  // A trailing separator names the folder itself.
  while (utf8.size() > 1 && utf8.back() == '/') utf8.pop_back();
  const size_t cut = utf8.find_last_of('/');
  return EntryOf(utf8, FromUtf8(cut == std::string::npos ? utf8 : utf8.substr(cut + 1)));
}

struct DirectoryEnumerator::Impl {
  std::string folder;
  DIR* dir = nullptr;
  ~Impl() {
    if (dir) closedir(dir);
  }
};

DirectoryEnumerator::DirectoryEnumerator(const std::wstring& folderPrefix)
    : impl_(std::make_unique<Impl>()) {
  impl_->folder = ToUtf8(folderPrefix);
  impl_->dir = opendir(impl_->folder.empty() ? "." : impl_->folder.c_str());
}

DirectoryEnumerator::~DirectoryEnumerator() = default;

bool DirectoryEnumerator::Next(DirEntry& entry) {
  if (!impl_->dir) return false;
  while (dirent* d = readdir(impl_->dir)) {
    // An entry that vanished between listing and looking is passed over.
    if (auto found = EntryOf(impl_->folder + d->d_name, FromUtf8(d->d_name))) {
      entry = std::move(*found);
      return true;
    }
  }
  return false;
}

std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) {
  const char* value = std::getenv(ToUtf8(name).c_str());
  // As on Windows: an empty value reads as not set, and a value must fit a
  // buffer of 520 UTF-16 units.
  if (!value || *value == '\0') return std::nullopt;
  std::wstring text = FromUtf8(value);
  if (ToUtf16(text).size() >= 520) return std::nullopt;
  return text;
}

std::wstring ProgramFilePath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < path.size()) {
      path.resize(static_cast<size_t>(n));
      return FromUtf8(path);
    }
    path.resize(path.size() * 2);
  }
}

std::optional<std::wstring> UserAppDataFolder() {
  // The base directory rules: a relative XDG_CONFIG_HOME is to be ignored.
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') return std::nullopt;
    folder = std::string(home) + "/.config";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat st{};
  if (stat(folder.c_str(), &st) != 0) {
    // Make it and its parents, private to the user as the rules ask.
    for (size_t at = 1; at <= folder.size(); ++at) {
      if (at == folder.size() || folder[at] == '/') mkdir(folder.substr(0, at).c_str(), 0700);
    }
    if (stat(folder.c_str(), &st) != 0) return std::nullopt;
  }
  if (!S_ISDIR(st.st_mode)) return std::nullopt;
  return FromUtf8(folder);
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  const int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  const int fd = open(ToUtf8(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) {
      close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return close(fd) == 0;
}

bool MoveFileNoReplace(const std::wstring& from, const std::wstring& to) {
  const std::string source = ToUtf8(from);
  const std::string target = ToUtf8(to);
  if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the no-replace rename: a hard link fails on an existing target.
  if (link(source.c_str(), target.c_str()) != 0) return false;
  return unlink(source.c_str()) == 0;
}

}  // namespace platform
