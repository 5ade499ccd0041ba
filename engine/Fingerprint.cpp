#include "engine/Fingerprint.h"

#include <new>

#include "engine/NumberTexts.h"
#include "platform/AreaReduction.h"

namespace engine {
namespace {

// The single-precision numbers nearest 0.3, 0.59 and 0.11. They add up to a
// little less than 1, so white (255, 255, 255) gives 254.
constexpr long double kRedWeight = 0.3f;
constexpr long double kGreenWeight = 0.59f;
constexpr long double kBlueWeight = 0.11f;

constexpr int kBitmapBytes = kSignatureBytes * 4;

// Decoders hand over at least twice the signature's size, so that every
// signature pixel averages several source pixels.
constexpr int kReadSide = 2 * kSignatureSide;

bool HasEnoughPixels(int64_t width, int64_t height) { return width * height >= minPixels; }

// The reducer's picture as the entry's signatures, from the given source.
bool Signed(const platform::AreaReducer& reducer, const std::wstring& path,
            FingerprintSource source, ImageEntry& entry) {
  const auto reduced = reducer.Result();
  if (!reduced) return false;
  entry.SetPath(path);
  if (!ComputeSignature(*reduced, entry)) return false;
  entry.source = static_cast<int32_t>(source);
  return true;
}

}  // namespace

bool ComputeSignature(const platform::Bitmap32& bitmap, ImageEntry& entry) {
  if (bitmap.width != kSignatureSide || bitmap.height != kSignatureSide ||
      bitmap.bits.size() != static_cast<size_t>(kBitmapBytes))
    return false;

  int32_t sum = 0;
  const uint8_t* pixel = bitmap.bits.data();
  for (int i = 0; i < kSignatureBytes; ++i, pixel += 4) {
    const int b = pixel[0], g = pixel[1], r = pixel[2], a = pixel[3];
    long double weighted = r * kRedWeight + g * kGreenWeight;
    weighted += b * kBlueWeight;
    int grey = static_cast<int>(weighted);
    if (entry.hasAlpha) grey = (grey - a - 1) & 0xFF;
    entry.signature[i] = static_cast<uint8_t>(grey);
    sum += grey;
  }

  for (int r = 0; r < kSignatureSide; ++r) {
    for (int c = 0; c < kSignatureSide; ++c) {
      const uint8_t value = entry.signature[kSignatureSide * r + c];
      entry.signatureQuarter[kSignatureSide * c + (kSignatureSide - 1 - r)] = value;
      entry.signatureMirror[kSignatureSide * (kSignatureSide - 1 - r) + c] = value;
    }
  }

  entry.aspect = static_cast<float>(static_cast<double>(entry.width) / entry.height);
  if (sum != 0) entry.brightness = (sum / kSignatureBytes) * 100 / 256;
  return true;
}

bool BuildFingerprint(PictureServices& services, const std::wstring& path, SignatureRule rule,
                      ImageEntry& entry) {
  std::unique_ptr<PictureFile> file = services.Open(path);
  if (!file) return false;
  const platform::ImageType type = file->Type();
  if (type != platform::ImageType::Bitmap && type != platform::ImageType::Metafile) return false;

  entry.thumbDataSize = static_cast<int32_t>(file->ThumbnailDataSize());
  entry.width = file->Width();
  entry.height = file->Height();
  if (file->HasAlpha()) entry.hasAlpha = 1;
  if (!HasEnoughPixels(entry.width, entry.height)) return false;

  if (rule == SignatureRule::ShellFirst) {
    // The extractor keeps the aspect; the reduction stretches what it gives.
    if (auto thumb = services.ShellExtract(path, kReadSide, kReadSide, platform::kExtractAspect)) {
      entry.SetPath(path);
      if (ComputeSignature(platform::ReduceByArea(thumb->View(), kSignatureSide, kSignatureSide),
                           entry)) {
        entry.source = static_cast<int32_t>(FingerprintSource::ShellExtractor);
        return true;
      }
    }
  }

  // The decoder's thumbnail is the embedded one where the file has it, and
  // otherwise the picture itself, reduced.
  const FingerprintSource source = rule == SignatureRule::FullImage
                                       ? FingerprintSource::FullImage
                                       : FingerprintSource::DecoderThumbnail;
  if (source == FingerprintSource::DecoderThumbnail) {
    platform::AreaReducer reducer(kSignatureSide, kSignatureSide);
    if (file->ReadThumbnail(reducer) && Signed(reducer, path, source, entry)) return true;
  }
  platform::AreaReducer reducer(kSignatureSide, kSignatureSide);
  return file->ReadScaled(kReadSide, kReadSide, reducer) && Signed(reducer, path, source, entry);
}

bool BuildFingerprintFromShellCache(PictureServices& services, const std::wstring& path,
                                    ImageEntry& entry) {
  auto thumb = services.ShellSquareThumbnail(path, kSignatureSide);
  if (!thumb) return false;
  entry.SetPath(path);
  if (auto size = services.ShellImageSize(path)) {
    entry.width = size->first;
    entry.height = size->second;
  }
  entry.hasAlpha = 0;
  if (!ComputeSignature(*thumb, entry)) return false;
  entry.thumbDataSize = 3;
  entry.source = static_cast<int32_t>(FingerprintSource::ShellCache);
  return HasEnoughPixels(entry.width, entry.height);
}

bool IsImageFile(PictureServices& services, const std::wstring& path) {
  if (std::unique_ptr<PictureFile> file = services.Open(path)) {
    const platform::ImageType type = file->Type();
    if (type == platform::ImageType::Bitmap || type == platform::ImageType::Metafile) return true;
  }
  return services.ShellIsAtLeast(path, 128);
}

EntryRef FingerprintCache::Lookup(const std::wstring& path, const platform::DirEntry& found) const {
  auto it = entries_.find(path);
  if (it == entries_.end()) return nullptr;
  const ImageEntry& cached = *it->second;
  if (cached.fileSize != found.fileSize || cached.lastWrite != found.lastWriteTime) return nullptr;
  return it->second;
}

void FingerprintCache::Store(const std::wstring& path, EntryRef entry) {
  entries_[path] = std::move(entry);
}

const ImageEntry* FingerprintCache::Find(const std::wstring& path) const {
  auto it = entries_.find(path);
  return it == entries_.end() ? nullptr : it->second.get();
}

EntryRef BuildEntry(PictureServices& services, SignatureRule rule, const std::wstring& path,
                    const platform::DirEntry& found) {
  if (!FitsPathField(path)) return nullptr;
  auto entry = std::make_shared<ImageEntry>(EmptyEntry());
  // A picture too large for the memory left (a 32-bit process runs out
  // first) is left out like any picture that cannot be read.
  try {
    if (!BuildFingerprint(services, path, rule, *entry)) {
      *entry = EmptyEntry();
      if (!BuildFingerprintFromShellCache(services, path, *entry)) return nullptr;
    }
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  entry->fileSize = found.fileSize;
  entry->lastWrite = found.lastWriteTime;
  return entry;
}

EntryRef GetOrBuildEntry(FingerprintCache& cache, PictureServices& services, SignatureRule rule,
                         const std::wstring& path, const platform::DirEntry& found) {
  if (EntryRef cached = cache.Lookup(path, found)) return cached;
  EntryRef built = BuildEntry(services, rule, path, found);
  if (built) cache.Store(path, built);
  return built;
}

bool GetOrBuildEntry(FingerprintCache& cache, PictureServices& services, SignatureRule rule,
                     const std::wstring& path, const platform::DirEntry& found, ImageEntry& entry) {
  EntryRef ref = GetOrBuildEntry(cache, services, rule, path, found);
  if (!ref) return false;
  entry = *ref;
  return true;
}

std::wstring CacheStatusText(const FingerprintCache& cache) {
  return L"Cache: " + std::to_wstring(cache.size()) + L" " +
         SizeText(static_cast<uint64_t>(cache.size()) * sizeof(ImageEntry));
}

}  // namespace engine
