#include "engine/RunTexts.h"

#include <atomic>
#include <cmath>

#include "platform/Text.h"

namespace engine {
std::wstring RemainingTimeText(double fraction, uint32_t elapsedMs) {
  if (!(fraction > 0) || !std::isfinite(fraction)) return L"--:--";
  double seconds = elapsedMs / 1000.0 / fraction * (1 - fraction);
  if (seconds < 0) seconds = 0;
  // A run of months would overflow the minute field; nobody reads beyond this.
  if (seconds > 5999999) seconds = 5999999;
  return platform::FormatText("%02d:%02d", static_cast<int>(seconds / 60),
                              static_cast<int>(std::fmod(seconds, 60)));
}

std::wstring DurationText(double seconds) {
  if (!(seconds >= 0) || !std::isfinite(seconds)) seconds = 0;
  int milliseconds = static_cast<int>(std::fmod(1000 * seconds, 1000));
  if (milliseconds == 1000) milliseconds = 0;
  return platform::FormatText("%02d:%02d.%03d", static_cast<int>(seconds / 60),
                              static_cast<int>(std::fmod(seconds, 60)), milliseconds);
}

void ReplaceAll(std::wstring& text, const std::wstring& marker, const std::wstring& replacement) {
  if (marker.empty()) return;
  for (size_t at = text.find(marker); at != std::wstring::npos;
       at = text.find(marker, at + replacement.size()))
    text.replace(at, marker.size(), replacement);
}

double PerSecond(double count, uint32_t elapsedMs) {
  return elapsedMs == 0 ? 0.0 : count / (elapsedMs * 0.001);
}

int BusyProgress::NextPosition() {
  static std::atomic<uint32_t> state{5323};
  uint32_t x = state.load();
  uint32_t next;
  do {
    next = x * 8253729u + 2396403u;
  } while (!state.compare_exchange_weak(x, next));
  return static_cast<int>(next >> 24);
}

}  // namespace engine
