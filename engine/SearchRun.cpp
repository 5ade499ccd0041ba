#include "engine/SearchRun.h"

#include <cstdio>
#include <utility>

#include "engine/NumberTexts.h"
#include "engine/RunTexts.h"
#include "platform/Clock.h"
#include "platform/ComThread.h"
#include "platform/Text.h"

namespace engine {
namespace {

// Text ids of the run's lines and labels.
constexpr int kTextStop = 170;
constexpr int kTextStart = 300338;
constexpr int kTextStarting = 300340;
constexpr int kTextPhaseWord = 300001;
constexpr int kTextFingerprinting = 300002;
constexpr int kTextCollecting = 300003;
constexpr int kTextEmptySet = 300339;
constexpr int kTextRemain = 300336;
constexpr int kTextPerSecond = 300331;
constexpr int kTextTime = 300334;
constexpr int kTextEntries = 300330;
constexpr int kTextUnnecessary = 300332;
constexpr int kTextSimilarFound = 300337;
constexpr int kTextSimilarity = 300102;
constexpr int kTextComparisons = 300333;
constexpr int kTextTimeTotal = 300335;

constexpr int kProgressRange = 65535;
constexpr int kSimilarityColumn = 2;

}  // namespace

// Progress of the fingerprint and comparison phases, on the run's thread.
class SearchRun::Reporter : public FingerprintProgress, public ComparisonSink {
 public:
  explicit Reporter(SearchRun& run) : run_(run) {}

  void Progress(size_t filesDone, size_t fileCount, const std::wstring& lastPath) override {
    if (!run_.ClockStepChanged()) return;
    const double f = fileCount ? static_cast<double>(filesDone) / fileCount : 0;
    std::wstring line = L"Remain: " + RemainingTimeText(f, platform::MilliClock() - run_.phaseStart_) +
                        platform::FormatText(" / %08d/%08d ", static_cast<int>(filesDone), static_cast<int>(fileCount));
    ReplaceAll(line, L"Remain", run_.texts_(kTextRemain));
    run_.window_.SetLine(TextLine::Detail, line + lastPath);
    run_.window_.SetProgressPosition(static_cast<int>(f * kProgressRange));
    run_.window_.ShowCacheStatus(CacheStatusText(run_.cache_));
  }

  void Accepted(std::span<const MatchPair> pairs) override {
    for (const MatchPair& pair : pairs) {
      run_.pairs_.push_back(pair);
      run_.window_.AppendRow(run_.pairs_.back());
      ++run_.found_;
    }
  }

  void Progress(int64_t done) override {
    if (!run_.ClockStepChanged()) return;
    const int64_t total = run_.totalComparisons_;
    const double f = total > 0 ? static_cast<double>(done) / total : 0;
    std::wstring line = CountText(done) + L" / " + CountText(total) + L" Remain: " +
                        RemainingTimeText(f, platform::MilliClock() - run_.phaseStart_) +
                        platform::FormatText(" // %d %%", static_cast<int>(f * 100));
    ReplaceAll(line, L"Remain", run_.texts_(kTextRemain));
    run_.window_.SetLine(TextLine::Status, line);
    run_.window_.SetProgressPosition(static_cast<int>(f * kProgressRange));
  }

 private:
  SearchRun& run_;
};

SearchRun::SearchRun(SearchWindow& window, FingerprintCache& cache, TextLookup texts,
                     PictureServicesFactory services, SearchSpeed speed)
    : window_(window),
      cache_(cache),
      texts_(std::move(texts)),
      services_(std::move(services)),
      speed_(speed) {}

bool SearchRun::ClockStepChanged() {
  const uint32_t step = platform::MilliClock() / 128;
  if (step == lastStep_) return false;
  lastStep_ = step;
  return true;
}

void SearchRun::RunSearch(const CompareSettings& settings) {
  FileSet left, right;
  if (!CollectPhase(settings, left, right)) return;
  if (!FingerprintPhase(settings, left, right)) return;
  if (!ComparePhase(settings)) {
    window_.SetListRedraw(true);
    return;
  }
  SummaryPhase();
}

bool SearchRun::CollectPhase(const CompareSettings& settings, FileSet& left, FileSet& right) {
  window_.DeleteAllRows();
  window_.SetLine(TextLine::Status, texts_(kTextStarting));

  const auto mode = static_cast<CompareMode>(settings.m_compare_mode);
  if (!ValidateSearchPaths(window_, mode, texts_, paths_)) return false;

  window_.SetLine(TextLine::Statistics, L".............");
  window_.SetLine(TextLine::Detail, L".............");
  window_.SetLine(TextLine::Status, L".............");
  window_.BusyProgress();
  window_.SetLine(TextLine::Status, L"..... " + texts_(kTextPhaseWord) + L" " +
                                        texts_(kTextCollecting) + L": " + paths_.Path2);

  std::unique_ptr<PictureServices> services = services_();
  FileCollector collector(*services, window_, stopRequested_);
  collector.CollectSearchSets(mode, settings.m_subfolder != 0, paths_, left, right);
  return true;
}

void SearchRun::EmptySetWarning() {
  window_.SetLine(TextLine::Status, texts_(kTextEmptySet));
  window_.FieldWarning(PathBox::Right, texts_(kTextEmptySet));
}

bool SearchRun::FingerprintPhase(const CompareSettings& settings, const FileSet& left,
                                 const FileSet& right) {
  window_.SetLine(TextLine::Status, L"..... " + texts_(kTextPhaseWord) + L" " +
                                        texts_(kTextFingerprinting) + L": " + paths_.Path2);
  entries_.clear();
  counters_ = {};
  window_.ProgressDone();
  totalBytes_ = 0;
  phaseStart_ = platform::MilliClock();
  lastStep_ = phaseStart_ / 128 - 1;

  const bool twoSets = settings.m_compare_mode == static_cast<int32_t>(CompareMode::TwoFolderSets);
  window_.DeterminateProgress(kProgressRange);
  // A stop during collection can leave a set empty too; then there is nothing to compare.
  if ((twoSets ? left : right).empty() || (twoSets && right.empty())) {
    EmptySetWarning();
    return false;
  }

  Reporter progress(*this);
  const auto rule = static_cast<SignatureRule>(settings.m_signature_rule);
  auto fingerprint = [&](const FileSet& set) {
    std::vector<FileToFingerprint> files;
    files.reserve(set.size());
    for (const auto& [path, found] : set) files.push_back({&path, &found});
    return FingerprintFiles(files, cache_, rule, services_, stopRequested_, progress, entries_,
                            speed_ == SearchSpeed::ReferenceLoops ? 1 : 0);
  };
  if (twoSets) {
    if (!fingerprint(left)) return false;
    leftCount_ = entries_.size();
  }
  if (!fingerprint(right)) return false;
  if (!twoSets) leftCount_ = 0;

  for (const EntryRef& entry : entries_) totalBytes_ += entry->fileSize;
  const uint32_t elapsed = platform::MilliClock() - phaseStart_;
  fingerprintMs_ = elapsed;
  std::wstring line =
      platform::FormatText("IST:%d  ", static_cast<int>(entries_.size())) + SizeText(totalBytes_) + L" // " +
      SizeText(static_cast<uint64_t>(PerSecond(static_cast<double>(totalBytes_), elapsed))) +
      L" / sec // " +
      platform::FormatText("%.1f  / sec // Time %.1f sec", PerSecond(static_cast<double>(entries_.size()), elapsed),
             elapsed * 0.001);
  ReplaceAll(line, L"/ sec", texts_(kTextPerSecond));
  ReplaceAll(line, L"Time", texts_(kTextTime));
  ReplaceAll(line, L"IST", texts_(kTextEntries));
  window_.SetLine(TextLine::Detail, line);
  window_.ShowCacheStatus(CacheStatusText(cache_));
  return true;
}

bool SearchRun::ComparePhase(const CompareSettings& settings) {
  phaseStart_ = platform::MilliClock();
  lastStep_ = phaseStart_ / 128;
  counters_ = {};

  std::vector<const ImageEntry*> table;
  table.reserve(entries_.size());
  for (const EntryRef& entry : entries_) table.push_back(entry.get());
  const bool twoSets = settings.m_compare_mode == static_cast<int32_t>(CompareMode::TwoFolderSets);
  const PairSpace space{table, twoSets, leftCount_};
  totalComparisons_ = space.PairCount() * ComparisonMultiplier(settings);

  window_.DeterminateProgress(kProgressRange);
  found_ = 0;
  window_.SetListRedraw(false);
  Reporter progress(*this);
  const bool completed =
      speed_ == SearchSpeed::ReferenceLoops
          ? ComparePairsReference(space, settings, stopRequested_, progress, counters_)
          : ComparePairs(space, settings, stopRequested_, progress, counters_);
  compareMs_ = platform::MilliClock() - phaseStart_;
  return completed;
}

void SearchRun::SummaryPhase() {
  window_.SetLine(TextLine::Status, CountText(counters_.done) + L" / " + CountText(totalComparisons_) + L" ");
  window_.SetListRedraw(true);
  window_.ProgressDone();

  const uint32_t elapsed = compareMs_;
  const double unnecessaryShare =
      counters_.done > 0 ? static_cast<double>(counters_.unnecessary) * 100 / counters_.done : 0;
  // The template's first word is German, written here in UTF-8.
  std::wstring statistics =
      platform::FormatText("\xC3\x84hnliche: %d, time: %f sec. // ", found_, elapsed * 0.001);
  statistics += RateText(PerSecond(static_cast<double>(counters_.done), elapsed)) +
                L" / sec // Unnecessary comparisons: " + CountText(counters_.unnecessary) +
                platform::FormatText(" / %.2f %%", unnecessaryShare);
  ReplaceAll(statistics, L"/ sec", texts_(kTextPerSecond));
  ReplaceAll(statistics, L"Unnecessary comparisons", texts_(kTextUnnecessary));
  ReplaceAll(statistics, L"\u00c4hnliche:", texts_(kTextSimilarFound));
  ReplaceAll(statistics, L"time:", texts_(kTextTime));
  window_.SetLine(TextLine::Statistics, statistics);

  std::wstring status = texts_(kTextSimilarity) + platform::FormatText(": %d / ", found_) +
                        texts_(kTextComparisons) + L": " + CountText(counters_.done) +
                        L" / Time-Total: " + DurationText((fingerprintMs_ + compareMs_) / 1000.0);
  ReplaceAll(status, L"Time-Total", texts_(kTextTimeTotal));
  window_.SetLine(TextLine::Status, status);

  window_.SortBy(kSimilarityColumn, true);
  completed_ = true;
}

SearchController::SearchController(SearchWindow& window, FingerprintCache& cache,
                                   TextLookup texts, PictureServicesFactory services)
    : window_(window), cache_(cache), texts_(std::move(texts)), services_(std::move(services)) {}

SearchController::~SearchController() {
  Stop();
  Join();
}

bool SearchController::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void SearchController::OnStartStop(const CompareSettings& settings) {
  std::unique_lock lock(mutex_);
  if (running_) {
    // Stop: the active run ends at its next check; a waiting start is dropped.
    running_ = false;
    pendingStart_.reset();
    if (run_) run_->RequestStop();
    return;
  }
  running_ = true;
  if (workerActive_) {
    // The stopped run is still ending: start when it has.
    pendingStart_ = settings;
    lock.unlock();
    window_.SetRunning(true);
    window_.SetStartStopLabel(texts_(kTextStop));
    return;
  }
  if (worker_.joinable()) worker_.join();
  workerActive_ = true;
  lock.unlock();
  window_.SetRunning(true);
  window_.SetStartStopLabel(texts_(kTextStop));
  worker_ = std::thread([this, settings] { SearchThreadProc(settings); });
}

void SearchController::Stop() {
  std::lock_guard lock(mutex_);
  running_ = false;
  pendingStart_.reset();
  if (run_) run_->RequestStop();
}

bool SearchController::WorkerActive() const {
  std::lock_guard lock(mutex_);
  return workerActive_;
}

void SearchController::Join() {
  if (worker_.joinable()) worker_.join();
}

void SearchController::SearchThreadProc(CompareSettings settings) {
  platform::ComThread com;
  for (;;) {
    try {
      std::unique_ptr<SearchRun> previous;
      {
        std::lock_guard lock(mutex_);
        previous = std::move(run_);
        run_ = std::make_unique<SearchRun>(window_, cache_, texts_, services_);
        if (!running_) run_->RequestStop();
      }
      // The rows refer to the previous run's pairs: they go before the pairs do.
      window_.DeleteAllRows();
      previous.reset();
      if (!run_->StopRequested()) run_->RunSearch(settings);
    } catch (...) {
      // Nothing may unwind out of the thread; the window is set idle below.
    }
    {
      std::lock_guard lock(mutex_);
      if (pendingStart_) {
        // Started again after a stop: the window already shows the run.
        settings = *std::exchange(pendingStart_, std::nullopt);
        continue;
      }
      running_ = false;
    }
    // The worker stays active while it sets the window idle: a Start pressed
    // meanwhile is deferred to it instead of waiting for this thread, which
    // waits for the window's thread.
    window_.SetStartStopLabel(texts_(kTextStart));
    window_.SetRunning(false);
    {
      std::lock_guard lock(mutex_);
      if (!pendingStart_) {
        workerActive_ = false;
        return;
      }
      settings = *std::exchange(pendingStart_, std::nullopt);
    }
    window_.SetRunning(true);
    window_.SetStartStopLabel(texts_(kTextStop));
  }
}

}  // namespace engine
