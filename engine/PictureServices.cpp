#include "engine/PictureServices.h"

namespace engine {
namespace {

class DecodedPictureFile final : public PictureFile {
 public:
  explicit DecodedPictureFile(platform::DecodedImage image) : image_(std::move(image)) {}
  platform::ImageType Type() const override { return image_.Type(); }
  int Width() const override { return image_.Width(); }
  int Height() const override { return image_.Height(); }
  uint32_t PixelFormat() const override { return image_.PixelFormat(); }
  uint32_t ThumbnailDataSize() const override { return image_.ThumbnailDataSize(); }
  std::optional<platform::Bitmap32> Thumbnail(int width, int height) override {
    return image_.Thumbnail(width, height);
  }
  std::optional<platform::Bitmap32> DrawStretched(int width, int height) override {
    return image_.DrawStretched(width, height);
  }

 private:
  platform::DecodedImage image_;
};

}  // namespace

std::unique_ptr<PictureFile> SystemPictureServices::Open(const std::wstring& path) {
  auto image = platform::DecodedImage::Load(path);
  if (!image) return nullptr;
  return std::make_unique<DecodedPictureFile>(std::move(*image));
}

std::optional<platform::Bitmap32> SystemPictureServices::ShellExtract(const std::wstring& path,
                                                                      int width, int height,
                                                                      uint32_t flags) {
  return shell_.Extract(path, width, height, flags);
}

std::optional<platform::Bitmap32> SystemPictureServices::ShellSquareThumbnail(
    const std::wstring& path, int size) {
  return shell_.SquareThumbnail(path, size);
}

std::optional<std::pair<int, int>> SystemPictureServices::ShellImageSize(const std::wstring& path) {
  return shell_.ImageSize(path);
}

bool SystemPictureServices::ShellIsAtLeast(const std::wstring& path, int n) {
  return shell_.IsAtLeast(path, n);
}

}  // namespace engine
