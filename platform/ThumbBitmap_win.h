// The Windows shell's thumbnail sources: the image extractor of a file
// (CThumbBitmap) and the system thumbnail cache with the shell's picture-size
// properties (ThumbCacheReader). Both return a bitmap handle or nothing and
// never decode a file themselves. Each calling thread has COM initialised.
#pragma once

#include <windows.h>
#include <shobjidl.h>
#include <thumbcache.h>
#include <wrl/client.h>

#include <string>

#include "platform/Handles_win.h"

namespace platform {

class CThumbBitmap {
 public:
  virtual ~CThumbBitmap() = default;

  // The caller owns the returned bitmap.
  UniqueBitmap Extract(const std::wstring& path, int width, int height, DWORD flags);

  bool pause = true;  // wait 1 ms between asking for the location and extracting

 private:
  Microsoft::WRL::ComPtr<IExtractImage> extractor_;
  std::wstring path_;
  UniqueIdList itemList_;
};

class ThumbCacheReader {
 public:
  ThumbCacheReader();
  ~ThumbCacheReader() { Release(); }
  ThumbCacheReader(const ThumbCacheReader&) = delete;
  ThumbCacheReader& operator=(const ThumbCacheReader&) = delete;

  bool GetThumbnail(const std::wstring& path, int size);
  bool GetSquareThumbnail(const std::wstring& path, int size);
  bool GetImageSize(const std::wstring& path, int& width, int& height);
  bool IsAtLeast(const std::wstring& path, int n);
  void Release();

  HBITMAP bitmap() const { return bitmap_.get(); }
  SIZE size() const { return size_; }
  SIZE reportedSize() const { return reportedSize_; }

 private:
  UniqueBitmap bitmap_;
  SIZE size_{};
  SIZE reportedSize_{};
  Microsoft::WRL::ComPtr<ISharedBitmap> shared_;
};

}  // namespace platform
