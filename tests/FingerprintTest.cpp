#include <gtest/gtest.h>

#include <cstring>
#include <map>
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
    uint32_t format = 0x00021808;
    std::optional<Bitmap32> thumbnail = Uniform(200, 200, 200, 255);
    std::optional<Bitmap32> drawn = Uniform(100, 100, 100, 255);
  };
  std::map<std::wstring, Picture> pictures;
  std::optional<Bitmap32> extracted;
  std::optional<Bitmap32> cached;
  std::pair<int, int> shellSize{0, 0};
  std::map<std::string, int> calls;

  class File : public engine::PictureFile {
   public:
    File(FakeServices& owner, Picture& picture) : owner_(owner), picture_(picture) {}
    platform::ImageType Type() const override { return platform::ImageType::Bitmap; }
    int Width() const override { return picture_.width; }
    int Height() const override { return picture_.height; }
    uint32_t PixelFormat() const override { return picture_.format; }
    uint32_t ThumbnailDataSize() const override { return 0; }
    std::optional<Bitmap32> Thumbnail(int, int) override {
      ++owner_.calls["Thumbnail"];
      return picture_.thumbnail;
    }
    std::optional<Bitmap32> DrawStretched(int, int) override {
      ++owner_.calls["DrawStretched"];
      return picture_.drawn;
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
  std::optional<Bitmap32> ShellExtract(const std::wstring&, int, int, uint32_t) override {
    ++calls["ShellExtract"];
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
  bool extractorKeepsAspect;  // returns 64 x 48
  bool decoderHasThumbnail;
  engine::FingerprintSource expected;
  int extractCalls, thumbnailCalls, drawCalls;
};

void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.name; }

class FingerprintRoute : public testing::TestWithParam<RouteCase> {};

TEST_P(FingerprintRoute, TakesTheExpectedSource) {
  const RouteCase& c = GetParam();
  FakeServices services;
  services.pictures[L"p.png"] = {};
  if (!c.decoderHasThumbnail) services.pictures[L"p.png"].thumbnail.reset();
  if (c.extractorHasThumbnail)
    services.extracted = c.extractorKeepsAspect ? Bitmap32{64, 48, std::vector<uint8_t>(64 * 48 * 4)}
                                                : Uniform(0, 0, 0, 255);
  ImageEntry entry = engine::EmptyEntry();
  ASSERT_TRUE(engine::BuildFingerprint(services, L"p.png", c.rule, entry));
  EXPECT_EQ(entry.source, static_cast<int>(c.expected));
  EXPECT_EQ(entry.Path(), L"p.png");
  EXPECT_EQ(services.calls["ShellExtract"], c.extractCalls);
  EXPECT_EQ(services.calls["Thumbnail"], c.thumbnailCalls);
  EXPECT_EQ(services.calls["DrawStretched"], c.drawCalls);
}

using engine::FingerprintSource;
using engine::SignatureRule;
INSTANTIATE_TEST_SUITE_P(
    Rules, FingerprintRoute,
    testing::Values(
        RouteCase{"ShellFirst", SignatureRule::ShellFirst, true, false, true,
                  FingerprintSource::ShellExtractor, 1, 0, 0},
        RouteCase{"ShellKeepsAspect", SignatureRule::ShellFirst, true, true, true,
                  FingerprintSource::DecoderThumbnail, 1, 1, 0},
        RouteCase{"ShellHasNone", SignatureRule::ShellFirst, false, false, true,
                  FingerprintSource::DecoderThumbnail, 1, 1, 0},
        RouteCase{"DecoderThumbnail", SignatureRule::DecoderThumbnail, true, false, true,
                  FingerprintSource::DecoderThumbnail, 0, 1, 0},
        RouteCase{"NoDecoderThumbnail", SignatureRule::DecoderThumbnail, false, false, false,
                  FingerprintSource::FullImage, 0, 1, 1},
        RouteCase{"FullImageAsksNothingElse", SignatureRule::FullImage, true, false, true,
                  FingerprintSource::FullImage, 0, 0, 1},
        RouteCase{"UnknownRuleIsDecoderThumbnail", static_cast<SignatureRule>(7), true, false,
                  true, FingerprintSource::DecoderThumbnail, 0, 1, 0}),
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

TEST(FingerprintRoute, AlphaFormatSetsTheFlag) {
  FakeServices services;
  services.pictures[L"a"] = {};
  services.pictures[L"a"].format = 0x0026200A;
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
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"x.heic",
                                      found, entry));
  EXPECT_EQ(entry.source, static_cast<int>(FingerprintSource::ShellCache));
  EXPECT_EQ(entry.thumbDataSize, 3);
  EXPECT_EQ(entry.width, 640);
  EXPECT_EQ(entry.fileSize, 1234u);
  EXPECT_EQ(entry.lastWrite, 99u);

  services.shellSize = {100, 100};  // too small once the size is known
  EXPECT_FALSE(engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"y.heic",
                                       found, entry));
  services.cached.reset();
  EXPECT_FALSE(engine::GetOrBuildEntry(cache, services, SignatureRule::ShellFirst, L"z.heic",
                                       found, entry));
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
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p",
                                      found, entry));
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p",
                                      found, entry));
  EXPECT_EQ(services.calls["Open"], 1);

  found.lastWriteTime = 2000;  // touched
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p",
                                      found, entry));
  EXPECT_EQ(services.calls["Open"], 2);
  found.fileSize = 11;  // rewritten
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p",
                                      found, entry));
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
  EXPECT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, fits, {},
                                      entry));
}

TEST(FingerprintCache, StatusLineCountsRecords) {
  FakeServices services;
  services.pictures[L"p"] = {};
  engine::FingerprintCache cache;
  EXPECT_EQ(engine::CacheStatusText(cache), L"Cache: 0 0 Byte");
  ImageEntry entry;
  ASSERT_TRUE(engine::GetOrBuildEntry(cache, services, SignatureRule::DecoderThumbnail, L"p", {},
                                      entry));
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
      [](int x, int) { return testsupport::Rgba{0, 0, 0, static_cast<uint8_t>(x < 100 ? 0 : 255)}; },
      true));
  ImageEntry entry;
  ASSERT_TRUE(Build(path, SignatureRule::DecoderThumbnail, entry));
  EXPECT_EQ(entry.hasAlpha, 1);
  EXPECT_EQ(entry.signature[0], 255);    // transparent: toward white
  EXPECT_EQ(entry.signature[63], 0);     // opaque black
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
