#include "viewing/CPicWindow.h"

#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ComThread.h"
#include "platform/ImageDecoder.h"
#include "platform/Resources.h"
#include "viewing/PreviewGeometry.h"

using Microsoft::WRL::ComPtr;

namespace viewing {
namespace Gp = Gdiplus::DllExports;
namespace {

constexpr UINT_PTR kResizeTimer = 1000;
constexpr UINT kResizeDelayMs = 20;
constexpr DWORD kExtractQuality = 0x200;   // IEIFLAG_QUALITY
constexpr PROPID kThumbnailData = 0x501B;  // PropertyTagThumbnailData
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

platform::GpImagePtr OpenBitmap(const std::wstring& path) {
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gp::GdipCreateBitmapFromFile(path.c_str(), &bitmap) != Gdiplus::Ok) return nullptr;
  return platform::GpImagePtr(bitmap);
}

SIZE ImageSize(Gdiplus::GpImage* image) {
  UINT w = 0, h = 0;
  Gp::GdipGetImageWidth(image, &w);
  Gp::GdipGetImageHeight(image, &h);
  return {static_cast<LONG>(w), static_cast<LONG>(h)};
}

bool FormatHasAlpha(Gdiplus::GpImage* image) {
  Gdiplus::PixelFormat format = 0;
  Gp::GdipGetImagePixelFormat(image, &format);
  return (format & platform::kPixelFormatAlpha) != 0;
}

// A GDI+ copy of a shell bitmap; nothing when the wrapper has no width. The
// copy owns its pixels, so the handle can go as soon as this returns.
platform::GpImagePtr CopyShellBitmap(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  Gdiplus::GpBitmap* wrapped = nullptr;
  if (Gp::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &wrapped) != Gdiplus::Ok || !wrapped)
    return nullptr;
  platform::GpImagePtr wrapper(wrapped);
  const SIZE size = ImageSize(wrapped);
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  Gdiplus::PixelFormat format = 0;
  Gp::GdipGetImagePixelFormat(wrapped, &format);
  Gdiplus::GpBitmap* copy = nullptr;
  if (Gp::GdipCloneBitmapAreaI(0, 0, size.cx, size.cy, format, wrapped, &copy) != Gdiplus::Ok ||
      !copy)
    return nullptr;
  return platform::GpImagePtr(copy);
}

// The whole picture drawn into a new w x h bitmap at the fastest settings.
platform::GpImagePtr DrawFast(Gdiplus::GpImage* image, int w, int h) {
  Gdiplus::GpBitmap* canvas = nullptr;
  if (Gp::GdipCreateBitmapFromScan0(w, h, 0, platform::kFormat32bppArgb, nullptr, &canvas) !=
          Gdiplus::Ok ||
      !canvas)
    return nullptr;
  platform::GpImagePtr result(canvas);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (Gp::GdipGetImageGraphicsContext(canvas, &graphics) != Gdiplus::Ok || !graphics)
    return nullptr;
  platform::GpGraphicsPtr graphicsOwner(graphics);
  Gp::GdipSetCompositingQuality(graphics, Gdiplus::CompositingQualityHighSpeed);
  Gp::GdipSetSmoothingMode(graphics, Gdiplus::SmoothingModeHighSpeed);
  Gp::GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeLowQuality);
  Gp::GdipSetCompositingMode(graphics, Gdiplus::CompositingModeSourceCopy);
  if (Gp::GdipDrawImageRectI(graphics, image, 0, 0, w, h) != Gdiplus::Ok) return nullptr;
  return result;
}

}  // namespace

CPicWindow::CPicWindow() : checkerboard_(MakeCheckerboard()) { platform::EnsureGdiplusStarted(); }

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
  state.width = current_.width;
  state.height = current_.height;
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
  const PaneRect rect = PaintRect(client.right, client.bottom, current_.width, current_.height);
  if (rect.IsEmpty()) return;
  ::SetBkColor(dc, RGB(0, 0, 0));
  if (current_.hasAlpha && checkerboard_) {
    const RECT fill{rect.left, rect.top, rect.right, rect.bottom};
    ::FillRect(dc, &fill, checkerboard_.get());
  }
  Gdiplus::GpGraphics* graphics = nullptr;
  if (Gp::GdipCreateFromHDC(dc, &graphics) != Gdiplus::Ok || !graphics) return;
  platform::GpGraphicsPtr owner(graphics);
  Gp::GdipDrawImageRectI(graphics, current_.image.get(), rect.left, rect.top, rect.Width(),
                         rect.Height());
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
  // The previous placeholder was dropped with the current picture, so its
  // block is free to go.
  resourceBlock_.reset();
  const auto bytes = platform::ProgramResource(L"PNG", name);
  if (!bytes || bytes->empty()) return {};
  resourceBlock_.reset(::GlobalAlloc(GMEM_MOVEABLE, bytes->size()));
  if (!resourceBlock_) return {};
  void* data = ::GlobalLock(resourceBlock_.get());
  if (!data) return {};
  std::memcpy(data, bytes->data(), bytes->size());
  ::GlobalUnlock(resourceBlock_.get());

  ComPtr<IStream> stream;
  if (FAILED(::CreateStreamOnHGlobal(resourceBlock_.get(), FALSE, stream.GetAddressOf())))
    return {};
  Gdiplus::GpBitmap* bitmap = nullptr;
  if (Gp::GdipCreateBitmapFromStreamICM(stream.Get(), &bitmap) != Gdiplus::Ok || !bitmap) return {};
  stream.Reset();  // the picture holds the stream as long as it needs it
  Picture picture;
  picture.image.reset(bitmap);
  if (turned) Gp::GdipImageRotateFlip(bitmap, Gdiplus::Rotate180FlipNone);
  const SIZE size = ImageSize(bitmap);
  picture.width = size.cx;
  picture.height = size.cy;
  picture.hasAlpha = FormatHasAlpha(bitmap);
  return picture;
}

CPicWindow::Picture CPicWindow::LoadFile(const std::wstring& path, const RECT& client) {
  bool hasAlpha = false;
  if (platform::GpImagePtr probe = OpenBitmap(path)) {
    if (ImageSize(probe.get()).cy > static_cast<LONG>(kProbeMinHeight))
      hasAlpha = FormatHasAlpha(probe.get());
  }
  if (StopRequested()) return {};
  // The shell's thumbnails carry no alpha, so pictures with it are decoded.
  if (hasAlpha) return DecodeFitted(path, client, true);

  // The shell's thumbnails at twice the pane's size come before a full decode.
  const int cx = client.right - client.left;
  const int cy = client.bottom - client.top;
  shellExtractor_.pause = true;
  platform::UniqueBitmap extracted = shellExtractor_.Extract(path, 2 * cx, 2 * cy, kExtractQuality);
  platform::GpImagePtr image = CopyShellBitmap(extracted.get());
  extracted.reset();
  if (!image) {
    platform::ThumbCacheReader reader;
    if (reader.GetThumbnail(path, 2 * cx)) image = CopyShellBitmap(reader.bitmap());
  }
  if (image) {
    Picture picture;
    const SIZE size = ImageSize(image.get());
    picture.image = std::move(image);
    picture.width = size.cx;
    picture.height = size.cy;
    return picture;
  }
  if (StopRequested()) return {};
  return DecodeFitted(path, client, false);
}

CPicWindow::Picture CPicWindow::DecodeFitted(const std::wstring& path, const RECT& client,
                                             bool hasAlpha) {
  platform::GpImagePtr decoded = OpenBitmap(path);
  if (!decoded) return {};
  const SIZE size = ImageSize(decoded.get());
  const PaneRect target =
      FitRect({client.left, client.top, client.right, client.bottom}, size.cx, size.cy);
  // A long strip would scale to no pixels at all in its short direction;
  // one pixel still shows it.
  const int tw = std::max(1, target.Width());
  const int th = std::max(1, target.Height());

  UINT thumbnailData = 0;
  if (Gp::GdipGetPropertyItemSize(decoded.get(), kThumbnailData, &thumbnailData) != Gdiplus::Ok)
    thumbnailData = 0;
  platform::GpImagePtr picture;
  // The decoder's thumbnail call would hand back an embedded thumbnail
  // instead of scaling the picture, so files that carry one are drawn.
  if (thumbnailData == 0) {
    Gdiplus::GpImage* thumbnail = nullptr;
    if (Gp::GdipGetImageThumbnail(decoded.get(), tw, th, &thumbnail, nullptr, nullptr) ==
            Gdiplus::Ok &&
        thumbnail)
      picture.reset(thumbnail);
  }
  if (!picture) picture = DrawFast(decoded.get(), tw, th);
  decoded.reset();
  if (!picture) return {};
  if (turned) Gp::GdipImageRotateFlip(picture.get(), Gdiplus::Rotate180FlipNone);
  Picture result;
  const SIZE stored = ImageSize(picture.get());
  result.image = std::move(picture);
  result.width = stored.cx;
  result.height = stored.cy;
  result.hasAlpha = hasAlpha;
  return result;
}

}  // namespace viewing
