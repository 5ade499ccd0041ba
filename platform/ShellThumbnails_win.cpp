#include <windows.h>
#include <shlobj.h>

#include "platform/GdiPlus_win.h"
#include "platform/ShellThumbnails.h"
#include "platform/ThumbBitmap_win.h"

using Microsoft::WRL::ComPtr;

namespace platform {
namespace Gp = Gdiplus::DllExports;
namespace {

// {50EF4544-AC9F-4A8E-B21B-8A26180DB13F}
const CLSID kClsidLocalThumbnailCache = {
    0x50EF4544, 0xAC9F, 0x4A8E, {0xB2, 0x1B, 0x8A, 0x26, 0x18, 0x0D, 0xB1, 0x3F}};
// IThumbnailCache; not every import library carries it.
const IID kIidThumbnailCache = {
    0xF676C15D, 0x596A, 0x4CE2, {0x82, 0x34, 0x33, 0x99, 0x6F, 0x44, 0x5D, 0xB1}};
// System.Image.HorizontalSize and System.Image.VerticalSize.
const PROPERTYKEY kImageHorizontalSize = {
    {0x6444048F, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}}, 3};
const PROPERTYKEY kImageVerticalSize = {
    {0x6444048F, 0x4C8B, 0x11D1, {0x8B, 0x70, 0x08, 0x00, 0x36, 0xB1, 0x1A, 0x03}}, 4};

// The process-wide cache object: made by the first reader, never released;
// it only tells whether the thumbnail cache service exists.
bool ThumbnailCacheExists() {
  static const bool exists = [] {
    IThumbnailCache* cache = nullptr;
    return SUCCEEDED(::CoCreateInstance(kClsidLocalThumbnailCache, nullptr, CLSCTX_INPROC_SERVER,
                                        kIidThumbnailCache, reinterpret_cast<void**>(&cache))) &&
           cache != nullptr;
  }();
  return exists;
}

using CreateItemFromIdListFn = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE, REFIID, void**);

// SHCreateItemFromIDList, looked up once; the library stays loaded.
CreateItemFromIdListFn CreateItemFromIdList() {
  static const CreateItemFromIdListFn fn = [] {
    HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    return shell ? reinterpret_cast<CreateItemFromIdListFn>(
                       reinterpret_cast<void*>(::GetProcAddress(shell, "SHCreateItemFromIDList")))
                 : nullptr;
  }();
  return fn;
}

template <typename Interface>
ComPtr<Interface> ShellItemFor(const std::wstring& path, REFIID iid) {
  ComPtr<Interface> item;
  const CreateItemFromIdListFn create = CreateItemFromIdList();
  if (!create) return item;
  UniqueIdList list(::ILCreateFromPathW(path.c_str()));
  if (!list) return item;
  if (FAILED(create(list.get(), iid, reinterpret_cast<void**>(item.GetAddressOf())))) item.Reset();
  return item;
}

ComPtr<IThumbnailCache> NewCache() {
  ComPtr<IThumbnailCache> cache;
  if (FAILED(::CoCreateInstance(kClsidLocalThumbnailCache, nullptr, CLSCTX_INPROC_SERVER,
                                kIidThumbnailCache,
                                reinterpret_cast<void**>(cache.GetAddressOf()))))
    cache.Reset();
  return cache;
}

}  // namespace

UniqueBitmap CThumbBitmap::Extract(const std::wstring& path, int width, int height, DWORD flags) {
  itemList_.reset();
  path_ = path;
  itemList_.reset(::ILCreateFromPathW(path.c_str()));
  if (!itemList_) return {};

  UniqueIdList parent(::ILClone(itemList_.get()));
  UniqueIdList child(reinterpret_cast<PIDLIST_ABSOLUTE>(::ILClone(::ILFindLastID(itemList_.get()))));
  if (!parent || !child) return {};
  ::ILRemoveLastID(parent.get());

  ComPtr<IShellFolder> desktop;
  if (FAILED(::SHGetDesktopFolder(desktop.GetAddressOf()))) return {};
  ComPtr<IShellFolder> folder;
  if (ILIsEmpty(parent.get())) {  // a macro in the shell headers
    folder = desktop;
  } else if (FAILED(desktop->BindToObject(parent.get(), nullptr, IID_IShellFolder,
                                          reinterpret_cast<void**>(folder.GetAddressOf())))) {
    return {};
  }

  PCUITEMID_CHILD childItem = reinterpret_cast<PCUITEMID_CHILD>(child.get());
  if (FAILED(folder->GetUIObjectOf(nullptr, 1, &childItem, IID_IExtractImage, nullptr,
                                   reinterpret_cast<void**>(extractor_.GetAddressOf()))) ||
      !extractor_)
    return {};

  wchar_t location[520] = {};
  DWORD priority = 0;
  SIZE size{width, height};
  DWORD requestFlags = flags;
  extractor_->GetLocation(location, 520, &priority, &size, 32, &requestFlags);
  if (pause) ::Sleep(1);
  HBITMAP bitmap = nullptr;
  if (FAILED(extractor_->Extract(&bitmap))) bitmap = nullptr;
  extractor_.Reset();
  return UniqueBitmap(bitmap);
}

ThumbCacheReader::ThumbCacheReader() { ThumbnailCacheExists(); }

void ThumbCacheReader::Release() {
  bitmap_.reset();
  shared_.Reset();
}

bool ThumbCacheReader::GetThumbnail(const std::wstring& path, int size) {
  if (!ThumbnailCacheExists()) return false;
  bitmap_.reset();
  ComPtr<IThumbnailCache> cache = NewCache();
  if (!cache) return false;
  shared_.Reset();
  ComPtr<IShellItem> item = ShellItemFor<IShellItem>(path, IID_IShellItem);
  if (!item) return false;
  if (FAILED(cache->GetThumbnail(item.Get(), size, WTS_SCALETOREQUESTEDSIZE,
                                 shared_.GetAddressOf(), nullptr, nullptr)) ||
      !shared_)
    return false;
  // Detach hands the bitmap to us; the shared bitmap's own handle stays its own.
  HBITMAP bitmap = nullptr;
  if (FAILED(shared_->Detach(&bitmap)) || !bitmap) return false;
  bitmap_.reset(bitmap);
  BITMAP info{};
  if (!::GetObjectW(bitmap, sizeof info, &info)) return false;
  size_ = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  return true;
}

bool ThumbCacheReader::GetSquareThumbnail(const std::wstring& path, int size) {
  if (!GetThumbnail(path, size)) return false;
  reportedSize_ = size_;

  EnsureGdiplusStarted();
  Gdiplus::GpBitmap* wrapped = nullptr;
  if (Gp::GdipCreateBitmapFromHBITMAP(bitmap_.get(), nullptr, &wrapped) != Gdiplus::Ok ||
      !wrapped)
    return true;  // keep the cache's own bitmap
  GpImagePtr wrappedOwner(wrapped);
  Gdiplus::GpBitmap* square = nullptr;
  if (Gp::GdipCreateBitmapFromScan0(size, size, 0, kFormat32bppArgb, nullptr, &square) !=
          Gdiplus::Ok ||
      !square)
    return true;
  GpImagePtr squareOwner(square);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (Gp::GdipGetImageGraphicsContext(square, &graphics) != Gdiplus::Ok || !graphics) return true;
  {
    GpGraphicsPtr graphicsOwner(graphics);
    Gp::GdipDrawImageRectI(graphics, wrapped, 0, 0, size, size);
  }
  HBITMAP stretched = nullptr;
  if (Gp::GdipCreateHBITMAPFromBitmap(square, &stretched, 0) != Gdiplus::Ok || !stretched)
    return true;
  bitmap_.reset(stretched);
  size_ = {size, size};
  return true;
}

bool ThumbCacheReader::GetImageSize(const std::wstring& path, int& width, int& height) {
  ComPtr<IShellItem2> item = ShellItemFor<IShellItem2>(path, IID_IShellItem2);
  if (!item) return false;
  ULONG w = 0, h = 0;
  if (FAILED(item->GetUInt32(kImageHorizontalSize, &w))) w = 0;
  if (FAILED(item->GetUInt32(kImageVerticalSize, &h))) h = 0;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

bool ThumbCacheReader::IsAtLeast(const std::wstring& path, int n) {
  int width = 0, height = 0;
  return GetImageSize(path, width, height) && width >= n && height >= n;
}

struct ShellThumbnails::Impl {
  CThumbBitmap extractor;
};

ShellThumbnails::ShellThumbnails() : impl_(std::make_unique<Impl>()) {}
ShellThumbnails::~ShellThumbnails() = default;

std::optional<Bitmap32> ShellThumbnails::Extract(const std::wstring& path, int width, int height,
                                                 uint32_t flags) {
  UniqueBitmap bitmap = impl_->extractor.Extract(path, width, height, flags);
  if (!bitmap) return std::nullopt;
  EnsureGdiplusStarted();
  Gdiplus::GpBitmap* wrapped = nullptr;
  if (Gp::GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, &wrapped) != Gdiplus::Ok || !wrapped)
    return std::nullopt;
  GpImagePtr owner(wrapped);
  UINT wrappedWidth = 0;
  Gp::GdipGetImageWidth(wrapped, &wrappedWidth);
  if (wrappedWidth == 0) return std::nullopt;
  return ReadBitmapBits(bitmap.get());
}

std::optional<Bitmap32> ShellThumbnails::SquareThumbnail(const std::wstring& path, int size) {
  ThumbCacheReader reader;
  if (!reader.GetSquareThumbnail(path, size)) return std::nullopt;
  return ReadBitmapBits(reader.bitmap());
}

std::optional<std::pair<int, int>> ShellThumbnails::ImageSize(const std::wstring& path) {
  ThumbCacheReader reader;
  int width = 0, height = 0;
  if (!reader.GetImageSize(path, width, height)) return std::nullopt;
  return std::make_pair(width, height);
}

bool ShellThumbnails::IsAtLeast(const std::wstring& path, int n) {
  ThumbCacheReader reader;
  return reader.IsAtLeast(path, n);
}

}  // namespace platform
