#include "engine/FingerprintPhase.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/ComThread.h"

namespace engine {

std::unique_ptr<PictureServices> MakeSystemPictureServices() {
  return std::make_unique<SystemPictureServices>();
}

bool FingerprintFiles(std::span<const FileToFingerprint> files, FingerprintCache& cache,
                      SignatureRule rule, const PictureServicesFactory& services,
                      const std::atomic<int>& stopRequested, FingerprintProgress& progress,
                      std::vector<EntryRef>& table, int threads) {
  // Unchanged files come from the cache here; only the others go to the workers.
  std::vector<EntryRef> slots(files.size());
  std::vector<size_t> toBuild;
  for (size_t i = 0; i < files.size(); ++i) {
    slots[i] = cache.Lookup(*files[i].path, *files[i].found);
    if (!slots[i]) toBuild.push_back(i);
  }

  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next{0};
  size_t built = 0;        // guarded by mutex
  size_t lastBuilt = 0;    // index of the file finished last, guarded by mutex
  int running = 0;         // workers still at it, guarded by mutex

  auto work = [&] {
    try {
      platform::ComThread com;
      std::unique_ptr<PictureServices> own = services();
      for (;;) {
        if (stopRequested.load(std::memory_order_relaxed)) break;
        const size_t k = next.fetch_add(1);
        if (k >= toBuild.size()) break;
        const size_t i = toBuild[k];
        EntryRef entry = BuildEntry(*own, rule, *files[i].path, *files[i].found);
        std::lock_guard lock(mutex);
        slots[i] = std::move(entry);
        ++built;
        lastBuilt = i;
        changed.notify_all();
      }
    } catch (...) {
      // A worker that fails leaves its files without entries; the others go on.
    }
    std::lock_guard lock(mutex);
    --running;
    changed.notify_all();
  };

  if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  threads = static_cast<int>(std::min<size_t>(static_cast<size_t>(threads), toBuild.size()));
  std::vector<std::thread> workers;
  running = threads;
  for (int t = 0; t < threads; ++t) workers.emplace_back(work);

  const size_t fromCache = files.size() - toBuild.size();
  {
    std::unique_lock lock(mutex);
    size_t reported = SIZE_MAX;
    while (running > 0) {
      changed.wait_for(lock, std::chrono::milliseconds(50));
      if (built != reported) {
        reported = built;
        const std::wstring& last = *files[built ? lastBuilt : 0].path;
        lock.unlock();
        progress.Progress(fromCache + reported, files.size(), last);
        lock.lock();
      }
    }
  }
  for (std::thread& worker : workers) worker.join();
  if (toBuild.empty() && !files.empty()) progress.Progress(files.size(), files.size(), *files.back().path);

  for (size_t i : toBuild)
    if (slots[i]) cache.Store(*files[i].path, slots[i]);
  if (stopRequested.load(std::memory_order_relaxed)) return false;
  for (EntryRef& entry : slots)
    if (entry) table.push_back(std::move(entry));
  return true;
}

}  // namespace engine
