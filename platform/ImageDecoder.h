// Picture decoding services: the few operations the program needs of the
// system's picture decoder (the Windows Imaging Component on Windows,
// libvips on Linux). A picture is opened once; its pixels come as strips of
// rows, top to bottom, so that no caller has to hold a large photo whole.
//
//   auto image = platform::DecodedImage::Load(path);   // header only, size checked
//   if (image && image->Type() != ImageType::Unknown) {
//     image->ReadScaled(128, 128, sink);                 // at least 128 x 128 where it has that
//     many
//   }
//
// Nothing here shows messages; every failure is an empty result or false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Rows of 32-bit pixels held by someone else: bytes blue, green, red, alpha
// per pixel, colours weighted by their alpha (a fully transparent pixel is
// 0, 0, 0, 0), as a GDI bitmap holds them on a background of ARGB 0.
struct PixelView {
  const uint8_t* data = nullptr;
  size_t stride = 0;  // bytes from the start of one row to the next
  int width = 0;
  int height = 0;
};

// 32-bit pixels in the layout of PixelView, rows without padding.
struct Bitmap32 {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;

  // Empty when the bits do not fill width x height (a bitmap read back short).
  PixelView View() const {
    if (width <= 0 || height <= 0 || bits.size() != static_cast<size_t>(width) * height * 4)
      return {};
    return {bits.data(), static_cast<size_t>(width) * 4, width, height};
  }
};

// Takes a picture strip by strip: Begin once with the whole picture's size,
// then Rows with consecutive strips from the top.
class PixelSink {
 public:
  virtual ~PixelSink() = default;
  virtual void Begin(int width, int height) = 0;
  virtual void Rows(const PixelView& rows) = 0;
};

// A sink that keeps the whole picture.
class BitmapCollector final : public PixelSink {
 public:
  void Begin(int width, int height) override;
  void Rows(const PixelView& rows) override;
  // The picture once every row has come; nothing before.
  std::optional<Bitmap32> Take();

 private:
  Bitmap32 bitmap_;
  int rows_ = 0;
};

// Hands a whole bitmap to a sink in one strip.
void SendBitmap(const Bitmap32& bitmap, PixelSink& sink);

enum class ImageType : int32_t { Unknown = 0, Bitmap = 1, Metafile = 2 };

class DecodedImage {
 public:
  // Opens a picture file without colour management; nothing when the decoder
  // does not take the file, or when it declares more pixels than are decoded.
  static std::optional<DecodedImage> Load(const std::wstring& path);
  // The same for a picture held in memory (one of the program's resources).
  static std::optional<DecodedImage> LoadBytes(std::string bytes);

  // How many pictures this process has opened, files and memory alike; a
  // caller that should open a picture once can be held to it.
  static uint64_t OpenedSoFar();

  DecodedImage(DecodedImage&&) noexcept;
  DecodedImage& operator=(DecodedImage&&) noexcept;
  ~DecodedImage();

  ImageType Type() const;
  int Width() const;
  int Height() const;
  // The pixel format carries alpha (palette pictures do not count).
  bool HasAlpha() const;
  // Size in bytes of the embedded thumbnail; 0 when there is none.
  uint32_t ThumbnailDataSize() const;

  // The picture's embedded thumbnail; false when it has none or it cannot be read.
  bool ReadThumbnail(PixelSink& sink) const;
  // The whole picture at the smallest size the decoder makes cheaply that is
  // at least minWidth x minHeight (a JPEG at a reduced scale), or at full
  // size where the picture has fewer pixels or the format offers no scales.
  bool ReadScaled(int minWidth, int minHeight, PixelSink& sink) const;

 private:
  struct Impl;
  explicit DecodedImage(std::unique_ptr<Impl> impl);
  static void CountOpened();
  std::unique_ptr<Impl> impl_;
};

// The file's header declares more pixels than any decoder here takes (a
// decompression bomb); the shell's sources should not be asked either.
bool DeclaresTooManyPixels(const std::wstring& path);

// The whole picture reduced to exactly width x height (the aspect is the
// caller's), from the cheapest size the decoder makes that is at least that.
std::optional<Bitmap32> ScaledCopy(const DecodedImage& image, int width, int height);

// Turns a picture by 180 degrees in place.
void TurnHalfway(Bitmap32& bitmap);

// Rows longer than this are not handed over: a strip of one such row would
// already take 64 MB, which a 32-bit process may not have in one piece.
inline constexpr int kMaxRowPixels = 1 << 24;

// The reduction of a JPEG's scale that still leaves at least the asked size
// in each direction where the picture has it: 8, 4, 2 or 1.
int JpegScaleDenominator(int width, int height, int minWidth, int minHeight);

}  // namespace platform
