// The shell's thumbnail sources as the engine uses them.
//
// On Windows they are the shell image extractor and the system thumbnail
// cache with the shell's picture-size properties; on Linux there is no
// shell, so Extract and SquareThumbnail give nothing and the size questions
// answer no. Callers then go on with their next source.
//
// One instance per thread; each calling thread has COM initialised (Windows).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/ImageDecoder.h"

namespace platform {

// Flags of the shell image extractor.
inline constexpr uint32_t kExtractAspect = 0x4;     // IEIFLAG_ASPECT
inline constexpr uint32_t kExtractQuality = 0x200;  // IEIFLAG_QUALITY

class ShellThumbnails {
 public:
  ShellThumbnails();
  ~ShellThumbnails();
  ShellThumbnails(const ShellThumbnails&) = delete;
  ShellThumbnails& operator=(const ShellThumbnails&) = delete;

  // The extractor's thumbnail at colour depth 32, its bytes as GetBitmapBits
  // gives them; nothing when the shell has none or its wrapper has width 0.
  std::optional<Bitmap32> Extract(const std::wstring& path, int width, int height,
                                  uint32_t flags);
  // The thumbnail cache's picture stretched to size x size.
  std::optional<Bitmap32> SquareThumbnail(const std::wstring& path, int size);
  // Width and height from the shell's picture properties, 0 where one is missing;
  // nothing when the path gives no shell item.
  std::optional<std::pair<int, int>> ImageSize(const std::wstring& path);
  // Both width and height from the shell's properties are at least n.
  bool IsAtLeast(const std::wstring& path, int n);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
