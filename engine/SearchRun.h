// One search: the path boxes' folders to the list of similar pairs.
//
//   SearchRun run(window, cache, texts);
//   run.RunSearch(settings);   // on a worker thread; the window is reached only by requests
//
// The phases: collection (path check, busy progress, file sets), fingerprints
// (entries from the cache or built, on all cores), comparisons (every pair of
// the run to the pair test, on all cores) and the summary (statistics texts,
// sorting by similarity). A stop request ends the run at its next check; the
// rows found so far stay and no summary is written.
//
// SearchController carries the Start/Stop button's semantics and the worker
// thread: one run at a time per window.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "engine/CompareSettings.h"
#include "engine/ComparisonPhase.h"
#include "engine/FileCollector.h"
#include "engine/Fingerprint.h"
#include "engine/FingerprintPhase.h"
#include "engine/SearchWindow.h"
#include "engine/Similarity.h"
#include "engine/TextLookup.h"

namespace engine {

// How the phases do their work: on all cores (the program) or by the plain
// loops of one thread (the reference the fast phases are held to).
enum class SearchSpeed { AllCores, ReferenceLoops };

class SearchRun {
 public:
  SearchRun(SearchWindow& window, FingerprintCache& cache, TextLookup texts,
            PictureServicesFactory services = MakeSystemPictureServices,
            SearchSpeed speed = SearchSpeed::AllCores);

  // The run itself, on the calling thread.
  void RunSearch(const CompareSettings& settings);

  void RequestStop() { stopRequested_.store(1); }
  bool StopRequested() const { return stopRequested_.load() != 0; }

  // What the run found; valid until the run object goes. Rows refer to pairs,
  // pairs to entries.
  const std::vector<EntryRef>& entries() const { return entries_; }
  const std::deque<MatchPair>& pairs() const { return pairs_; }
  const SearchPaths& paths() const { return paths_; }
  size_t leftCount() const { return leftCount_; }
  int64_t done() const { return counters_.done; }
  int64_t unnecessary() const { return counters_.unnecessary; }
  int64_t totalComparisons() const { return totalComparisons_; }
  int32_t found() const { return found_; }
  uint64_t totalBytes() const { return totalBytes_; }
  // Whether the run went through to its summary.
  bool completed() const { return completed_; }

 private:
  class Reporter;

  bool CollectPhase(const CompareSettings& settings, FileSet& left, FileSet& right);
  bool FingerprintPhase(const CompareSettings& settings, const FileSet& left, const FileSet& right);
  bool ComparePhase(const CompareSettings& settings);
  void SummaryPhase();
  void EmptySetWarning();
  bool ClockStepChanged();

  SearchWindow& window_;
  FingerprintCache& cache_;
  TextLookup texts_;
  PictureServicesFactory services_;
  SearchSpeed speed_;
  std::atomic<int> stopRequested_{0};

  SearchPaths paths_;
  std::vector<EntryRef> entries_;
  std::deque<MatchPair> pairs_;
  size_t leftCount_ = 0;
  ComparisonCounters counters_;
  int64_t totalComparisons_ = 0;
  int32_t found_ = 0;
  uint64_t totalBytes_ = 0;
  uint32_t phaseStart_ = 0;
  uint32_t lastStep_ = 0;
  uint32_t fingerprintMs_ = 0;
  uint32_t compareMs_ = 0;
  bool completed_ = false;
};

class SearchController {
 public:
  SearchController(SearchWindow& window, FingerprintCache& cache, TextLookup texts,
                   PictureServicesFactory services = MakeSystemPictureServices);
  // Stops an active run and waits for its worker.
  ~SearchController();

  // The Start/Stop button. Idle: the window is set running and a worker starts
  // a run with these settings. Running: the run is asked to stop (the window
  // turns idle when the worker ends). Pressed again while a stopped run is
  // still ending, the start waits until that run has ended: never two runs at once.
  void OnStartStop(const CompareSettings& settings);

  // As the user sees it: a run is going or about to.
  bool running() const;
  // Asks the active run to stop and drops a waiting start; returns at once.
  void Stop();
  // Whether a worker is still going (it may still make requests of the window).
  bool WorkerActive() const;
  // Waits until the worker has ended. A window that carries requests out on
  // its own thread must go on taking them until WorkerActive is false.
  void Join();
  // The last run, once the worker has ended (Join); its pairs stay valid
  // until the next run starts.
  const SearchRun* lastRun() const { return run_.get(); }

 private:
  void SearchThreadProc(CompareSettings settings);

  SearchWindow& window_;
  FingerprintCache& cache_;
  TextLookup texts_;
  PictureServicesFactory services_;
  mutable std::mutex mutex_;
  std::thread worker_;
  bool workerActive_ = false;  // the worker has not reached its end yet
  bool running_ = false;
  std::optional<CompareSettings> pendingStart_;
  std::unique_ptr<SearchRun> run_;
};

}  // namespace engine
