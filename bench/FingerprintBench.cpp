// Fingerprints per second over 12-megapixel JPEG files, one thread, against
// the decode floor: the bare libvips 64 x 64 thumbnail of the same files.
#include <benchmark/benchmark.h>
#include <vips/vips.h>

#include "bench/BenchPictures.h"
#include "bench/BenchReport.h"
#include "engine/Fingerprint.h"
#include "platform/Text.h"

namespace {

constexpr int kFiles = 12;

const std::vector<std::wstring>& Files() {
  static const std::vector<std::wstring> files = [] {
    auto made = bench::LargeJpegs(kFiles);
    bench::WarmUp(made);
    return made;
  }();
  return files;
}

// The floor: what the decoder alone needs for a 64 x 64 picture of the file.
void BM_DecodeFloor(benchmark::State& state) {
  const auto& files = Files();
  for (auto _ : state) {
    for (const std::wstring& file : files) {
      VipsImage* thumb = nullptr;
      if (vips_thumbnail(platform::ToUtf8(file).c_str(), &thumb, 64, "height", 64, "size",
                         VIPS_SIZE_FORCE, "no_rotate", TRUE, nullptr) != 0) {
        state.SkipWithError("thumbnail failed");
        return;
      }
      size_t length = 0;
      void* pixels = vips_image_write_to_memory(thumb, &length);
      benchmark::DoNotOptimize(pixels);
      g_free(pixels);
      g_object_unref(thumb);
    }
  }
  state.SetItemsProcessed(state.iterations() * files.size());
}
BENCHMARK(BM_DecodeFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(false);

// The entry route of a search: a cache miss for every file, the default rule.
void BM_Fingerprint(benchmark::State& state) {
  const auto& files = Files();
  engine::SystemPictureServices services;
  for (auto _ : state) {
    engine::FingerprintCache cache;
    for (const std::wstring& file : files) {
      engine::ImageEntry entry;
      if (!engine::GetOrBuildEntry(cache, services, engine::SignatureRule::ShellFirst, file, {},
                                   entry)) {
        state.SkipWithError("no fingerprint");
        return;
      }
      benchmark::DoNotOptimize(entry.brightness);
    }
  }
  state.SetItemsProcessed(state.iterations() * files.size());
}
BENCHMARK(BM_Fingerprint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0)->Repetitions(3)->ReportAggregatesOnly(false);

}  // namespace

BENCH_RATIO(FingerprintVsFloor, "BM_Fingerprint", "BM_DecodeFloor",
            "fingerprint route / decode floor, one thread (goal <= 1.10)");
