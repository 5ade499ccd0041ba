#include "platform/ShellThumbnails.h"

namespace platform {

struct ShellThumbnails::Impl {};

ShellThumbnails::ShellThumbnails() = default;
ShellThumbnails::~ShellThumbnails() = default;

std::optional<Bitmap32> ShellThumbnails::Extract(const std::wstring&, int, int, uint32_t) {
  return std::nullopt;
}

std::optional<Bitmap32> ShellThumbnails::SquareThumbnail(const std::wstring&, int) {
  return std::nullopt;
}

std::optional<std::pair<int, int>> ShellThumbnails::ImageSize(const std::wstring&) {
  return std::nullopt;
}

bool ShellThumbnails::IsAtLeast(const std::wstring&, int) { return false; }

}  // namespace platform
