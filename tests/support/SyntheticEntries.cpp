#include "tests/support/SyntheticEntries.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace testsupport {
namespace {

using engine::kSignatureSide;

void SmoothField(std::mt19937& random, double mean, engine::Signature& out) {
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  double field[kSignatureSide][kSignatureSide] = {};
  // A tilted gradient, a few blobs and one wave: structure at several scales.
  const double gx = unit(random) * 2 - 1, gy = unit(random) * 2 - 1;
  struct Blob {
    double x, y, r, h;
  } blobs[5];
  for (Blob& b : blobs) b = {unit(random) * 64, unit(random) * 64, 4 + unit(random) * 14, unit(random) * 2 - 1};
  const double fx = unit(random) * 0.4, fy = unit(random) * 0.4, phase = unit(random) * 6.28;
  // Each blob is separable in x and y: 2 x 64 exponentials instead of 4096.
  double blobX[5][kSignatureSide], blobY[5][kSignatureSide];
  for (int k = 0; k < 5; ++k) {
    for (int t = 0; t < kSignatureSide; ++t) {
      const double s = 2 * blobs[k].r * blobs[k].r;
      blobX[k][t] = std::exp(-(t - blobs[k].x) * (t - blobs[k].x) / s);
      blobY[k][t] = std::exp(-(t - blobs[k].y) * (t - blobs[k].y) / s);
    }
  }
  double waveX[kSignatureSide], waveY[kSignatureSide];
  for (int t = 0; t < kSignatureSide; ++t) waveX[t] = fx * t, waveY[t] = fy * t + phase;
  double sum = 0;
  for (int y = 0; y < kSignatureSide; ++y) {
    for (int x = 0; x < kSignatureSide; ++x) {
      double v = (gx * (x - 32) + gy * (y - 32)) * 0.8;
      for (int k = 0; k < 5; ++k) v += 60 * blobs[k].h * blobX[k][x] * blobY[k][y];
      v += 12 * std::sin(waveX[x] + waveY[y]);
      field[y][x] = v;
      sum += v;
    }
  }
  const double shift = mean - sum / (kSignatureSide * kSignatureSide);
  for (int y = 0; y < kSignatureSide; ++y)
    for (int x = 0; x < kSignatureSide; ++x)
      out[kSignatureSide * y + x] =
          static_cast<uint8_t>(std::clamp(std::lround(field[y][x] + shift), 0L, 254L));
}

}  // namespace

void CompleteEntry(engine::ImageEntry& entry) {
  int32_t sum = 0;
  for (int r = 0; r < kSignatureSide; ++r) {
    for (int c = 0; c < kSignatureSide; ++c) {
      const uint8_t value = entry.signature[kSignatureSide * r + c];
      entry.signatureQuarter[kSignatureSide * c + (kSignatureSide - 1 - r)] = value;
      entry.signatureMirror[kSignatureSide * (kSignatureSide - 1 - r) + c] = value;
      sum += value;
    }
  }
  entry.brightness = (sum / engine::kSignatureBytes) * 100 / 256;
  entry.aspect = static_cast<float>(static_cast<double>(entry.width) / entry.height);
}

SyntheticSet MakeSyntheticEntries(const SyntheticOptions& options) {
  std::mt19937 random(options.seed);
  std::normal_distribution<double> brightness(options.meanBrightness, options.brightnessSpread);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  SyntheticSet set;
  set.entries.resize(static_cast<size_t>(options.count), engine::EmptyEntry());
  for (int i = 0; i < options.count; ++i) {
    engine::ImageEntry& e = set.entries[static_cast<size_t>(i)];
    e.SetPath(L"synthetic/" + std::to_wstring(i) + L".jpg");
    e.width = 1600;
    e.height = 1200;
    e.fileSize = 100000 + static_cast<uint64_t>(i);
    if (i > 10 && unit(random) < options.duplicateShare) {
      const int original = static_cast<int>(unit(random) * i);
      const engine::ImageEntry& o = set.entries[static_cast<size_t>(original)];
      const auto kind = static_cast<CopyKind>(static_cast<int>(unit(random) * 5) % 5);
      e.width = o.width;
      e.height = o.height;
      for (int k = 0; k < engine::kSignatureBytes; ++k) {
        int v = o.signature[static_cast<size_t>(k)];
        switch (kind) {
          case CopyKind::Similar: v = std::clamp(v + static_cast<int>(unit(random) * 7) - 3, 0, 254); break;
          case CopyKind::Turned180: v = o.signature[engine::kSignatureBytes - 1 - k]; break;
          case CopyKind::TurnedQuarter: v = o.signatureQuarter[static_cast<size_t>(k)]; break;
          case CopyKind::Mirrored: v = o.signatureMirror[static_cast<size_t>(k)]; break;
          case CopyKind::Negative: v = (256 - v) & 0xFF; break;
        }
        e.signature[static_cast<size_t>(k)] = static_cast<uint8_t>(v);
      }
      if (kind == CopyKind::TurnedQuarter) std::swap(e.width, e.height);
      set.copies.push_back({original, i, kind});
    } else {
      const double percent = std::clamp(brightness(random), 0.0, 99.0);
      SmoothField(random, percent * 256 / 100 + 1, e.signature);
    }
    CompleteEntry(e);
  }
  return set;
}

}  // namespace testsupport
