// The preview pane as a real window under wine: pictures the tests write are
// loaded by the pane's worker, and what the pane paints is read back from
// WM_PRINTCLIENT into a memory bitmap. Under wine the shell has no thumbnails,
// so the full decode is the path that runs.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/GdiPlus_win.h"
#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"
#include "tests/gui/MessagePump.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"
#include "viewing/CPicWindow.h"
#include "viewing/PreviewGeometry.h"

namespace {

using namespace std::chrono_literals;
using testsupport::Rgba;
using viewing::CPicWindow;

constexpr uint32_t kBackground = 0x102040;  // RGB(16, 32, 64) as 0xRRGGBB
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kLightGrey = 0xDDDDDD;
constexpr auto kLoadLimit = 20s;

// A Linux path of the build as wine sees it.
std::wstring FromBuildPath(const char* path) {
  std::wstring result = L"Z:";
  for (const char* p = path; *p; ++p) result += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return result;
}

// What a window paints into its client area, as 0xRRGGBB per pixel.
struct Capture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
  bool IsCheckerboard(int x, int y) const { return At(x, y) == kWhite || At(x, y) == kLightGrey; }
};

Capture Render(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  Capture capture;
  capture.width = client.right;
  capture.height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = capture.width;
  info.bmiHeader.biHeight = -capture.height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  platform::UniqueBitmap dib(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  platform::UniqueDc dc(::CreateCompatibleDC(nullptr));
  if (!dib || !dc || !bits) return capture;
  {
    platform::SelectObjectGuard select(dc.get(), dib.get());
    ::SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
    ::SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    ::GdiFlush();
  }
  const auto* first = static_cast<const uint32_t*>(bits);
  capture.pixels.assign(first, first + static_cast<size_t>(capture.width) * capture.height);
  return capture;
}

// Where the mascot's belly, (256, 400) of 512 x 512, is painted in a pane.
// Turned by 180 degrees that spot of the mascot is see-through.
POINT MascotBelly(HWND pane) {
  RECT client{};
  ::GetClientRect(pane, &client);
  const viewing::PaneRect drawn = viewing::PaintRect(client.right, client.bottom, 512, 512);
  return {drawn.left + 256 * drawn.Width() / 512, drawn.top + 400 * drawn.Height() / 512};
}

Rgba Solid(uint8_t r, uint8_t g, uint8_t b) { return {r, g, b, 255}; }

class PreviewPane : public testing::Test {
 protected:
  void SetUp() override {
    host_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 900,
                              700, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(host_, nullptr);
  }
  void TearDown() override { ::DestroyWindow(host_); }

  // A pane on the host whose client area is cx x cy.
  std::unique_ptr<CPicWindow> MakePane(int cx, int cy, int x = 0, int y = 0) {
    RECT rect{x, y, x + cx, y + cy};
    ::AdjustWindowRectEx(&rect, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
    auto pane = std::make_unique<CPicWindow>();
    if (!pane->Create(host_, rect)) return nullptr;
    RECT client{};
    ::GetClientRect(pane->hwnd(), &client);
    EXPECT_EQ(client.right, cx);
    EXPECT_EQ(client.bottom, cy);
    return pane;
  }

  std::wstring WriteSolid(const std::wstring& name, int w, int h, Rgba colour = Solid(200, 0, 0)) {
    const std::wstring path = folder_ / name;
    EXPECT_TRUE(testsupport::WritePng(path, w, h, [&](int, int) { return colour; }));
    return path;
  }

  static bool Load(CPicWindow& pane, const std::wstring& path, bool fromResource = false) {
    pane.RequestPicture(path, fromResource);
    return pane.WaitUntilIdle(kLoadLimit);
  }

  testsupport::TempFolder folder_;
  HWND host_ = nullptr;
};

TEST_F(PreviewPane, CreatedAsASunkenChildThatNeverScrolls) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  wchar_t className[64] = {};
  ::GetClassNameW(pane->hwnd(), className, 64);
  EXPECT_STREQ(className, L"CImageWindow2017");
  EXPECT_EQ(::GetClassLongW(pane->hwnd(), GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(pane->hwnd(), GWL_STYLE)), 0x56000000u);
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongW(pane->hwnd(), GWL_EXSTYLE)), 0x200u);

  ASSERT_TRUE(Load(*pane, WriteSolid(L"wide.png", 4000, 1000)));
  const Capture before = Render(pane->hwnd());
  ::SendMessageW(pane->hwnd(), WM_VSCROLL, SB_LINEDOWN, 0);
  ::SendMessageW(pane->hwnd(), WM_VSCROLL, SB_BOTTOM, 0);
  ::SendMessageW(pane->hwnd(), WM_HSCROLL, SB_PAGEDOWN, 0);
  ::SendMessageW(pane->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  ::SendMessageW(pane->hwnd(), WM_SETTINGCHANGE, SPI_SETWHEELSCROLLLINES, 0);
  EXPECT_EQ(Render(pane->hwnd()).pixels, before.pixels);
  EXPECT_EQ(::GetWindowLongW(pane->hwnd(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
}

// The stored copy is the decoded picture scaled for the pane.
TEST_F(PreviewPane, StoresThePictureScaledForThePane) {
  struct Case {
    const wchar_t* name;
    int w, h;
    int storedW, storedH;
  } const cases[] = {
      {L"panorama.png", 4000, 1000, 400, 100},
      {L"tower.png", 1000, 4000, 75, 300},
      {L"small.png", 100, 50, 100, 50},
      // Scaled to under one pixel high; a one-pixel line still shows it.
      {L"strip.png", 4000, 4, 400, 1},
  };
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  uint32_t requests = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
    ASSERT_TRUE(Load(*pane, WriteSolid(c.name, c.w, c.h)));
    const viewing::PreviewState state = pane->State();
    EXPECT_EQ(state.loads, ++requests) << "one load per request";
    EXPECT_TRUE(state.hasPicture);
    EXPECT_EQ(state.width, c.storedW);
    EXPECT_EQ(state.height, c.storedH);
    EXPECT_FALSE(state.hasAlpha);
  }
}

TEST_F(PreviewPane, PaintsAFittedPictureInsideTheMargins) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  ASSERT_TRUE(Load(*pane, WriteSolid(L"panorama.png", 4000, 1000, Solid(200, 0, 0))));
  // Painted into (5, 100, 395, 200); the edges may blend, so look one pixel in.
  const Capture shot = Render(pane->hwnd());
  const auto isPicture = [&](int x, int y) {
    const uint32_t c = shot.At(x, y);
    return (c >> 16) > 150 && (c & 0xFFFF) < 0x2020;
  };
  EXPECT_EQ(shot.At(200, 99), kBackground);
  EXPECT_TRUE(isPicture(200, 101));
  EXPECT_TRUE(isPicture(200, 198));
  EXPECT_EQ(shot.At(200, 200), kBackground);
  EXPECT_EQ(shot.At(4, 150), kBackground);
  EXPECT_TRUE(isPicture(6, 150));
  EXPECT_TRUE(isPicture(393, 150));
  EXPECT_EQ(shot.At(395, 150), kBackground);
  EXPECT_EQ(shot.At(0, 0), kBackground);
  EXPECT_FALSE(std::any_of(shot.pixels.begin(), shot.pixels.end(), [](uint32_t p) {
    return (p & 0xFFFFFF) == kWhite || (p & 0xFFFFFF) == kLightGrey;
  })) << "no checkerboard under a picture without alpha";
}

TEST_F(PreviewPane, TransparentPictureHasTheCheckerboardOnlyUnderIt) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  // 200 x 100, left half see-through, right half opaque blue: centred at (100, 100, 300, 200).
  const std::wstring path = folder_ / L"half-clear.png";
  ASSERT_TRUE(testsupport::WritePng(
      path, 200, 100,
      [](int x, int) {
        return x < 100 ? Rgba{0, 0, 0, 0} : Rgba{0, 0, 255, 255};
      },
      true));
  ASSERT_TRUE(Load(*pane, path));
  EXPECT_TRUE(pane->State().hasAlpha);

  const Capture shot = Render(pane->hwnd());
  bool sawWhite = false, sawGrey = false;
  for (int y = 101; y < 199; ++y)
    for (int x = 101; x < 199; ++x) {
      ASSERT_TRUE(shot.IsCheckerboard(x, y)) << x << ", " << y;
      (shot.At(x, y) == kWhite ? sawWhite : sawGrey) = true;
    }
  EXPECT_TRUE(sawWhite && sawGrey);
  EXPECT_EQ(shot.At(250, 150), 0x0000FFu);
  for (const POINT outside : {POINT{99, 150}, POINT{150, 99}, POINT{150, 200}, POINT{300, 150},
                              POINT{20, 20}, POINT{380, 280}})
    EXPECT_EQ(shot.At(outside.x, outside.y), kBackground) << outside.x << ", " << outside.y;
}

// Pictures 5 pixels high or less count as having no alpha.
TEST_F(PreviewPane, AlphaProbeIgnoresPicturesFivePixelsHighOrLess) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  for (const int height : {5, 6}) {
    const std::wstring path = folder_ / (L"clear-" + std::to_wstring(height) + L".png");
    ASSERT_TRUE(testsupport::WritePng(
        path, 50, height,
        [](int, int) {
          return Rgba{0, 0, 0, 0};
        },
        true));
    ASSERT_TRUE(Load(*pane, path));
    EXPECT_EQ(pane->State().hasAlpha, height > 5) << height;
  }
}

// The alpha a pane needs to know is the decoder's answer of the one opening
// that then scales the picture.
TEST_F(PreviewPane, EveryPictureIsOpenedOnce) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  const std::wstring clear = folder_ / L"clear.png";
  ASSERT_TRUE(testsupport::WritePng(
      clear, 300, 200,
      [](int x, int) {
        return Rgba{0, 0, 255, static_cast<uint8_t>(x)};
      },
      true));
  for (const std::wstring& path : {clear, WriteSolid(L"solid.png", 800, 600)}) {
    SCOPED_TRACE(testing::Message() << path.size());
    const uint64_t before = platform::DecodedImage::OpenedSoFar();
    ASSERT_TRUE(Load(*pane, path));
    EXPECT_TRUE(pane->State().hasPicture);
    EXPECT_EQ(platform::DecodedImage::OpenedSoFar() - before, 1u);
  }
}

// A file of a few bytes that declares 60000 x 60000 pixels goes to no
// decoder: the pane shows its background and the process takes no memory
// for it.
TEST_F(PreviewPane, PictureDeclaringBillionsOfPixelsIsNotDecoded) {
  std::string png = testsupport::PngBytes(
      16, 16, [](int, int) { return Solid(1, 2, 3); }, false);
  testsupport::DeclarePngSize(png, 60000, 60000);
  const std::wstring bomb = folder_ / L"bomb.png";
  ASSERT_TRUE(platform::WriteFileBytes(bomb, png));
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  ASSERT_TRUE(Load(*pane, WriteSolid(L"before.png", 800, 600)));
  PROCESS_MEMORY_COUNTERS before{}, after{};
  ASSERT_TRUE(::K32GetProcessMemoryInfo(::GetCurrentProcess(), &before, sizeof before));
  const uint64_t opened = platform::DecodedImage::OpenedSoFar();
  ASSERT_TRUE(Load(*pane, bomb));
  ASSERT_TRUE(::K32GetProcessMemoryInfo(::GetCurrentProcess(), &after, sizeof after));
  EXPECT_FALSE(pane->State().hasPicture);
  EXPECT_EQ(platform::DecodedImage::OpenedSoFar(), opened);
  const double grownMb = (static_cast<double>(after.PeakPagefileUsage) -
                          static_cast<double>(before.PeakPagefileUsage)) /
                         (1 << 20);
  std::printf("[ measured ] peak commit grew by %.1f MB for the 60000 x 60000 file\n", grownMb);
  EXPECT_LT(grownMb, 64.0);
  const Capture shot = Render(pane->hwnd());
  for (const POINT at : {POINT{200, 150}, POINT{10, 10}, POINT{390, 290}})
    EXPECT_EQ(shot.At(at.x, at.y), kBackground) << at.x << ", " << at.y;
}

// A photo of ten megapixels shows fitted to the pane (the large photos of
// the Linux tests; the time it takes is printed).
TEST_F(PreviewPane, LargePhotoShowsFitted) {
  const std::wstring photo = FromBuildPath(DUPLORA_BUILD_ROOT "/large-photos/set/harbour.jpg");
  if (!std::filesystem::exists(photo)) GTEST_SKIP() << "the native tests make the large photos";
  auto pane = MakePane(600, 450);
  ASSERT_TRUE(pane);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Load(*pane, photo));
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ measured ] 4000 x 2668 JPEG shown in the pane in %.0f ms\n", ms);
  const viewing::PaneRect fitted = viewing::FitRect({0, 0, 600, 450}, 4000, 2668);
  EXPECT_EQ(pane->State().width, fitted.Width());
  EXPECT_EQ(pane->State().height, fitted.Height());
  const Capture shot = Render(pane->hwnd());
  EXPECT_NE(shot.At(300, 225), kBackground);
}

TEST_F(PreviewPane, UnreadableFileLeavesOnlyTheBackground) {
  const std::wstring notPicture = folder_ / L"notes.jpg";
  {
    const std::string text = "not a picture";
    platform::UniqueFile file(::CreateFileW(notPicture.c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(
        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
  }
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  for (const std::wstring& path : {folder_ / L"gone.png", notPicture}) {
    SCOPED_TRACE(testing::Message() << path.size());
    // A picture first, so the failed load has something to drop.
    ASSERT_TRUE(Load(*pane, WriteSolid(L"before.png", 800, 600)));
    ASSERT_TRUE(pane->State().hasPicture);
    ASSERT_TRUE(Load(*pane, path));
    EXPECT_FALSE(pane->State().hasPicture);
    const Capture shot = Render(pane->hwnd());
    EXPECT_TRUE(std::all_of(shot.pixels.begin(), shot.pixels.end(),
                            [](uint32_t p) { return (p & 0xFFFFFF) == kBackground; }));
  }
}

TEST_F(PreviewPane, PlaceholderComesFromTheProgramAndTurnsWithTheFlag) {
  auto upright = MakePane(300, 300, 0, 0);
  auto turned = MakePane(300, 300, 320, 0);
  ASSERT_TRUE(upright && turned);
  turned->turned = true;
  ASSERT_TRUE(Load(*upright, viewing::kPlaceholderPicture, true));
  ASSERT_TRUE(Load(*turned, viewing::kPlaceholderPicture, true));
  for (CPicWindow* pane : {upright.get(), turned.get()}) {
    const viewing::PreviewState state = pane->State();
    EXPECT_TRUE(state.hasPicture);
    EXPECT_EQ(state.width, 512);
    EXPECT_EQ(state.height, 512);
    EXPECT_TRUE(state.hasAlpha);
  }
  const POINT spot = MascotBelly(upright->hwnd());
  const uint32_t belly = Render(upright->hwnd()).At(spot.x, spot.y);
  const int r = belly >> 16, g = (belly >> 8) & 0xFF, b = belly & 0xFF;
  EXPECT_TRUE(g > r + 40 && b > r + 40) << std::hex << belly;
  EXPECT_TRUE(Render(turned->hwnd()).IsCheckerboard(spot.x, spot.y));

  ASSERT_TRUE(Load(*upright, L"NO_SUCH.PNG", true));
  EXPECT_FALSE(upright->State().hasPicture);
}

TEST_F(PreviewPane, QuickRequestsAreMergedAndTheLastWins) {
  std::vector<std::wstring> paths;
  for (int i = 0; i < 10; ++i)
    paths.push_back(WriteSolid(L"pick-" + std::to_wstring(i) + L".png", 100 + i, 50));
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  for (const std::wstring& path : paths) pane->RequestPicture(path, false);
  ASSERT_TRUE(pane->WaitUntilIdle(kLoadLimit));
  const viewing::PreviewState state = pane->State();
  EXPECT_EQ(state.requests, 10u);
  EXPECT_LT(state.loads, 10u);
  EXPECT_EQ(state.loadedPath, paths.back());
  EXPECT_EQ(state.width, 109);
}

TEST_F(PreviewPane, ResizingReloadsOnceAfterTheLastSizeChange) {
  auto pane = MakePane(400, 300);
  ASSERT_TRUE(pane);
  ASSERT_TRUE(Load(*pane, WriteSolid(L"four-three.png", 800, 600)));
  guitest::PumpPending();
  ASSERT_TRUE(pane->WaitUntilIdle(kLoadLimit));
  const viewing::PreviewState before = pane->State();
  ASSERT_EQ(before.width, 400);

  for (const int cx : {380, 340, 300, 260, 200})
    ::SetWindowPos(pane->hwnd(), nullptr, 0, 0, cx + 4, cx * 3 / 4 + 4,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(pane->State().requests, before.requests) << "a reload waits for the timer";
  ASSERT_TRUE(guitest::PumpUntil([&] { return pane->State().requests > before.requests; }));
  ASSERT_TRUE(pane->WaitUntilIdle(kLoadLimit));

  const viewing::PreviewState after = pane->State();
  EXPECT_EQ(after.requests, before.requests + 1);
  EXPECT_EQ(after.loads, before.loads + 1);
  RECT client{};
  ::GetClientRect(pane->hwnd(), &client);
  EXPECT_EQ(after.width, client.right);
  EXPECT_EQ(after.height, client.bottom);
}

// A pane goes with the compare window, possibly in the middle of a load.
TEST_F(PreviewPane, DestroyedWhileLoadingStopsAndJoinsTheWorker) {
  const std::wstring big = WriteSolid(L"big.png", 2500, 2500);
  for (const bool byWindow : {true, false}) {
    SCOPED_TRACE(byWindow ? "window destroyed" : "object deleted");
    auto pane = MakePane(400, 300);
    ASSERT_TRUE(pane);
    pane->RequestPicture(big, false);
    ASSERT_TRUE(guitest::PumpUntil([&] { return pane->State().handled == 1; }));
    if (byWindow) {
      HWND window = pane->hwnd();
      ::DestroyWindow(window);
      EXPECT_FALSE(::IsWindow(window));
      EXPECT_EQ(pane->hwnd(), nullptr);
      pane->RequestPicture(big, false);
      EXPECT_EQ(pane->State().requests, 1u) << "no requests after shutdown";
      EXPECT_FALSE(pane->WaitUntilIdle(5s));
    }
    pane.reset();
    guitest::PumpPending();
    EXPECT_TRUE(::IsWindow(host_));
  }
}

// Both panes as the compare window lays them out over its controls 1000 and
// 1001; the screen is saved as build/screenshots/preview-panes.png.
TEST(PreviewPanes, ShowASampleAndTheTurnedMascotSideBySide) {
  WNDCLASSEXW hostClass{sizeof hostClass};
  hostClass.lpfnWndProc = ::DefWindowProcW;
  hostClass.hInstance = ::GetModuleHandleW(nullptr);
  hostClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  hostClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  hostClass.lpszClassName = L"DuploraTestPreviewHost";
  ::RegisterClassExW(&hostClass);
  RECT frame{0, 0, 2 * 404 + 3 * 8, 304 + 2 * 8};
  ::AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
  HWND host = ::CreateWindowExW(0, hostClass.lpszClassName, L"Preview panes",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, hostClass.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  CPicWindow left, right;
  CPicWindow* panes[] = {&left, &right};
  for (int i = 0; i < 2; ++i) {
    HWND control = ::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 8 + i * (404 + 8), 8, 404, 304,
        host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1000 + i)), nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, control, reinterpret_cast<POINT*>(&rect), 2);
    ASSERT_TRUE(panes[i]->Create(control, rect));
  }
  right.turned = true;
  left.RequestPicture(viewing::kPlaceholderPicture, true);
  right.RequestPicture(viewing::kPlaceholderPicture, true);
  left.RequestPicture(FromBuildPath(DUPLORA_SAMPLES "/lake.jpg"), false);
  ASSERT_TRUE(left.WaitUntilIdle(kLoadLimit) && right.WaitUntilIdle(kLoadLimit));

  const viewing::PreviewState shown = left.State();
  EXPECT_EQ(shown.width, 400);  // 480 x 360 in a 400 x 300 pane
  EXPECT_EQ(shown.height, 300);
  EXPECT_EQ(right.State().width, 512);
  const POINT spot = MascotBelly(right.hwnd());
  EXPECT_TRUE(Render(right.hwnd()).IsCheckerboard(spot.x, spot.y))
      << "the mascot stands on its head";

  ::UpdateWindow(host);
  guitest::PumpPending();
  // The client area: without a window manager the caption stays undrawn.
  RECT client{};
  ::GetClientRect(host, &client);
  POINT origin{0, 0};
  ::ClientToScreen(host, &origin);
  const int w = client.right, h = client.bottom;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc dc(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap shot(::CreateCompatibleBitmap(screen.get(), w, h));
  ASSERT_TRUE(dc && shot);
  {
    platform::SelectObjectGuard select(dc.get(), shot.get());
    ::BitBlt(dc.get(), 0, 0, w, h, screen.get(), origin.x, origin.y, SRCCOPY);
  }
  const std::wstring folder = FromBuildPath(DUPLORA_SCREENSHOTS);
  std::filesystem::create_directories(std::filesystem::path(folder));
  const std::wstring file = folder + L"\\preview-panes.png";
  Gdiplus::GpBitmap* image = nullptr;
  ASSERT_EQ(Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(shot.get(), nullptr, &image),
            Gdiplus::Ok);
  platform::GpImagePtr owner(image);
  // The PNG encoder.
  const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  EXPECT_EQ(Gdiplus::DllExports::GdipSaveImageToFile(image, file.c_str(), &png, nullptr),
            Gdiplus::Ok);
  ::DestroyWindow(host);
}

}  // namespace
