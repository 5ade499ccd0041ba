#include "viewing/CPicWindow.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ComThread.h"
#include "platform/GdiPixels_win.h"
#include "platform/Resources.h"
#include "viewing/PreviewGeometry.h"

namespace viewing {
namespace {

constexpr UINT_PTR kResizeTimer = 1000;
constexpr UINT kResizeDelayMs = 20;
constexpr DWORD kExtractQuality = 0x200;  // IEIFLAG_QUALITY
// Shorter pictures are thumbnails' strips and icons: the alpha probe ignores them.
constexpr UINT kProbeMinHeight = 5;

// 16 x 16 of four 8 x 8 squares: white top-left and bottom-right, light grey
// elsewhere.
platform::UniqueBrush MakeCheckerboard() {
  uint32_t bits[16 * 16];
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      bits[y * 16 + x] = ((x < 8) == (y < 8)) ? 0xFFFFFFFFu : 0xFFDDDDDDu;
  platform::UniqueBitmap pattern(::CreateBitmap(16, 16, 1, 32, bits));
  if (!pattern) return {};
  return platform::UniqueBrush(::CreatePatternBrush(pattern.get()));
}

}  // namespace

CPicWindow::CPicWindow() : checkerboard_(MakeCheckerboard()) {}

CPicWindow::~CPicWindow() {
  Shutdown();
  // The window goes in the base's destructor, after the worker has ended.
}

HWND CPicWindow::Create(HWND parent, const RECT& rect) {
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = L"CImageWindow2017";
  return CreateWindowOfClass(
      windowClass, WS_EX_CLIENTEDGE, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
      rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr);
}

void CPicWindow::RequestPicture(const std::wstring& path, bool fromResource) {
  if (!hwnd()) return;
  {
    std::lock_guard guard(lock_);
    if (stop_) return;
    path_ = path;
    fromResource_ = fromResource;
    ++requestCount_;
  }
  pictureRequested_ = true;
  if (!worker_.joinable()) {
    try {
      worker_ = std::thread(&CPicWindow::WorkerLoop, this, hwnd());
    } catch (...) {
      return;  // no thread now; the next request tries again
    }
  }
  requested_.notify_one();
}

void CPicWindow::Shutdown() {
  {
    std::lock_guard guard(lock_);
    stop_ = true;
  }
  requested_.notify_all();
  loaded_.notify_all();
  if (worker_.joinable()) worker_.join();
}

PreviewState CPicWindow::State() const {
  std::lock_guard guard(lock_);
  PreviewState state;
  state.hasPicture = static_cast<bool>(current_);
  state.width = current_.pixels.width;
  state.height = current_.pixels.height;
  state.hasAlpha = current_.hasAlpha;
  state.requests = requestCount_;
  state.handled = handledCount_;
  state.loads = loads_;
  state.loadedPath = loadedPath_;
  return state;
}

bool CPicWindow::WaitUntilIdle(std::chrono::milliseconds limit) const {
  std::unique_lock lock(lock_);
  return loaded_.wait_for(lock, limit, [&] { return stop_ || finishedCount_ == requestCount_; }) &&
         !stop_;
}

LRESULT CPicWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      return OnSize(LOWORD(lParam), HIWORD(lParam));
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
      return OnPaint();
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_HSCROLL:
      return OnScroll(SB_HORZ, LOWORD(wParam), HIWORD(wParam));
    case WM_VSCROLL:
      return OnScroll(SB_VERT, LOWORD(wParam), HIWORD(wParam));
    case WM_MOUSEWHEEL:
      return OnMouseWheel(SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam));
    case WM_MOUSEHWHEEL:
      return OnMouseWheel(SB_HORZ, GET_WHEEL_DELTA_WPARAM(wParam));
    case WM_SETTINGCHANGE:
      return OnSettingChange();
    case WM_DESTROY:
      return OnDestroy();
  }
  return DefaultMessage(message, wParam, lParam);
}

LRESULT CPicWindow::OnCreate() {
  scrollExtent_ = {1, 1};
  scrollOrigin_ = {};
  OnSettingChange();
  return 0;
}

LRESULT CPicWindow::OnSize(int cx, int cy) {
  client_ = {cx, cy};
  ScrollTo(scrollOrigin_.x, scrollOrigin_.y);
  // Until a picture is asked for there is nothing to reload: the first load
  // reads the client size when it starts.
  if (pictureRequested_) ::SetTimer(hwnd(), kResizeTimer, kResizeDelayMs, nullptr);
  return 0;
}

LRESULT CPicWindow::OnEraseBackground(HDC dc) {
  RECT box{};
  ::GetClipBox(dc, &box);
  ::SetBkColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, background_);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &box, nullptr, 0, nullptr);
  return 1;
}

LRESULT CPicWindow::OnPaint() {
  platform::PaintScope paint(hwnd());
  if (paint.dc()) Paint(paint.dc());
  return 0;
}

LRESULT CPicWindow::OnTimer(UINT_PTR id) {
  if (id != kResizeTimer) return 0;
  ::KillTimer(hwnd(), kResizeTimer);
  {
    std::lock_guard guard(lock_);
    if (stop_ || path_.empty()) return 0;
    ++requestCount_;
  }
  requested_.notify_one();
  return 0;
}

// The scrolling base: with an extent of 1 x 1 the extent never exceeds the
// client area, so every position clamps to 0 and nothing moves.
LRESULT CPicWindow::OnScroll(int bar, WORD code, WORD thumb) {
  const bool vertical = bar == SB_VERT;
  const LONG now = vertical ? scrollOrigin_.y : scrollOrigin_.x;
  const LONG page = vertical ? client_.cy : client_.cx;
  const LONG extent = vertical ? scrollExtent_.cy : scrollExtent_.cx;
  LONG next = now;
  switch (code) {
    case SB_LINEUP:
      next = now - 1;
      break;
    case SB_LINEDOWN:
      next = now + 1;
      break;
    case SB_PAGEUP:
      next = now - page;
      break;
    case SB_PAGEDOWN:
      next = now + page;
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      next = thumb;
      break;
    case SB_TOP:
      next = 0;
      break;
    case SB_BOTTOM:
      next = extent;
      break;
  }
  if (vertical)
    ScrollTo(scrollOrigin_.x, next);
  else
    ScrollTo(next, scrollOrigin_.y);
  return 0;
}

LRESULT CPicWindow::OnMouseWheel(int bar, short delta) {
  const LONG lines = wheelLines_ == WHEEL_PAGESCROLL ? (bar == SB_VERT ? client_.cy : client_.cx)
                                                     : static_cast<LONG>(wheelLines_);
  const LONG step = -delta * lines / WHEEL_DELTA;
  if (bar == SB_VERT)
    ScrollTo(scrollOrigin_.x, scrollOrigin_.y + step);
  else
    ScrollTo(scrollOrigin_.x + step, scrollOrigin_.y);
  return 0;
}

LRESULT CPicWindow::OnSettingChange() {
  UINT lines = 3;
  if (::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) wheelLines_ = lines;
  return 0;
}

LRESULT CPicWindow::OnDestroy() {
  ::KillTimer(hwnd(), kResizeTimer);
  // The worker invalidates this window; it must be gone before the window is.
  Shutdown();
  return 0;
}

void CPicWindow::ScrollTo(LONG x, LONG y) {
  const LONG maxX = std::max<LONG>(0, scrollExtent_.cx - client_.cx);
  const LONG maxY = std::max<LONG>(0, scrollExtent_.cy - client_.cy);
  const POINT next{std::clamp<LONG>(x, 0, maxX), std::clamp<LONG>(y, 0, maxY)};
  if (next.x == scrollOrigin_.x && next.y == scrollOrigin_.y) return;
  scrollOrigin_ = next;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CPicWindow::Paint(HDC dc) {
  // A print-client caller may have moved the origin itself; leave its DC as found.
  const int saved = ::SaveDC(dc);
  PaintPicture(dc);
  if (saved) ::RestoreDC(dc, saved);
}

void CPicWindow::PaintPicture(HDC dc) {
  ::OffsetViewportOrgEx(dc, -scrollOrigin_.x, -scrollOrigin_.y, nullptr);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  // Held while drawing, so the worker cannot free the picture under us.
  std::lock_guard guard(lock_);
  if (!current_) return;
  const PaneRect rect =
      PaintRect(client.right, client.bottom, current_.pixels.width, current_.pixels.height);
  if (rect.IsEmpty()) return;
  ::SetBkColor(dc, RGB(0, 0, 0));
  const RECT target{rect.left, rect.top, rect.right, rect.bottom};
  if (current_.hasAlpha && checkerboard_) ::FillRect(dc, &target, checkerboard_.get());
  platform::DrawPixels(dc, current_.pixels, target);
}

void CPicWindow::WorkerLoop(HWND window) {
  try {
    platform::ComThread com;
    std::unique_lock lock(lock_);
    for (;;) {
      requested_.wait(lock, [&] { return stop_ || handledCount_ != requestCount_; });
      if (stop_) return;
      // Everything asked for until now is served by this one load.
      handledCount_ = requestCount_;
      const uint32_t serving = handledCount_;
      const std::wstring path = path_;
      const bool fromResource = fromResource_;
      lock.unlock();
      LoadPicture(window, path, fromResource);
      lock.lock();
      finishedCount_ = serving;
      ++loads_;
      loadedPath_ = path;
      loaded_.notify_all();
    }
  } catch (...) {
    // The pane keeps what it shows; nothing may unwind out of the thread.
  }
}

bool CPicWindow::StopRequested() const {
  std::lock_guard guard(lock_);
  return stop_;
}

void CPicWindow::LoadPicture(HWND window, const std::wstring& path, bool fromResource) {
  RECT client{};
  ::GetClientRect(window, &client);
  {
    // Freed outside the lock; until the new picture is ready the pane shows
    // its background.
    Picture dropped;
    {
      std::lock_guard guard(lock_);
      dropped = std::exchange(current_, Picture{});
    }
  }
  Picture next = fromResource ? LoadPlaceholder(path) : LoadFile(path, client);
  {
    std::lock_guard guard(lock_);
    if (stop_) return;
    current_ = std::move(next);
  }
  ::InvalidateRect(window, nullptr, TRUE);
}

CPicWindow::Picture CPicWindow::LoadPlaceholder(const std::wstring& name) {
  const auto bytes = platform::ProgramResource(L"PNG", name);
  if (!bytes || bytes->empty()) return {};
  auto image = platform::DecodedImage::LoadBytes(std::string(bytes->begin(), bytes->end()));
  if (!image) return {};
  auto pixels = platform::ScaledCopy(*image, image->Width(), image->Height());
  if (!pixels) return {};
  if (turned) platform::TurnHalfway(*pixels);
  return {std::move(*pixels), image->HasAlpha()};
}

CPicWindow::Picture CPicWindow::LoadFile(const std::wstring& path, const RECT& client) {
  // A file that declares billions of pixels goes to no source at all: the
  // shell's would try to decode it too.
  if (platform::DeclaresTooManyPixels(path)) return {};
  const std::optional<platform::DecodedImage> image = platform::DecodedImage::Load(path);
  const bool hasAlpha =
      image && image->Height() > static_cast<int>(kProbeMinHeight) && image->HasAlpha();
  if (StopRequested()) return {};
  // The shell's thumbnails carry no alpha, so pictures with it are decoded.
  if (hasAlpha) return Fitted(*image, client, true);

  // The shell's thumbnails at twice the pane's size come before a full decode.
  const int cx = client.right - client.left;
  const int cy = client.bottom - client.top;
  shellExtractor_.pause = true;
  platform::UniqueBitmap extracted = shellExtractor_.Extract(path, 2 * cx, 2 * cy, kExtractQuality);
  std::optional<platform::Bitmap32> shown = platform::OpaquePixels(extracted.get());
  extracted.reset();
  if (!shown) {
    platform::ThumbCacheReader reader;
    if (reader.GetThumbnail(path, 2 * cx)) shown = platform::OpaquePixels(reader.bitmap());
  }
  if (shown) return {std::move(*shown), false};
  if (StopRequested() || !image) return {};
  return Fitted(*image, client, false);
}

CPicWindow::Picture CPicWindow::Fitted(const platform::DecodedImage& image, const RECT& client,
                                       bool hasAlpha) const {
  const PaneRect target = FitRect({client.left, client.top, client.right, client.bottom},
                                  image.Width(), image.Height());
  // A long strip would scale to no pixels at all in its short direction;
  // one pixel still shows it.
  auto pixels =
      platform::ScaledCopy(image, std::max(1, target.Width()), std::max(1, target.Height()));
  if (!pixels) return {};
  if (turned) platform::TurnHalfway(*pixels);
  return {std::move(*pixels), hasAlpha};
}

}  // namespace viewing
