// The imaging component's GUIDs are defined here, in the one file that uses them.
// clang-format off
#include <windows.h>
#include <initguid.h>
#include <wincodec.h>
// clang-format on
#include <wrl/client.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/GdiPlus_win.h"
#include "platform/Handles_win.h"
#include "platform/ImageDecoder.h"
#include "platform/PictureHeader.h"

namespace platform {
namespace Gp = Gdiplus::DllExports;
using Microsoft::WRL::ComPtr;

void EnsureGdiplusStarted() {
  static const bool started = [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
  }();
  (void)started;
}

std::optional<Bitmap32> ReadBitmapBits(HBITMAP bitmap) {
  BITMAP info{};
  if (!::GetObjectW(bitmap, sizeof info, &info)) return std::nullopt;
  Bitmap32 out;
  out.width = info.bmWidth;
  out.height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
  out.bits.resize(static_cast<size_t>(out.width) * out.height * 4);
  const LONG got = ::GetBitmapBits(bitmap, static_cast<LONG>(out.bits.size()), out.bits.data());
  out.bits.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return out;
}

namespace {

// Scaled decoding where a codec offers it (JPEG at 1/2, 1/4 and 1/8). The
// interface (IWICBitmapSourceTransform) is not in every SDK's headers.
constexpr IID kIidScaledSource = {
    0x3B16811B, 0x6A43, 0x4EC9, {0xB7, 0x13, 0x3D, 0x5A, 0x0C, 0x13, 0xB9, 0x40}};
struct IScaledSource : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT width, UINT height,
                                               WICPixelFormatGUID* format,
                                               WICBitmapTransformOptions transform, UINT stride,
                                               UINT size, BYTE* buffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestSize(UINT* width, UINT* height) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetClosestPixelFormat(WICPixelFormatGUID* format) = 0;
  virtual HRESULT STDMETHODCALLTYPE DoesSupportTransform(WICBitmapTransformOptions transform,
                                                         BOOL* supported) = 0;
};

// A factory of the imaging component. Each opened picture has its own: a
// factory kept per thread would be released by a thread-exit destructor,
// which the 64-bit runtime here ran on freed memory now and then.
ComPtr<IWICImagingFactory> MakeFactory() {
  ComPtr<IWICImagingFactory> factory;
  ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                     IID_PPV_ARGS(&factory));
  return factory;
}

// Rows in a strip: about a megabyte of pixels at a time.
UINT StripRows(UINT width) {
  const size_t row = static_cast<size_t>(width) * 4;
  return static_cast<UINT>(std::clamp<size_t>((1u << 20) / std::max<size_t>(row, 1), 1, 256));
}

// Every pixel of a source as premultiplied BGRA, strip by strip from the top.
bool SendSource(IWICImagingFactory* factory, IWICBitmapSource* source, PixelSink& sink) {
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom)))
    return false;
  UINT width = 0, height = 0;
  if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 ||
      width > static_cast<UINT>(kMaxRowPixels) || !WithinPixelBound({width, height}))
    return false;
  sink.Begin(static_cast<int>(width), static_cast<int>(height));
  const UINT strip = StripRows(width);
  const UINT stride = width * 4;
  std::vector<uint8_t> rows(static_cast<size_t>(stride) * strip);
  for (UINT top = 0; top < height; top += strip) {
    const UINT count = std::min(strip, height - top);
    const WICRect rect{0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(count)};
    if (FAILED(converter->CopyPixels(&rect, stride, stride * count, rows.data()))) return false;
    sink.Rows({rows.data(), stride, static_cast<int>(width), static_cast<int>(count)});
  }
  return true;
}

UINT BitsPerPixel(IWICImagingFactory* factory, const WICPixelFormatGUID& format) {
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo> pixelInfo;
  UINT bits = 0;
  if (SUCCEEDED(factory->CreateComponentInfo(format, &info)) && SUCCEEDED(info.As(&pixelInfo)))
    pixelInfo->GetBitsPerPixel(&bits);
  return bits;
}

// The frame at the codec's own reduced scale, when it has one that leaves at
// least the asked size; nothing otherwise.
ComPtr<IWICBitmapSource> ScaledByCodec(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame,
                                       UINT width, UINT height, int minWidth, int minHeight) {
  ComPtr<IScaledSource> scaled;
  if (FAILED(
          frame->QueryInterface(kIidScaledSource, reinterpret_cast<void**>(scaled.GetAddressOf()))))
    return nullptr;
  const int denominator =
      JpegScaleDenominator(static_cast<int>(width), static_cast<int>(height), minWidth, minHeight);
  if (denominator == 1) return nullptr;
  UINT w = (width + denominator - 1) / denominator, h = (height + denominator - 1) / denominator;
  if (FAILED(scaled->GetClosestSize(&w, &h)) || w >= width || h >= height ||
      w < std::min<UINT>(width, minWidth) || h < std::min<UINT>(height, minHeight))
    return nullptr;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
  if (FAILED(scaled->GetClosestPixelFormat(&format))) return nullptr;
  const UINT bits = BitsPerPixel(factory, format);
  if (bits == 0) return nullptr;
  const UINT stride = (w * bits + 31) / 32 * 4;
  std::vector<BYTE> pixels(static_cast<size_t>(stride) * h);
  ComPtr<IWICBitmap> bitmap;
  if (FAILED(scaled->CopyPixels(nullptr, w, h, &format, WICBitmapTransformRotate0, stride,
                                static_cast<UINT>(pixels.size()), pixels.data())) ||
      FAILED(factory->CreateBitmapFromMemory(w, h, format, stride, static_cast<UINT>(pixels.size()),
                                             pixels.data(), &bitmap)))
    return nullptr;
  return bitmap;
}

bool FormatHasAlpha(IWICImagingFactory* factory, const WICPixelFormatGUID& format) {
  ComPtr<IWICComponentInfo> info;
  ComPtr<IWICPixelFormatInfo2> pixelInfo;
  BOOL transparent = FALSE;
  // Palette formats answer no, as the program has always counted them.
  if (SUCCEEDED(factory->CreateComponentInfo(format, &info)) && SUCCEEDED(info.As(&pixelInfo)) &&
      SUCCEEDED(pixelInfo->SupportsTransparency(&transparent)))
    return transparent != FALSE;
  for (const GUID& alpha :
       {GUID_WICPixelFormat32bppBGRA, GUID_WICPixelFormat32bppPBGRA, GUID_WICPixelFormat32bppRGBA,
        GUID_WICPixelFormat32bppPRGBA, GUID_WICPixelFormat64bppRGBA, GUID_WICPixelFormat64bppPRGBA,
        GUID_WICPixelFormat128bppRGBAFloat})
    if (IsEqualGUID(format, alpha)) return true;
  return false;
}

// Reads the file by offset, for what is parsed here rather than by the
// decoder: the declared size and the embedded thumbnail.
class FileBytes {
 public:
  explicit FileBytes(const std::wstring& path)
      : file_(path.empty() ? nullptr : _wfopen(path.c_str(), L"rb"), fclose) {}
  bool IsOpen() const { return file_ != nullptr; }
  std::string Read(uint64_t offset, size_t count) const {
    std::string bytes(count, '\0');
    if (!file_ || _fseeki64(file_.get(), static_cast<long long>(offset), SEEK_SET) != 0) return {};
    bytes.resize(fread(bytes.data(), 1, count, file_.get()));
    return bytes;
  }

 private:
  std::unique_ptr<FILE, int (*)(FILE*)> file_;
};

// A GDI bitmap of a GDI+ image on a background of ARGB 0, read back as bytes.
std::optional<Bitmap32> ToBitmap32(Gdiplus::GpBitmap* image) {
  HBITMAP handle = nullptr;
  if (Gp::GdipCreateHBITMAPFromBitmap(image, &handle, 0) != Gdiplus::Ok || !handle)
    return std::nullopt;
  UniqueBitmap bitmap(handle);
  return ReadBitmapBits(bitmap.get());
}

// A metafile drawn stretched into width x height.
std::optional<Bitmap32> DrawMetafile(Gdiplus::GpImage* image, int width, int height) {
  Gdiplus::GpBitmap* canvas = nullptr;
  if (Gp::GdipCreateBitmapFromScan0(width, height, 0, kFormat32bppArgb, nullptr, &canvas) !=
          Gdiplus::Ok ||
      !canvas)
    return std::nullopt;
  GpImagePtr canvasOwner(canvas);
  Gdiplus::GpGraphics* graphics = nullptr;
  if (Gp::GdipGetImageGraphicsContext(canvas, &graphics) != Gdiplus::Ok || !graphics)
    return std::nullopt;
  GpGraphicsPtr graphicsOwner(graphics);
  if (Gp::GdipDrawImageRectI(graphics, image, 0, 0, width, height) != Gdiplus::Ok)
    return std::nullopt;
  graphicsOwner.reset();
  return ToBitmap32(canvas);
}

}  // namespace

struct DecodedImage::Impl {
  explicit Impl(const std::wstring& path) : bytes(path) {}
  explicit Impl(std::string held) : memory(std::move(held)) {}
  // The component needs COM; a thread that has not started it (a test's,
  // say) has it for as long as the picture is open. Declared first, so it
  // ends after every object below. A picture stays on the thread that opened it.
  ComScope com;
  ComPtr<IWICImagingFactory> factory = MakeFactory();
  // Open for the life of the image, for the embedded thumbnail; a picture in
  // memory keeps its bytes, which its stream reads.
  FileBytes bytes{std::wstring()};
  std::string memory;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapFrameDecode> frame;
  // What the imaging component does not read but GDI+ does: metafiles.
  GpImagePtr metafile;
  UINT width = 0;
  UINT height = 0;
  bool alpha = false;
  std::optional<FileRange> thumbnail;

  std::string Read(uint64_t offset, size_t count) const {
    if (bytes.IsOpen()) return bytes.Read(offset, count);
    return offset < memory.size() ? memory.substr(offset, count) : std::string();
  }
  HeaderReader Reader() const {
    return [this](uint64_t offset, size_t count) { return Read(offset, count); };
  }
  // Some decoders allocate the whole picture while they load it, and a
  // header that declares billions of pixels in a few kilobytes (a
  // decompression bomb) would take gigabytes, or overflow their size sums.
  bool DeclaresTooManyPixels() const {
    const auto declared = DeclaredPictureSize(Reader());
    return declared && !WithinPixelBound(*declared);
  }
  // The first frame of what the decoder opened, with its size checked.
  bool TakeFrame(IWICBitmapDecoder* decoder);
};

bool DecodedImage::Impl::TakeFrame(IWICBitmapDecoder* decoder) {
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
      width == 0 || height == 0 || !WithinPixelBound({width, height}))
    return false;
  WICPixelFormatGUID format{};
  if (SUCCEEDED(frame->GetPixelFormat(&format))) alpha = FormatHasAlpha(factory.Get(), format);
  thumbnail = ExifThumbnailRange(Reader());
  return true;
}

DecodedImage::DecodedImage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DecodedImage::DecodedImage(DecodedImage&&) noexcept = default;
DecodedImage& DecodedImage::operator=(DecodedImage&&) noexcept = default;
DecodedImage::~DecodedImage() = default;

std::optional<DecodedImage> DecodedImage::Load(const std::wstring& path) {
  CountOpened();
  auto impl = std::make_unique<Impl>(path);
  if (impl->bytes.IsOpen() && impl->DeclaresTooManyPixels()) return std::nullopt;
  ComPtr<IWICBitmapDecoder> decoder;
  if (impl->factory &&
      SUCCEEDED(impl->factory->CreateDecoderFromFilename(
          path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand, &decoder))) {
    if (!impl->TakeFrame(decoder.Get())) return std::nullopt;
    return DecodedImage(std::move(impl));
  }

  EnsureGdiplusStarted();
  Gdiplus::GpImage* image = nullptr;
  if (Gp::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok || !image) return std::nullopt;
  impl->metafile.reset(image);
  Gdiplus::ImageType type = Gdiplus::ImageTypeUnknown;
  if (Gp::GdipGetImageType(image, &type) != Gdiplus::Ok || type != Gdiplus::ImageTypeMetafile)
    return std::nullopt;
  Gp::GdipGetImageWidth(image, &impl->width);
  Gp::GdipGetImageHeight(image, &impl->height);
  return DecodedImage(std::move(impl));
}

std::optional<DecodedImage> DecodedImage::LoadBytes(std::string bytes) {
  CountOpened();
  auto impl = std::make_unique<Impl>(std::move(bytes));
  if (impl->memory.empty() || impl->DeclaresTooManyPixels()) return std::nullopt;
  IWICImagingFactory* factory = impl->factory.Get();
  ComPtr<IWICBitmapDecoder> decoder;
  if (!factory || FAILED(factory->CreateStream(&impl->stream)) ||
      FAILED(impl->stream->InitializeFromMemory(reinterpret_cast<BYTE*>(impl->memory.data()),
                                                static_cast<DWORD>(impl->memory.size()))) ||
      FAILED(factory->CreateDecoderFromStream(impl->stream.Get(), nullptr,
                                              WICDecodeMetadataCacheOnDemand, &decoder)) ||
      !impl->TakeFrame(decoder.Get()))
    return std::nullopt;
  return DecodedImage(std::move(impl));
}

bool DeclaresTooManyPixels(const std::wstring& path) {
  const FileBytes bytes(path);
  if (!bytes.IsOpen()) return false;
  const auto declared =
      DeclaredPictureSize([&](uint64_t offset, size_t count) { return bytes.Read(offset, count); });
  return declared && !WithinPixelBound(*declared);
}

ImageType DecodedImage::Type() const {
  return impl_->metafile ? ImageType::Metafile : ImageType::Bitmap;
}

int DecodedImage::Width() const { return static_cast<int>(impl_->width); }

int DecodedImage::Height() const { return static_cast<int>(impl_->height); }

bool DecodedImage::HasAlpha() const { return impl_->alpha; }

uint32_t DecodedImage::ThumbnailDataSize() const {
  return impl_->thumbnail ? impl_->thumbnail->length : 0;
}

bool DecodedImage::ReadThumbnail(PixelSink& sink) const {
  if (!impl_->frame) return false;
  ComPtr<IWICBitmapSource> thumb;
  IWICImagingFactory* factory = impl_->factory.Get();
  if (SUCCEEDED(impl_->frame->GetThumbnail(&thumb)) && thumb)
    return SendSource(factory, thumb.Get(), sink);
  // Where the codec does not hand it over, the Exif block's thumbnail is
  // decoded as a JPEG of its own, after the same size check as any file.
  if (!impl_->thumbnail) return false;
  std::string bytes = impl_->Read(impl_->thumbnail->offset, impl_->thumbnail->length);
  if (bytes.size() != impl_->thumbnail->length) return false;
  const auto declared = DeclaredPictureSize([&](uint64_t offset, size_t count) {
    return offset < bytes.size() ? bytes.substr(offset, count) : std::string();
  });
  if (!declared || !WithinPixelBound(*declared)) return false;
  ComPtr<IWICStream> stream;
  ComPtr<IWICBitmapDecoder> decoder;
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size()))) ||
      FAILED(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                              &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)))
    return false;
  return SendSource(factory, frame.Get(), sink);
}

bool DecodedImage::ReadScaled(int minWidth, int minHeight, PixelSink& sink) const {
  if (impl_->metafile) {
    // Drawn at the asked size: a metafile has no pixels of its own.
    auto drawn = DrawMetafile(impl_->metafile.get(), std::max(minWidth, 1), std::max(minHeight, 1));
    if (!drawn || !drawn->View().data) return false;
    SendBitmap(*drawn, sink);
    return true;
  }
  if (ComPtr<IWICBitmapSource> scaled =
          ScaledByCodec(impl_->factory.Get(), impl_->frame.Get(), impl_->width, impl_->height,
                        minWidth, minHeight))
    return SendSource(impl_->factory.Get(), scaled.Get(), sink);
  return SendSource(impl_->factory.Get(), impl_->frame.Get(), sink);
}

}  // namespace platform
