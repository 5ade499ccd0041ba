#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vips/vips.h>
// Not part of vips.h, though installed with it: the switch for vector code.
#include <vips/vector.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/ImageDecoder.h"
#include "platform/PictureHeader.h"
#include "platform/Text.h"

namespace platform {
namespace {

// Pictures beyond this many pixels are refused: decoding one would take
// minutes or gigabytes, and a file that declares such a size in a few
// kilobytes is a decompression bomb.
constexpr double kMaxPixels = kMaxDecodedPixels;

// Most loaders decode a picture row by row, but some hold all of it at once
// (HeldWhileDecoding); a picture for which that takes more than this is
// refused as well. The search decodes one picture on each core.
constexpr double kMaxHeldBytes = 512.0 * 1024 * 1024;

void Silently(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

void EnsureVipsStarted() {
  static const bool started = [] {
    if (VIPS_INIT("duplora") != 0) return false;
    // Only the loaders of everyday picture formats take part; the others are
    // neither what a picture collection holds nor safe on hostile input.
    vips_block_untrusted_set(TRUE);
    // One file is fingerprinted once; caching operations would only hold memory.
    vips_cache_set_max(0);
    // The engine runs one file per thread on its own.
    vips_concurrency_set(1);
    // The library's run-time compiled vector code is built and freed with
    // each shrink; with two threads doing so at once the heap was corrupted
    // now and then. The plain paths cost about 5% on a thumbnail.
    vips_vector_set_enabled(FALSE);
    // A damaged picture is left out without a word; the loaders would warn
    // about each one on the standard error.
    g_log_set_handler("VIPS", G_LOG_LEVEL_WARNING, Silently, nullptr);
    return true;
  }();
  (void)started;
}

struct VipsUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
using VipsImagePtr = std::unique_ptr<VipsImage, VipsUnref>;
using VipsSourcePtr = std::unique_ptr<VipsSource, VipsUnref>;
using VipsRegionPtr = std::unique_ptr<VipsRegion, VipsUnref>;

// The formats read here, by their first bytes: JPEG, PNG, GIF, TIFF (and
// BigTIFF), WebP, HEIF and AVIF. Anything else is refused before the library
// sees it: it would offer the file to each of its loaders in turn (some two
// dozen opens for every file that is no picture), and one of them takes a
// text file of numbers for a picture.
bool HasPictureSignature(const uint8_t* bytes, size_t size) {
  auto at = [&](size_t offset, std::string_view text) {
    return size >= offset + text.size() &&
           std::memcmp(bytes + offset, text.data(), text.size()) == 0;
  };
  using namespace std::string_view_literals;
  if (at(0, "\xFF\xD8\xFF"sv) || at(0, "\x89PNG\r\n\x1A\n"sv) || at(0, "GIF87a"sv) ||
      at(0, "GIF89a"sv))
    return true;
  if (at(0, "II*\0"sv) || at(0, "MM\0*"sv) || at(0, "II+\0"sv) || at(0, "MM\0+"sv)) return true;
  if (at(0, "RIFF"sv) && at(8, "WEBP"sv)) return true;
  if (at(4, "ftyp"sv)) {
    for (std::string_view brand : {"heic"sv, "heix"sv, "hevc"sv, "hevx"sv, "heim"sv, "heis"sv,
                                   "hevm"sv, "hevs"sv, "mif1"sv, "msf1"sv, "avif"sv, "avis"sv})
      if (at(8, brand)) return true;
  }
  return false;
}

// A source that reads an open file at a position of its own (pread), so that
// several sources share one file without sharing an offset. It is never
// mapped into memory: a file cut short by another program while it is read
// gives a short read, not a bus error.
struct FileReader {
  int fd;
  gint64 position = 0;
  ~FileReader() { close(fd); }
};

gint64 ReadFromFile(VipsSourceCustom*, void* buffer, gint64 length, FileReader* reader) {
  ssize_t n;
  do {
    n = pread(reader->fd, buffer, static_cast<size_t>(length), reader->position);
  } while (n < 0 && errno == EINTR);
  if (n < 0) return -1;
  reader->position += n;
  return n;
}

gint64 SeekInFile(VipsSourceCustom*, gint64 offset, int whence, FileReader* reader) {
  gint64 base = 0;
  if (whence == SEEK_CUR) {
    base = reader->position;
  } else if (whence == SEEK_END) {
    struct stat info {};
    if (fstat(reader->fd, &info) != 0) return -1;
    base = info.st_size;
  } else if (whence != SEEK_SET) {
    return -1;
  }
  if (base + offset < 0) return -1;
  reader->position = base + offset;
  return reader->position;
}

VipsSourcePtr FileSource(int fd) {
  const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) return nullptr;
  auto* reader = new FileReader{own};
  VipsSourceCustom* source = vips_source_custom_new();
  g_object_set_data_full(G_OBJECT(source), "duplora-file", reader,
                         [](gpointer data) { delete static_cast<FileReader*>(data); });
  g_signal_connect(source, "read", G_CALLBACK(ReadFromFile), reader);
  g_signal_connect(source, "seek", G_CALLBACK(SeekInFile), reader);
  return VipsSourcePtr(VIPS_SOURCE(source));
}

// The file's identity and state when it was opened.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  explicit FileStamp(const struct stat& s)
      : device(s.st_dev),
        inode(s.st_ino),
        size(s.st_size),
        modified(s.st_mtim),
        changed(s.st_ctim) {}
  bool operator==(const FileStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
  }
};

bool IntField(VipsImage* image, const char* name) {
  int value = 0;
  return vips_image_get_typeof(image, name) && vips_image_get_int(image, name, &value) == 0 &&
         value != 0;
}

// The bytes a loader holds at once while it decodes the picture, through the
// decoder's thumbnail (which shrinks while it loads where the format allows)
// and when the whole picture is drawn. Only the loaders that keep more than
// a few rows count: a GIF frame is decoded whole, WebP is read whole and
// decoded whole when drawn (twice over), HEIF is decoded whole, an
// interlaced PNG is read whole, and a progressive JPEG keeps every
// coefficient of the picture.
struct HeldBytes {
  double thumbnail = 0;
  double draw = 0;
};

HeldBytes HeldWhileDecoding(VipsImage* image, std::string_view loader, double fileSize) {
  const double pixels =
      static_cast<double>(vips_image_get_width(image)) * vips_image_get_height(image);
  const double bands = vips_image_get_bands(image);
  if (loader.starts_with("gif")) return {fileSize + 4 * pixels, fileSize + 4 * pixels};
  if (loader.starts_with("webp")) return {fileSize + pixels, fileSize + 8 * pixels};
  if (loader.starts_with("heif")) return {(bands + 2) * pixels, (bands + 2) * pixels};
  if (loader.starts_with("png") && IntField(image, "interlaced")) {
    const double held = pixels * bands * vips_format_sizeof(vips_image_get_format(image));
    return {held, held};
  }
  if (loader.starts_with("jpeg") && IntField(image, "jpeg-multiscan")) {
    // Two bytes per coefficient; 4:2:0 keeps a quarter of each colour plane.
    const char* subsample = "";
    if (vips_image_get_typeof(image, "jpeg-chroma-subsample"))
      vips_image_get_string(image, "jpeg-chroma-subsample", &subsample);
    const double planes = bands == 3 && std::strcmp(subsample, "4:2:0") == 0 ? 1.5 : bands;
    return {2 * planes * pixels, 2 * planes * pixels};
  }
  return {};
}

// Up to count bytes of an open file from offset; fewer at its end.
std::string ReadAt(int fd, uint64_t offset, size_t count) {
  std::string bytes(count, '\0');
  const ssize_t n = pread(fd, bytes.data(), count, static_cast<off_t>(offset));
  bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return bytes;
}

// Premultiplied 8-bit BGRA from 8-bit RGB or RGBA, with the same integer
// rounding as the Windows decoder.
void ToPremultipliedBgra(const uint8_t* in, int bands, int width, uint8_t* out) {
  for (int i = 0; i < width; ++i, in += bands, out += 4) {
    const unsigned a = bands >= 4 ? in[3] : 255;
    out[0] = static_cast<uint8_t>((in[2] * a + 127) / 255);
    out[1] = static_cast<uint8_t>((in[1] * a + 127) / 255);
    out[2] = static_cast<uint8_t>((in[0] * a + 127) / 255);
    out[3] = static_cast<uint8_t>(a);
  }
}

// Rows in a strip: about a megabyte of the library's pixels at a time.
int StripRows(int width, int bands) {
  const size_t row = static_cast<size_t>(width) * bands;
  return static_cast<int>(std::clamp<size_t>((1u << 20) / std::max<size_t>(row, 1), 1, 256));
}

// Every pixel of a loaded picture, as sRGB bytes strip by strip from the
// top: the loader decodes the rows as they are asked for, so only a strip
// is held here whatever the picture's size.
bool SendPixels(VipsImage* loaded, PixelSink& sink) {
  VipsImagePtr owner(loaded);
  VipsImage* rgb = nullptr;
  if (vips_colourspace(loaded, &rgb, VIPS_INTERPRETATION_sRGB, nullptr) != 0) return false;
  VipsImagePtr rgbOwner(rgb);
  VipsImage* bytes = nullptr;
  if (vips_cast_uchar(rgb, &bytes, nullptr) != 0) return false;
  VipsImagePtr bytesOwner(bytes);
  const int width = vips_image_get_width(bytes), height = vips_image_get_height(bytes);
  const int bands = vips_image_get_bands(bytes);
  if (bands < 3 || width <= 0 || height <= 0 || width > kMaxRowPixels) return false;
  VipsRegionPtr region(vips_region_new(bytes));
  VipsRegion* area = region.get();
  sink.Begin(width, height);
  const int strip = StripRows(width, bands);
  std::vector<uint8_t> converted(static_cast<size_t>(width) * 4 * strip);
  for (int top = 0; top < height; top += strip) {
    const int rows = std::min(strip, height - top);
    VipsRect rect{0, top, width, rows};
    if (vips_region_prepare(area, &rect) != 0) return false;
    for (int y = 0; y < rows; ++y)
      ToPremultipliedBgra(reinterpret_cast<const uint8_t*>(VIPS_REGION_ADDR(area, 0, top + y)),
                          bands, width, converted.data() + static_cast<size_t>(y) * width * 4);
    sink.Rows({converted.data(), static_cast<size_t>(width) * 4, width, rows});
  }
  return true;
}

// The same, with the library's error cleared on failure.
bool SendOrClear(VipsImage* loaded, PixelSink& sink) {
  if (!loaded || !SendPixels(loaded, sink)) {
    vips_error_clear();
    return false;
  }
  return true;
}

}  // namespace

struct DecodedImage::Impl {
  // The file stays open for the life of the image: every rendering reads the
  // very file whose header was checked, even when the name has since been
  // given to another file. A picture in memory has its bytes instead.
  int fd = -1;
  std::string memory;
  std::optional<FileStamp> opened;
  VipsImagePtr image;
  HeldBytes held;
  bool jpeg = false;
  bool metafile = false;
  bool alpha = false;
  std::optional<FileRange> thumbnail;

  ~Impl() {
    image.reset();
    if (fd >= 0) close(fd);
  }
  // The file is as it was when its header was read; a file rewritten since
  // could declare anything.
  bool Unchanged() const {
    if (fd < 0) return true;
    struct stat info {};
    return fstat(fd, &info) == 0 && opened && FileStamp(info) == *opened;
  }
  std::string Read(uint64_t offset, size_t count) const {
    if (fd < 0) return offset < memory.size() ? memory.substr(offset, count) : std::string();
    return ReadAt(fd, offset, count);
  }
  VipsSourcePtr Source() const {
    if (fd >= 0) return FileSource(fd);
    return VipsSourcePtr(vips_source_new_from_memory(memory.data(), memory.size()));
  }
  // Reads the header, with the size and memory checks of every picture.
  bool Open(double fileSize);
};

bool DecodedImage::Impl::Open(double fileSize) {
  const std::string head = Read(0, 16);
  if (head.empty() ||
      !HasPictureSignature(reinterpret_cast<const uint8_t*>(head.data()), head.size()))
    return false;
  VipsSourcePtr source = Source();
  if (!source) return false;
  image.reset(
      vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr));
  if (!image) {
    vips_error_clear();
    return false;
  }
  const int width = vips_image_get_width(image.get());
  const int height = vips_image_get_height(image.get());
  if (width <= 0 || height <= 0 || static_cast<double>(width) * height > kMaxPixels) return false;
  const char* loader = "";
  if (vips_image_get_typeof(image.get(), "vips-loader"))
    vips_image_get_string(image.get(), "vips-loader", &loader);
  held = HeldWhileDecoding(image.get(), loader, fileSize);
  if (held.thumbnail > kMaxHeldBytes) return false;
  jpeg = std::string_view(loader).starts_with("jpeg");
  metafile = std::strstr(loader, "svg") != nullptr;
  // The Windows decoder reports palette pictures (GIF) without alpha.
  alpha = vips_image_hasalpha(image.get()) && std::strstr(loader, "gif") == nullptr;
  if (jpeg)
    thumbnail =
        ExifThumbnailRange([this](uint64_t offset, size_t count) { return Read(offset, count); });
  return true;
}

DecodedImage::DecodedImage(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
DecodedImage::DecodedImage(DecodedImage&&) noexcept = default;
DecodedImage& DecodedImage::operator=(DecodedImage&&) noexcept = default;
DecodedImage::~DecodedImage() = default;

std::optional<DecodedImage> DecodedImage::Load(const std::wstring& path) {
  CountOpened();
  EnsureVipsStarted();
  auto impl = std::make_unique<Impl>();
  // Without waiting: opening a named pipe would wait for a writer that never comes.
  impl->fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (impl->fd < 0) return std::nullopt;
  // Only regular files: a device never ends.
  struct stat info {};
  if (fstat(impl->fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  impl->opened.emplace(info);
  if (!impl->Open(static_cast<double>(info.st_size))) return std::nullopt;
  return DecodedImage(std::move(impl));
}

std::optional<DecodedImage> DecodedImage::LoadBytes(std::string bytes) {
  CountOpened();
  EnsureVipsStarted();
  auto impl = std::make_unique<Impl>();
  impl->memory = std::move(bytes);
  if (!impl->Open(static_cast<double>(impl->memory.size()))) return std::nullopt;
  return DecodedImage(std::move(impl));
}

bool DeclaresTooManyPixels(const std::wstring& path) {
  const int fd = open(ToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  std::optional<DeclaredSize> declared;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    declared = DeclaredPictureSize(
        [&](uint64_t offset, size_t count) { return ReadAt(fd, offset, count); });
  }
  close(fd);
  return declared && !WithinPixelBound(*declared);
}

ImageType DecodedImage::Type() const {
  return impl_->metafile ? ImageType::Metafile : ImageType::Bitmap;
}

int DecodedImage::Width() const { return vips_image_get_width(impl_->image.get()); }

int DecodedImage::Height() const { return vips_image_get_height(impl_->image.get()); }

bool DecodedImage::HasAlpha() const { return impl_->alpha; }

uint32_t DecodedImage::ThumbnailDataSize() const {
  return impl_->thumbnail ? impl_->thumbnail->length : 0;
}

bool DecodedImage::ReadThumbnail(PixelSink& sink) const {
  if (!impl_->thumbnail || !impl_->Unchanged()) return false;
  const std::string bytes = impl_->Read(impl_->thumbnail->offset, impl_->thumbnail->length);
  if (bytes.size() != impl_->thumbnail->length) return false;
  // The embedded picture is a JPEG of its own and could declare anything.
  const auto declared = DeclaredPictureSize([&](uint64_t offset, size_t count) {
    return offset < bytes.size() ? bytes.substr(offset, count) : std::string();
  });
  if (!declared || !WithinPixelBound(*declared)) return false;
  VipsImage* thumb = nullptr;
  if (vips_jpegload_buffer(const_cast<char*>(bytes.data()), bytes.size(), &thumb, "access",
                           VIPS_ACCESS_SEQUENTIAL, nullptr) != 0) {
    vips_error_clear();
    return false;
  }
  return SendOrClear(thumb, sink);
}

bool DecodedImage::ReadScaled(int minWidth, int minHeight, PixelSink& sink) const {
  if (!impl_->Unchanged()) return false;
  // Shrink-on-load: a JPEG decoded at a reduced scale holds and costs a
  // fraction of the whole picture. Other formats are decoded at full size.
  const int shrink = impl_->jpeg ? JpegScaleDenominator(Width(), Height(), minWidth, minHeight) : 1;
  if (shrink == 1 && impl_->held.draw > kMaxHeldBytes) return false;
  VipsSourcePtr source = impl_->Source();
  if (!source) return false;
  VipsImage* loaded = nullptr;
  if (impl_->jpeg) {
    if (vips_jpegload_source(source.get(), &loaded, "shrink", shrink, "access",
                             VIPS_ACCESS_SEQUENTIAL, nullptr) != 0)
      loaded = nullptr;
  } else {
    loaded =
        vips_image_new_from_source(source.get(), "", "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
  }
  return SendOrClear(loaded, sink);
}

}  // namespace platform
