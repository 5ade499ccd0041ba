// One picture of a search run: its path, three 64 x 64 grey signatures and
// the few facts the comparison needs. A plain record, copied as a whole into
// and out of the fingerprint cache.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace engine {

inline constexpr int kSignatureSide = 64;
inline constexpr int kSignatureBytes = kSignatureSide * kSignatureSide;

// 64 rows of 64 grey values, row-major.
using Signature = std::array<uint8_t, kSignatureBytes>;

// Which route produced a fingerprint.
enum class FingerprintSource : int32_t {
  ShellCache = 0,
  ShellExtractor = 1,
  DecoderThumbnail = 2,
  FullImage = 3,
};

// The setting m_signature_rule; any other value behaves as DecoderThumbnail.
enum class SignatureRule : int32_t {
  ShellFirst = 1,
  DecoderThumbnail = 2,
  FullImage = 3,
};

// The smallest width x height that gets a fingerprint (128 x 128, 64 x 256, ...).
inline constexpr int minPixels = 16384;

// The path field holds at most this many UTF-16 units and a terminator.
inline constexpr size_t kPathCapacity = 260;

// The signatures start on cache lines: the similarity kernels read them in
// 64-byte steps, and a load that straddles two lines costs nearly double.
inline constexpr size_t kSignatureAlignment = 64;

struct ImageEntry {
  wchar_t path[kPathCapacity];
  alignas(kSignatureAlignment) Signature signature;  // upright
  Signature signatureQuarter;  // value at (r, c) of signature stands at (c, 63 - r)
  Signature signatureMirror;   // row r of signature stands as row 63 - r
  int32_t brightness;          // mean grey as a percentage, 0..99
  int32_t source;              // FingerprintSource
  int32_t thumbDataSize;       // embedded thumbnail size as the decoder reports it; 3 from the cache route
  float aspect;                // width / height
  int32_t hasAlpha;
  int32_t width;
  uint64_t lastWrite;  // 100-ns ticks since 1601, from the directory entry
  uint64_t fileSize;   // from the directory entry
  int32_t height;

  std::wstring Path() const { return path; }
  // Copies the path in when it fits; a longer path leaves the record unchanged.
  bool SetPath(const std::wstring& text);
};
static_assert(offsetof(ImageEntry, signatureQuarter) % kSignatureAlignment == 0 &&
              offsetof(ImageEntry, signatureMirror) % kSignatureAlignment == 0);

// A record starts all-zero before it is filled.
ImageEntry EmptyEntry();

// Whether a path fits the record (at most 259 UTF-16 units).
bool FitsPathField(const std::wstring& path);

}  // namespace engine
