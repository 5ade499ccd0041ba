#include <cstdio>
#include <memory>

#include "platform/GdiPlus_win.h"
#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"
#include "platform/PictureHeader.h"

namespace platform {
namespace Gp = Gdiplus::DllExports;

void EnsureGdiplusStarted() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

std::optional<Bitmap32> ReadBitmapBits(HBITMAP bitmap) {
  BITMAP info{};
  if (!::GetObjectW(bitmap, sizeof info, &info)) return std::nullopt;
  Bitmap32 out;
  out.width = info.bmWidth;
  out.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  out.bits.resize(static_cast<size_t>(out.width) * out.height * 4);
  const LONG got = ::GetBitmapBits(bitmap, static_cast<LONG>(out.bits.size()), out.bits.data());
  out.bits.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

namespace {

// A GDI bitmap of the image on a background of ARGB 0, read back as bytes.
std::optional<Bitmap32> ToBitmap32(Gdiplus::GpImage* image) {
  HBITMAP handle = nullptr;
  if (Gp::GdipCreateHBITMAPFromBitmap(static_cast<Gdiplus::GpBitmap*>(image), &handle, 0) !=
          Gdiplus::Ok ||
      !handle)
    return std::nullopt;
  UniqueBitmap bitmap(handle);
  return ReadBitmapBits(bitmap.get());
}

// Some decoders allocate the whole picture while they load it, and a header
// that declares billions of pixels in a few kilobytes (a decompression bomb)
// would take gigabytes, or overflow the decoder's size sums.
bool DeclaresTooManyPixels(const std::wstring& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), fclose);
  if (!file) return false;  // the decoder says why it cannot read it
  const auto size = DeclaredPictureSize([&](uint64_t offset, size_t count) {
    std::string bytes(count, '\0');
    if (_fseeki64(file.get(), static_cast<long long>(offset), SEEK_SET) != 0) return std::string();
    bytes.resize(fread(bytes.data(), 1, count, file.get()));
    return bytes;
  });
  return size && !WithinPixelBound(*size);
}

}  // namespace

struct DecodedImage::Impl {
  GpImagePtr image;
};

DecodedImage::DecodedImage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DecodedImage::DecodedImage(DecodedImage&&) noexcept = default;
DecodedImage& DecodedImage::operator=(DecodedImage&&) noexcept = default;
DecodedImage::~DecodedImage() = default;

std::optional<DecodedImage> DecodedImage::Load(const std::wstring& path) {
  if (DeclaresTooManyPixels(path)) return std::nullopt;
  EnsureGdiplusStarted();
  Gdiplus::GpImage* image = nullptr;
  if (Gp::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok || !image) return std::nullopt;
  auto impl = std::make_unique<Impl>();
  impl->image.reset(image);
  return DecodedImage(std::move(impl));
}

ImageType DecodedImage::Type() const {
  Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
  if (Gp::GdipGetImageType(impl_->image.get(), &type) != Gdiplus::Ok) return ImageType::Unknown;
  if (type == Gdiplus::ImageTypeBitmap) return ImageType::Bitmap;
  if (type == Gdiplus::ImageTypeMetafile) return ImageType::Metafile;
  return ImageType::Unknown;
}

int DecodedImage::Width() const {
  UINT width = 0;
  Gp::GdipGetImageWidth(impl_->image.get(), &width);
  return static_cast<int>(width);
}

int DecodedImage::Height() const {
  UINT height = 0;
  Gp::GdipGetImageHeight(impl_->image.get(), &height);
  return static_cast<int>(height);
}

uint32_t DecodedImage::PixelFormat() const {
  Gdiplus::PixelFormat format = 0;
  Gp::GdipGetImagePixelFormat(impl_->image.get(), &format);
  return format;
}

uint32_t DecodedImage::ThumbnailDataSize() const {
  UINT size = 0;
  // PropertyTagThumbnailData
  if (Gp::GdipGetPropertyItemSize(impl_->image.get(), 0x501B, &size) != Gdiplus::Ok) return 0;
  return size;
}

std::optional<Bitmap32> DecodedImage::Thumbnail(int width, int height) const {
  Gdiplus::GpImage* thumb = nullptr;
  if (Gp::GdipGetImageThumbnail(impl_->image.get(), width, height, &thumb, nullptr, nullptr) !=
          Gdiplus::Ok ||
      !thumb)
    return std::nullopt;
  GpImagePtr owner(thumb);
  return ToBitmap32(thumb);
}

std::optional<Bitmap32> DecodedImage::DrawStretched(int width, int height) const {
  Gdiplus::GpBitmap* canvas = nullptr;
  if (Gp::GdipCreateBitmapFromScan0(width, height, 0, kFormat32bppArgb, nullptr, &canvas) !=
          Gdiplus::Ok ||
      !canvas)
    return std::nullopt;
  GpImagePtr canvasOwner(canvas);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (Gp::GdipGetImageGraphicsContext(canvas, &graphics) != Gdiplus::Ok || !graphics)
    return std::nullopt;
  GpGraphicsPtr graphicsOwner(graphics);
  Gp::GdipSetCompositingQuality(graphics, Gdiplus::CompositingQualityHighSpeed);
  Gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeHighSpeed);
  Gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeLowQuality);
  Gp::GdipSetPixelOffsetMode(graphics, Gdiplus::PixelOffsetModeHighSpeed);
  if (Gp::GdipDrawImageRectI(graphics, impl_->image.get(), 0, 0, width, height) != Gdiplus::Ok)
    return std::nullopt;
  graphicsOwner.reset();
  return ToBitmap32(canvas);
}

}  // namespace platform
