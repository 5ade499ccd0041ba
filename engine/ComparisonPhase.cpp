#include "engine/ComparisonPhase.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace engine {

int64_t PairSpace::PairCount() const {
  const auto n = static_cast<int64_t>(entries.size());
  if (twoSets) return static_cast<int64_t>(leftCount) * (n - static_cast<int64_t>(leftCount));
  return n * (n - 1) / 2;
}

int64_t OrientationMultiplier(const CompareSettings& settings) {
  return (settings.m_search_rotated ? 4 : 1) * (settings.m_search_flipped ? 2 : 1);
}

int64_t ComparisonMultiplier(const CompareSettings& settings) {
  return OrientationMultiplier(settings) * (settings.m_search_negative ? 2 : 1);
}

bool ComparePairsReference(const PairSpace& space, const CompareSettings& settings,
                           const std::atomic<int>& stopRequested, ComparisonSink& sink,
                           ComparisonCounters& counters, const SadKernel& kernel) {
  const PairTest test(settings, kernel);
  const int64_t m1 = OrientationMultiplier(settings), m = ComparisonMultiplier(settings);
  const size_t n = space.entries.size();
  const size_t outerEnd = space.twoSets ? space.leftCount : n;
  int iterations = 0;
  for (size_t i = 0; i < outerEnd; ++i) {
    for (size_t j = space.twoSets ? space.leftCount : i + 1; j < n; ++j) {
      if (stopRequested.load(std::memory_order_relaxed)) return false;
      if (++iterations == 1000) {
        iterations = 0;
        sink.Progress(counters.done);
      }
      PairOutcome outcome;
      const std::optional<MatchPair> pair = test.Test(*space.entries[i], *space.entries[j], outcome);
      const ComparisonCounts counts = CountComparisons(outcome, m1, m);
      counters.done += counts.done;
      counters.unnecessary += counts.unnecessary;
      if (pair) sink.Accepted(std::span<const MatchPair>(&*pair, 1));
    }
  }
  return true;
}

namespace {

// The first indices of a run are dealt out in chunks of up to this many
// (smaller for small runs, so every core gets work); each chunk's pairs are
// rated tile by tile of second entries of one brightness, so a tile stays in
// the cache while every first entry of the chunk that needs it is rated.
constexpr size_t kMaxChunk = 2048;
constexpr int kTile = 16;
// The early look comes after the term for i = 1024; most pairs are already
// beyond its bound after the first rows.
constexpr int kEarlyIndex = 1024;
// Where a pass looks whether its partial sum is already beyond the bound.
constexpr int kStageEnds[] = {256, kEarlyIndex};

struct IndexedPair {
  size_t first, second;
  MatchPair pair;
};

struct ChunkResult {
  std::vector<IndexedPair> accepted;
  ComparisonCounters counters;
  int64_t reportedEarly = 0;  // rated comparisons already shown as progress
  bool complete = false;
};

class FastComparison {
 public:
  FastComparison(const PairSpace& space, const CompareSettings& settings,
                 const std::atomic<int>& stopRequested)
      : space_(space),
        stop_(stopRequested),
        test_(settings),
        m1_(OrientationMultiplier(settings)),
        m_(ComparisonMultiplier(settings)),
        tolerance_(test_.brightnessTolerance()),
        negative_(settings.m_search_negative != 0),
        threshold_(settings.m_similarity),
        earlyLimit_(EarlyLimit(settings.m_similarity)),
        kernel_(BestSadKernel()) {
    passCount_ = EnabledPasses(settings, passes_);
    const size_t n = space.entries.size();
    outerEnd_ = space.twoSets ? space.leftCount : (n > 0 ? n - 1 : 0);
    const size_t innerBegin = space.twoSets ? space.leftCount : 0;
    // Buckets of second entries by brightness, each in index order.
    for (size_t j = innerBegin; j < n; ++j) {
      minBrightness_ = std::min(minBrightness_, space.entries[j]->brightness);
      maxBrightness_ = std::max(maxBrightness_, space.entries[j]->brightness);
    }
    if (minBrightness_ <= maxBrightness_) {
      buckets_.resize(static_cast<size_t>(maxBrightness_ - minBrightness_ + 1));
      for (size_t j = innerBegin; j < n; ++j)
        buckets_[static_cast<size_t>(space.entries[j]->brightness - minBrightness_)].push_back(j);
    }
    chunk_ = std::clamp<size_t>(outerEnd_ / 16, 64, kMaxChunk);
    results_.resize((outerEnd_ + chunk_ - 1) / chunk_);
  }

  bool Run(ComparisonSink& sink, ComparisonCounters& counters, int threads) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) workers.emplace_back([this] { Work(); });

    // This thread hands finished chunks on in order and reports progress.
    size_t emitted = 0;
    bool stopped = false;
    std::vector<MatchPair> batch;
    while (emitted < results_.size()) {
      {
        std::unique_lock lock(mutex_);
        finished_.wait_for(lock, std::chrono::milliseconds(50), [&] {
          return results_[emitted].complete || failed_ || stop_.load(std::memory_order_relaxed);
        });
        if (failed_ || stop_.load(std::memory_order_relaxed)) {
          stopped = true;
          break;
        }
      }
      batch.clear();
      while (emitted < results_.size()) {
        ChunkResult* ready = nullptr;
        {
          std::lock_guard lock(mutex_);
          if (results_[emitted].complete) ready = &results_[emitted];
        }
        if (!ready) break;
        counters.done += ready->counters.done;
        counters.unnecessary += ready->counters.unnecessary;
        for (const IndexedPair& p : ready->accepted) batch.push_back(p.pair);
        ready->accepted = {};
        ++emitted;
      }
      if (!batch.empty()) sink.Accepted(batch);
      sink.Progress(counters.done + doneInFlight_.load(std::memory_order_relaxed));
    }
    for (std::thread& worker : workers) worker.join();
    return !stopped;
  }

 private:
  void Work() {
    try {
      for (;;) {
        const size_t chunk = nextChunk_.fetch_add(1);
        if (chunk >= results_.size() || stop_.load(std::memory_order_relaxed)) return;
        ChunkResult result;
        if (!RateChunk(chunk * chunk_, std::min(outerEnd_, (chunk + 1) * chunk_), result)) return;
        std::lock_guard lock(mutex_);
        doneInFlight_.fetch_sub(result.reportedEarly, std::memory_order_relaxed);
        results_[chunk] = std::move(result);
        results_[chunk].complete = true;
        finished_.notify_all();
      }
    } catch (...) {
      std::lock_guard lock(mutex_);
      failed_ = true;
      finished_.notify_all();
    }
  }

  // Second entries of one brightness, rated against one first entry together.
  struct Batch {
    int count = 0;
    size_t index[kTile];
    const ImageEntry* entry[kTile];
    void Add(size_t j, const ImageEntry* e) {
      index[count] = j;
      entry[count++] = e;
    }
  };

  // Which pairs of the batch reach the threshold in some enabled pass. The
  // sums grow with every term, so a pass whose partial sum is already beyond
  // the early look's bound stops there: most pairs are decided after a
  // quarter of the early terms, with the very decisions of the full loop.
  void Survivors(const ImageEntry& first, const Batch& batch, bool negate, bool* reached) const {
    int aliveCount = batch.count;
    int alive[kTile];
    for (int k = 0; k < batch.count; ++k) alive[k] = k, reached[k] = false;
    for (int p = 0; p < passCount_ && aliveCount > 0; ++p) {
      const OrientationPass& pass = passes_[p];
      const uint8_t* a = (first.*pass.a).data();
      int n = aliveCount;
      int slot[kTile];
      const uint8_t* b[kTile];
      uint32_t sum[kTile], more[kTile];
      for (int k = 0; k < n; ++k) {
        slot[k] = alive[k];
        b[k] = (batch.entry[alive[k]]->*pass.b).data();
        sum[k] = 0;
      }
      // Stage by stage up to the early look, keeping the pairs still within its bound.
      int begin = 0;
      for (int end : kStageEnds) {
        kernel_.sums({a, b, n, begin, end, negate, pass.reversed}, more);
        const bool early = end == kEarlyIndex;
        const int ai = negate ? static_cast<uint8_t>(-a[kEarlyIndex]) : a[kEarlyIndex];
        const int at = pass.reversed ? kSignatureBytes - 1 - kEarlyIndex : kEarlyIndex;
        int kept = 0;
        for (int k = 0; k < n; ++k) {
          sum[k] += more[k];
          // The early look counts the term for i = 1024 too.
          const int64_t looked = static_cast<int64_t>(sum[k]) + (early ? std::abs(ai - b[k][at]) : 0);
          if (looked <= earlyLimit_) slot[kept] = slot[k], b[kept] = b[k], sum[kept++] = sum[k];
        }
        n = kept;
        begin = end;
        if (n == 0) break;
      }
      if (n == 0) continue;
      kernel_.sums({a, b, n, kEarlyIndex, kSignatureBytes, negate, pass.reversed}, more);
      for (int k = 0; k < n; ++k) {
        if (!FullPassMatches(sum[k] + more[k], threshold_)) continue;
        reached[slot[k]] = true;
        // A matched pair needs no further passes.
        for (int q = 0; q < aliveCount; ++q)
          if (alive[q] == slot[k]) alive[q] = alive[--aliveCount];
      }
    }
  }

  // Rates first entry i against a batch of second entries of one brightness
  // and counts them; pairs that reach the threshold go through the full pair
  // test, which makes the match and its labels. Returns the comparisons done.
  int64_t RateBatch(size_t i, int secondBrightness, const Batch& batch, ChunkResult& result) const {
    const ImageEntry& first = *space_.entries[i];
    const int firstBrightness = first.brightness;
    const bool gate1 = std::abs(firstBrightness - secondBrightness) <= tolerance_;
    const bool gate2 = firstBrightness + secondBrightness - 100 <= tolerance_;
    bool plainReached[kTile] = {}, negativeReached[kTile] = {};
    if (gate1) Survivors(first, batch, false, plainReached);
    if (negative_ && gate2) {
      // Only pairs whose plain rating fell short get a negative one.
      Batch rest;
      int from[kTile];
      for (int k = 0; k < batch.count; ++k)
        if (!plainReached[k]) from[rest.count] = k, rest.Add(batch.index[k], batch.entry[k]);
      bool reached[kTile];
      Survivors(first, rest, true, reached);
      for (int k = 0; k < rest.count; ++k) negativeReached[from[k]] = reached[k];
    }
    int64_t done = 0;
    for (int k = 0; k < batch.count; ++k) {
      ComparisonCounts counts;
      if (plainReached[k] || negativeReached[k]) {
        PairOutcome outcome;
        if (std::optional<MatchPair> pair = test_.Test(first, *batch.entry[k], outcome))
          result.accepted.push_back({i, batch.index[k], *pair});
        counts = CountComparisons(outcome, m1_, m_);
      } else {
        // The outcome of a pair whose ratings all fell short follows from the gates.
        PairOutcome outcome;
        outcome.gate1Failed = !gate1;
        outcome.negativeRated = negative_ && gate2;
        outcome.gate2Failed = negative_ && !gate2;
        counts = CountComparisons(outcome, m1_, m_);
      }
      done += counts.done;
      result.counters.unnecessary += counts.unnecessary;
    }
    return done;
  }

  size_t InnerBegin(size_t i) const { return space_.twoSets ? space_.leftCount : i + 1; }

  // Whether a pair of these brightnesses gets a rating at all.
  bool Rated(int first, int second) const {
    if (std::abs(first - second) <= tolerance_) return true;
    return negative_ && first + second - 100 <= tolerance_;
  }

  // What count pairs add that the gates reject without a rating: gate 1
  // failed, and gate 2 failed too or negative search is off.
  void CountUnrated(int64_t count, ComparisonCounters& counters) const {
    const int64_t each = negative_ ? 2 * m1_ : m1_;
    counters.done += count * each;
    counters.unnecessary += count * each;
  }

  bool RateChunk(size_t begin, size_t end, ChunkResult& result) {
    const auto& entries = space_.entries;
    std::vector<size_t> rated;
    rated.reserve(end - begin);
    for (size_t b = 0; b < buckets_.size(); ++b) {
      const std::vector<size_t>& bucket = buckets_[b];
      const int secondBrightness = minBrightness_ + static_cast<int>(b);
      rated.clear();
      for (size_t i = begin; i < end; ++i) {
        const int firstBrightness = entries[i]->brightness;
        if (Rated(firstBrightness, secondBrightness)) {
          rated.push_back(i);
        } else {
          const auto from = std::lower_bound(bucket.begin(), bucket.end(), InnerBegin(i));
          CountUnrated(bucket.end() - from, result.counters);
        }
      }
      if (rated.empty()) continue;
      auto tileBegin = std::lower_bound(bucket.begin(), bucket.end(), InnerBegin(rated.front()));
      for (; tileBegin < bucket.end(); tileBegin += std::min<ptrdiff_t>(kTile, bucket.end() - tileBegin)) {
        if (stop_.load(std::memory_order_relaxed)) return false;
        const auto tileEnd = tileBegin + std::min<ptrdiff_t>(kTile, bucket.end() - tileBegin);
        int64_t tileDone = 0;
        for (size_t i : rated) {
          const size_t innerBegin = InnerBegin(i);
          Batch batch;
          for (auto j = tileBegin; j < tileEnd; ++j)
            if (*j >= innerBegin) batch.Add(*j, entries[*j]);
          if (batch.count) tileDone += RateBatch(i, secondBrightness, batch, result);
        }
        result.counters.done += tileDone;
        result.reportedEarly += tileDone;
        doneInFlight_.fetch_add(tileDone, std::memory_order_relaxed);
      }
    }
    std::sort(result.accepted.begin(), result.accepted.end(),
              [](const IndexedPair& a, const IndexedPair& b) {
                return a.first != b.first ? a.first < b.first : a.second < b.second;
              });
    return true;
  }

  const PairSpace& space_;
  const std::atomic<int>& stop_;
  const PairTest test_;
  const int64_t m1_, m_;
  const int tolerance_;
  const bool negative_;
  const int threshold_;
  const int32_t earlyLimit_;
  const SadKernel& kernel_;
  OrientationPass passes_[8];
  int passCount_ = 0;
  size_t outerEnd_ = 0;
  size_t chunk_ = 64;
  int minBrightness_ = INT32_MAX, maxBrightness_ = INT32_MIN;
  std::vector<std::vector<size_t>> buckets_;

  std::vector<ChunkResult> results_;
  std::atomic<size_t> nextChunk_{0};
  std::atomic<int64_t> doneInFlight_{0};
  std::mutex mutex_;
  std::condition_variable finished_;
  bool failed_ = false;
};

}  // namespace

bool ComparePairs(const PairSpace& space, const CompareSettings& settings,
                  const std::atomic<int>& stopRequested, ComparisonSink& sink,
                  ComparisonCounters& counters, int threads) {
  FastComparison comparison(space, settings, stopRequested);
  return comparison.Run(sink, counters, threads);
}

}  // namespace engine
