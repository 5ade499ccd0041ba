// The screen loupe driven by its messages: keys, wheel, scroll, timers and
// the private mode message, with known pictures on the screen below it.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/LangText.h"
#include "app/MyProfStr.h"
#include "tests/gui/BitsWindow.h"
#include "tests/gui/MessagePump.h"
#include "tests/support/TempFolder.h"
#include "viewing/CWinLupe.h"

namespace {

using viewing::CWinLupe;
using viewing::LupeRect;
using viewing::LupeSize;

// Every screen pixel of the pattern has a colour of its own.
COLORREF Encoded(int x, int y) { return RGB(x & 0xFF, y & 0xFF, ((x >> 8) << 4) | (y >> 8)); }

platform::Bitmap32 PatternBits(int width, int height) {
  platform::Bitmap32 bits;
  bits.width = width;
  bits.height = height;
  bits.bits.resize(static_cast<size_t>(width) * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &bits.bits[(static_cast<size_t>(y) * width + x) * 4];
      const COLORREF colour = Encoded(x, y);
      p[0] = GetBValue(colour);
      p[1] = GetGValue(colour);
      p[2] = GetRValue(colour);
      p[3] = 0xFF;
    }
  return bits;
}

std::string HexColour(COLORREF colour) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
                GetBValue(colour));
  return text;
}

LupeRect WindowRectOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right, rect.bottom};
}

void EmptyTheClipboard() {
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
}

// Records the commands the loupe sends to its owner.
class OwnerWindow : public platform::BaseWindow {
 public:
  std::vector<WPARAM> commands;

  bool Create() {
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestLupeOwner";
    return CreateWindowOfClass(windowClass, 0, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                               nullptr, nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) commands.push_back(wParam);
    return DefaultMessage(message, wParam, lParam);
  }
};

// The system magnifier runtime as the loupe calls it, recording the calls.
struct FakeMagnification {
  static BOOL WINAPI Initialize() { return ++initialized, TRUE; }
  static BOOL WINAPI Uninitialize() { return ++uninitialized, TRUE; }
  static BOOL WINAPI Transform(HWND, void* matrix) {
    const float* v = static_cast<const float*>(matrix);
    transform = {v[0], v[4], v[8]};
    return TRUE;
  }
  static BOOL WINAPI Source(HWND, RECT rect) {
    source = {rect.left, rect.top, rect.right, rect.bottom};
    return TRUE;
  }
  static HRESULT WINAPI Composition(BOOL* enabled) { return *enabled = TRUE, S_OK; }
  static inline int initialized = 0;
  static inline int uninitialized = 0;
  static inline std::vector<float> transform;
  static inline LupeRect source;

  // The loupe's entry points with these in place of the runtime's.
  static CWinLupe::EntryPoints Entries() {
    CWinLupe::EntryPoints entries;
    entries.magInitialize = Initialize;
    entries.magUninitialize = Uninitialize;
    entries.magSetWindowTransform = Transform;
    entries.magSetWindowSource = Source;
    entries.dwmIsCompositionEnabled = Composition;
    entries.setLayeredWindowAttributes = CWinLupe::EntryPoints::Lookup().setLayeredWindowAttributes;
    return entries;
  }
};

// The control's window class, as the runtime registers it, for one test.
class StandInControlClass {
 public:
  StandInControlClass() {
    WNDCLASSEXW control{sizeof control};
    control.lpfnWndProc = ::DefWindowProcW;
    control.hInstance = platform::ProgramInstance();
    control.lpszClassName = L"Magnifier";
    ::RegisterClassExW(&control);
  }
  ~StandInControlClass() { ::UnregisterClassW(L"Magnifier", platform::ProgramInstance()); }
  StandInControlClass(const StandInControlClass&) = delete;
  StandInControlClass& operator=(const StandInControlClass&) = delete;
};

class MagnifierTest : public testing::Test {
 protected:
  void SetUp() override {
    store.Init(temp.MakeFolder(L"program") + L"\\Duplora.exe", temp.MakeFolder(L"appdata"));
  }

  // A loupe on the test's settings file whose keyboard is the test's sets
  // and which records, rather than does, the end of the program.
  std::unique_ptr<CWinLupe> NewLupe(
      CWinLupe::EntryPoints entries = CWinLupe::EntryPoints::Lookup()) {
    auto lupe = std::make_unique<CWinLupe>(store, std::move(entries));
    CWinLupe::Hooks hooks;
    hooks.keyDown = [this](int key) { return keys.count(key) > 0; };
    hooks.asyncKeyDown = [this](int key) { return asyncKeys.count(key) > 0; };
    hooks.endMessageLoop = [this](int code) { exitCodes.push_back(code); };
    lupe->SetHooks(std::move(hooks));
    return lupe;
  }

  static void Key(CWinLupe& lupe, WPARAM key) { ::SendMessageW(lupe.hwnd(), WM_KEYDOWN, key, 0); }
  static void Tick(CWinLupe& lupe, UINT_PTR timer) {
    ::SendMessageW(lupe.hwnd(), WM_TIMER, timer, 0);
  }
  static void MoveCursor(CWinLupe& lupe, int x, int y) {
    ::SetCursorPos(x, y);
    ::SendMessageW(lupe.hwnd(), WM_MOUSEMOVE, 0, 0);
  }
  // A mode or full-screen change hides the loupe and shows it again through its queue.
  static bool WaitShown(CWinLupe& lupe) {
    return guitest::PumpUntil([&] { return lupe.IsShown(); });
  }

  int Stored(const wchar_t* key) const { return store.ReadInt(L"LUPE", key, -999); }
  void Store(const wchar_t* key, int value) { store.WriteInt(L"LUPE", key, value); }

  // Shows the pattern from the screen's top-left corner and waits until the
  // screen holds it.
  bool ShowPattern(guitest::BitsWindow& window, int width, int height) {
    if (!window.Create(PatternBits(width, height), 0, 0)) return false;
    return guitest::PumpUntil([&] {
      return guitest::ScreenPixel(width - 1, height - 1) == Encoded(width - 1, height - 1) &&
             guitest::ScreenPixel(width / 2, height / 2) == Encoded(width / 2, height / 2);
    });
  }

  testsupport::TempFolder temp;
  app::CMyProfStr store;
  std::set<int> keys;
  std::set<int> asyncKeys;
  std::vector<int> exitCodes;
};

TEST_F(MagnifierTest, WritesItsSettingsAfterEveryChangeAndTheNextCommandReadsThem) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  ASSERT_TRUE(lupe->IsShown());
  EXPECT_EQ(Stored(L"cx"), 600);
  EXPECT_EQ(Stored(L"cy"), 150);
  EXPECT_EQ(Stored(L"zoom"), 2);
  EXPECT_EQ(Stored(L"zoom_mode"), 0);
  EXPECT_EQ(Stored(L"full_screen"), 0);
  EXPECT_EQ(Stored(L"window_border"), 1);

  Key(*lupe, '3');
  EXPECT_EQ(Stored(L"zoom"), 3);
  Key(*lupe, 'Q');
  EXPECT_FLOAT_EQ(lupe->Factor(), 1.33f);
  EXPECT_EQ(Stored(L"zoom"), 1);
  ::SendMessageW(lupe->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_NEAR(lupe->Factor(), 0.33f, 1e-5);
  EXPECT_EQ(Stored(L"zoom"), 0);
  Key(*lupe, VK_RIGHT);
  EXPECT_EQ(Stored(L"cx"), 620);
  Key(*lupe, VK_ESCAPE);
  EXPECT_FALSE(lupe->IsShown());

  // The shrunk factor comes back as 2; the size the user gave stays.
  lupe->RunCommand(nullptr);
  EXPECT_EQ(lupe->Factor(), 2.0f);
  EXPECT_EQ(lupe->NormalSize(), (LupeSize{620, 150}));
  EXPECT_EQ(WindowRectOf(lupe->hwnd()).right - WindowRectOf(lupe->hwnd()).left, 620);

  // Sizes edited in the file are held to the rules when shown.
  Key(*lupe, VK_ESCAPE);
  Store(L"cx", 301);
  Store(L"cy", 171);
  Store(L"zoom", 99);
  lupe->RunCommand(nullptr);
  EXPECT_EQ(lupe->NormalSize(), (LupeSize{300, 170}));
  EXPECT_EQ(lupe->Factor(), 16.0f);
  EXPECT_EQ(Stored(L"cx"), 300);
  EXPECT_EQ(Stored(L"zoom"), 16);
}

TEST_F(MagnifierTest, FactorLimitsOfKeysWheelAndScroll) {
  const WPARAM wheelForward = MAKEWPARAM(0, WHEEL_DELTA);
  const WPARAM wheelBackward = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
  struct Case {
    const char* what;
    int stored;
    UINT message;
    WPARAM wParam;
    float expected;
    bool showsText;
  };
  auto lupe = NewLupe();
  for (const Case& c : {
           Case{"pad plus at 16", 16, WM_KEYDOWN, VK_ADD, 16.0f, true},
           Case{"pad plus at 15", 15, WM_KEYDOWN, VK_ADD, 16.0f, true},
           Case{"wheel forward at 16", 16, WM_MOUSEWHEEL, wheelForward, 16.0f, false},
           Case{"page down at 16", 16, WM_VSCROLL, SB_PAGEDOWN, 16.0f, false},
           Case{"line right from 4", 4, WM_HSCROLL, SB_LINEDOWN, 5.0f, false},
           Case{"pad minus at 2", 2, WM_KEYDOWN, VK_SUBTRACT, 2.0f, true},
           Case{"pad minus from 3", 3, WM_KEYDOWN, VK_SUBTRACT, 2.0f, true},
           Case{"wheel backward from 2", 2, WM_MOUSEWHEEL, wheelBackward, 1.0f, false},
           Case{"line up from 2", 2, WM_VSCROLL, SB_LINEUP, 1.0f, false},
           Case{"page up at 1", 1, WM_VSCROLL, SB_PAGEUP, 1.0f, false},
           Case{"key 1", 5, WM_KEYDOWN, '1', 1.0f, true},
           Case{"key W", 5, WM_KEYDOWN, 'W', 1.66f, true},
           Case{"key 9", 5, WM_KEYDOWN, '9', 9.0f, true},
       }) {
    Store(L"zoom", c.stored);
    lupe->RunCommand(nullptr);
    Tick(*lupe, viewing::kLupeFactorTextTimer);
    ::SendMessageW(lupe->hwnd(), c.message, c.wParam, 0);
    EXPECT_FLOAT_EQ(lupe->Factor(), c.expected) << c.what;
    EXPECT_EQ(lupe->FactorText(), c.showsText ? viewing::FactorText(c.expected) : L"") << c.what;
    EXPECT_EQ(Stored(L"zoom"), static_cast<int>(c.expected)) << c.what;
  }
}

TEST_F(MagnifierTest, FactorTextGoesAfterThreeSeconds) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  Key(*lupe, '5');
  EXPECT_EQ(lupe->FactorText(), L"5.0 X ");
  const DWORD start = ::GetTickCount();
  ASSERT_TRUE(guitest::PumpUntil([&] { return lupe->FactorText().empty(); }, 8000));
  EXPECT_GE(::GetTickCount() - start, 2900u);
}

TEST_F(MagnifierTest, ArrowKeysKeepSizesEvenAndWithinTheLimits) {
  const LupeSize screen{::GetSystemMetrics(SM_CXVIRTUALSCREEN),
                        ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  Store(L"cx", 301);
  Store(L"cy", 171);
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  EXPECT_EQ(lupe->CurrentSize(), (LupeSize{300, 170}));
  Key(*lupe, VK_LEFT);
  EXPECT_EQ(lupe->CurrentSize(), (LupeSize{280, 170}));
  keys = {VK_SHIFT};
  Key(*lupe, VK_LEFT);
  Key(*lupe, VK_UP);
  EXPECT_EQ(lupe->CurrentSize(), (LupeSize{278, 172}));
  keys.clear();
  for (int i = 0; i < 5; ++i) Key(*lupe, VK_DOWN);
  for (int i = 0; i < 20; ++i) Key(*lupe, VK_LEFT);
  EXPECT_EQ(lupe->CurrentSize(), (LupeSize{100, 150}));
  EXPECT_EQ(Stored(L"cx"), 100);
  EXPECT_EQ(Stored(L"cy"), 150);
  // The next update gives the window that size.
  EXPECT_TRUE(guitest::PumpUntil([&] {
    const LupeRect rect = WindowRectOf(lupe->hwnd());
    return rect.right - rect.left == 100 && rect.bottom - rect.top == 150;
  }));

  Key(*lupe, VK_ESCAPE);
  Store(L"cx", 5000);
  Store(L"cy", 5000);
  lupe->RunCommand(nullptr);
  Key(*lupe, VK_RIGHT);
  Key(*lupe, VK_DOWN);
  Key(*lupe, VK_UP);
  EXPECT_EQ(lupe->CurrentSize().width, screen.width);
  EXPECT_EQ(lupe->CurrentSize().height, screen.height);
}

TEST_F(MagnifierTest, FollowsTheCursorAndInFullScreenPointsAtWhatIsUnderIt) {
  auto lupe = NewLupe();
  ::SetCursorPos(500, 400);
  lupe->RunCommand(nullptr);
  EXPECT_EQ(lupe->WindowRect(), (LupeRect{200, 325, 800, 475}));
  EXPECT_EQ(WindowRectOf(lupe->hwnd()), lupe->WindowRect());
  EXPECT_EQ(lupe->SourceRect(), (LupeRect{350, 363, 650, 437}));
  MoveCursor(*lupe, 520, 410);
  EXPECT_EQ(WindowRectOf(lupe->hwnd()), (LupeRect{220, 335, 820, 485}));
  EXPECT_NE(::GetWindowLongPtrW(lupe->hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);

  Key(*lupe, 'F');
  EXPECT_FALSE(lupe->IsShown());  // shown again once the screen below has repainted
  ASSERT_TRUE(WaitShown(*lupe));
  EXPECT_TRUE(lupe->FullScreen());
  EXPECT_EQ(Stored(L"full_screen"), 1);
  EXPECT_EQ(::GetWindowLongPtrW(lupe->hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);
  const int width = ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const POINT centre{width / 2, height / 2};
  MoveCursor(*lupe, centre.x + 200, centre.y);
  EXPECT_EQ(WindowRectOf(lupe->hwnd()), (LupeRect{0, 0, width, height}));
  EXPECT_EQ(lupe->ViewCentre().x, centre.x);
  EXPECT_EQ((lupe->SourceRect().left + lupe->SourceRect().right) / 2, centre.x + 100);
  EXPECT_EQ((lupe->SourceRect().top + lupe->SourceRect().bottom) / 2, centre.y);

  Key(*lupe, VK_F11);
  ASSERT_TRUE(WaitShown(*lupe));
  EXPECT_FALSE(lupe->FullScreen());
  EXPECT_EQ(lupe->CurrentSize(), (LupeSize{600, 150}));
  EXPECT_NE(::GetWindowLongPtrW(lupe->hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);
}

TEST_F(MagnifierTest, BorderSwitchesTheSizingFrame) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  Key(*lupe, 'E');
  EXPECT_TRUE(lupe->IsShown());
  EXPECT_FALSE(lupe->WindowBorder());
  EXPECT_EQ(Stored(L"window_border"), 0);
  EXPECT_EQ(::GetWindowLongPtrW(lupe->hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);
  RECT client{};
  ::GetClientRect(lupe->hwnd(), &client);
  EXPECT_EQ(client.right, 600);
  Key(*lupe, 'E');
  EXPECT_EQ(Stored(L"window_border"), 1);
  EXPECT_NE(::GetWindowLongPtrW(lupe->hwnd(), GWL_STYLE) & WS_THICKFRAME, 0);
}

TEST_F(MagnifierTest, PCopiesTheColourOfThePixelAboveLeftOfTheCursor) {
  guitest::BitsWindow pattern;
  ASSERT_TRUE(ShowPattern(pattern, 900, 700));
  EmptyTheClipboard();
  auto lupe = NewLupe();
  ::SetCursorPos(400, 300);
  lupe->RunCommand(nullptr);
  Key(*lupe, 'P');
  EXPECT_EQ(guitest::ClipboardText(), HexColour(Encoded(399, 299)));  // "8F2B11"

  // The snapshot is read wherever the cursor goes.
  ::SetCursorPos(700, 650);
  Key(*lupe, 'C');
  EXPECT_EQ(guitest::ClipboardText(), HexColour(Encoded(699, 649)));
}

TEST_F(MagnifierTest, BCopiesTheViewAtTheWindowsSizeWithItsFactorText) {
  guitest::BitsWindow pattern;
  ASSERT_TRUE(ShowPattern(pattern, 900, 700));
  EmptyTheClipboard();
  Store(L"cy", 200);  // 100 screen rows at factor 2: whole pixels both ways
  auto lupe = NewLupe();
  ::SetCursorPos(450, 350);
  lupe->RunCommand(nullptr);
  Key(*lupe, '2');
  Key(*lupe, 'B');
  const auto view = guitest::ClipboardBitmap();
  ASSERT_TRUE(view);
  const LupeRect window = WindowRectOf(lupe->hwnd());
  EXPECT_EQ(view->width, window.right - window.left);
  EXPECT_EQ(view->height, window.bottom - window.top);

  const LupeRect source = lupe->SourceRect();
  EXPECT_EQ(source, (LupeRect{300, 300, 600, 400}));
  for (const POINT at :
       {POINT{0, 199}, POINT{599, 199}, POINT{300, 100}, POINT{599, 60}, POINT{451, 133}}) {
    EXPECT_EQ(HexColour(guitest::PixelAt(*view, at.x, at.y)),
              HexColour(Encoded(source.left + at.x / 2, source.top + at.y / 2)))
        << at.x << ", " << at.y;
  }
  auto textPixels = [](const platform::Bitmap32& bits) {
    int magenta = 0;
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 400; ++x) magenta += guitest::PixelAt(bits, x, y) == RGB(255, 0, 255);
    return magenta;
  };
  EXPECT_GT(textPixels(*view), 20);

  Tick(*lupe, viewing::kLupeFactorTextTimer);
  Key(*lupe, 'B');
  const auto plain = guitest::ClipboardBitmap();
  ASSERT_TRUE(plain);
  EXPECT_EQ(textPixels(*plain), 0);
}

TEST_F(MagnifierTest, EscapeAndF1Hide) {
  OwnerWindow owner;
  ASSERT_TRUE(owner.Create());
  auto lupe = NewLupe();
  lupe->RunCommand(owner.hwnd());
  keys = {VK_LWIN};  // Win+Esc belongs to the shortcut watch
  Key(*lupe, VK_ESCAPE);
  EXPECT_TRUE(lupe->IsShown());
  keys.clear();
  Key(*lupe, VK_ESCAPE);
  EXPECT_FALSE(lupe->IsShown());
  EXPECT_FALSE(::IsWindowVisible(lupe->hwnd()));

  lupe->RunCommand(owner.hwnd());
  EXPECT_TRUE(::IsWindowVisible(lupe->hwnd()));
  Key(*lupe, VK_F1);
  EXPECT_FALSE(lupe->IsShown());
  EXPECT_EQ(owner.commands, std::vector<WPARAM>{viewing::kLupeHelpCommand});
}

TEST_F(MagnifierTest, DisplayModesByKeysAndTheModeMessage) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  auto exStyle = [&] { return ::GetWindowLongPtrW(lupe->hwnd(), GWL_EXSTYLE); };
  struct Step {
    WPARAM key;
    int mode;
    LONG_PTR layered;
    LONG_PTR transparent;
  };
  for (const Step& step :
       {Step{'X', 1, WS_EX_LAYERED, 0}, Step{'X', 2, WS_EX_LAYERED, WS_EX_TRANSPARENT},
        Step{'X', 0, 0, 0}, Step{VK_F4, 2, WS_EX_LAYERED, WS_EX_TRANSPARENT},
        Step{VK_F3, 1, WS_EX_LAYERED, 0}, Step{VK_F2, 0, 0, 0}}) {
    Key(*lupe, step.key);
    EXPECT_FALSE(lupe->IsShown());
    ASSERT_TRUE(WaitShown(*lupe));
    EXPECT_EQ(lupe->DisplayMode(), step.mode);
    EXPECT_EQ(Stored(L"zoom_mode"), step.mode);
    EXPECT_EQ(exStyle() & WS_EX_LAYERED, step.layered) << step.mode;
    EXPECT_EQ(exStyle() & WS_EX_TRANSPARENT, step.transparent) << step.mode;
    EXPECT_NE(exStyle() & WS_EX_TOPMOST, 0);
  }
  // A mode the message does not know is the snapshot.
  Key(*lupe, VK_F3);
  ASSERT_TRUE(WaitShown(*lupe));
  ASSERT_EQ(lupe->DisplayMode(), 1);
  lupe->Hide();
  ::PostMessageW(lupe->hwnd(), viewing::kLupeSetModeMessage, 7, 0);
  ASSERT_TRUE(WaitShown(*lupe));
  EXPECT_EQ(lupe->DisplayMode(), 0);

  // Without layered windows only the snapshot exists.
  auto plain = NewLupe(CWinLupe::EntryPoints{});
  plain->RunCommand(nullptr);
  Key(*plain, 'X');
  ASSERT_TRUE(WaitShown(*plain));
  EXPECT_EQ(plain->DisplayMode(), 0);
  EXPECT_EQ(::GetWindowLongPtrW(plain->hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(MagnifierTest, LiveModeCopiesTheScreenWhereTheMagnifierControlIsMissing) {
  guitest::BitsWindow pattern;
  ASSERT_TRUE(ShowPattern(pattern, 900, 700));
  const CWinLupe::EntryPoints system = CWinLupe::EntryPoints::Lookup();
  std::printf("[ system   ] magnification runtime %s, composition query %s, layered windows %s\n",
              system.magInitialize ? "found" : "missing",
              system.dwmIsCompositionEnabled ? "found" : "missing",
              system.setLayeredWindowAttributes ? "found" : "missing");
  Store(L"zoom_mode", 1);
  auto lupe = NewLupe();
  ::SetCursorPos(400, 300);
  lupe->RunCommand(nullptr);
  ASSERT_EQ(lupe->DisplayMode(), system.setLayeredWindowAttributes ? 1 : 0);
  if (system.magInitialize && lupe->CompositionOn())
    GTEST_SKIP() << "the system control shows the view";
  EXPECT_FALSE(lupe->ControlInUse());
  // Every update copies the source: the pixel copied is the screen's, read
  // from a copy that starts at the source rectangle.
  Key(*lupe, 'P');
  EXPECT_EQ(guitest::ClipboardText(), HexColour(Encoded(399, 299)));
}

TEST_F(MagnifierTest, DrivesTheSystemMagnifierControlWhereItExists) {
  const StandInControlClass controlClass;
  CWinLupe::EntryPoints entries = FakeMagnification::Entries();
  ASSERT_TRUE(entries.setLayeredWindowAttributes);
  Store(L"zoom_mode", 1);
  {
    auto lupe = NewLupe(std::move(entries));
    ::SetCursorPos(500, 400);
    lupe->RunCommand(nullptr);
    ASSERT_TRUE(lupe->ControlInUse());
    EXPECT_EQ(FakeMagnification::transform, (std::vector<float>{2.0f, 2.0f, 1.0f}));
    EXPECT_EQ(FakeMagnification::source, lupe->SourceRect());
    HWND child = ::FindWindowExW(lupe->hwnd(), nullptr, L"Magnifier", L"MagnifierWindow");
    ASSERT_TRUE(child);
    EXPECT_EQ(WindowRectOf(child), WindowRectOf(lupe->hwnd()));  // under the frame too
    EXPECT_TRUE(::IsWindowVisible(child));

    Key(*lupe, '4');
    EXPECT_EQ(FakeMagnification::transform, (std::vector<float>{4.0f, 4.0f, 1.0f}));
    ::SendMessageW(lupe->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(FakeMagnification::transform, (std::vector<float>{5.0f, 5.0f, 1.0f}));
    Key(*lupe, '4');
    MoveCursor(*lupe, 520, 380);
    EXPECT_EQ(FakeMagnification::source, (LupeRect{520 - 75, 380 - 18, 520 + 75, 380 + 18}));

    // The snapshot paints itself; the control goes out of sight.
    Key(*lupe, VK_F2);
    ASSERT_TRUE(WaitShown(*lupe));
    EXPECT_FALSE(::IsWindowVisible(child));
    Key(*lupe, VK_F3);
    ASSERT_TRUE(WaitShown(*lupe));
    EXPECT_TRUE(::IsWindowVisible(child));
    EXPECT_EQ(FakeMagnification::initialized, 1);

    // A factor from the settings file reaches the control at the next command.
    Key(*lupe, VK_ESCAPE);
    Store(L"zoom", 7);
    lupe->RunCommand(nullptr);
    EXPECT_EQ(FakeMagnification::transform, (std::vector<float>{7.0f, 7.0f, 1.0f}));
  }
  EXPECT_EQ(FakeMagnification::uninitialized, 1);
}

// Where the system's control shows the view, B, P and C copy what it shows:
// the screen below the loupe, magnified as the control magnifies it.
TEST_F(MagnifierTest, LiveModesCopyTheViewTheSystemControlShows) {
  const StandInControlClass controlClass;
  guitest::BitsWindow pattern;
  ASSERT_TRUE(ShowPattern(pattern, 900, 700));
  Store(L"cy", 200);
  for (const int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    CWinLupe::EntryPoints entries;
    entries.magInitialize = FakeMagnification::Initialize;
    entries.magUninitialize = FakeMagnification::Uninitialize;
    entries.magSetWindowTransform = FakeMagnification::Transform;
    entries.magSetWindowSource = FakeMagnification::Source;
    entries.dwmIsCompositionEnabled = FakeMagnification::Composition;
    entries.setLayeredWindowAttributes = CWinLupe::EntryPoints::Lookup().setLayeredWindowAttributes;
    Store(L"zoom_mode", mode);
    auto lupe = NewLupe(std::move(entries));
    ::SetCursorPos(450, 350);
    lupe->RunCommand(nullptr);
    ASSERT_TRUE(lupe->ControlInUse());
    ASSERT_EQ(lupe->DisplayMode(), mode);
    Key(*lupe, '2');
    Tick(*lupe, viewing::kLupeFactorTextTimer);  // the view without its factor text
    // Windows leaves a layered window out of screen copies; wine copies it
    // too, so the loupe steps aside from the screen it magnifies (and stops
    // following the cursor meanwhile).
    ::KillTimer(lupe->hwnd(), viewing::kLupeUpdateTimer);
    ::SetWindowPos(lupe->hwnd(), nullptr, 0, 800, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(guitest::PumpUntil([] {
      return guitest::ScreenPixel(449, 349) == Encoded(449, 349) &&
             guitest::ScreenPixel(300, 300) == Encoded(300, 300);
    }));

    EmptyTheClipboard();
    Key(*lupe, 'P');
    EXPECT_EQ(guitest::ClipboardText(), HexColour(Encoded(449, 349)));
    ::SetCursorPos(470, 360);
    Key(*lupe, 'C');
    EXPECT_EQ(guitest::ClipboardText(), HexColour(Encoded(469, 359)));

    ::SetCursorPos(450, 350);
    Key(*lupe, 'B');
    const auto view = guitest::ClipboardBitmap();
    ASSERT_TRUE(view);
    const LupeRect source = lupe->SourceRect();
    ASSERT_EQ(source, (LupeRect{300, 300, 600, 400}));
    for (const POINT at :
         {POINT{0, 0}, POINT{0, 199}, POINT{599, 199}, POINT{300, 100}, POINT{451, 133}}) {
      EXPECT_EQ(HexColour(guitest::PixelAt(*view, at.x, at.y)),
                HexColour(Encoded(source.left + at.x / 2, source.top + at.y / 2)))
          << at.x << ", " << at.y;
    }
    Key(*lupe, VK_ESCAPE);
  }
}

TEST_F(MagnifierTest, WindowsKeyShortcutsAreWatchedWhereverTheFocusIs) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  // Keys already down when the window is made do nothing until Esc is let go.
  asyncKeys = {VK_LWIN, VK_ESCAPE};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  EXPECT_TRUE(lupe->IsShown());
  asyncKeys.clear();
  Tick(*lupe, viewing::kLupeShortcutTimer);
  // Win+Esc held: hidden once, however many ticks it is held for.
  asyncKeys = {VK_LWIN, VK_ESCAPE};
  for (int i = 0; i < 5; ++i) {
    Tick(*lupe, viewing::kLupeShortcutTimer);
    EXPECT_FALSE(lupe->IsShown()) << i;
  }
  asyncKeys = {VK_LWIN};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  EXPECT_FALSE(lupe->IsShown());
  asyncKeys = {VK_LWIN, VK_ESCAPE};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  EXPECT_TRUE(lupe->IsShown());
  // Esc first, then the Windows key: nothing.
  asyncKeys = {VK_ESCAPE};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  asyncKeys = {VK_LWIN, VK_ESCAPE};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  EXPECT_TRUE(lupe->IsShown());

  // The watch runs by itself, also while the loupe is hidden.
  asyncKeys.clear();
  Tick(*lupe, viewing::kLupeShortcutTimer);
  lupe->Hide();
  asyncKeys = {VK_LWIN, VK_ESCAPE};
  EXPECT_TRUE(guitest::PumpUntil([&] { return lupe->IsShown(); }, 2000));
  asyncKeys.clear();

  EXPECT_TRUE(exitCodes.empty());
  keys = {VK_LWIN, VK_CONTROL};
  Tick(*lupe, viewing::kLupeShortcutTimer);
  keys.clear();
  ASSERT_FALSE(exitCodes.empty());
  for (int code : exitCodes) EXPECT_EQ(code, viewing::kLupeExitCode);
}

TEST_F(MagnifierTest, TitleChangesEvery200UpdateTicks) {
  auto lupe = NewLupe();
  lupe->RunCommand(nullptr);
  lupe->Hide();  // only the test's ticks count
  auto title = [&] {
    wchar_t text[100] = {};
    ::GetWindowTextW(lupe->hwnd(), text, 100);
    return std::wstring(text);
  };
  const int language = app::CurrentLanguage();
  app::SetCurrentLanguage(app::kLanguageEnglish);
  for (int i = 0; i < 199; ++i) Tick(*lupe, viewing::kLupeUpdateTimer);
  EXPECT_EQ(title(), L"");
  Tick(*lupe, viewing::kLupeUpdateTimer);
  EXPECT_EQ(title(), L"Click here to");
  app::SetCurrentLanguage(app::kLanguageGerman);
  for (int i = 0; i < 200; ++i) Tick(*lupe, viewing::kLupeUpdateTimer);
  EXPECT_EQ(title(), L"um den Tastaturfocus");
  app::SetCurrentLanguage(language);
}

}  // namespace
