// How an image file becomes an ImageEntry.
//
// Three rendering routes through the decoder (the shell extractor's
// thumbnail, the decoder's thumbnail, the whole picture drawn small), a
// fallback through the system thumbnail cache, the pixel arithmetic of the
// signatures, and the in-memory cache that spares a second decoding of an
// unchanged file. Everything here runs on a search worker thread.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/ImageEntry.h"
#include "engine/PictureServices.h"
#include "platform/FileSystem.h"
#include "platform/ImageDecoder.h"

namespace engine {

// Fills the three signatures, brightness and aspect from a 64 x 64 bitmap of
// 32-bit pixels (16384 bytes: blue, green, red, alpha). width, height and
// hasAlpha of the entry must be set. False, with the entry unchanged, for a
// bitmap of any other size.
//
//   grey = trunc(R x 0.3f + G x 0.59f + B x 0.11f)   (extended precision)
//   with alpha: grey = (grey - A - 1) mod 256         (transparent moves toward white)
//   brightness = trunc(trunc(sum / 4096) x 100 / 256)
bool ComputeSignature(const platform::Bitmap32& bitmap, ImageEntry& entry);

// The decoder route.
bool BuildFingerprint(PictureServices& services, const std::wstring& path, SignatureRule rule,
                      ImageEntry& entry);

// The fallback route through the system thumbnail cache.
bool BuildFingerprintFromShellCache(PictureServices& services, const std::wstring& path,
                                    ImageEntry& entry);

// The collection filter: any file the decoder or the shell takes as a picture.
bool IsImageFile(PictureServices& services, const std::wstring& path);

// A record shared by the cache and the entry tables of the runs that use it,
// so one picture's record exists once in memory however often it is found.
using EntryRef = std::shared_ptr<ImageEntry>;

// Entries by full path (compared code unit by code unit), kept for the life
// of the compare window so that a second run skips unchanged files. Used by
// one thread at a time.
class FingerprintCache {
 public:
  // The cached record of path when its size and last-write time equal those
  // of the directory entry; otherwise nothing.
  EntryRef Lookup(const std::wstring& path, const platform::DirEntry& found) const;
  // Adds or replaces the record of path.
  void Store(const std::wstring& path, EntryRef entry);
  const ImageEntry* Find(const std::wstring& path) const;
  size_t size() const { return entries_.size(); }
  void clear() { entries_.clear(); }

 private:
  std::map<std::wstring, EntryRef> entries_;
};

// The entry of a file by the rendering routes and the fallback, with size and
// last-write time from the directory entry; nothing when the file yields no
// fingerprint or its path does not fit the record.
EntryRef BuildEntry(PictureServices& services, SignatureRule rule, const std::wstring& path,
                    const platform::DirEntry& found);

// The cached entry when size and last-write time of the directory entry are
// unchanged; otherwise the entry is built and cached. Nothing when the file
// yields no fingerprint.
EntryRef GetOrBuildEntry(FingerprintCache& cache, PictureServices& services, SignatureRule rule,
                         const std::wstring& path, const platform::DirEntry& found);

// The same into a record of the caller's.
bool GetOrBuildEntry(FingerprintCache& cache, PictureServices& services, SignatureRule rule,
                     const std::wstring& path, const platform::DirEntry& found,
                     ImageEntry& entry);

// "Cache: <count> <size of that many records>" for the main frame's status bar.
std::wstring CacheStatusText(const FingerprintCache& cache);

}  // namespace engine
