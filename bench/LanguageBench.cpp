// A change of interface language as the texts see it: the next fetch after
// the switch unpacks and parses the new language's pack. Each iteration
// switches to the next of the 33 languages and fetches one text.
#include <benchmark/benchmark.h>

#include "app/LangText.h"
#include "app/TextIds.h"

namespace {

void BM_LanguageSwitch(benchmark::State& state) {
  int language = 0;
  app::LangText(app::kTextStop);  // the English table, loaded once per process
  for (auto _ : state) {
    language = (language + 1) % app::kLanguageCount;
    app::SetCurrentLanguage(language);
    benchmark::DoNotOptimize(app::LangText(app::kTextStop));
  }
  app::SetCurrentLanguage(app::kLanguageEnglish);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LanguageSwitch)->Unit(benchmark::kMicrosecond);

}  // namespace
