// The comparison phase of a search: every pair of the run is put to the pair
// test, accepted pairs are handed on in loop order (first index, then second),
// and the comparisons are counted.
//
// ComparePairsReference is the loop as written: one thread, every pair
// visited in order. ComparePairs gives exactly the same pairs, order and
// counters, faster: it runs on all cores, rates with the fastest kernel, and
// does not visit the pairs that the brightness gates reject but counts them
// by brightness (entries are bucketed by their brightness, 0..99).
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "engine/CompareSettings.h"
#include "engine/ImageEntry.h"
#include "engine/Similarity.h"

namespace engine {

// Which pairs a run visits: one set, every pair i < j of all entries; or two
// sets, every entry of the left set [0, leftCount) against every entry of the
// right set [leftCount, size).
struct PairSpace {
  std::span<const ImageEntry* const> entries;
  bool twoSets = false;
  size_t leftCount = 0;

  int64_t PairCount() const;
};

struct ComparisonCounters {
  int64_t done = 0;
  int64_t unnecessary = 0;
  bool operator==(const ComparisonCounters&) const = default;
};

// Receives what the comparison finds, always on the thread that called the
// comparison.
class ComparisonSink {
 public:
  virtual ~ComparisonSink() = default;
  // Accepted pairs in loop order, in batches.
  virtual void Accepted(std::span<const MatchPair> pairs) = 0;
  // The comparisons done so far, now and then while the phase runs.
  virtual void Progress(int64_t done) = 0;
};

// m1 = (rotated ? 4 : 1) x (flipped ? 2 : 1); m = m1 x (negative ? 2 : 1).
int64_t OrientationMultiplier(const CompareSettings& settings);
int64_t ComparisonMultiplier(const CompareSettings& settings);

// Both return false when a stop request ended them early; counters then hold
// what was counted until then. The reference rates with the plain loop unless
// given a kernel (every kernel gives the same sums).
bool ComparePairsReference(const PairSpace& space, const CompareSettings& settings,
                           const std::atomic<int>& stopRequested, ComparisonSink& sink,
                           ComparisonCounters& counters,
                           const SadKernel& kernel = *FindSadKernel(SadKernelKind::Plain));

// threads 0: one per processor.
bool ComparePairs(const PairSpace& space, const CompareSettings& settings,
                  const std::atomic<int>& stopRequested, ComparisonSink& sink,
                  ComparisonCounters& counters, int threads = 0);

}  // namespace engine
