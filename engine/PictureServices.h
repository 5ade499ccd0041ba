// What the fingerprint routes ask of the system: the picture decoder and the
// shell's thumbnail sources. The search uses SystemPictureServices; tests put
// a recorder or a stand-in in its place to see which sources a route asks.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/ImageDecoder.h"
#include "platform/ShellThumbnails.h"

namespace engine {

// One opened picture file.
class PictureFile {
 public:
  virtual ~PictureFile() = default;
  virtual platform::ImageType Type() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool HasAlpha() const = 0;
  virtual uint32_t ThumbnailDataSize() const = 0;
  // The embedded thumbnail, strip by strip; false when there is none.
  virtual bool ReadThumbnail(platform::PixelSink& sink) = 0;
  // The whole picture, at least minWidth x minHeight where it has that many.
  virtual bool ReadScaled(int minWidth, int minHeight, platform::PixelSink& sink) = 0;
};

class PictureServices {
 public:
  virtual ~PictureServices() = default;
  virtual std::unique_ptr<PictureFile> Open(const std::wstring& path) = 0;
  virtual std::optional<platform::Bitmap32> ShellExtract(const std::wstring& path, int width,
                                                         int height, uint32_t flags) = 0;
  virtual std::optional<platform::Bitmap32> ShellSquareThumbnail(const std::wstring& path,
                                                                 int size) = 0;
  virtual std::optional<std::pair<int, int>> ShellImageSize(const std::wstring& path) = 0;
  virtual bool ShellIsAtLeast(const std::wstring& path, int n) = 0;
};

// The real decoder and shell; one instance per thread.
class SystemPictureServices final : public PictureServices {
 public:
  std::unique_ptr<PictureFile> Open(const std::wstring& path) override;
  std::optional<platform::Bitmap32> ShellExtract(const std::wstring& path, int width, int height,
                                                 uint32_t flags) override;
  std::optional<platform::Bitmap32> ShellSquareThumbnail(const std::wstring& path,
                                                         int size) override;
  std::optional<std::pair<int, int>> ShellImageSize(const std::wstring& path) override;
  bool ShellIsAtLeast(const std::wstring& path, int n) override;

 private:
  platform::ShellThumbnails shell_;
};

}  // namespace engine
