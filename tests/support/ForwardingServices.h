#pragma once
// Picture services that hand every request to the real decoder and shell;
// a test derives from it and overrides the requests it watches.
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "engine/PictureServices.h"

namespace testsupport {

class ForwardingServices : public engine::PictureServices {
 public:
  std::unique_ptr<engine::PictureFile> Open(const std::wstring& path) override {
    return real_.Open(path);
  }
  std::optional<platform::Bitmap32> ShellExtract(const std::wstring& p, int w, int h,
                                                 uint32_t f) override {
    return real_.ShellExtract(p, w, h, f);
  }
  std::optional<platform::Bitmap32> ShellSquareThumbnail(const std::wstring& p, int s) override {
    return real_.ShellSquareThumbnail(p, s);
  }
  std::optional<std::pair<int, int>> ShellImageSize(const std::wstring& p) override {
    return real_.ShellImageSize(p);
  }
  bool ShellIsAtLeast(const std::wstring& p, int n) override { return real_.ShellIsAtLeast(p, n); }

 protected:
  engine::SystemPictureServices real_;
};

}  // namespace testsupport
