// The small texts of a search run: remaining time, duration, the marker-word
// replacement of the status templates, and the busy progress animation.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

// "%02d:%02d" of the time still needed when the fraction f of the work took
// elapsedMs: seconds = elapsed / f x (1 - f). Before anything is done (f is 0)
// nothing is known yet: "--:--".
std::wstring RemainingTimeText(double fraction, uint32_t elapsedMs);

// "%02d:%02d.%03d": minutes, seconds modulo 60 and milliseconds (1000 shows as 0).
std::wstring DurationText(double seconds);

// Replaces every occurrence of marker in text (case-sensitive).
void ReplaceAll(std::wstring& text, const std::wstring& marker, const std::wstring& replacement);

// Events per second, 0 when no time passed.
double PerSecond(double count, uint32_t elapsedMs);

// The busy progress bar's position generator: one 32-bit state for the process,
// 5323 at start, advanced by x = x * 8253729 + 2396403 on every tick; the
// position is the top eight bits.
class BusyProgress {
 public:
  static int NextPosition();
};

}  // namespace engine
