#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <new>
#include <thread>
#include <vector>

#include "engine/Fingerprint.h"
#include "platform/ComThread.h"
#include "platform/Text.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

namespace {

using engine::ImageEntry;
using platform::Bitmap32;

Bitmap32 Uniform(uint8_t b, uint8_t g, uint8_t r, uint8_t a, int side = 64) {
  Bitmap32 bitmap{side, side, {}};
  for (int i = 0; i < side * side; ++i) bitmap.bits.insert(bitmap.bits.end(), {b, g, r, a});
  return bitmap;
}

ImageEntry EntryOfSize(int width, int height, bool alpha = false) {
  ImageEntry entry = engine::EmptyEntry();
  entry.width = width;
  entry.height = height;
  entry.hasAlpha = alpha ? 1 : 0;
  return entry;
}

TEST(ComputeSignature, WhiteIs254AndBrightness99) {
  ImageEntry entry = EntryOfSize(100, 200);
  ASSERT_TRUE(engine::ComputeSignature(Uniform(255, 255, 255, 255), entry));
  for (uint8_t v : entry.signature) ASSERT_EQ(v, 254);
  EXPECT_EQ(entry.brightness, 99);
  EXPECT_FLOAT_EQ(entry.aspect, 0.5f);
}

TEST(ComputeSignature, BlackIsZero) {
  ImageEntry entry = EntryOfSize(128, 128);
  ASSERT_TRUE(engine::ComputeSignature(Uniform(0, 0, 0, 255), entry));
  for (uint8_t v : entry.signature) ASSERT_EQ(v, 0);
  EXPECT_EQ(entry.brightness, 0);
}

TEST(ComputeSignature, GreyValuesAreTruncated) {
  struct Case {
    uint8_t b, g, r;
    int grey;
  };
  // The weights add up to a little less than 1, so equal channels lose one.
  for (const Case& c : {Case{10, 10, 10, 9}, Case{1, 1, 1, 0}, Case{0, 0, 100, 30},
                        Case{0, 100, 0, 58}, Case{100, 0, 0, 10}, Case{0, 0, 255, 76}}) {
    ImageEntry entry = EntryOfSize(128, 128);
    ASSERT_TRUE(engine::ComputeSignature(Uniform(c.b, c.g, c.r, 255), entry));
    EXPECT_EQ(entry.signature[0], c.grey) << int(c.r) << "," << int(c.g) << "," << int(c.b);
  }
}

TEST(ComputeSignature, TransparentPixelMovesTowardWhite) {
  ImageEntry entry = EntryOfSize(128, 128, true);
  ASSERT_TRUE(engine::ComputeSignature(Uniform(0, 0, 0, 0), entry));
  EXPECT_EQ(entry.signature[0], 255);
  ImageEntry opaque = EntryOfSize(128, 128, true);
  ASSERT_TRUE(engine::ComputeSignature(Uniform(50, 50, 50, 255), opaque));
  EXPECT_EQ(opaque.signature[0], 49);  // (49 - 255 - 1) mod 256
}

TEST(ComputeSignature, QuarterAndMirrorLayouts) {
  // Row 0 black, every other row white.
  Bitmap32 bitmap = Uniform(255, 255, 255, 255);
  std::memset(bitmap.bits.data(), 0, 64 * 4);
  for (int i = 0; i < 64; ++i) bitmap.bits[i * 4 + 3] = 255;
  ImageEntry entry = EntryOfSize(128, 128);
  ASSERT_TRUE(engine::ComputeSignature(bitmap, entry));
  for (int r = 0; r < 64; ++r) {
    EXPECT_EQ(entry.signatureQuarter[64 * r + 63], 0) << r;
    EXPECT_EQ(entry.signatureQuarter[64 * r + 62], 254) << r;
    EXPECT_EQ(entry.signatureMirror[64 * 63 + r], 0) << r;
    EXPECT_EQ(entry.signatureMirror[r], 254) << r;
  }
  // A single marked pixel lands where the formulas say.
  Bitmap32 dot = Uniform(0, 0, 0, 255);
  const int r = 5, c = 17;
  for (int k = 0; k < 3; ++k) dot.bits[(64 * r + c) * 4 + k] = 255;
  ASSERT_TRUE(engine::ComputeSignature(dot, entry));
  EXPECT_EQ(entry.signatureQuarter[64 * c + (63 - r)], 254);
  EXPECT_EQ(entry.signatureMirror[64 * (63 - r) + c], 254);
}

TEST(ComputeSignature, BrightnessTruncatesTwice) {
  // Mean grey 127.5 -> 127 -> 127 * 100 / 256 = 49.
  Bitmap32 bitmap = Uniform(0, 0, 0, 255);
  for (int i = 0; i < 4096; ++i)
    for (int k = 0; k < 3; ++k) bitmap.bits[i * 4 + k] = (i % 2) ? 129 : 128;
  ImageEntry entry = EntryOfSize(128, 128);
  ASSERT_TRUE(engine::ComputeSignature(bitmap, entry));
  EXPECT_EQ(entry.signature[0], 127);
  EXPECT_EQ(entry.signature[1], 128);
  EXPECT_EQ(entry.brightness, 49);
}

TEST(ComputeSignature, RejectsOtherSizesAndLeavesEntryAlone) {
  ImageEntry entry = EntryOfSize(128, 128);
  EXPECT_FALSE(engine::ComputeSignature(Uniform(255, 255, 255, 255, 63), entry));
  Bitmap32 shortBits = Uniform(255, 255, 255, 255);
  shortBits.bits.resize(16000);
  EXPECT_FALSE(engine::ComputeSignature(shortBits, entry));
  EXPECT_EQ(entry.signature[0], 0);
  EXPECT_EQ(entry.brightness, 0);
}

// Stands in for the decoder and the shell, and notes what a route asks for.
class FakeServices : public engine::PictureServices {
 public:
  struct Picture {
    int width = 128, height = 128;
    bool alpha = false;
    bool outOfMemory = false;  // decoding it throws std::bad_alloc
    std::optional<Bitmap32> thumbnail = Uniform(200, 200, 200, 255);  // embedded
    std::optional<Bitmap32> drawn = Uniform(100, 100, 100, 255);      // the picture itself
  };
  std::map<std::wstring, Picture> pictures;
  std::optional<Bitmap32> extracted;
  std::optional<Bitmap32> cached;
  std::pair<int, int> shellSize{0, 0};
  std::map<std::string, int> calls;
  std::pair<int, int> extractSize{0, 0}, scaledSize{0, 0};  // the sizes last asked for

  class File : public engine::PictureFile {
   public:
    File(FakeServices& owner, Picture& picture) : owner_(owner), picture_(picture) {}
    platform::ImageType Type() const override { return platform::ImageType::Bitmap; }
    int Width() const override { return picture_.width; }
    int Height() const override { return picture_.height; }
    bool HasAlpha() const override { return picture_.alpha; }
    uint32_t ThumbnailDataSize() const override { return 0; }
    bool ReadThumbnail(platform::PixelSink& sink) override {
      ++owner_.calls["Thumbnail"];
      if (!picture_.thumbnail) return false;
      platform::SendBitmap(*picture_.thumbnail, sink);
      return true;
    }
    bool ReadScaled(int minWidth, int minHeight, platform::PixelSink& sink) override {
      ++owner_.calls["Scaled"];
      owner_.scaledSize = {minWidth, minHeight};
      if (picture_.outOfMemory) throw std::bad_alloc();
      if (!picture_.drawn) return false;
      platform::SendBitmap(*picture_.drawn, sink);
      return true;
    }

   private:
    FakeServices& owner_;
    Picture& picture_;
  };

  std::unique_ptr<engine::PictureFile> Open(const std::wstring& path) override {
    ++calls["Open"];
    auto it = pictures.find(path);
    if (it == pictures.end()) return nullptr;
    return std::make_unique<File>(*this, it->second);
  }
  std::optional<Bitmap32> ShellExtract(const std::wstring&, int w, int h, uint32_t) override {
    ++calls["ShellExtract"];
    extractSize = {w, h};
    return extracted;
  }
  std::optional<Bitmap32> ShellSquareThumbnail(const std::wstring&, int) override {
    ++calls["ShellSquareThumbnail"];
    return cached;
  }
  std::optional<std::pair<int, int>> ShellImageSize(const std::wstring&) override {
    return shellSize;
  }
  bool ShellIsAtLeast(const std::wstring&, int n) override {
    return shellSize.first >= n && shellSize.second >= n;
  }
};

struct RouteCase {
  const char* name;
  engine::SignatureRule rule;
  bool extractorHasThumbnail;
  bool extractorKeepsAspect;  // returns 128 x 96
  bool fileHasThumbnail;
  engine::FingerprintSource expected;
  int extractCalls, thumbnailCalls, scaledCalls;
};

void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.name; }

class FingerprintRoute : public testing::TestWithParam<RouteCase> {};

TEST_P(FingerprintRoute, TakesTheExpectedSource) {
  const RouteCase& c = GetParam();
  FakeServices services;
  services.pictures[L"p.png"] = {};
  if (!c.fileHasThumbnail) services.pictures[L"p.png"].thumbnail.reset();
  if (c.extractorHasThumbnail) {
    services.extracted = Uniform(0, 0, 0, 255, 128);
    if (c.extractorKeepsAspect) {
      services.extracted->height = 96;
      services.extracted->bits.resize(128 * 96 * 4);
    }
  }
  ImageEntry entry = engine::EmptyEntry();
  ASSERT_TRUE(engine::BuildFingerprint(services, L"p.png", c.rule, entry));
  EXPECT_EQ(entry.source, static_cast<int>(c.expected));
  EXPECT_EQ(entry.Path(), L"p.png");
  EXPECT_EQ(services.calls["ShellExtract"], c.extractCalls);
  EXPECT_EQ(services.calls["Thumbnail"], c.thumbnailCalls);
  EXPECT_EQ(services.calls["Scaled"], c.scaledCalls);
  // Twice the signature's size, so that every signature pixel averages several.
  if (c.extractCalls) {
    EXPECT_EQ(services.extractSize, std::make_pair(128, 128));
  }
  if (c.scaledCalls) {
    EXPECT_EQ(services.scaledSize, std::make_pair(128, 128));
  }
}

using engine::FingerprintSource;
using engine::SignatureRule;
INSTANTIATE_TEST_SUITE_P(
    Rules, FingerprintRoute,
    testing::Values(
        RouteCase{"ShellFirst", SignatureRule::ShellFirst, true, false, true,
                  FingerprintSource::ShellExtractor, 1, 0, 0},
        // What the extractor returns is stretched to the square, as any picture.
        RouteCase{"ShellKeepsAspect", SignatureRule::ShellFirst, true, true, true,
                  FingerprintSource::ShellExtractor, 1, 0, 0},
        RouteCase{"ShellHasNone", SignatureRule::ShellFirst, false, false, true,
                  FingerprintSource::DecoderThumbnail, 1, 1, 0},
        RouteCase{"DecoderThumbnail", SignatureRule::DecoderThumbnail, true, false, true,
                  FingerprintSource::DecoderThumbnail, 0, 1, 0},
        // Without an embedded thumbnail the decoder's thumbnail is the picture, reduced.
        RouteCase{"NoEmbeddedThumbnail", SignatureRule::DecoderThumbnail, false, false, false,
                  FingerprintSource::DecoderThumbnail, 0, 1, 1},
        RouteCase{"FullImageAsksNothingElse", SignatureRule::FullImage, true, false, true,
                  FingerprintSource::FullImage, 0, 0, 1},
        RouteCase{"UnknownRuleIsDecoderThumbnail", static_cast<SignatureRule>(7), true, false, true,
                  FingerprintSource::DecoderThumbnail, 0, 1, 0}),
    [](const testing::TestParamInfo<RouteCase>& info) { return std::string(info.param.name); });

TEST(FingerprintRoute, TooFewPixelsGetNoEntry) {
  FakeServices services;
  services.pictures[L"small"] = {};
  services.pictures[L"small"].width = 127;
  services.pictures[L"wide"] = {};
  services.pictures[L"wide"].width = 256;
  services.pictures[L"wide"].height = 64;
  ImageEntry entry = engine::EmptyEntry();
  EXPECT_FALSE(engine::BuildFingerprint(services, L"small", SignatureRule::ShellFirst, entry));
  EXPECT_EQ(services.calls["ShellExtract"] + services.calls["Thumbnail"], 0);
  entry = engine::EmptyEntry();
  EXPECT_TRUE(engine::BuildFingerprint(services, L"wide", SignatureRule::ShellFirst, entry));
}

TEST(FingerprintRoute, PictureTooLargeForMemoryIsLeftOut) {
  FakeServices services;
  services.pictures[L"huge"] = {};
  services.pictures[L"huge"].outOfMemory = true;
  engine::FingerprintCache cache;
  EXPECT_EQ(engine::GetOrBuildEntry(cache, services, SignatureRule::FullImage, L"huge", {}),
            nullptr);
  EXPECT_EQ(cache.size(), 0u);
}

TEST(FingerprintRoute, AlphaFormatSetsTheFlag) {
  FakeServices services;
  services.pictures[L"a"] = {};
  services.pictures[L"a"].alpha = true;
  services.pictures[L"a"].thumbnail = Uniform(0, 0, 0, 0);
  ImageEntry entry = engine::EmptyEntry();
  ASSERT_TRUE(engine::BuildFingerprint(services, L"a", SignatureRule::DecoderThumbnail, entry));
  EXPECT_EQ(entry.hasAlpha, 1);
  EXPECT_EQ(entry.signature[0], 255);
}

TEST(FingerprintRoute, ShellCacheIsTheFallback) {
  FakeServices services;  // the decoder takes nothing
  services.cached = Uniform(255, 255, 255, 255);
  services.shellSize = {640, 480};
  platform::DirEntry found;
  found.fileSize = 1234;
  found.lastWriteTime = 99;
  engine::FingerprintCache cache;
  ImageEntry entry;
  ASSERT_TRUE(
      engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"x.heic", found, entry));
  EXPECT_EQ(entry.source, static_cast<int>(FingerprintSource::ShellCache));
  EXPECT_EQ(entry.thumbDataSize, 3);
  EXPECT_EQ(entry.width, 640);
  EXPECT_EQ(entry.fileSize, 1234u);
  EXPECT_EQ(entry.lastWrite, 99u);

  services.shellSize = {100, 100};  // too small once the size is known
  EXPECT_FALSE(
      engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"y.heic", found, entry));
  services.cached.reset();
  EXPECT_FALSE(
      engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"z.heic", found, entry));
  EXPECT_EQ(cache.size(), 1u);
}

TEST(FingerprintCache, ServesUnchangedFilesAndRebuildsTouchedOnes) {
  FakeServices services;
  services.pictures[L"p"] = {};
  engine::FingerprintCache cache;
  platform::DirEntry found;
  found.fileSize = 10;
  found.lastWriteTime = 1000;
  ImageEntry entry;
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", found,
                                      entry));
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", found,
                                      entry));
  EXPECT_EQ(services.calls["Open"], 1);

  found.lastWriteTime = 2000;  // touched
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", found,
                                      entry));
  EXPECT_EQ(services.calls["Open"], 2);
  found.fileSize = 11;  // rewritten
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", found,
                                      entry));
  EXPECT_EQ(services.calls["Open"], 3);
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(cache.Find(L"p")->fileSize, 11u);
}

TEST(FingerprintCache, PathTooLongForTheRecordIsLeftOut) {
  FakeServices services;
  const std::wstring longPath(260, L'a');
  services.pictures[longPath] = {};
  engine::FingerprintCache cache;
  ImageEntry entry;
  EXPECT_FALSE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, longPath,
                                       {}, entry));
  EXPECT_EQ(services.calls["Open"], 0);
  const std::wstring fits(259, L'a');
  services.pictures[fits] = {};
  EXPECT_TRUE(
      engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, fits, {}, entry));
}

TEST(FingerprintCache, StatusLineCountsRecords) {
  FakeServices services;
  services.pictures[L"p"] = {};
  engine::FingerprintCache cache;
  EXPECT_EQ(engine::CacheStatusText(cache), L"Cache: 0 0 Byte");
  ImageEntry entry;
  ASSERT_TRUE(
      engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", {}, entry));
  EXPECT_EQ(engine::CacheStatusText(cache).substr(0, 9), L"Cache: 1 ");
  EXPECT_NE(engine::CacheStatusText(cache).find(L" KB"), std::wstring::npos);
}

// The real decoder of this system, on files the test writes.
class RealFiles : public testing::Test {
 protected:
  platform::ComThread com_;
  testsupport::TempFolder folder_;
  engine::SystemPictureServices services_;

  std::wstring Png(const std::wstring& name, int w, int h, bool alpha = false) {
    const std::wstring path = folder_ / name;
    EXPECT_TRUE(testsupport::WritePng(
        path, w, h, [&](int x, int y) { return testsupport::Pattern(x, y, w, h, 1); }, alpha));
    return path;
  }
  bool Build(const std::wstring& path, SignatureRule rule, ImageEntry& entry) {
    engine::FingerprintCache cache;
    return engine::GetOrBuildEntry(cache, services_, rule, path,
                                   platform::FileEntry(path).value_or(platform::DirEntry{}), entry);
  }
};

TEST_F(RealFiles, MinimumSizeHolds) {
  ImageEntry entry;
  EXPECT_FALSE(Build(Png(L"small.png", 127, 128), SignatureRule::ShellFirst, entry));
  ASSERT_TRUE(Build(Png(L"square.png", 128, 128), SignatureRule::ShellFirst, entry));
  EXPECT_EQ(entry.width, 128);
  EXPECT_EQ(entry.height, 128);
  EXPECT_EQ(entry.hasAlpha, 0);
  EXPECT_GT(entry.fileSize, 0u);
  EXPECT_TRUE(engine::IsImageFile(services_, folder_ / L"small.png"));
}

TEST_F(RealFiles, EveryRuleGivesSimilarSignatures) {
  const std::wstring path = Png(L"pattern.png", 400, 300);
  ImageEntry thumb, full;
  ASSERT_TRUE(Build(path, SignatureRule::DecoderThumbnail, thumb));
  ASSERT_TRUE(Build(path, SignatureRule::FullImage, full));
  EXPECT_EQ(full.source, static_cast<int>(FingerprintSource::FullImage));
  EXPECT_FLOAT_EQ(thumb.aspect, 400.0f / 300.0f);
  long difference = 0;
  for (int i = 0; i < 4096; ++i) difference += std::abs(thumb.signature[i] - full.signature[i]);
  EXPECT_LT(difference / 4096.0, 8.0);
}

TEST_F(RealFiles, AlphaPictureIsFlagged) {
  const std::wstring path = folder_ / L"alpha.png";
  ASSERT_TRUE(testsupport::WritePng(
      path, 200, 200,
      [](int x, int) {
        return testsupport::Rgba{0, 0, 0, static_cast<uint8_t>(x < 100 ? 0 : 255)};
      },
      true));
  ImageEntry entry;
  ASSERT_TRUE(Build(path, SignatureRule::DecoderThumbnail, entry));
  EXPECT_EQ(entry.hasAlpha, 1);
  EXPECT_EQ(entry.signature[0], 255);  // transparent: toward white
  EXPECT_EQ(entry.signature[63], 0);   // opaque black
}

TEST_F(RealFiles, NonPicturesGetNoEntry) {
  const std::wstring text = folder_ / L"notes.jpg";
  ASSERT_TRUE(platform::WriteFileBytes(text, "this is not a picture\n"));
  const std::wstring empty = folder_ / L"empty.png";
  ASSERT_TRUE(platform::WriteFileBytes(empty, ""));
  std::string png = testsupport::PngBytes(
      300, 300, [](int x, int y) { return testsupport::Pattern(x, y, 300, 300, 2); }, false);
  const std::wstring truncated = folder_ / L"truncated.png";
  ASSERT_TRUE(platform::WriteFileBytes(truncated, png.substr(0, png.size() / 3)));
  const std::wstring corrupt = folder_ / L"corrupt.png";
  for (size_t i = 200; i < png.size(); i += 97) png[i] = static_cast<char>(png[i] ^ 0x5A);
  ASSERT_TRUE(platform::WriteFileBytes(corrupt, png));

  ImageEntry entry;
  EXPECT_FALSE(Build(text, SignatureRule::ShellFirst, entry));
  EXPECT_FALSE(Build(empty, SignatureRule::ShellFirst, entry));
  EXPECT_FALSE(Build(folder_ / L"missing.png", SignatureRule::ShellFirst, entry));
  EXPECT_FALSE(engine::IsImageFile(services_, text));
  EXPECT_FALSE(engine::IsImageFile(services_, empty));
  // Damaged pictures may or may not decode; they must not bring the run down.
  Build(truncated, SignatureRule::ShellFirst, entry);
  Build(corrupt, SignatureRule::FullImage, entry);
}

// A JPEG with another JPEG as its Exif thumbnail: an APP1 block right after
// the start marker whose second directory names the thumbnail's bytes.
std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail) {
  auto le16 = [](uint32_t v) { return std::string{char(v & 255), char(v >> 8 & 255)}; };
  auto le32 = [&](uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); };
  auto field = [&](uint32_t tag, uint32_t value) {
    return le16(tag) + le16(4) + le32(1) + le32(value);
  };
  const uint32_t thumbnailAt = 8 + 6 + 2 + 2 * 12 + 4;  // after the header and both directories
  std::string tiff = std::string("II*\0", 4) + le32(8) + le16(0) + le32(14) + le16(2) +
                     field(0x0201, thumbnailAt) +
                     field(0x0202, static_cast<uint32_t>(thumbnail.size())) + le32(0) + thumbnail;
  const std::string block = std::string("Exif\0\0", 6) + tiff;
  const uint32_t length = static_cast<uint32_t>(block.size() + 2);
  return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 255) + block +
         jpeg.substr(2);
}

double MeanDifference(const engine::Signature& a, const engine::Signature& b) {
  long sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
  return static_cast<double>(sum) / a.size();
}

// Rule 2 takes the embedded thumbnail where there is one; rule 3 never does.
TEST_F(RealFiles, EmbeddedThumbnailServesRuleTwoOnly) {
  const std::wstring samples = platform::FromUtf8(DUPLORA_SAMPLES) + platform::kPathSeparator;
  const std::string dusk = platform::ReadFileBytes(samples + L"dusk.jpg").value_or("");
  const std::string lake = platform::ReadFileBytes(samples + L"lake.jpg").value_or("");
  ASSERT_FALSE(dusk.empty());
  const std::wstring spliced = folder_ / L"lake-with-thumbnail.jpg";
  ASSERT_TRUE(platform::WriteFileBytes(spliced, WithExifThumbnail(lake, dusk)));

  ImageEntry byThumbnail, whole, plainLake, plainDusk;
  ASSERT_TRUE(Build(spliced, SignatureRule::DecoderThumbnail, byThumbnail));
  ASSERT_TRUE(Build(spliced, SignatureRule::FullImage, whole));
  ASSERT_TRUE(Build(samples + L"lake.jpg", SignatureRule::FullImage, plainLake));
  ASSERT_TRUE(Build(samples + L"dusk.jpg", SignatureRule::FullImage, plainDusk));
  EXPECT_EQ(byThumbnail.source, static_cast<int>(FingerprintSource::DecoderThumbnail));
  EXPECT_EQ(byThumbnail.thumbDataSize, static_cast<int>(dusk.size()));
  EXPECT_EQ(plainLake.thumbDataSize, 0);
  EXPECT_EQ(byThumbnail.width, plainLake.width);
  EXPECT_LT(MeanDifference(byThumbnail.signature, plainDusk.signature), 3.0);
  EXPECT_EQ(whole.signature, plainLake.signature);
  EXPECT_GT(MeanDifference(byThumbnail.signature, whole.signature), 20.0);
}

// The picture service opens a picture in memory as it opens the file, and
// its scaled copy and half turn are what the panes show.
TEST_F(RealFiles, PictureInMemoryReadsAsTheFile) {
  const std::wstring path =
      platform::FromUtf8(DUPLORA_SAMPLES) + platform::kPathSeparator + L"alpha.png";
  const auto file = platform::DecodedImage::Load(path);
  const auto memory = platform::DecodedImage::LoadBytes(platform::ReadFileBytes(path).value_or(""));
  ASSERT_TRUE(file && memory);
  EXPECT_EQ(memory->Width(), file->Width());
  EXPECT_TRUE(memory->HasAlpha());
  const auto a = platform::ScaledCopy(*file, 100, 70), b = platform::ScaledCopy(*memory, 100, 70);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->width, 100);
  EXPECT_EQ(a->bits, b->bits);
  platform::Bitmap32 turned = *a;
  platform::TurnHalfway(turned);
  EXPECT_TRUE(std::equal(turned.bits.begin(), turned.bits.begin() + 4, a->bits.end() - 4));
  platform::TurnHalfway(turned);
  EXPECT_EQ(turned.bits, a->bits);
  EXPECT_FALSE(platform::DecodedImage::LoadBytes("not a picture"));
  EXPECT_FALSE(platform::DecodedImage::LoadBytes(""));
}

// The search decodes one picture on each core. Decoding the same pictures
// on two threads at once, again and again, gives each thread the signatures
// one thread gets; this once corrupted the heap about one run in four.
TEST_F(RealFiles, TwoThreadsAtOnceGetTheSignaturesOfOne) {
  std::vector<std::wstring> paths;
  for (const char* name : {"dusk.jpg", "fog.jpg", "lake-turned-90.jpg", "meadow-small.jpg",
                           "shapes.gif", "shapes.png", "alpha.png"})
    paths.push_back(platform::FromUtf8(DUPLORA_SAMPLES) + platform::kPathSeparator +
                    platform::FromUtf8(name));
  std::vector<ImageEntry> expected(paths.size());
  for (size_t i = 0; i < paths.size(); ++i)
    ASSERT_TRUE(Build(paths[i], SignatureRule::DecoderThumbnail, expected[i])) << i;

  constexpr int kRounds = 60;
  std::vector<int> differing(2, 0);
  auto work = [&](int thread) {
    platform::ComThread com;
    for (int round = 0; round < kRounds; ++round) {
      for (size_t k = 0; k < paths.size(); ++k) {
        const size_t i = (k + thread) % paths.size();  // the threads on different files
        ImageEntry entry;
        if (!Build(paths[i], SignatureRule::DecoderThumbnail, entry) ||
            entry.signature != expected[i].signature)
          ++differing[thread];
      }
    }
  };
  std::thread other(work, 1);
  work(0);
  other.join();
  EXPECT_EQ(differing[0], 0);
  EXPECT_EQ(differing[1], 0);
}

}  // namespace
