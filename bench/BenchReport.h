// Figures printed after a benchmark run as ratios of two benchmarks measured
// in the same run, so the numbers mean something on any machine.
//
//   BENCH_RATIO(FingerprintVsFloor, "BM_Fingerprint", "BM_DecodeFloor",
//               "fingerprint route / decode floor (goal <= 1.10)");
//
// The ratio is time per item (from items_per_second when a benchmark sets
// items, else time per iteration) of the first divided by that of the second.
#pragma once

#include <string>

namespace bench {

struct RatioRegistration {
  RatioRegistration(std::string numerator, std::string denominator, std::string label);
};

}  // namespace bench

#define BENCH_RATIO(id, numerator, denominator, label) \
  static const bench::RatioRegistration id##Ratio(numerator, denominator, label)
