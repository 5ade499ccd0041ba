#include <sys/stat.h>
#include <vips/vips.h>

#include <cstring>

#include "platform/ImageDecoder.h"
#include "platform/Text.h"

namespace platform {
namespace {

// Pixel-format codes reported as the Windows decoder would report them.
constexpr uint32_t kFormat24bppRgb = 0x00021808;
constexpr uint32_t kFormat32bppArgb = 0x0026200A;

// Pictures beyond this many pixels are refused: decoding one would take
// minutes or gigabytes, and a file that declares such a size in a few
// kilobytes is a decompression bomb.
constexpr double kMaxPixels = 268435456.0;  // 16384 x 16384

void EnsureVipsStarted() {
  static const bool started = [] {
    if (VIPS_INIT("duplora") != 0) return false;
    // Only the loaders of everyday picture formats take part; the others are
    // neither what a picture collection holds nor safe on hostile input.
    vips_block_untrusted_set(TRUE);
    // One file is fingerprinted once; caching operations would only hold memory.
    vips_cache_set_max(0);
    // The engine runs one file per thread on its own.
    vips_concurrency_set(1);
    return true;
  }();
  (void)started;
}

struct VipsUnref {
  void operator()(VipsImage* image) const { g_object_unref(image); }
};
using VipsImagePtr = std::unique_ptr<VipsImage, VipsUnref>;

uint32_t Read16(const uint8_t* p, bool little) {
  return little ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1];
}
uint32_t Read32(const uint8_t* p, bool little) {
  return little ? p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24)
                : (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}

// Length of the JPEG thumbnail in the EXIF block (IFD1, tag 0x0202), 0 when absent.
uint32_t ExifThumbnailLength(const uint8_t* data, size_t size) {
  if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) data += 6, size -= 6;
  if (size < 8) return 0;
  const bool little = data[0] == 'I' && data[1] == 'I';
  if (!little && !(data[0] == 'M' && data[1] == 'M')) return 0;
  auto ifdAt = [&](uint32_t offset, auto&& visit) -> uint32_t {
    if (offset < 8 || offset + 2 > size) return 0;
    const uint32_t count = Read16(data + offset, little);
    if (offset + 2 + 12ull * count + 4 > size) return 0;
    for (uint32_t i = 0; i < count; ++i) visit(data + offset + 2 + 12 * i);
    return Read32(data + offset + 2 + 12 * count, little);
  };
  const uint32_t ifd1 = ifdAt(Read32(data + 4, little), [](const uint8_t*) {});
  uint32_t length = 0;
  ifdAt(ifd1, [&](const uint8_t* field) {
    if (Read16(field, little) == 0x0202) length = Read32(field + 8, little);
  });
  return length;
}

// 8-bit BGRA bytes from any image, colours weighted by alpha as on a
// background of ARGB 0 (the same integer rounding as the Windows decoder).
std::optional<Bitmap32> ToBitmap32(VipsImage* in) {
  VipsImage* rgb = nullptr;
  if (vips_colourspace(in, &rgb, VIPS_INTERPRETATION_sRGB, nullptr) != 0) return std::nullopt;
  VipsImagePtr rgbOwner(rgb);
  VipsImage* bytes = nullptr;
  if (vips_cast_uchar(rgb, &bytes, nullptr) != 0) return std::nullopt;
  VipsImagePtr bytesOwner(bytes);
  const int bands = vips_image_get_bands(bytes);
  if (bands < 3) return std::nullopt;
  size_t length = 0;
  auto* pixels = static_cast<uint8_t*>(vips_image_write_to_memory(bytes, &length));
  if (!pixels) return std::nullopt;
  Bitmap32 out;
  out.width = vips_image_get_width(bytes);
  out.height = vips_image_get_height(bytes);
  const size_t count = static_cast<size_t>(out.width) * out.height;
  if (length < count * bands) {
    g_free(pixels);
    return std::nullopt;
  }
  out.bits.resize(count * 4);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = pixels + i * bands;
    const unsigned a = bands >= 4 ? p[3] : 255;
    uint8_t* q = out.bits.data() + i * 4;
    q[0] = static_cast<uint8_t>((p[2] * a + 127) / 255);
    q[1] = static_cast<uint8_t>((p[1] * a + 127) / 255);
    q[2] = static_cast<uint8_t>((p[0] * a + 127) / 255);
    q[3] = static_cast<uint8_t>(a);
  }
  g_free(pixels);
  return out;
}

}  // namespace

struct DecodedImage::Impl {
  std::string path;  // UTF-8
  VipsImagePtr image;
  bool metafile = false;
  bool alpha = false;
};

DecodedImage::DecodedImage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DecodedImage::DecodedImage(DecodedImage&&) noexcept = default;
DecodedImage& DecodedImage::operator=(DecodedImage&&) noexcept = default;
DecodedImage::~DecodedImage() = default;

std::optional<DecodedImage> DecodedImage::Load(const std::wstring& path) {
  EnsureVipsStarted();
  auto impl = std::make_unique<Impl>();
  impl->path = ToUtf8(path);
  // Only regular files: opening a named pipe waits for a writer that never
  // comes, and a device never ends.
  struct stat info{};
  if (stat(impl->path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  VipsImage* image =
      vips_image_new_from_file(impl->path.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
  if (!image) {
    vips_error_clear();
    return std::nullopt;
  }
  impl->image.reset(image);
  const int width = vips_image_get_width(image);
  const int height = vips_image_get_height(image);
  if (width <= 0 || height <= 0 || static_cast<double>(width) * height > kMaxPixels)
    return std::nullopt;
  const char* loader = "";
  if (vips_image_get_typeof(image, "vips-loader")) vips_image_get_string(image, "vips-loader", &loader);
  impl->metafile = std::strstr(loader, "svg") != nullptr;
  // The Windows decoder reports palette pictures (GIF) without alpha.
  impl->alpha = vips_image_hasalpha(image) && std::strstr(loader, "gif") == nullptr;
  return DecodedImage(std::move(impl));
}

ImageType DecodedImage::Type() const {
  return impl_->metafile ? ImageType::Metafile : ImageType::Bitmap;
}

int DecodedImage::Width() const { return vips_image_get_width(impl_->image.get()); }

int DecodedImage::Height() const { return vips_image_get_height(impl_->image.get()); }

uint32_t DecodedImage::PixelFormat() const {
  return impl_->alpha ? kFormat32bppArgb : kFormat24bppRgb;
}

uint32_t DecodedImage::ThumbnailDataSize() const {
  const void* data = nullptr;
  size_t length = 0;
  if (!vips_image_get_typeof(impl_->image.get(), VIPS_META_EXIF_NAME)) return 0;
  if (vips_image_get_blob(impl_->image.get(), VIPS_META_EXIF_NAME, &data, &length) != 0) {
    vips_error_clear();
    return 0;
  }
  return ExifThumbnailLength(static_cast<const uint8_t*>(data), length);
}

std::optional<Bitmap32> DecodedImage::Thumbnail(int width, int height) const {
  VipsImage* thumb = nullptr;
  // Shrink-on-load makes this the cheap route: a JPEG is decoded at 1/8 scale.
  if (vips_thumbnail(impl_->path.c_str(), &thumb, width, "height", height, "size",
                     VIPS_SIZE_FORCE, "no_rotate", TRUE, nullptr) != 0) {
    vips_error_clear();
    return std::nullopt;
  }
  VipsImagePtr owner(thumb);
  auto bitmap = ToBitmap32(thumb);
  if (!bitmap) vips_error_clear();
  return bitmap;
}

std::optional<Bitmap32> DecodedImage::DrawStretched(int width, int height) const {
  VipsImage* drawn = nullptr;
  if (vips_thumbnail_image(impl_->image.get(), &drawn, width, "height", height, "size",
                           VIPS_SIZE_FORCE, "no_rotate", TRUE, nullptr) != 0) {
    vips_error_clear();
    return std::nullopt;
  }
  VipsImagePtr owner(drawn);
  auto bitmap = ToBitmap32(drawn);
  if (!bitmap) vips_error_clear();
  return bitmap;
}

}  // namespace platform
