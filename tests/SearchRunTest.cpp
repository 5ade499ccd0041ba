#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <map>
#include <mutex>

#include "comparewindow/ResultColumns.h"
#include "engine/ComparisonPhase.h"
#include "engine/NullSearchWindow.h"
#include "engine/RunTexts.h"
#include "engine/SearchRun.h"
#include "platform/Text.h"
#include "tests/support/ForwardingServices.h"
#include "tests/support/PngWriter.h"
#include "tests/support/SyntheticEntries.h"
#include "tests/support/TempFolder.h"

namespace {

using engine::CompareSettings;
using engine::ImageEntry;
using engine::MatchPair;

CompareSettings Options(int threshold, bool rotated, bool flipped, bool negative) {
  CompareSettings settings;
  settings.m_similarity = threshold;
  settings.m_search_rotated = rotated;
  settings.m_search_flipped = flipped;
  settings.m_search_negative = negative;
  return settings;
}

class CollectingSink : public engine::ComparisonSink {
 public:
  std::vector<MatchPair> pairs;
  int progressCalls = 0;
  void Accepted(std::span<const MatchPair> batch) override {
    pairs.insert(pairs.end(), batch.begin(), batch.end());
  }
  void Progress(int64_t) override { ++progressCalls; }
};

std::vector<const ImageEntry*> Pointers(const std::vector<ImageEntry>& entries) {
  std::vector<const ImageEntry*> out;
  for (const ImageEntry& e : entries) out.push_back(&e);
  return out;
}

bool SamePair(const MatchPair& a, const MatchPair& b) {
  return a.first == b.first && a.second == b.second && a.similarity == b.similarity &&
         a.flip == b.flip && a.negative == b.negative && a.rotation == b.rotation &&
         a.aspectSimilarity == b.aspectSimilarity;
}

// The fast phase against the plain loops: the same pairs in the same order and
// the same counters, for every option combination, both modes and odd thread counts.
TEST(ComparisonPhase, FastEqualsReferenceForEveryOptionAndMode) {
  testsupport::SyntheticOptions options;
  options.count = 260;
  options.duplicateShare = 0.15;
  options.seed = 7;
  const auto set = testsupport::MakeSyntheticEntries(options);
  const auto entries = Pointers(set.entries);
  const std::atomic<int> noStop{0};
  for (int threshold : {90, 75}) {
    for (int bits = 0; bits < 8; ++bits) {
      const CompareSettings settings = Options(threshold, bits & 1, bits & 2, bits & 4);
      for (bool twoSets : {false, true}) {
        const engine::PairSpace space{entries, twoSets, twoSets ? 97u : 0u};
        CollectingSink reference, fast;
        engine::ComparisonCounters referenceCounts, fastCounts;
        // Any kernel gives the plain loop's sums; the fastest keeps the test quick.
        ASSERT_TRUE(engine::ComparePairsReference(space, settings, noStop, reference, referenceCounts,
                                                  engine::BestSadKernel()));
        ASSERT_TRUE(engine::ComparePairs(space, settings, noStop, fast, fastCounts, 3));
        SCOPED_TRACE(testing::Message() << "T " << threshold << " options " << bits << " two sets "
                                        << twoSets);
        EXPECT_EQ(fastCounts, referenceCounts);
        ASSERT_EQ(fast.pairs.size(), reference.pairs.size());
        for (size_t k = 0; k < fast.pairs.size(); ++k)
          EXPECT_TRUE(SamePair(fast.pairs[k], reference.pairs[k])) << "pair " << k;
        EXPECT_GT(reference.pairs.size(), 0u);
      }
    }
  }
}

TEST(ComparisonPhase, PlantedCopiesAreFoundWithTheirMarks) {
  testsupport::SyntheticOptions options;
  options.count = 400;
  options.duplicateShare = 0.1;
  const auto set = testsupport::MakeSyntheticEntries(options);
  const auto entries = Pointers(set.entries);
  const std::atomic<int> noStop{0};
  CollectingSink sink;
  engine::ComparisonCounters counts;
  ASSERT_TRUE(engine::ComparePairs({entries, false, 0}, Options(90, true, true, true), noStop, sink,
                                   counts));
  std::map<std::pair<const ImageEntry*, const ImageEntry*>, MatchPair> found;
  for (const MatchPair& p : sink.pairs) found[{p.first, p.second}] = p;
  for (const auto& copy : set.copies) {
    auto it = found.find({&set.entries[copy.original], &set.entries[copy.copy]});
    ASSERT_NE(it, found.end()) << copy.original << " " << copy.copy;
    switch (copy.kind) {
      case testsupport::CopyKind::Negative: EXPECT_EQ(it->second.negative, 1); break;
      case testsupport::CopyKind::Turned180: EXPECT_EQ(it->second.rotation, 180); break;
      case testsupport::CopyKind::TurnedQuarter: EXPECT_NE(it->second.rotation, 0); break;
      case testsupport::CopyKind::Mirrored: EXPECT_EQ(it->second.flip, 1); break;
      case testsupport::CopyKind::Similar: break;
    }
  }
}

ImageEntry WithBrightness(int brightness, uint8_t fill) {
  ImageEntry e = engine::EmptyEntry();
  e.width = e.height = 100;
  e.signature.fill(fill);
  testsupport::CompleteEntry(e);
  e.brightness = brightness;
  return e;
}

TEST(ComparisonPhase, CountsFollowTheOptions) {
  struct Case {
    const char* name;
    std::vector<int> brightness;
    bool twoSets;
    size_t leftCount;
    CompareSettings settings;
    int64_t total, done, unnecessary;
  };
  const std::vector<Case> cases = {
      {"one picture", {50}, false, 0, Options(90, false, false, false), 0, 0, 0},
      // 6 pairs, m = 4 x 2 x 2; all alike, so every pair is rated and matches.
      {"four with all options", {50, 50, 50, 50}, false, 0, Options(90, true, true, true), 96, 96, 0},
      // 3 x 5 pairs; gate 1 fails everywhere, negative search off: m1 each.
      {"three against five", {10, 10, 10, 60, 60, 60, 60, 60}, true, 3,
       Options(90, false, false, false), 15, 15, 15},
      // Rotation only: a pair failing gate 1 adds 4 and 4.
      {"rotation only", {10, 60}, false, 0, Options(90, true, false, false), 4, 4, 4},
      // T = 90 tolerates 3: 40/43 is rated, 40/44 is not.
      {"tolerance kept", {40, 43}, false, 0, Options(90, false, false, false), 1, 1, 0},
      {"tolerance exceeded", {40, 44}, false, 0, Options(90, false, false, false), 1, 1, 1},
  };
  const std::atomic<int> noStop{0};
  for (const Case& c : cases) {
    std::vector<ImageEntry> entries;
    for (int b : c.brightness) entries.push_back(WithBrightness(b, 100));
    const auto pointers = Pointers(entries);
    const engine::PairSpace space{pointers, c.twoSets, c.leftCount};
    EXPECT_EQ(space.PairCount() * engine::ComparisonMultiplier(c.settings), c.total) << c.name;
    for (bool fast : {false, true}) {
      CollectingSink sink;
      engine::ComparisonCounters counts;
      if (fast)
        engine::ComparePairs(space, c.settings, noStop, sink, counts, 2);
      else
        engine::ComparePairsReference(space, c.settings, noStop, sink, counts);
      EXPECT_EQ(counts.done, c.done) << c.name << (fast ? " fast" : " reference");
      EXPECT_EQ(counts.unnecessary, c.unnecessary) << c.name << (fast ? " fast" : " reference");
      for (const MatchPair& p : sink.pairs) {
        if (c.twoSets) {
          EXPECT_TRUE(p.first < &entries[c.leftCount] && p.second >= &entries[c.leftCount]);
        }
      }
    }
  }
}

TEST(ComparisonPhase, StopEndsBothLoops) {
  testsupport::SyntheticOptions options;
  options.count = 300;
  const auto set = testsupport::MakeSyntheticEntries(options);
  const auto entries = Pointers(set.entries);
  const std::atomic<int> stop{1};
  CollectingSink sink;
  engine::ComparisonCounters counts;
  EXPECT_FALSE(engine::ComparePairsReference({entries, false, 0}, Options(90, 0, 0, 0), stop, sink, counts));
  EXPECT_FALSE(engine::ComparePairs({entries, false, 0}, Options(90, 0, 0, 0), stop, sink, counts));
  EXPECT_TRUE(sink.pairs.empty());
}

TEST(RunTexts, TimesAndReplacements) {
  EXPECT_EQ(engine::RemainingTimeText(0.5, 60000), L"01:00");
  EXPECT_EQ(engine::RemainingTimeText(0.25, 10000), L"00:30");
  EXPECT_EQ(engine::RemainingTimeText(0, 5000), L"--:--");
  EXPECT_EQ(engine::RemainingTimeText(1, 5000), L"00:00");
  EXPECT_EQ(engine::DurationText(75.25), L"01:15.250");
  EXPECT_EQ(engine::DurationText(0), L"00:00.000");
  EXPECT_EQ(engine::PerSecond(10, 0), 0.0);
  std::wstring text = L"1 / sec // 2 / sec // Time";
  engine::ReplaceAll(text, L"/ sec", L"per sec / sec");
  EXPECT_EQ(text, L"1 per sec / sec // 2 per sec / sec // Time");
}

TEST(RunTexts, BusyProgressFollowsItsGenerator) {
  // The process-wide state starts at 5323; each step is x * 8253729 + 2396403.
  uint32_t x = 5323;
  x = x * 8253729u + 2396403u;
  EXPECT_EQ(engine::BusyProgress::NextPosition(), static_cast<int>(x >> 24));
  x = x * 8253729u + 2396403u;
  EXPECT_EQ(engine::BusyProgress::NextPosition(), static_cast<int>(x >> 24));
}

TEST(ResultColumns, CellTextsAndOrder) {
  ImageEntry left = WithBrightness(57, 10), right = WithBrightness(3, 200);
  left.SetPath(L"C:\\pics\\A.jpg");
  right.SetPath(L"c:\\pics\\b.jpg");
  left.width = 640, left.height = 480, left.fileSize = 1536;
  right.width = 100, right.height = 200, right.fileSize = 999;
  const MatchPair pair{&left, &right, 100, 2, 1, 270, 97};
  const engine::TextLookup texts = [](int id) { return L"<" + std::to_wstring(id) + L">"; };
  const wchar_t* expected[] = {L"C:\\pics\\A.jpg", L"c:\\pics\\b.jpg", L"100 %", L"97.00 %",
                               L"640 x 480", L"100 x 200", L"57 %", L"3 %", L"270 \u00b0",
                               L"<300203>", L"<300201>", L"1.5 KB", L"999 Byte"};
  for (int column = 0; column < comparewindow::kColumnCount; ++column)
    EXPECT_EQ(comparewindow::CellText(pair, column, texts), expected[column]) << column;
  EXPECT_EQ(comparewindow::ColumnTitle(0, texts), L"<2006> (1)");
  EXPECT_EQ(comparewindow::ColumnTitle(3, texts), L"Ratio %");

  const MatchPair lower{&right, &left, 90, 0, 0, 0, 90};
  EXPECT_EQ(comparewindow::CompareRows(pair, lower, 2, false), 1);
  EXPECT_EQ(comparewindow::CompareRows(lower, pair, 2, false), 0);
  EXPECT_EQ(comparewindow::CompareRows(lower, pair, 2, true), 1);
  // Rotation, mirror kind and negative sort the other way round.
  EXPECT_EQ(comparewindow::CompareRows(lower, pair, 8, false), 1);
  EXPECT_LT(comparewindow::CompareRows(pair, lower, 0, false), 0);  // "c:\pics\a" < "c:\pics\b"
  EXPECT_EQ(comparewindow::CompareRows(pair, pair, 13, false), 0);
}

// A window that records what the run asks of it.
class RecordingWindow : public engine::NullSearchWindow {
 public:
  std::wstring right, left;
  std::vector<std::wstring> warnings;
  std::vector<const MatchPair*> rows;
  std::wstring lines[3];
  int deletes = 0, sorts = 0;
  bool redraw = true;
  std::vector<bool> runningStates;
  std::function<void(engine::TextLine, const std::wstring&)> onLine;
  std::function<void()> onRow;
  std::mutex mutex;

  std::wstring PathBoxText(engine::PathBox box) override { return box == engine::PathBox::Left ? left : right; }
  void FieldWarning(engine::PathBox, const std::wstring& message) override { warnings.push_back(message); }
  void SetLine(engine::TextLine line, const std::wstring& text) override {
    lines[static_cast<int>(line)] = text;
    if (onLine) onLine(line, text);
  }
  void DeleteAllRows() override {
    ++deletes;
    rows.clear();
  }
  void AppendRow(const MatchPair& pair) override {
    rows.push_back(&pair);
    if (onRow) onRow();
  }
  void SetListRedraw(bool on) override { redraw = on; }
  void SortBy(int column, bool descending) override {
    EXPECT_EQ(column, 2);
    EXPECT_TRUE(descending);
    ++sorts;
  }
  void SetRunning(bool running) override {
    std::lock_guard lock(mutex);
    runningStates.push_back(running);
  }
};

// Picture services that count how many files they decode and can ask for a stop.
class CountingServices : public testsupport::ForwardingServices {
 public:
  static inline std::atomic<int> opened{0};
  static inline std::function<void()> onOpen;
  std::unique_ptr<engine::PictureFile> Open(const std::wstring& path) override {
    ++opened;
    if (onOpen) onOpen();
    return real_.Open(path);
  }
};

class SearchRunFolder : public testing::Test {
 protected:
  testsupport::TempFolder folder_;
  engine::FingerprintCache cache_;
  RecordingWindow window_;
  const engine::TextLookup texts_ = [](int id) { return L"<" + std::to_wstring(id) + L">"; };

  void SetUp() override {
    CountingServices::opened = 0;
    CountingServices::onOpen = nullptr;
    for (int i = 0; i < 6; ++i) {
      const int seed = i / 2;  // pairs of near copies
      const int w = 200 + 10 * i;
      testsupport::WritePng(folder_ / (L"p" + std::to_wstring(i) + L".png"), w, 150, [&](int x, int y) {
        return testsupport::Pattern(x, y, w, 150, seed);
      });
    }
    window_.right = folder_.path();
  }

  std::unique_ptr<engine::SearchRun> MakeRun(engine::SearchSpeed speed = engine::SearchSpeed::AllCores) {
    return std::make_unique<engine::SearchRun>(
        window_, cache_, texts_, [] { return std::make_unique<CountingServices>(); }, speed);
  }
};

TEST_F(SearchRunFolder, FindsTheNearCopiesAndWritesTheSummary) {
  auto run = MakeRun();
  run->RunSearch(CompareSettings{});
  ASSERT_TRUE(run->completed());
  EXPECT_EQ(run->entries().size(), 6u);
  EXPECT_EQ(run->totalComparisons(), 15);
  EXPECT_EQ(run->done(), 15);
  EXPECT_EQ(window_.rows.size(), 3u);
  EXPECT_EQ(run->found(), 3);
  EXPECT_TRUE(window_.redraw);
  EXPECT_EQ(window_.sorts, 1);
  EXPECT_NE(window_.lines[0].find(L"<300102>: 3 / <300333>: 15 / <300335>: "), std::wstring::npos)
      << platform::ToUtf8(window_.lines[0]);
  EXPECT_EQ(window_.lines[2].rfind(L"<300337> 3, <300334> ", 0), 0u) << platform::ToUtf8(window_.lines[2]);
  EXPECT_EQ(window_.lines[1].rfind(L"<300330>:6  ", 0), 0u) << platform::ToUtf8(window_.lines[1]);

  // A second run over the unchanged folder decodes nothing.
  const int openedFirst = CountingServices::opened;
  auto again = MakeRun();
  again->RunSearch(CompareSettings{});
  EXPECT_EQ(window_.rows.size(), 3u);
  // Collection still asks the decoder whether each file is a picture; fingerprints come from the cache.
  EXPECT_EQ(CountingServices::opened - openedFirst, 6);
}

TEST_F(SearchRunFolder, SameResultsAsTheReferenceLoops) {
  auto fast = MakeRun();
  CompareSettings settings = Options(80, true, true, true);
  fast->RunSearch(settings);
  const std::vector<const MatchPair*> fastRows = window_.rows;
  engine::FingerprintCache freshCache;
  engine::SearchRun reference(window_, freshCache, texts_, engine::MakeSystemPictureServices,
                              engine::SearchSpeed::ReferenceLoops);
  reference.RunSearch(settings);
  ASSERT_EQ(window_.rows.size(), fastRows.size());
  EXPECT_EQ(reference.done(), fast->done());
  EXPECT_EQ(reference.unnecessary(), fast->unnecessary());
  for (size_t k = 0; k < fastRows.size(); ++k)
    EXPECT_EQ(window_.rows[k]->first->Path(), fastRows[k]->first->Path());
}

TEST_F(SearchRunFolder, BadPathWarnsAndRunsNothing) {
  window_.right = folder_ / L"missing";
  auto run = MakeRun();
  run->RunSearch(CompareSettings{});
  EXPECT_FALSE(run->completed());
  ASSERT_EQ(window_.warnings.size(), 1u);
  EXPECT_EQ(window_.lines[0], L"<300340>");
  EXPECT_EQ(CountingServices::opened, 0);
}

TEST_F(SearchRunFolder, EmptyFolderWarnsOnTheRightBox) {
  window_.right = folder_.MakeFolder(L"empty");
  auto run = MakeRun();
  run->RunSearch(CompareSettings{});
  EXPECT_FALSE(run->completed());
  ASSERT_EQ(window_.warnings.size(), 1u);
  EXPECT_EQ(window_.warnings[0], L"<300339>");
  EXPECT_EQ(window_.lines[0], L"<300339>");
}

TEST_F(SearchRunFolder, StopInEachPhaseKeepsRowsAndWritesNoSummary) {
  struct Case {
    const char* name;
    int stopAtOpen;  // the n-th decoder open asks for the stop; 0: none
    bool stopAtFirstRow;
  };
  for (const Case& c : {Case{"collection", 2, false}, Case{"fingerprints", 8, false},
                        Case{"comparisons", 0, true}}) {
    SCOPED_TRACE(c.name);
    cache_.clear();
    CountingServices::opened = 0;
    auto run = MakeRun(engine::SearchSpeed::ReferenceLoops);
    engine::SearchRun* active = run.get();
    CountingServices::onOpen = [&] {
      if (c.stopAtOpen && CountingServices::opened == c.stopAtOpen) active->RequestStop();
    };
    window_.onRow = [&] {
      if (c.stopAtFirstRow) active->RequestStop();
    };
    window_.sorts = 0;
    window_.lines[2].clear();
    run->RunSearch(CompareSettings{});
    EXPECT_FALSE(run->completed());
    EXPECT_EQ(window_.sorts, 0);
    EXPECT_TRUE(window_.redraw);
    EXPECT_EQ(window_.lines[2].find(L"<300337>"), std::wstring::npos);
    if (c.stopAtFirstRow) {
      EXPECT_EQ(window_.rows.size(), 1u);
    }
    window_.onRow = nullptr;
  }
  CountingServices::onOpen = nullptr;
}

TEST_F(SearchRunFolder, ControllerRunsOneSearchAtATime) {
  // The first decode waits until the test has pressed the button twice more.
  std::mutex gate;
  gate.lock();
  std::atomic<bool> waited{false};
  CountingServices::onOpen = [&] {
    if (!waited.exchange(true)) {
      gate.lock();
      gate.unlock();
    }
  };
  {
    engine::SearchController controller(window_, cache_, texts_,
                                        [] { return std::make_unique<CountingServices>(); });
    controller.OnStartStop(CompareSettings{});  // start
    EXPECT_TRUE(controller.running());
    controller.OnStartStop(CompareSettings{});  // stop: the worker is still busy
    EXPECT_FALSE(controller.running());
    controller.OnStartStop(CompareSettings{});  // start again: waits for the stopped run
    EXPECT_TRUE(controller.running());
    gate.unlock();
    controller.Join();
    EXPECT_FALSE(controller.running());
    ASSERT_NE(controller.lastRun(), nullptr);
    EXPECT_TRUE(controller.lastRun()->completed());
  }
  CountingServices::onOpen = nullptr;
  EXPECT_EQ(window_.rows.size(), 3u);
  // One idle state at the very end, and runs never overlapped.
  std::lock_guard lock(window_.mutex);
  ASSERT_FALSE(window_.runningStates.empty());
  EXPECT_FALSE(window_.runningStates.back());
}

// The window's thread presses Start while the ended run's worker waits for
// that thread to set the window idle: the press must neither wait for the
// worker (a deadlock in the program) nor get lost.
TEST_F(SearchRunFolder, StartPressedWhileTheWindowIsSetIdleRunsOnceMore) {
  struct IdleHookWindow : RecordingWindow {
    std::function<void()> onFirstIdle;
    void SetRunning(bool running) override {
      RecordingWindow::SetRunning(running);
      if (!running && onFirstIdle) std::exchange(onFirstIdle, nullptr)();
    }
  };
  IdleHookWindow window;
  window.right = folder_.path();
  bool pressReturned = false;
  {
    engine::SearchController controller(window, cache_, texts_);
    std::promise<void> hookRan;
    std::future<void> press;
    window.onFirstIdle = [&] {
      press = std::async(std::launch::async, [&] { controller.OnStartStop(CompareSettings{}); });
      // Kept outside, so a press that hangs lets this worker go on after the limit.
      pressReturned = press.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
      hookRan.set_value();
    };
    controller.OnStartStop(CompareSettings{});
    hookRan.get_future().wait();
    press.wait();
    controller.Join();
    EXPECT_FALSE(controller.running());
    EXPECT_FALSE(controller.WorkerActive());
  }
  EXPECT_TRUE(pressReturned);
  EXPECT_EQ(window.sorts, 2) << "the second start ran to its end";
  std::lock_guard lock(window.mutex);
  // The worker sets the window running again after its idle request, which
  // the window may have carried out after the press.
  EXPECT_EQ(window.runningStates, (std::vector<bool>{true, false, true, true, false}));
}

}  // namespace
