#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/Fingerprint.h"
#include "engine/Similarity.h"
#include "platform/ComThread.h"
#include "platform/Text.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

namespace {

using engine::CompareSettings;
using engine::ImageEntry;
using engine::MatchPair;
using engine::PairOutcome;
using engine::PairTest;
using engine::RateResult;
using engine::SadKernel;
using engine::Signature;

constexpr int kBytes = engine::kSignatureBytes;
constexpr int kSide = engine::kSignatureSide;

// The quarter and mirror layouts as the fingerprint makes them.
void DeriveLayouts(ImageEntry& entry) {
  for (int r = 0; r < kSide; ++r)
    for (int c = 0; c < kSide; ++c) {
      entry.signatureQuarter[kSide * c + (kSide - 1 - r)] = entry.signature[kSide * r + c];
      entry.signatureMirror[kSide * (kSide - 1 - r) + c] = entry.signature[kSide * r + c];
    }
}

ImageEntry MakeEntry(const Signature& signature, int brightness = 50, float aspect = 1.0f) {
  ImageEntry entry = engine::EmptyEntry();
  entry.signature = signature;
  DeriveLayouts(entry);
  entry.brightness = brightness;
  entry.aspect = aspect;
  entry.width = 128;
  entry.height = 128;
  return entry;
}

Signature Filled(uint8_t value) {
  Signature s;
  s.fill(value);
  return s;
}

Signature RandomSignature(std::mt19937& rng) {
  Signature s;
  for (uint8_t& v : s) v = static_cast<uint8_t>(rng());
  return s;
}

CompareSettings Settings(int threshold, bool rotated = false, bool flipped = false,
                         bool negative = false) {
  CompareSettings settings;
  settings.m_similarity = threshold;
  settings.m_search_rotated = rotated;
  settings.m_search_flipped = flipped;
  settings.m_search_negative = negative;
  return settings;
}

// Differences against an all-zero signature: the first 1025 terms add up to
// head, all 4096 to total.
Signature WithSums(int head, int total) {
  Signature s = Filled(0);
  auto spread = [&s](int begin, int end, int sum) {
    for (int i = begin; i < end && sum > 0; ++i) {
      s[i] = static_cast<uint8_t>(std::min(sum, 255));
      sum -= s[i];
    }
  };
  spread(0, 1025, head);
  spread(1025, kBytes, total - head);
  return s;
}

// The reference and every kernel this machine runs, each forced.
struct Rater {
  std::string name;
  std::function<double(const ImageEntry&, const ImageEntry&, RateResult&, bool,
                       const CompareSettings&)>
      rate;
};

std::vector<Rater> AllRaters() {
  std::vector<Rater> raters{{"reference", engine::RateSignaturesReference}};
  for (const SadKernel* kernel : engine::SupportedSadKernels())
    raters.push_back(
        {kernel->name, [kernel](const ImageEntry& f, const ImageEntry& s, RateResult& r,
                                bool negate, const CompareSettings& settings) {
           return engine::RateSignatures(f, s, r, negate, settings, *kernel);
         }});
  return raters;
}

TEST(RateSignatures, SumsAndEarlyAbandon) {
  struct Case {
    const char* name;
    int threshold;
    int head, total;  // sums of the first 1025 and of all differences
    double fraction;  // returned
    bool accepted;
  };
  const Case cases[] = {
      {"identical", 100, 0, 0, 1.0, true},
      {"exactly 75", 75, 16384, 65536, 0.75, true},
      {"one more than 75", 75, 16384, 65537, 196607.0 / 262144, false},
      // 16 everywhere: the early value 74.975... stops the pass although the
      // whole sum of 65536 would give exactly 75.
      {"16 everywhere", 75, 16400, 65536, 49136.0 / 65536, false},
      {"early value at 90", 90, 6554, 26214, 58982.0 / 65536, false},
      {"just under the early limit at 90", 90, 6553, 26214, 235930.0 / 262144, true},
  };
  for (const Rater& rater : AllRaters()) {
    for (const Case& c : cases) {
      SCOPED_TRACE(rater.name + ": " + c.name);
      Signature second = c.head == 16400 ? Filled(16) : WithSums(c.head, c.total);
      const ImageEntry f = MakeEntry(Filled(0)), s = MakeEntry(second);
      RateResult result;
      EXPECT_EQ(rater.rate(f, s, result, false, Settings(c.threshold)), c.fraction);
    }
  }
  // Acceptance follows the pass.
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Signature second = c.head == 16400 ? Filled(16) : WithSums(c.head, c.total);
    const ImageEntry f = MakeEntry(Filled(0)), s = MakeEntry(second);
    PairOutcome outcome;
    const auto pair = PairTest(Settings(c.threshold)).Test(f, s, outcome);
    EXPECT_EQ(pair.has_value(), c.accepted);
    EXPECT_EQ(outcome.similarity, c.fraction * 100);
    if (pair) {
      EXPECT_EQ(pair->similarity, static_cast<int>(c.fraction * 100));
    }
  }
}

// The second image made from the first by each of the eight orientations.
struct Orientation {
  const char* name;
  int (*source)(int r, int c);  // the index of the first image a cell is taken from
  bool needsRotated, needsFlipped;
  int flip, rotation;
};

const Orientation kOrientations[] = {
    {"same", [](int r, int c) { return kSide * r + c; }, false, false, 0, 0},
    {"turned 180", [](int r, int c) { return kSide * (63 - r) + (63 - c); }, true, false, 0, 180},
    {"turned 90 clockwise", [](int r, int c) { return kSide * (63 - c) + r; }, true, false, 0, 90},
    {"turned 270 clockwise", [](int r, int c) { return kSide * c + (63 - r); }, true, false, 0,
     270},
    {"upside down", [](int r, int c) { return kSide * (63 - r) + c; }, false, true, 1, 0},
    {"left to right", [](int r, int c) { return kSide * r + (63 - c); }, false, true, 2, 0},
    {"anti-transposed", [](int r, int c) { return kSide * (63 - c) + (63 - r); }, true, true, 2,
     90},
    {"transposed", [](int r, int c) { return kSide * c + r; }, true, true, 2, 270},
};

TEST(RateSignatures, EachOrientationOnlyWithItsOptions) {
  std::mt19937 rng(7);
  const Signature upright = RandomSignature(rng);
  const ImageEntry first = MakeEntry(upright);
  for (const Orientation& o : kOrientations) {
    Signature turned;
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c) turned[kSide * r + c] = upright[o.source(r, c)];
    const ImageEntry second = MakeEntry(turned);
    for (int options = 0; options < 4; ++options) {
      const bool rotated = options & 1, flipped = options & 2;
      const bool found = (rotated || !o.needsRotated) && (flipped || !o.needsFlipped);
      for (const Rater& rater : AllRaters()) {
        SCOPED_TRACE(std::string(o.name) + " rotated=" + std::to_string(rotated) +
                     " flipped=" + std::to_string(flipped) + " " + rater.name);
        RateResult result{9, 9, 9};
        const double s = rater.rate(first, second, result, false, Settings(90, rotated, flipped));
        EXPECT_EQ(s == 1.0, found);
        EXPECT_EQ(result.flip, found ? o.flip : 0);
        EXPECT_EQ(result.rotation, found ? o.rotation : 0);
        EXPECT_EQ(result.negative, 9);  // the pair test's business
      }
    }
  }
}

TEST(RateSignatures, FailedRatingReturnsTheLastPassAndResetsLabels) {
  // Against zeros, the quarter layout read reversed (pass 4) meets its zero
  // tail first and runs to the end; every other pass stops early.
  Signature quarter = Filled(30);
  std::fill(quarter.end() - 1025, quarter.end(), 0);
  ImageEntry second = MakeEntry(Filled(20));
  second.signatureQuarter = quarter;
  const ImageEntry first = MakeEntry(Filled(0));
  for (const Rater& rater : AllRaters()) {
    SCOPED_TRACE(rater.name);
    RateResult result;
    EXPECT_EQ(rater.rate(first, second, result, false, Settings(90, true)),
              (262144.0 - 3071 * 30) / 262144);
    EXPECT_EQ(result.flip, 0);
    EXPECT_EQ(result.rotation, 0);
  }
}

TEST(RateSignatures, NegationIsTwosComplement) {
  // 1 negated is 255 and 0 stays 0: a (256 - a) negation, not 255 - a.
  Signature ones = Filled(1), zeros = Filled(0);
  for (int i = 0; i < kBytes; i += 2) ones[i] = 0;
  Signature expected = ones;
  for (uint8_t& v : expected) v = v ? 255 : 0;
  for (const Rater& rater : AllRaters()) {
    SCOPED_TRACE(rater.name);
    RateResult result;
    EXPECT_EQ(rater.rate(MakeEntry(ones), MakeEntry(expected), result, true, Settings(100)), 1.0);
    EXPECT_EQ(rater.rate(MakeEntry(zeros), MakeEntry(zeros), result, true, Settings(100)), 1.0);
  }
}

ImageEntry Shaped(int brightness, float aspect = 1.0f) {
  return MakeEntry(Filled(100), brightness, aspect);
}

TEST(PairTest, BrightnessTolerance) {
  struct Case {
    int threshold, tolerance, brightness1, brightness2;
    bool rated;
  };
  const Case cases[] = {
      {90, 3, 40, 43, true},  {90, 3, 40, 44, false},  {90, 3, 44, 40, false},
      {100, 1, 50, 51, true}, {100, 1, 51, 50, true},  {100, 1, 50, 52, false},
      {40, 16, 10, 26, true}, {40, 16, 10, 27, false}, {95, 2, 0, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "T=" << c.threshold << " " << c.brightness1 << " vs " << c.brightness2);
    const PairTest test(Settings(c.threshold));
    EXPECT_EQ(test.brightnessTolerance(), c.tolerance);
    PairOutcome outcome;
    const auto pair = test.Test(Shaped(c.brightness1), Shaped(c.brightness2), outcome);
    EXPECT_EQ(pair.has_value(), c.rated);
    EXPECT_EQ(outcome.gate1Failed, !c.rated);
  }
}

TEST(PairTest, AspectGate) {
  struct Case {
    int threshold;
    float aspect1, aspect2;
    float agreement;  // A
    bool accepted;
  };
  const Case cases[] = {
      {90, 0.5f, 0.41f, 82.0f, false},  // exactly the limit is not enough
      {90, 1.0f, 0.8201f, 82.01f, true},
      {90, 400.0f / 300, 300.0f / 400, 100.0f, true},  // portrait and landscape fold alike
      {90, 2.0f, 0.5f, 100.0f, true},
      {100, 1.0f, 0.93f, 93.0f, true},  // limit 92
      {100, 1.0f, 0.92f, 92.0f, false},
      {40, 1.0f, 0.37f, 37.0f, true},  // limit 36
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "T=" << c.threshold << " " << c.aspect1 << " vs " << c.aspect2);
    PairOutcome outcome;
    const auto pair =
        PairTest(Settings(c.threshold)).Test(Shaped(50, c.aspect1), Shaped(50, c.aspect2), outcome);
    EXPECT_FLOAT_EQ(outcome.aspectAgreement, c.agreement);
    EXPECT_EQ(pair.has_value(), c.accepted);
    EXPECT_EQ(outcome.aspectFailed, !c.accepted);
    if (pair) {
      EXPECT_EQ(pair->aspectSimilarity, static_cast<int>(c.agreement));
    }
  }
  EXPECT_EQ(engine::AspectAgreement(0.5f, 0.41f), 82.0f);  // not a hair above
  EXPECT_EQ(PairTest(Settings(90)).aspectLimit(), 82);
}

TEST(PairTest, AcceptedPairCarriesItsEntriesAndLabels) {
  std::mt19937 rng(3);
  const Signature upright = RandomSignature(rng);
  Signature turned;
  for (int i = 0; i < kBytes; ++i) turned[i] = upright[kBytes - 1 - i];
  const ImageEntry first = MakeEntry(upright, 40, 1.5f), second = MakeEntry(turned, 42, 1.5f);
  PairOutcome outcome;
  const auto pair = PairTest(Settings(90, true)).Test(first, second, outcome);
  ASSERT_TRUE(pair);
  EXPECT_EQ(pair->first, &first);
  EXPECT_EQ(pair->second, &second);
  EXPECT_EQ(pair->similarity, 100);
  EXPECT_EQ(pair->rotation, 180);
  EXPECT_EQ(pair->flip, 0);
  EXPECT_EQ(pair->negative, 0);
  EXPECT_EQ(pair->aspectSimilarity, 100);
}

// The six outcomes of the pair test, each made by a real pair, and what each
// adds to the run's counters (rotation search: m1 = 4; m = 8 with negative search).
TEST(PairTest, OutcomesAndCounts) {
  Signature dark = Filled(60), light = Filled(196);  // 196 = 256 - 60: the negative of dark
  struct Case {
    const char* name;
    bool negativeSearch;
    Signature s1, s2;
    int brightness1, brightness2;
    bool gate1Failed, gate2Failed, negativeRated, accepted;
    int64_t unnecessary, done;
  };
  const Case cases[] = {
      {"gate 1 failed, negative search off", false, dark, light, 23, 76, true, false, false, false,
       4, 4},
      {"gate 1 failed, gate 2 failed", true, dark, light, 50, 70, true, true, false, false, 8, 8},
      {"gate 1 failed, negative rated", true, dark, light, 23, 76, true, false, true, true, 4, 12},
      // Gate 2 is signed: a sum far below 100 passes it.
      {"gate 1 failed, dark pair negative rated", true, dark, light, 10, 20, true, false, true,
       true, 4, 12},
      {"gate 1 passed, matched", true, dark, dark, 23, 23, false, false, false, true, 0, 8},
      {"gate 1 passed, negative search off", false, dark, light, 50, 50, false, false, false, false,
       0, 4},
      {"rating below T, gate 2 failed", true, dark, light, 60, 60, false, true, false, false, 4, 4},
      {"rating below T, negative rated", true, dark, light, 48, 50, false, false, true, true, 0, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PairOutcome outcome;
    const auto pair =
        PairTest(Settings(90, true, false, c.negativeSearch))
            .Test(MakeEntry(c.s1, c.brightness1), MakeEntry(c.s2, c.brightness2), outcome);
    const int64_t m = c.negativeSearch ? 8 : 4;
    EXPECT_EQ(outcome.gate1Failed, c.gate1Failed);
    EXPECT_EQ(outcome.gate2Failed, c.gate2Failed);
    EXPECT_EQ(outcome.negativeRated, c.negativeRated);
    EXPECT_EQ(pair.has_value(), c.accepted);
    if (pair) {
      EXPECT_EQ(pair->negative, c.negativeRated ? 1 : 0);
    }
    EXPECT_EQ(engine::CountComparisons(outcome, 4, m),
              (engine::ComparisonCounts{c.unnecessary, c.done}));
  }
  // Without negative search m = m1.
  PairOutcome failed;
  failed.gate1Failed = true;
  EXPECT_EQ(engine::CountComparisons(failed, 8, 8), (engine::ComparisonCounts{8, 8}));
  EXPECT_EQ(engine::CountComparisons(PairOutcome{}, 8, 8), (engine::ComparisonCounts{0, 8}));
}

TEST(PairTest, NoRatingNoMatchWhateverTheThreshold) {
  // A threshold of 0 from a hand-edited settings file: a pair that no gate
  // let through to a rating still is not a match.
  PairOutcome outcome;
  EXPECT_FALSE(PairTest(Settings(0, false, false, true)).Test(Shaped(10), Shaped(90), outcome));
  EXPECT_TRUE(outcome.gate1Failed);
  EXPECT_TRUE(PairTest(Settings(0)).Test(Shaped(10), Shaped(10), outcome));
}

// Every kernel against the plain sums: random data, every request shape,
// odd ranges, batches of one to six.
TEST(SadKernels, AgreeWithThePlainSums) {
  std::mt19937 rng(11);
  std::vector<Signature> signatures;
  for (int k = 0; k < 7; ++k) signatures.push_back(RandomSignature(rng));
  signatures.push_back(Filled(0));
  signatures.push_back(Filled(255));  // the largest sums
  const SadKernel& plain = *engine::FindSadKernel(engine::SadKernelKind::Plain);
  for (const SadKernel* kernel : engine::SupportedSadKernels()) {
    SCOPED_TRACE(kernel->name);
    for (int trial = 0; trial < 400; ++trial) {
      const int count = 1 + trial % 6;
      std::vector<const uint8_t*> b;
      for (int k = 0; k < count; ++k) b.push_back(signatures[rng() % signatures.size()].data());
      int begin = static_cast<int>(rng() % (kBytes + 1)),
          end = static_cast<int>(rng() % (kBytes + 1));
      if (trial % 5 == 0) begin = 0, end = kBytes;
      if (begin > end) std::swap(begin, end);
      const engine::SadRequest request{signatures[rng() % signatures.size()].data(),
                                       b.data(),
                                       count,
                                       begin,
                                       end,
                                       (rng() & 1) != 0,
                                       (rng() & 1) != 0};
      std::vector<uint32_t> expected(count), actual(count, 0xDEADBEEF);
      plain.sums(request, expected.data());
      kernel->sums(request, actual.data());
      ASSERT_EQ(actual, expected) << "begin=" << begin << " end=" << end << " count=" << count
                                  << " negate=" << request.negate
                                  << " reversed=" << request.reversed;
    }
  }
}

// A pair whose term i (in pass order) differs by exactly d[i], for the
// given negation and reading order.
std::pair<Signature, Signature> PairWithDifferences(const std::vector<int>& d, bool negate,
                                                    bool reversed, std::mt19937& rng) {
  Signature a, b;
  for (int i = 0; i < kBytes; ++i) {
    const int shown = static_cast<int>(rng() % (256 - d[i]));  // a as the pass sees it
    const bool up = rng() & 1;
    const int x = up ? shown : shown + d[i];
    a[i] = static_cast<uint8_t>(negate ? -x : x);
    b[reversed ? kBytes - 1 - i : i] = static_cast<uint8_t>(up ? x + d[i] : x - d[i]);
  }
  return {a, b};
}

// Differences of at most 255 that add up to sum over [begin, end).
void Spread(std::vector<int>& d, int begin, int end, int sum, std::mt19937& rng) {
  const int n = end - begin;
  for (int i = begin; i < end; ++i)
    d[i] = std::min(255, static_cast<int>(rng() % (2 * sum / n + 1)));
  int current = 0;
  for (int i = begin; i < end; ++i) current += d[i];
  while (current != sum) {
    int& v = d[begin + rng() % n];
    if (current < sum && v < 255) ++v, ++current;
    if (current > sum && v > 0) --v, --current;
  }
}

TEST(SadKernels, PassesMatchTheReferenceAtTheEarlyLimit) {
  // For every threshold, early sums on both sides of where the plain loop
  // stops: the kernels' bound on the sum must split them the same way.
  std::mt19937 rng(5);
  for (int threshold = 0; threshold <= 101; ++threshold) {
    int limit = -1;  // the largest early sum that goes on
    while (!(threshold > (1 - (limit + 1) / 65536.0) * 100)) ++limit;
    EXPECT_EQ(engine::EarlyLimit(threshold), limit) << "T=" << threshold;
    for (int head = std::max(0, limit); head <= limit + 1; ++head) {
      for (int shape = 0; shape < 4; ++shape) {
        const bool negate = shape & 1, reversed = shape & 2;
        std::vector<int> d(kBytes);
        Spread(d, 0, 1025, head, rng);
        const int rest = static_cast<int>(rng() % 40000);
        Spread(d, 1025, kBytes, rest, rng);
        const auto [a, b] = PairWithDifferences(d, negate, reversed, rng);
        const double expected =
            engine::ReferencePass(a.data(), b.data(), reversed, negate, threshold);
        ASSERT_EQ(expected,
                  head > limit ? (1 - head / 65536.0) * 100 : (1 - (head + rest) / 262144.0) * 100)
            << "T=" << threshold << " head=" << head;
        for (const SadKernel* kernel : engine::SupportedSadKernels())
          ASSERT_EQ(engine::KernelPass(*kernel, a.data(), b.data(), reversed, negate, threshold),
                    expected)
              << kernel->name << " T=" << threshold << " head=" << head;
      }
    }
  }
}

TEST(SadKernels, BatchPassesMatchSinglePasses) {
  // One a against batches of one to nine b's: near copies that run to the
  // end, unlike ones that stop early, in every reading.
  std::mt19937 rng(17);
  const Signature a = RandomSignature(rng);
  for (int trial = 0; trial < 60; ++trial) {
    const int count = 1 + trial % 9;
    const bool negate = rng() & 1, reversed = rng() & 1;
    const int threshold = 40 + 5 * static_cast<int>(rng() % 13);
    std::vector<Signature> bs(count);
    std::vector<const uint8_t*> b;
    for (Signature& s : bs) {
      const int noise = static_cast<int>(rng() % 40);
      for (int i = 0; i < kBytes; ++i) {
        const int seen = negate ? static_cast<uint8_t>(-a[i]) : a[i];
        const int v = std::clamp(seen + static_cast<int>(rng() % (2 * noise + 1)) - noise, 0, 255);
        s[reversed ? kBytes - 1 - i : i] = static_cast<uint8_t>(v);
      }
      b.push_back(s.data());
    }
    for (const SadKernel* kernel : engine::SupportedSadKernels()) {
      std::vector<double> batch(count, -1000);
      engine::KernelPasses(*kernel, a.data(), b.data(), count, reversed, negate, threshold,
                           batch.data());
      for (int k = 0; k < count; ++k)
        ASSERT_EQ(batch[k], engine::ReferencePass(a.data(), b[k], reversed, negate, threshold))
            << kernel->name << " trial " << trial << " pair " << k;
    }
  }
}

TEST(SadKernels, RatingsMatchTheReference) {
  // Noisy copies in every orientation, so that passes stop early, run to the
  // end, match and fail in all combinations.
  std::mt19937 rng(13);
  for (int trial = 0; trial < 300; ++trial) {
    const Signature upright = RandomSignature(rng);
    const Orientation& o = kOrientations[rng() % 8];
    const int noise = 1 + static_cast<int>(rng() % 24);
    const bool negated = rng() % 4 == 0;
    Signature other;
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c) {
        int v = upright[o.source(r, c)] + static_cast<int>(rng() % (2 * noise + 1)) - noise;
        v = std::clamp(v, 0, 255);
        other[kSide * r + c] = static_cast<uint8_t>(negated ? -v : v);
      }
    const ImageEntry first = MakeEntry(upright), second = MakeEntry(other);
    const CompareSettings settings =
        Settings(40 + 5 * static_cast<int>(rng() % 13), true, true, true);
    for (bool negate : {false, true}) {
      RateResult expectedResult;
      const double expected =
          engine::RateSignaturesReference(first, second, expectedResult, negate, settings);
      for (const SadKernel* kernel : engine::SupportedSadKernels()) {
        RateResult result;
        ASSERT_EQ(engine::RateSignatures(first, second, result, negate, settings, *kernel),
                  expected)
            << kernel->name << " trial " << trial;
        ASSERT_EQ(result.flip, expectedResult.flip);
        ASSERT_EQ(result.rotation, expectedResult.rotation);
      }
    }
  }
}

TEST(SadKernels, BestIsSupported) {
  const auto kernels = engine::SupportedSadKernels();
  ASSERT_FALSE(kernels.empty());
  EXPECT_EQ(kernels.front()->kind, engine::SadKernelKind::Plain);
  EXPECT_EQ(&engine::BestSadKernel(), kernels.back());
#if defined(__x86_64__) || defined(__i386__)
  // Every x86 processor this program runs on has SSE2.
  EXPECT_NE(engine::FindSadKernel(engine::SadKernelKind::Sse2), nullptr);
#endif
}

// Real pictures through the entry route: a picture, its turned, mirrored and
// negative copies, each found only with its own option.
class OrientationFiles : public testing::Test {
 protected:
  static constexpr int kWidth = 256, kHeight = 192;
  platform::ComThread com_;
  testsupport::TempFolder folder_;
  engine::SystemPictureServices services_;
  engine::FingerprintCache cache_;

  static testsupport::Rgba Original(int x, int y) {
    return testsupport::Pattern(x, y, kWidth, kHeight, 3);
  }

  // A copy of the original: w x h pixels, each taken from the original by map.
  ImageEntry Entry(const std::wstring& name, int w, int h,
                   const std::function<testsupport::Rgba(int, int)>& pixel) {
    const std::wstring path = folder_ / name;
    EXPECT_TRUE(testsupport::WritePng(path, w, h, pixel));
    ImageEntry entry;
    EXPECT_TRUE(
        engine::GetOrBuildEntry(cache_, services_, engine::SignatureRule::DecoderThumbnail, path,
                                platform::FileEntry(path).value_or(platform::DirEntry{}), entry));
    return entry;
  }
};

TEST_F(OrientationFiles, EachCopyIsFoundOnlyWithItsOption) {
  const int W = kWidth, H = kHeight;
  const ImageEntry original = Entry(L"original.png", W, H, Original);
  struct Copy {
    const wchar_t* name;
    int w, h;
    std::function<testsupport::Rgba(int, int)> pixel;
    int option;  // 1 rotated, 2 flipped, 4 negative
    int flip, negative, rotation;
  };
  const Copy copies[] = {
      {L"turned-90.png", H, W, [&](int x, int y) { return Original(y, H - 1 - x); }, 1, 0, 0, 90},
      {L"turned-180.png", W, H, [&](int x, int y) { return Original(W - 1 - x, H - 1 - y); }, 1, 0,
       0, 180},
      {L"turned-270.png", H, W, [&](int x, int y) { return Original(W - 1 - y, x); }, 1, 0, 0, 270},
      {L"upside-down.png", W, H, [&](int x, int y) { return Original(x, H - 1 - y); }, 2, 1, 0, 0},
      {L"left-to-right.png", W, H, [&](int x, int y) { return Original(W - 1 - x, y); }, 2, 2, 0,
       0},
      {L"negative.png", W, H,
       [&](int x, int y) {
         const testsupport::Rgba p = Original(x, y);
         return testsupport::Rgba{static_cast<uint8_t>(255 - p.r), static_cast<uint8_t>(255 - p.g),
                                  static_cast<uint8_t>(255 - p.b), 255};
       },
       4, 0, 1, 0},
  };
  for (const Copy& copy : copies) {
    const ImageEntry turned = Entry(copy.name, copy.w, copy.h, copy.pixel);
    for (int options = 0; options < 8; ++options) {
      SCOPED_TRACE(testing::Message() << platform::ToUtf8(copy.name) << " options " << options);
      PairOutcome outcome;
      const auto pair = PairTest(Settings(90, options & 1, options & 2, options & 4))
                            .Test(original, turned, outcome);
      ASSERT_EQ(pair.has_value(), (options & copy.option) != 0) << outcome.similarity;
      if (!pair) continue;
      EXPECT_EQ(pair->flip, copy.flip);
      EXPECT_EQ(pair->negative, copy.negative);
      EXPECT_EQ(pair->rotation, copy.rotation);
      EXPECT_EQ(pair->aspectSimilarity, 100);
      EXPECT_GE(pair->similarity, 90);
    }
  }
}

}  // namespace
