// The screen loupe's rules without a window: how keys, the wheel and scroll
// messages change the factor, how sizes are held to the screen, where the
// window goes and which part of the screen it shows for a cursor position,
// and the changing window titles.
//
//   LupeView view = ComputeLupeView(cursorX, cursorY, {600, 150}, 2.0f, false, screen, 0, 0);
//   // view.window: centred on the cursor; view.source: 300 x 74 around it
//
// Factors run from 1 to 16 by keys; the wheel can take them below 1 (the view
// then shrinks). Co-ordinates are screen pixels; rectangles exclude right and
// bottom.
#pragma once

#include <optional>
#include <string>

namespace viewing {

inline constexpr float kLupeDefaultFactor = 2.0f;
inline constexpr float kLupeMaxFactor = 16.0f;
inline constexpr int kLupeMinWidth = 100;
inline constexpr int kLupeMinHeight = 150;
inline constexpr int kLupeSizeStep = 20;
inline constexpr int kLupeFineSizeStep = 2;  // while Shift is held
inline constexpr int kLupeModeCount = 3;     // 0 snapshot, 1 live, 2 live and click-through

struct LupeRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const LupeRect&) const = default;
};

struct LupeSize {
  int width = 0;
  int height = 0;
  bool operator==(const LupeSize&) const = default;
};

// The area captures and sizes are limited to.
struct LupeScreen {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Numeric-pad plus, wheel forward, scroll line or page down: + 1 below 16.
float FactorUp(float factor);
// Numeric-pad minus: - 1 only while above 2.
float FactorDownByKey(float factor);
// Wheel backward, scroll line or page up: - 1 while above 1, so 1.33 gives 0.33.
float FactorDownByWheel(float factor);
// The factor of the keys '1', 'Q', 'W' and '2' to '9' (upper-case letters, as
// key codes name them); nothing for other keys.
std::optional<float> FactorForKey(int key);

// The stored form: truncated toward zero (1.33 is stored as 1, 0.33 as 0).
int StoredFactor(float factor);
// A stored factor read back: 0 or less becomes 2, 16 or more becomes 16.
float FactorFromStored(int stored);

// The text shown in the view for a while after a factor key: "2.0 X ".
std::wstring FactorText(float factor);

// The normal size for a wanted size: even, at most the screen, at least 100 x 150.
LupeSize LimitedSize(LupeSize wanted, LupeSize screen);

// Where the window goes and what it shows for one update.
struct LupeView {
  int centreX = 0;
  int centreY = 0;
  LupeRect source;  // the part of the screen that is magnified
  LupeRect window;  // the window's outer rectangle
};

// `current` is the window size (the screen size in full screen); frameX and
// frameY the widths from the window's outer edge to its client area. In full
// screen the view centre is held so that the window stays over the screen,
// and the source is shifted so that the cursor points at the magnified image
// of the pixel under it.
LupeView ComputeLupeView(int cursorX, int cursorY, LupeSize current, float factor, bool fullScreen,
                         const LupeScreen& screen, int frameX, int frameY);

// X: 0 -> 1 -> 2 -> 0.
int NextDisplayMode(int mode);

// The title hint: called at every update tick with the tick counter (0 to
// 1000); every 200th tick gives the next of five titles, German ones for
// language id 0, and nothing otherwise.
std::optional<std::wstring> NextHintTitle(int& counter, bool german);

}  // namespace viewing
