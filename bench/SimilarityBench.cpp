// One pass of the similarity measure: the plain loop as written (the
// reference) against the kernels this processor runs, in one run.
//
//   Pass/full/...      a near copy at T = 90: the pass runs to the end (4096 terms)
//   Pass/early/...     an unlike picture at T = 90: the pass stops after 1025 terms
//   Pass/reversed/...  a near copy turned by 180 degrees, read reversed, to the end
//   .../<kernel>-x4    one first signature against four second ones at once
//
// An iteration rates 256 pairs. Each row reports ns_per_pass, per pair, from
// its fastest iteration: the machines are shared, and the fastest stretch is
// the one that had the core to itself. x_reference is the reference's
// ns_per_pass of the same kind, measured earlier in the same run, divided by
// the row's.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "engine/ImageEntry.h"
#include "engine/SadKernels.h"
#include "engine/Similarity.h"

namespace {

constexpr int kThreshold = 90;
constexpr int kPairs = 8;  // second signatures taken in turn; all stay in the first-level cache

struct Kind {
  const char* name;
  bool reversed;
  bool runsToTheEnd;
};
constexpr Kind kKinds[] = {
    {"full", false, true}, {"early", false, false}, {"reversed", true, true}};

// Signatures where the search keeps them: in entries, on cache lines.
struct Data {
  engine::ImageEntry first;
  std::vector<engine::ImageEntry> seconds[std::size(kKinds)];
};

const Data& TheData() {
  static const Data data = [] {
    std::mt19937 rng(1);
    Data d{engine::EmptyEntry(), {}};
    for (uint8_t& v : d.first.signature) v = static_cast<uint8_t>(rng());
    for (size_t kind = 0; kind < std::size(kKinds); ++kind) {
      for (int k = 0; k < kPairs; ++k) {
        engine::ImageEntry second = engine::EmptyEntry();
        for (int i = 0; i < engine::kSignatureBytes; ++i) {
          const int near = std::min(255, d.first.signature[i] + static_cast<int>(rng() % 5));
          const int at = kKinds[kind].reversed ? engine::kSignatureBytes - 1 - i : i;
          second.signature[at] =
              static_cast<uint8_t>(kKinds[kind].runsToTheEnd ? near : static_cast<int>(rng()));
        }
        d.seconds[kind].push_back(second);
      }
    }
    return d;
  }();
  return data;
}

// The reference's ns per pass of each kind, from its last run.
std::map<std::string, double>& ReferenceNs() {
  static std::map<std::string, double> timings;
  return timings;
}

constexpr int kStretch = 256;  // pairs rated per timed stretch

// pass(a, b, k, reversed) rates `perCall` pairs starting at second k.
template <class Pass>
void Run(benchmark::State& state, size_t kind, bool isReference, int perCall, const Pass& pass) {
  const Data& d = TheData();
  const Kind& info = kKinds[kind];
  const uint8_t* a = d.first.signature.data();
  const uint8_t* b[kPairs];
  for (int k = 0; k < kPairs; ++k) b[k] = d.seconds[kind][k].signature.data();
  const double s = engine::ReferencePass(a, b[0], info.reversed, false, kThreshold);
  if ((s >= kThreshold) != info.runsToTheEnd) state.SkipWithError("the data does not fit");

  double best = 1e300;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < kStretch; k += perCall) pass(a, b, k % kPairs, info.reversed);
    best = std::min(
        best,
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count());
  }
  const double ns = best / kStretch;
  state.counters["ns_per_pass"] = ns;
  if (isReference) ReferenceNs()[info.name] = ns;
  const auto reference = ReferenceNs().find(info.name);
  if (reference != ReferenceNs().end()) state.counters["x_reference"] = reference->second / ns;
}

void Register(const std::string& name, std::function<void(benchmark::State&)> run) {
  benchmark::RegisterBenchmark(name.c_str(), std::move(run));
}

const int registered = [] {
  for (size_t kind = 0; kind < std::size(kKinds); ++kind) {
    const std::string prefix = std::string("Pass/") + kKinds[kind].name + "/";
    Register(prefix + "reference", [kind](benchmark::State& state) {
      Run(state, kind, true, 1, [](const uint8_t* a, const uint8_t* const* b, int k, bool rev) {
        benchmark::DoNotOptimize(engine::ReferencePass(a, b[k], rev, false, kThreshold));
      });
    });
    for (const engine::SadKernel* kernel : engine::SupportedSadKernels())
      Register(prefix + kernel->name, [kind, kernel](benchmark::State& state) {
        Run(state, kind, false, 1,
            [kernel](const uint8_t* a, const uint8_t* const* b, int k, bool rev) {
              benchmark::DoNotOptimize(
                  engine::KernelPass(*kernel, a, b[k], rev, false, kThreshold));
            });
      });
    for (const engine::SadKernel* kernel : engine::SupportedSadKernels()) {
      if (kernel->kind == engine::SadKernelKind::Plain) continue;
      Register(prefix + kernel->name + "-x4", [kind, kernel](benchmark::State& state) {
        Run(state, kind, false, 4,
            [kernel](const uint8_t* a, const uint8_t* const* b, int k, bool rev) {
              double s[4];
              engine::KernelPasses(*kernel, a, b + k, 4, rev, false, kThreshold, s);
              benchmark::DoNotOptimize(s);
            });
      });
    }
  }
  return 0;
}();

}  // namespace
