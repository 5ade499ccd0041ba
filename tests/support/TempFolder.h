// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <string>

namespace testsupport {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path, ending without a separator.
  const std::wstring& path() const { return path_; }
  // path() + separator + name
  std::wstring operator/(const std::wstring& name) const;
  // Creates a subfolder (and its parents) and returns its path.
  std::wstring MakeFolder(const std::wstring& name) const;

 private:
  std::wstring path_;
};

}  // namespace testsupport
