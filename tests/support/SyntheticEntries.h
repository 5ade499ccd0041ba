// Entries with realistic signatures for tests and benchmarks of the search:
// smooth fields of blobs and waves (as small pictures are), mean brightness
// drawn from a normal distribution, and planted near-duplicates (slightly
// changed, turned, mirrored and negative copies of earlier entries).
#pragma once

#include <cstdint>
#include <vector>

#include "engine/ImageEntry.h"

namespace testsupport {

struct SyntheticOptions {
  int count = 1000;
  uint32_t seed = 1;
  double meanBrightness = 45;  // percent
  double brightnessSpread = 15;
  double duplicateShare = 0.02;  // share of entries that copy an earlier one
};

// What a planted copy is of its original.
enum class CopyKind { Similar, Turned180, TurnedQuarter, Mirrored, Negative };

struct PlantedCopy {
  int original;
  int copy;
  CopyKind kind;
};

struct SyntheticSet {
  std::vector<engine::ImageEntry> entries;
  std::vector<PlantedCopy> copies;
};

SyntheticSet MakeSyntheticEntries(const SyntheticOptions& options);

// Fills the quarter and mirror signatures, brightness and aspect from the
// upright signature, as the fingerprint does.
void CompleteEntry(engine::ImageEntry& entry);

}  // namespace testsupport
