#include "platform/PictureHeader.h"

#include <cstring>
#include <string_view>

namespace platform {
namespace {

uint32_t Get16(const std::string& b, size_t at, bool little) {
  const auto p = reinterpret_cast<const uint8_t*>(b.data()) + at;
  return little ? p[0] | (p[1] << 8) : (p[0] << 8) | p[1];
}
uint32_t Get32(const std::string& b, size_t at, bool little) {
  return little ? Get16(b, at, true) | (Get16(b, at + 2, true) << 16)
                : (Get16(b, at, false) << 16) | Get16(b, at + 2, false);
}

// Walks a JPEG's segments from the start marker up to the scan: each is
// skipped by its length, so large metadata costs no reading. The visitor
// gets the first bytes of each (marker at 1, length at 2) and its offset,
// and returns a value to stop with.
template <typename Result, typename Visit>
std::optional<Result> WalkJpegSegments(const HeaderReader& read, size_t headBytes, Visit visit) {
  uint64_t at = 2;
  for (int segments = 0; segments < 4096; ++segments) {
    const std::string head = read(at, headBytes);
    if (head.size() < 4 || static_cast<uint8_t>(head[0]) != 0xFF) return std::nullopt;
    const auto marker = static_cast<uint8_t>(head[1]);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // the scan: nothing after it
    if (std::optional<Result> result = visit(marker, head, at)) return result;
    at += 2 + Get16(head, 2, false);
  }
  return std::nullopt;
}

// The frame header (SOF0..SOF15 but DHT, JPG and DAC).
std::optional<DeclaredSize> JpegSize(const HeaderReader& read) {
  const auto size = WalkJpegSegments<DeclaredSize>(
      read, 9,
      [](uint8_t marker, const std::string& head, uint64_t) -> std::optional<DeclaredSize> {
        if (marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC)
          return std::nullopt;
        if (head.size() < 9) return DeclaredSize{};  // cut short: no size to tell
        return DeclaredSize{Get16(head, 7, false), Get16(head, 5, false)};
      });
  if (size && size->width == 0 && size->height == 0) return std::nullopt;
  return size;
}

std::optional<DeclaredSize> TiffSize(const HeaderReader& read, bool little) {
  const std::string header = read(4, 4);
  if (header.size() < 4) return std::nullopt;
  const uint32_t directory = Get32(header, 0, little);
  const std::string count = read(directory, 2);
  if (count.size() < 2) return std::nullopt;
  const uint32_t entries = Get16(count, 0, little);
  const std::string tags = read(uint64_t{directory} + 2, size_t{entries} * 12);
  DeclaredSize size;
  for (size_t e = 0; e + 12 <= tags.size(); e += 12) {
    const uint32_t tag = Get16(tags, e, little);
    const uint32_t type = Get16(tags, e + 2, little);
    const uint32_t value = type == 3 ? Get16(tags, e + 8, little) : Get32(tags, e + 8, little);
    if (tag == 256) size.width = value;
    if (tag == 257) size.height = value;
  }
  if (size.width == 0 || size.height == 0) return std::nullopt;
  return size;
}

// The thumbnail's offset and length (tags 0x0201 and 0x0202 of IFD1) within
// the TIFF structure of an Exif block. Offsets come from the file: 64-bit
// sums, so one near 4 GB cannot wrap past the bounds.
std::optional<FileRange> ThumbnailInTiff(const std::string& tiff) {
  const uint64_t size = tiff.size();
  if (size < 8) return std::nullopt;
  const bool little = tiff[0] == 'I' && tiff[1] == 'I';
  if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return std::nullopt;
  FileRange range;
  auto directory = [&](uint64_t at, bool thumbnail) -> uint64_t {
    if (at < 8 || at + 2 > size) return 0;
    const uint32_t count = Get16(tiff, at, little);
    if (at + 2 + 12ull * count + 4 > size) return 0;
    for (uint32_t i = 0; thumbnail && i < count; ++i) {
      const size_t field = at + 2 + 12 * i;
      const uint32_t tag = Get16(tiff, field, little);
      if (tag == 0x0201) range.offset = Get32(tiff, field + 8, little);
      if (tag == 0x0202) range.length = Get32(tiff, field + 8, little);
    }
    return Get32(tiff, at + 2 + 12 * count, little);
  };
  directory(directory(Get32(tiff, 4, little), false), true);
  if (range.length == 0 || range.offset < 8 || range.offset + range.length > size)
    return std::nullopt;
  return range;
}

}  // namespace

std::optional<FileRange> ExifThumbnailRange(const HeaderReader& read) {
  using namespace std::string_view_literals;
  if (read(0, 2) != "\xFF\xD8"sv) return std::nullopt;
  return WalkJpegSegments<FileRange>(
      read, 4,
      [&](uint8_t marker, const std::string& head, uint64_t at) -> std::optional<FileRange> {
        const uint32_t length = Get16(head, 2, false);
        if (marker != 0xE1 || length <= 8) return std::nullopt;
        const std::string block = read(at + 4, length - 2);
        if (block.size() != length - 2 || block.compare(0, 6, "Exif\0\0"sv) != 0)
          return std::nullopt;
        auto range = ThumbnailInTiff(block.substr(6));
        if (range) range->offset += at + 4 + 6;
        return range;
      });
}

std::optional<DeclaredSize> DeclaredPictureSize(const HeaderReader& read) {
  const std::string head = read(0, 32);
  auto starts = [&](std::string_view text) {
    return head.size() >= text.size() && std::memcmp(head.data(), text.data(), text.size()) == 0;
  };
  using namespace std::string_view_literals;
  if (starts("\xFF\xD8\xFF"sv)) return JpegSize(read);
  if (starts("\x89PNG\r\n\x1A\n"sv) && head.size() >= 24)
    return DeclaredSize{Get32(head, 16, false), Get32(head, 20, false)};
  if ((starts("GIF87a"sv) || starts("GIF89a"sv)) && head.size() >= 10)
    return DeclaredSize{Get16(head, 6, true), Get16(head, 8, true)};
  if (starts("BM"sv) && head.size() >= 26) {
    // Height is negative for a top-down bitmap.
    const auto height = static_cast<int32_t>(Get32(head, 22, true));
    return DeclaredSize{Get32(head, 18, true),
                        static_cast<uint32_t>(height < 0 ? -static_cast<int64_t>(height) : height)};
  }
  if (starts("II*\0"sv)) return TiffSize(read, true);
  if (starts("MM\0*"sv)) return TiffSize(read, false);
  return std::nullopt;
}

}  // namespace platform
