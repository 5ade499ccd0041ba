// Collection of a folder tree: 20 folders, each with 10 small pictures and 40
// other files, so most of the time goes to refusing files that are no picture.
#include <benchmark/benchmark.h>

#include <atomic>

#include "engine/FileCollector.h"
#include "engine/NullSearchWindow.h"
#include "platform/ComThread.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

namespace {

void BM_CollectTree(benchmark::State& state) {
  testsupport::TempFolder root;
  const std::string png = testsupport::PngBytes(
      64, 64, [](int x, int y) { return testsupport::Pattern(x, y, 64, 64, 1); }, false);
  for (int f = 0; f < 20; ++f) {
    const std::wstring folder = root.MakeFolder(L"folder" + std::to_wstring(f));
    for (int i = 0; i < 50; ++i) {
      const std::wstring name = folder + platform::kPathSeparator + std::to_wstring(i);
      if (i % 5 == 0)
        platform::WriteFileBytes(name + L".png", png);
      else
        platform::WriteFileBytes(name + L".txt", "not a picture");
    }
  }
  platform::ComThread com;
  engine::SystemPictureServices services;
  engine::NullSearchWindow window;
  const std::atomic<int> stop{0};
  size_t collected = 0;
  for (auto _ : state) {
    engine::FileSet set;
    engine::FileCollector collector(services, window, stop);
    collector.SelectSet(set);
    collector.CollectFiles(root.path(), true, true, false);
    collected = set.size();
  }
  state.counters["pictures"] = static_cast<double>(collected);
  state.SetItemsProcessed(state.iterations() * 1000);  // directory entries
}
BENCHMARK(BM_CollectTree)->Unit(benchmark::kMillisecond);

}  // namespace
