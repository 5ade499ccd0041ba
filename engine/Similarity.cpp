#include "engine/Similarity.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace engine {
namespace {

// The early look comes right after the term for i = 1024.
constexpr int kEarlyIndex = 1024;

// In this order; the first pass that matches ends the rating.
constexpr OrientationPass kPasses[] = {
    {false, false, &ImageEntry::signature, &ImageEntry::signature, false, 0, 0},
    {true, false, &ImageEntry::signature, &ImageEntry::signature, true, 0, 180},
    {true, false, &ImageEntry::signature, &ImageEntry::signatureQuarter, false, 0, 270},
    {true, false, &ImageEntry::signature, &ImageEntry::signatureQuarter, true, 0, 90},
    {false, true, &ImageEntry::signature, &ImageEntry::signatureMirror, false, 1, 0},
    {false, true, &ImageEntry::signature, &ImageEntry::signatureMirror, true, 2, 0},
    {true, true, &ImageEntry::signatureQuarter, &ImageEntry::signatureMirror, false, 2, 90},
    {true, true, &ImageEntry::signatureQuarter, &ImageEntry::signatureMirror, true, 2, 270},
};

template <class Pass>
double RateWith(const Pass& pass, const ImageEntry& first, const ImageEntry& second,
                RateResult& result, bool negate, const CompareSettings& settings) {
  const int threshold = settings.m_similarity;
  const bool rotated = settings.m_search_rotated != 0;
  const bool flipped = settings.m_search_flipped != 0;
  double s = 0;
  for (const OrientationPass& plan : kPasses) {
    if ((plan.needsRotated && !rotated) || (plan.needsFlipped && !flipped)) continue;
    result.flip = plan.flip;
    result.rotation = plan.rotation;
    s = pass((first.*plan.a).data(), (second.*plan.b).data(), plan.reversed, negate, threshold);
    if (s >= threshold) return s / 100;
  }
  result.flip = 0;
  result.rotation = 0;
  return s / 100;
}

// Rounds to single precision even where floats are carried wider (x87): a
// stored float has been rounded.
float Single(float value) {
  volatile float stored = value;
  return stored;
}

}  // namespace

// Every value below is exact in double: a sum stays under 2^20 and the
// divisors are powers of two. So the kernels, which only sum differently and
// take the early look as a bound on the sum (EarlyLimit), reach the very same
// decisions and similarities as this loop.
double ReferencePass(const uint8_t* a, const uint8_t* b, bool reversed, bool negate,
                     int threshold) {
  int32_t sum = 0;
  int n = kSignatureBytes;
  for (int i = 0; i < kSignatureBytes; ++i) {
    const int ai = negate ? (256 - a[i]) % 256 : a[i];
    const int bi = reversed ? b[kSignatureBytes - 1 - i] : b[i];
    sum += std::abs(ai - bi);
    if (i == kEarlyIndex && threshold > (1 - sum / 65536.0) * 100) {
      n = kEarlyIndex;
      break;
    }
  }
  return (1 - sum / (64.0 * n)) * 100;
}

int EnabledPasses(const CompareSettings& settings, OrientationPass (&passes)[8]) {
  int count = 0;
  for (const OrientationPass& plan : kPasses) {
    if ((plan.needsRotated && !settings.m_search_rotated) ||
        (plan.needsFlipped && !settings.m_search_flipped))
      continue;
    passes[count++] = plan;
  }
  return count;
}

bool FullPassMatches(uint32_t sum, int threshold) {
  return (1 - static_cast<int32_t>(sum) / (64.0 * kSignatureBytes)) * 100 >= threshold;
}

int32_t EarlyLimit(int threshold) {
  const int64_t scaled = 65536 * (100 - static_cast<int64_t>(threshold));
  // Every sum is at least 0, so a negative bound stops every pass.
  if (scaled < 0) return -1;
  return static_cast<int32_t>(std::min<int64_t>(scaled / 100, INT32_MAX));
}

namespace {

double EarlySimilarity(uint32_t sum) {
  return (1 - static_cast<int32_t>(sum) / (64.0 * kEarlyIndex)) * 100;
}
double FullSimilarity(uint32_t sum) {
  return (1 - static_cast<int32_t>(sum) / (64.0 * kSignatureBytes)) * 100;
}

double PassWithLimit(const SadKernel& kernel, const uint8_t* a, const uint8_t* b, bool reversed,
                     bool negate, int32_t earlyLimit) {
  uint32_t sum = 0;
  return kernel.pass(a, b, negate, reversed, earlyLimit, &sum) ? FullSimilarity(sum)
                                                               : EarlySimilarity(sum);
}

}  // namespace

double KernelPass(const SadKernel& kernel, const uint8_t* a, const uint8_t* b, bool reversed,
                  bool negate, int threshold) {
  return PassWithLimit(kernel, a, b, reversed, negate, EarlyLimit(threshold));
}

void KernelPasses(const SadKernel& kernel, const uint8_t* a, const uint8_t* const* b, int count,
                  bool reversed, bool negate, int threshold, double* similarities) {
  const int32_t limit = EarlyLimit(threshold);
  // The kernels want whole vectors: [0, 1024) and [1024, 4096), with the term
  // for i = 1024 added by itself for the early look.
  const int ai = negate ? static_cast<uint8_t>(-a[kEarlyIndex]) : a[kEarlyIndex];
  const int bIndex = reversed ? kSignatureBytes - 1 - kEarlyIndex : kEarlyIndex;
  constexpr int kChunk = 4;  // on the stack: nothing is allocated per pair
  for (int first = 0; first < count; first += kChunk) {
    const int n = std::min(kChunk, count - first);
    uint32_t heads[kChunk], rests[kChunk];
    const uint8_t* goingOn[kChunk];
    int goingOnIndex[kChunk], going = 0;
    kernel.sums({a, b + first, n, 0, kEarlyIndex, negate, reversed}, heads);
    for (int k = 0; k < n; ++k) {
      const uint32_t early = heads[k] + static_cast<uint32_t>(std::abs(ai - b[first + k][bIndex]));
      if (static_cast<int64_t>(early) > limit) {
        similarities[first + k] = EarlySimilarity(early);
      } else {
        goingOn[going] = b[first + k];
        goingOnIndex[going++] = k;
      }
    }
    if (going == 0) continue;
    kernel.sums({a, goingOn, going, kEarlyIndex, kSignatureBytes, negate, reversed}, rests);
    for (int k = 0; k < going; ++k) {
      const int index = goingOnIndex[k];
      similarities[first + index] = FullSimilarity(heads[index] + rests[k]);
    }
  }
}

double RateSignatures(const ImageEntry& first, const ImageEntry& second, RateResult& result,
                      bool negate, const CompareSettings& settings, const SadKernel& kernel) {
  const int32_t limit = EarlyLimit(settings.m_similarity);
  return RateWith(
      [&kernel, limit](const uint8_t* a, const uint8_t* b, bool reversed, bool neg, int) {
        return PassWithLimit(kernel, a, b, reversed, neg, limit);
      },
      first, second, result, negate, settings);
}

double RateSignatures(const ImageEntry& first, const ImageEntry& second, RateResult& result,
                      bool negate, const CompareSettings& settings) {
  return RateSignatures(first, second, result, negate, settings, BestSadKernel());
}

double RateSignaturesReference(const ImageEntry& first, const ImageEntry& second,
                               RateResult& result, bool negate, const CompareSettings& settings) {
  return RateWith(ReferencePass, first, second, result, negate, settings);
}

float AspectAgreement(float aspect1, float aspect2) {
  const float folded1 = aspect1 > 1 ? Single(1 / aspect1) : aspect1;
  const float folded2 = aspect2 > 1 ? Single(1 / aspect2) : aspect2;
  const float ratio = Single(std::min(folded1, folded2) / std::max(folded1, folded2));
  return Single(ratio * 100);
}

ComparisonCounts CountComparisons(const PairOutcome& outcome, int64_t m1, int64_t m) {
  if (outcome.gate1Failed) {
    if (outcome.gate2Failed) return {2 * m1, 2 * m1};
    if (outcome.negativeRated) return {m1, m1 + m};
    return {m1, m1};
  }
  if (outcome.gate2Failed) return {m1, m1};
  return {0, m};
}

PairTest::PairTest(const CompareSettings& settings, const SadKernel& kernel)
    : settings_(settings),
      kernel_(&kernel),
      tolerance_(((100 - settings.m_similarity) >> 2) + 1),
      aspectLimit_(static_cast<int>(0.92 * settings.m_similarity)) {
  // The run has no use for the paths here.
  settings_.Path1.clear();
  settings_.Path2.clear();
}

std::optional<MatchPair> PairTest::Test(const ImageEntry& first, const ImageEntry& second,
                                        PairOutcome& outcome) const {
  outcome = PairOutcome{};
  const int threshold = settings_.m_similarity;
  const bool negativeSearch = settings_.m_search_negative != 0;
  RateResult result;
  double s = 0;

  if (std::abs(first.brightness - second.brightness) <= tolerance_) {
    result.negative = 0;
    s = 100 * RateSignatures(first, second, result, false, settings_, *kernel_);
  } else {
    outcome.gate1Failed = true;
    if (!negativeSearch) return std::nullopt;
  }

  if (s < threshold && negativeSearch) {
    // Signed on purpose: only a sum that is too large fails.
    if (first.brightness + second.brightness - 100 <= tolerance_) {
      result.negative = 1;
      s = 100 * RateSignatures(first, second, result, true, settings_, *kernel_);
      outcome.negativeRated = true;
    } else {
      outcome.gate2Failed = true;
      outcome.similarity = s;
      return std::nullopt;
    }
  }
  outcome.similarity = s;

  // Without a rating there is nothing to accept, whatever the threshold
  // (only a threshold of 0 or less would otherwise let such a pair through).
  const bool rated = !outcome.gate1Failed || outcome.negativeRated;
  if (!rated || !(s >= threshold)) return std::nullopt;

  outcome.aspectAgreement = AspectAgreement(first.aspect, second.aspect);
  if (!(outcome.aspectAgreement > aspectLimit_)) {
    outcome.aspectFailed = true;
    return std::nullopt;
  }
  return MatchPair{&first,
                   &second,
                   static_cast<int32_t>(s),
                   result.flip,
                   result.negative,
                   result.rotation,
                   static_cast<int32_t>(outcome.aspectAgreement)};
}

}  // namespace engine
