// One main for all benchmarks: runs them, then prints the declared ratios.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

#include "bench/BenchReport.h"

namespace bench {
namespace {

struct Ratio {
  std::string numerator, denominator, label;
};

std::vector<Ratio>& Ratios() {
  static std::vector<Ratio> ratios;
  return ratios;
}

// Seconds per item of each benchmark function, by its name (the best repetition).
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> secondsPerItem;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      auto items = run.counters.find("items_per_second");
      if (items != run.counters.end() && items->second.value > 0) seconds = 1.0 / items->second.value;
      // Of repetitions, the fastest: other load on the machine only ever slows a run down.
      auto [it, fresh] = secondsPerItem.emplace(run.run_name.function_name, seconds);
      if (!fresh && seconds < it->second) it->second = seconds;
    }
  }
};

}  // namespace

RatioRegistration::RatioRegistration(std::string numerator, std::string denominator,
                                     std::string label) {
  Ratios().push_back({std::move(numerator), std::move(denominator), std::move(label)});
}

}  // namespace bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nRatios measured in this run:\n");
  for (const bench::Ratio& ratio : bench::Ratios()) {
    auto a = reporter.secondsPerItem.find(ratio.numerator);
    auto b = reporter.secondsPerItem.find(ratio.denominator);
    if (a == reporter.secondsPerItem.end() || b == reporter.secondsPerItem.end()) continue;
    std::printf("  %-60s %8.3f  (%.3g s / %.3g s per item)\n", ratio.label.c_str(),
                a->second / b->second, a->second, b->second);
  }
  benchmark::Shutdown();
  return 0;
}
