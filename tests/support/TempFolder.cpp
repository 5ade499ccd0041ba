#include "tests/support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include "platform/Text.h"

namespace testsupport {

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                 ("duplora-test-" + std::to_string(stamp) + "-" +
                                  std::to_string(counter++));
  std::filesystem::create_directories(folder);
  path_ = folder.wstring();
  while (!path_.empty() && (path_.back() == L'/' || path_.back() == L'\\')) path_.pop_back();
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Give back write permission first, so read-only test files go too.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::operator/(const std::wstring& name) const {
  return path_ + platform::kPathSeparator + name;
}

std::wstring TempFolder::MakeFolder(const std::wstring& name) const {
  const std::wstring folder = *this / name;
  std::filesystem::create_directories(std::filesystem::path(folder));
  return folder;
}

}  // namespace testsupport
