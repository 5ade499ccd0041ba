// The search on this machine: the comparison phase over 20,000 and 100,000
// generated entries (brightness normal around 45 with spread 15, smooth
// signatures, planted near-duplicates), the plain loops against the phase on
// all cores; the fingerprint phase over 100 large JPEGs against the decoder's
// bare thumbnails on all cores, and a second run from the cache; and the
// memory an entry takes.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vips/vips.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#include "bench/BenchPictures.h"
#include "bench/BenchReport.h"
#include "engine/ComparisonPhase.h"
#include "engine/FingerprintPhase.h"
#include "platform/Text.h"
#include "tests/support/SyntheticEntries.h"

namespace {

// Entries as a run holds them: each its own record, the table a list of pointers.
struct EntrySet {
  std::vector<std::shared_ptr<engine::ImageEntry>> records;
  std::vector<const engine::ImageEntry*> table;
};

const EntrySet& Entries(int count) {
  static std::map<int, EntrySet> sets;
  auto [it, fresh] = sets.try_emplace(count);
  if (fresh) {
    testsupport::SyntheticOptions options;
    options.count = count;
    options.duplicateShare = 0.01;
    auto made = testsupport::MakeSyntheticEntries(options);
    for (engine::ImageEntry& e : made.entries) {
      it->second.records.push_back(std::make_shared<engine::ImageEntry>(e));
      it->second.table.push_back(it->second.records.back().get());
    }
  }
  return it->second;
}

class CountingSink : public engine::ComparisonSink {
 public:
  int64_t accepted = 0;
  void Accepted(std::span<const engine::MatchPair> pairs) override { accepted += pairs.size(); }
  void Progress(int64_t) override {}
};

engine::CompareSettings Settings(bool allOptions) {
  engine::CompareSettings settings;
  settings.m_search_rotated = settings.m_search_flipped = settings.m_search_negative = allOptions;
  return settings;
}

template <bool kReference>
void CompareBenchmark(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const bool allOptions = state.range(1) != 0;
  const EntrySet& set = Entries(count);
  const engine::PairSpace space{set.table, false, 0};
  const std::atomic<int> noStop{0};
  CountingSink sink;
  for (auto _ : state) {
    engine::ComparisonCounters counters;
    sink.accepted = 0;
    if (kReference)
      engine::ComparePairsReference(space, Settings(allOptions), noStop, sink, counters);
    else
      engine::ComparePairs(space, Settings(allOptions), noStop, sink, counters);
    state.counters["pairs_found"] = static_cast<double>(sink.accepted);
  }
  state.SetItemsProcessed(state.iterations() * space.PairCount());
}

void BM_CompareReference(benchmark::State& state) { CompareBenchmark<true>(state); }
void BM_CompareAllCores(benchmark::State& state) { CompareBenchmark<false>(state); }
void BM_CompareAllCores100k(benchmark::State& state) { CompareBenchmark<false>(state); }
void BM_CompareAllCoresAllOptions100k(benchmark::State& state) { CompareBenchmark<false>(state); }

BENCHMARK(BM_CompareReference)->Args({20000, 0})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CompareAllCores)->Args({20000, 0})->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CompareAllCores100k)->Args({100000, 0})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_CompareAllCoresAllOptions100k)->Args({100000, 1})->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

BENCH_RATIO(CompareSpeedup, "BM_CompareReference", "BM_CompareAllCores",
            "comparisons, 20,000 entries, no options: plain loops / all cores (goal >= 100)");

// The fingerprint phase.
const std::vector<std::wstring>& Jpegs() {
  static const std::vector<std::wstring> files = [] {
    auto made = bench::LargeJpegs(100);
    bench::WarmUp(made);
    return made;
  }();
  return files;
}

class NoProgress : public engine::FingerprintProgress {
 public:
  void Progress(size_t, size_t, const std::wstring&) override {}
};

void BM_DecodeFloorAllCores(benchmark::State& state) {
  const auto& files = Jpegs();
  for (auto _ : state) {
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t i; (i = next.fetch_add(1)) < files.size();) {
        VipsImage* thumb = nullptr;
        if (vips_thumbnail(platform::ToUtf8(files[i]).c_str(), &thumb, 64, "height", 64, "size",
                           VIPS_SIZE_FORCE, "no_rotate", TRUE, nullptr) == 0) {
          size_t length = 0;
          g_free(vips_image_write_to_memory(thumb, &length));
          g_object_unref(thumb);
        }
      }
    };
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
      threads.emplace_back(work);
    for (auto& t : threads) t.join();
  }
  state.SetItemsProcessed(state.iterations() * files.size());
}
BENCHMARK(BM_DecodeFloorAllCores)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

std::vector<engine::FileToFingerprint> FileList(std::vector<platform::DirEntry>& found) {
  const auto& files = Jpegs();
  found.resize(files.size());
  std::vector<engine::FileToFingerprint> list;
  for (size_t i = 0; i < files.size(); ++i) {
    found[i] = platform::FileEntry(files[i]).value_or(platform::DirEntry{});
    list.push_back({&files[i], &found[i]});
  }
  return list;
}

void BM_FingerprintPhase(benchmark::State& state) {
  std::vector<platform::DirEntry> found;
  const auto list = FileList(found);
  const std::atomic<int> noStop{0};
  NoProgress progress;
  for (auto _ : state) {
    engine::FingerprintCache cache;
    std::vector<engine::EntryRef> table;
    engine::FingerprintFiles(list, cache, engine::SignatureRule::ShellFirst,
                             engine::MakeSystemPictureServices, noStop, progress, table);
    if (table.size() != list.size()) state.SkipWithError("not every file got an entry");
  }
  state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_FingerprintPhase)->Iterations(2)->Unit(benchmark::kSecond)->UseRealTime();

void BM_FingerprintPhaseFromCache(benchmark::State& state) {
  std::vector<platform::DirEntry> found;
  const auto list = FileList(found);
  const std::atomic<int> noStop{0};
  NoProgress progress;
  engine::FingerprintCache cache;
  std::vector<engine::EntryRef> table;
  engine::FingerprintFiles(list, cache, engine::SignatureRule::ShellFirst,
                           engine::MakeSystemPictureServices, noStop, progress, table);
  for (auto _ : state) {
    table.clear();
    engine::FingerprintFiles(list, cache, engine::SignatureRule::ShellFirst,
                             engine::MakeSystemPictureServices, noStop, progress, table);
  }
  state.SetItemsProcessed(state.iterations() * list.size());
}
BENCHMARK(BM_FingerprintPhaseFromCache)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCH_RATIO(FingerprintPhaseVsFloor, "BM_FingerprintPhase", "BM_DecodeFloorAllCores",
            "fingerprint phase, 100 JPEGs of 12 MP, all cores / decode floor (goal <= 1.10)");
BENCH_RATIO(CacheSpeedup, "BM_FingerprintPhase", "BM_FingerprintPhaseFromCache",
            "fingerprint phase: first run / second run from the cache (goal >= 50)");

// Memory: what an entry of a run costs, and the process's peak with 100,000 of them.
void BM_EntryMemory(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Entries(100000).table.size());
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  // The record, the allocation it shares with its reference count, and the table's pointer.
  state.counters["bytes_per_entry"] = static_cast<double>(
      sizeof(engine::ImageEntry) + 2 * sizeof(void*) + sizeof(const engine::ImageEntry*));
  // The peak also counts the generator's staging vector, which a run never has; what
  // stays resident once that is gone is what a run's 100,000 records cost.
  state.counters["peak_MB"] = usage.ru_maxrss / 1024.0;
  long pages = 0, resident = 0;
  if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  state.counters["resident_MB"] = resident * (sysconf(_SC_PAGESIZE) / 1024.0) / 1024.0;
}
BENCHMARK(BM_EntryMemory)->Iterations(1);

}  // namespace
