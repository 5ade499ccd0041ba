#pragma once
// The size a picture file declares in its header, read without decoding it,
// so that a decoder can refuse a decompression bomb (a few kilobytes that
// declare billions of pixels) before it allocates anything.
//
//   auto size = platform::DeclaredPictureSize(read);  // JPEG, PNG, GIF, BMP, TIFF
//   if (size && !platform::WithinPixelBound(*size)) refuse();
//
// The reader is asked for bytes at an offset and returns fewer at the end of
// the file. Nothing comes back for other formats or a header that cannot be
// read; the decoder then judges the file itself.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

struct DeclaredSize {
  uint32_t width = 0;
  uint32_t height = 0;
};

using HeaderReader = std::function<std::string(uint64_t offset, size_t count)>;

std::optional<DeclaredSize> DeclaredPictureSize(const HeaderReader& read);

// Where a JPEG keeps its embedded thumbnail: the JPEG stream that the
// second directory (IFD1) of its Exif block names, as a range of the file.
// Nothing when there is none or the block's offsets point outside it.
struct FileRange {
  uint64_t offset = 0;
  uint32_t length = 0;
};
std::optional<FileRange> ExifThumbnailRange(const HeaderReader& read);

// 16384 x 16384 pixels: beyond this no picture is decoded.
constexpr double kMaxDecodedPixels = 268435456.0;
inline bool WithinPixelBound(DeclaredSize size) {
  return static_cast<double>(size.width) * size.height <= kMaxDecodedPixels;
}

}  // namespace platform
