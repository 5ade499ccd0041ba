// Whether two pictures are similar, and how.
//
// Two entries are rated by the sum of absolute differences of their 64 x 64
// grey signatures, over up to eight passes (upright, turned, mirrored), and
// retried with the first image negated. Three cheap gates spare most ratings:
// equal brightness, complementary brightness for the negative, and, after the
// rating, similar aspect ratios. One pass:
//
//   sum = sum over i of |a(i) - b(i or 4095 - i)|        (a negated if asked)
//   after the term for i = 1024: if T > (1 - sum / 65536) x 100, stop with n = 1024
//   s = (1 - sum / (64 x n)) x 100, with n = 4096 for a pass that went to the end
//
// A pass matches when s >= T. Everything here is free of allocation and
// state, so a search may test pairs on all cores at once.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/CompareSettings.h"
#include "engine/ImageEntry.h"
#include "engine/SadKernels.h"

namespace engine {

struct RateResult {
  int32_t flip = 0;  // 0 none; 1 against the rows-reversed signature; 2 the other mirrored matches
  int32_t negative = 0;  // 1 when the first image was negated; set by the pair test
  int32_t rotation = 0;  // degree label 0, 90, 180 or 270
};

// One accepted pair. It refers to the entries of its run and lives as long as they do.
struct MatchPair {
  const ImageEntry* first;   // the entry of the outer loop
  const ImageEntry* second;  // the entry of the inner loop
  int32_t similarity;        // percent, truncated
  int32_t flip;
  int32_t negative;
  int32_t rotation;
  int32_t aspectSimilarity;  // percent, truncated
};

// The passes of the enabled orientations in their fixed order, up to the
// first that matches; flip and rotation name that pass, or are 0 when none
// matched. Returns s / 100 of the last pass that ran. Reads the threshold and
// the rotated and flipped flags of the settings; leaves result.negative alone.
double RateSignatures(const ImageEntry& first, const ImageEntry& second, RateResult& result,
                      bool negate, const CompareSettings& settings);
// The same summed by the given kernel.
double RateSignatures(const ImageEntry& first, const ImageEntry& second, RateResult& result,
                      bool negate, const CompareSettings& settings, const SadKernel& kernel);
// The same with every pass the plain loop exactly as written above: the
// reference that the kernels are held to.
double RateSignaturesReference(const ImageEntry& first, const ImageEntry& second,
                               RateResult& result, bool negate, const CompareSettings& settings);

// One pass by itself (a and b are kSignatureBytes long): the plain loop, and
// the same by a kernel. Both return s.
double ReferencePass(const uint8_t* a, const uint8_t* b, bool reversed, bool negate, int threshold);
double KernelPass(const SadKernel& kernel, const uint8_t* a, const uint8_t* b, bool reversed,
                  bool negate, int threshold);
// The same pass of one a against count b's at once, a loaded once for
// several; writes count similarities, each as KernelPass would give it.
void KernelPasses(const SadKernel& kernel, const uint8_t* a, const uint8_t* const* b, int count,
                  bool reversed, bool negate, int threshold, double* similarities);

// One orientation pass: the signatures it holds against each other, whether
// the second is read reversed, and the labels of a match.
struct OrientationPass {
  bool needsRotated;
  bool needsFlipped;
  const Signature ImageEntry::*a;  // of the first image
  const Signature ImageEntry::*b;  // of the second image
  bool reversed;
  int32_t flip;
  int32_t rotation;
};

// The passes the options enable, in the order they are tried; returns how many.
int EnabledPasses(const CompareSettings& settings, OrientationPass (&passes)[8]);

// Whether a pass that went to the end with this sum reaches the threshold.
bool FullPassMatches(uint32_t sum, int threshold);

// The early look as a bound on the sum of the first 1025 terms: a pass goes on
// exactly when that sum is at most this. T <= (1 - sum / 65536) x 100 holds
// exactly when sum <= 65536 x (100 - T) / 100, both sides being exact.
int32_t EarlyLimit(int threshold);

// Where a pair test ended, for the counters of the run and for explaining a
// pair. Which of the three flags are set tells the six outcomes apart.
struct PairOutcome {
  bool gate1Failed = false;    // brightness too different for a plain rating
  bool gate2Failed = false;    // brightness sum too large for a negative rating
  bool negativeRated = false;  // a rating with the first image negated was made
  bool aspectFailed = false;   // the rating reached T but the aspect ratios disagree
  double similarity = 0;       // s of the last rating in percent, 0 without one
  float aspectAgreement = 0;   // A, worked out only once a rating reached T
};

// What one pair adds to the run's counters.
struct ComparisonCounts {
  int64_t unnecessary = 0;
  int64_t done = 0;
  bool operator==(const ComparisonCounts&) const = default;
};

// m1 = (rotated ? 4 : 1) x (flipped ? 2 : 1) and m = m1 x (negative ? 2 : 1).
ComparisonCounts CountComparisons(const PairOutcome& outcome, int64_t m1, int64_t m);

// The pair test with what a run fixes once: threshold, options, brightness
// tolerance, aspect limit and kernel. Holds a copy of the options and no
// other state, so one instance serves every thread of a run.
class PairTest {
 public:
  explicit PairTest(const CompareSettings& settings, const SadKernel& kernel = BestSadKernel());

  // first from the outer loop, second from the inner one. A MatchPair when
  // the pair is accepted; the outcome says where the test ended either way.
  std::optional<MatchPair> Test(const ImageEntry& first, const ImageEntry& second,
                                PairOutcome& outcome) const;

  // ((100 - T) >> 2) + 1, the shift an arithmetic one.
  int brightnessTolerance() const { return tolerance_; }
  // trunc(0.92 x T): the aspect agreement must exceed it.
  int aspectLimit() const { return aspectLimit_; }

 private:
  CompareSettings settings_;
  const SadKernel* kernel_;
  int tolerance_;
  int aspectLimit_;
};

// min(f1, f2) / max(f1, f2) x 100 in single precision, each aspect folded into
// (0, 1] first, so that portrait and landscape of one shape agree fully.
float AspectAgreement(float aspect1, float aspect2);

}  // namespace engine
