// The fingerprint phase of a search: the entry of every collected file, taken
// from the cache when the file is unchanged and built otherwise, on all
// cores. Entries come out in the order of the files; a file that yields no
// fingerprint is left out, so the next file takes its index.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/Fingerprint.h"
#include "engine/ImageEntry.h"
#include "engine/PictureServices.h"
#include "platform/FileSystem.h"

namespace engine {

struct FileToFingerprint {
  const std::wstring* path;
  const platform::DirEntry* found;
};

// The decoder and shell of one thread.
using PictureServicesFactory = std::function<std::unique_ptr<PictureServices>()>;
std::unique_ptr<PictureServices> MakeSystemPictureServices();

class FingerprintProgress {
 public:
  virtual ~FingerprintProgress() = default;
  // Now and then: how many files are through and the last one that was.
  virtual void Progress(size_t filesDone, size_t fileCount, const std::wstring& lastPath) = 0;
};

// Appends the entries to table. The cache is used by the calling thread only;
// each worker thread makes its own picture services. False when a stop request
// ended the phase early (what was built so far is cached nonetheless).
bool FingerprintFiles(std::span<const FileToFingerprint> files, FingerprintCache& cache,
                      SignatureRule rule, const PictureServicesFactory& services,
                      const std::atomic<int>& stopRequested, FingerprintProgress& progress,
                      std::vector<EntryRef>& table, int threads = 0);

}  // namespace engine
