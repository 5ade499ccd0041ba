#include "engine/PictureServices.h"

namespace engine {
namespace {

class DecodedPictureFile final : public PictureFile {
 public:
  explicit DecodedPictureFile(platform::DecodedImage image) : image_(std::move(image)) {}
  platform::ImageType Type() const override { return image_.Type(); }
  int Width() const override { return image_.Width(); }
  int Height() const override { return image_.Height(); }
  bool HasAlpha() const override { return image_.HasAlpha(); }
  uint32_t ThumbnailDataSize() const override { return image_.ThumbnailDataSize(); }
  bool ReadThumbnail(platform::PixelSink& sink) override { return image_.ReadThumbnail(sink); }
  bool ReadScaled(int minWidth, int minHeight, platform::PixelSink& sink) override {
    return image_.ReadScaled(minWidth, minHeight, sink);
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
