// Picture decoding services: the few operations the engine needs of the
// system's picture decoder (GDI+ on Windows, libvips on Linux).
//
//   auto image = platform::DecodedImage::Load(path);       // header only where possible
//   if (image && image->Type() != ImageType::Unknown) {
//     auto small = image->Thumbnail(64, 64);                // 64 x 64, aspect not kept
//   }
//
// Nothing here shows messages; every failure is an empty result.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// 32-bit pixels as a GDI bitmap holds them: bytes blue, green, red, alpha per
// pixel, rows top to bottom, no padding. Colours of transparent pixels are
// weighted by their alpha, as the decoder hands them over on a background of
// ARGB 0 (a fully transparent pixel is 0, 0, 0, 0).
struct Bitmap32 {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;
};

enum class ImageType : int32_t { Unknown = 0, Bitmap = 1, Metafile = 2 };

// Flag bit of a decoder pixel format: the format carries alpha.
inline constexpr uint32_t kPixelFormatAlpha = 0x00040000;

class DecodedImage {
 public:
  // Opens a picture file without colour management; nothing when the decoder
  // does not take the file.
  static std::optional<DecodedImage> Load(const std::wstring& path);

  DecodedImage(DecodedImage&&) noexcept;
  DecodedImage& operator=(DecodedImage&&) noexcept;
  ~DecodedImage();

  ImageType Type() const;
  int Width() const;
  int Height() const;
  // The decoder's pixel-format code; kPixelFormatAlpha is set when it has alpha.
  uint32_t PixelFormat() const;
  // Size of the embedded thumbnail as the decoder reports it; 0 when there is none.
  uint32_t ThumbnailDataSize() const;

  // The decoder's thumbnail of exactly width x height (aspect not kept).
  std::optional<Bitmap32> Thumbnail(int width, int height) const;
  // The whole picture drawn stretched into width x height at the fastest settings.
  std::optional<Bitmap32> DrawStretched(int width, int height) const;

 private:
  struct Impl;
  explicit DecodedImage(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
