#include "viewing/LupeRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace viewing {

float FactorUp(float factor) { return factor >= kLupeMaxFactor ? factor : factor + 1.0f; }

float FactorDownByKey(float factor) { return factor > 2.0f ? factor - 1.0f : factor; }

float FactorDownByWheel(float factor) { return factor > 1.0f ? factor - 1.0f : factor; }

std::optional<float> FactorForKey(int key) {
  if (key == '1') return 1.0f;
  if (key == 'Q') return 1.33f;
  if (key == 'W') return 1.66f;
  if (key >= '2' && key <= '9') return static_cast<float>(key - '0');
  return std::nullopt;
}

int StoredFactor(float factor) { return static_cast<int>(factor); }

float FactorFromStored(int stored) {
  if (stored <= 0) return kLupeDefaultFactor;
  if (stored >= 16) return kLupeMaxFactor;
  return static_cast<float>(stored);
}

std::wstring FactorText(float factor) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f X ", static_cast<double>(factor));
  return std::wstring(text, text + std::char_traits<char>::length(text));
}

LupeSize LimitedSize(LupeSize wanted, LupeSize screen) {
  // Even sizes keep the window's halves whole, so it sits centred on the cursor.
  LupeSize size{wanted.width & ~1, wanted.height & ~1};
  size.height = std::max(std::min(size.height, screen.height), kLupeMinHeight);
  size.width = std::max(std::min(size.width, screen.width), kLupeMinWidth);
  return size;
}

LupeView ComputeLupeView(int cursorX, int cursorY, LupeSize current, float factor, bool fullScreen,
                         const LupeScreen& screen, int frameX, int frameY) {
  const double hx = current.width / 2.0;
  const double hy = current.height / 2.0;
  const double z = factor;
  LupeView view;
  view.centreX = cursorX;
  view.centreY = cursorY;
  double ox = 0;
  double oy = 0;
  if (fullScreen) {
    if (view.centreX - hx < screen.left - frameX)
      view.centreX = static_cast<int>(screen.left - frameX + hx);
    if (view.centreY - hy < screen.top - frameY)
      view.centreY = static_cast<int>(screen.top - frameY + hy);
    if (view.centreX + hx > screen.left + screen.width + frameX)
      view.centreX = static_cast<int>(screen.left + screen.width + frameX - hx);
    if (view.centreY + hy > screen.top + screen.height + frameY)
      view.centreY = static_cast<int>(screen.top + screen.height + frameY - hy);
    // A screen point d from the centre is shown at d * z from it; shifting
    // the source by d / k with k = 1 + 1 / (z - 1) puts the image of the
    // point under the cursor at the cursor. At factor 1 nothing moves.
    if (z != 1.0) {
      const double k = 1.0 + 1.0 / (z - 1.0);
      ox = (cursorX - view.centreX) / k;
      oy = (cursorY - view.centreY) / k;
    }
  }
  const double halfSourceX = std::trunc(hx / z);
  const double halfSourceY = std::trunc(hy / z);
  view.source = {static_cast<int>(view.centreX - halfSourceX + ox),
                 static_cast<int>(view.centreY - halfSourceY + oy),
                 static_cast<int>(view.centreX + halfSourceX + ox),
                 static_cast<int>(view.centreY + halfSourceY + oy)};
  const int halfX = static_cast<int>(hx);
  const int halfY = static_cast<int>(hy);
  view.window = {view.centreX - halfX, view.centreY - halfY, view.centreX + halfX,
                 view.centreY + halfY};
  return view;
}

int NextDisplayMode(int mode) { return (mode + 1) % kLupeModeCount; }

std::optional<std::wstring> NextHintTitle(int& counter, bool german) {
  static const wchar_t* const kGerman[] = {L"Klicken Sie bitte hier ", L"um den Tastaturfocus",
                                           L"zu erhalten", L"um die Lupe einzustellen",
                                           L"[UMSCHALT+ESC]=To-Tray\n"};
  static const wchar_t* const kEnglish[] = {L"Click here to", L"set keyboard focus",
                                            L"to resize Magnifi", L"over the Keyboard",
                                            L"[CTRL+ESC]=To-Tray\n"};
  if (counter < 0 || counter >= 1000) counter = 0;
  ++counter;
  std::optional<std::wstring> title;
  if (counter % 200 == 0) {
    const int index = counter / 200 - 1;
    title = german ? kGerman[index] : kEnglish[index];
  }
  if (counter >= 1000) counter = 0;
  return title;
}

}  // namespace viewing
