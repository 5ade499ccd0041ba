// What a search meets in a real picture collection besides pictures: empty,
// cut and damaged files, text under picture names, decompression bombs,
// pictures of absurd proportions, link loops, unreadable folders, paths too
// long for the record, awkward names, and files that change while the run
// looks at them. Every file is made here at run time from the bundled samples
// and pictures the test writes. The run must end cleanly, leave out what it
// cannot read without a word, stay within bounded memory and find the same
// pairs among the good pictures as without the hostile files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <set>
#include <tuple>

#include "engine/NullSearchWindow.h"
#include "engine/SearchRun.h"
#include "platform/ComThread.h"
#include "platform/FileSystem.h"
#include "platform/PictureHeader.h"
#include "platform/Text.h"
#include "tests/support/ForwardingServices.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempFolder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <linux/capability.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

using engine::CompareSettings;
using engine::MatchPair;

constexpr wchar_t kSep = platform::kPathSeparator;

std::wstring Sample(const char* name) {
  return platform::FromUtf8(DUPLORA_SAMPLES) + kSep + platform::FromUtf8(name);
}

std::string SampleBytes(const char* name) {
  auto bytes = platform::ReadFileBytes(Sample(name));
  EXPECT_TRUE(bytes) << name;
  return bytes.value_or("");
}

std::string PatternPng(int width, int height, int seed) {
  return testsupport::PngBytes(
      width, height, [&](int x, int y) { return testsupport::Pattern(x, y, width, height, seed); },
      false);
}

// ---- Files in hostile shapes ----

void Put16Le(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32Le(std::string& out, uint32_t v) {
  Put16Le(out, v & 0xFFFF);
  Put16Le(out, v >> 16);
}

// A JPEG whose frame header declares another size; its scans stay as they were.
std::string JpegDeclaring(std::string jpeg, uint16_t width, uint16_t height) {
  for (size_t at = 2; at + 9 < jpeg.size();) {
    const auto marker = static_cast<uint8_t>(jpeg[at + 1]);
    const size_t length =
        (static_cast<uint8_t>(jpeg[at + 2]) << 8) | static_cast<uint8_t>(jpeg[at + 3]);
    if (marker >= 0xC0 && marker <= 0xC2) {
      jpeg[at + 5] = static_cast<char>(height >> 8),
                jpeg[at + 6] = static_cast<char>(height & 0xFF);
      jpeg[at + 7] = static_cast<char>(width >> 8), jpeg[at + 8] = static_cast<char>(width & 0xFF);
      return jpeg;
    }
    at += 2 + length;
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

// A GIF of one black-and-white frame as large as its screen, with a few
// bytes of picture data.
std::string GifDeclaring(uint16_t width, uint16_t height) {
  std::string gif = "GIF89a";
  Put16Le(gif, width);
  Put16Le(gif, height);
  gif += std::string("\x80\x00\x00\x00\x00\x00\xff\xff\xff", 9);  // 2-colour table
  gif += ',';
  Put16Le(gif, 0), Put16Le(gif, 0), Put16Le(gif, width), Put16Le(gif, height);
  gif += std::string("\x00\x02\x02\x44\x01\x00;", 7);
  return gif;
}

// A TIFF of one uncompressed strip that declares the size and holds 64 bytes.
std::string TiffDeclaring(uint32_t width, uint32_t height) {
  const uint32_t tags[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8},
                              {259, 3, 1},     {262, 3, 1},      {273, 4, 8 + 2 + 9 * 12 + 4},
                              {277, 3, 1},     {278, 4, height}, {279, 4, width * height}};
  std::string tiff = std::string("II*\0", 4);
  Put32Le(tiff, 8);
  Put16Le(tiff, 9);
  for (const auto& tag : tags) {
    Put16Le(tiff, tag[0]);
    Put16Le(tiff, tag[1]);
    Put32Le(tiff, 1);
    Put32Le(tiff, tag[2]);
  }
  Put32Le(tiff, 0);
  return tiff + std::string(64, '\0');
}

// A WebP that is only its extended header, declaring its canvas.
std::string WebpCanvas(uint32_t width, uint32_t height) {
  std::string chunk = "VP8X";
  Put32Le(chunk, 10);
  Put32Le(chunk, 0);
  chunk.append(1, static_cast<char>((width - 1) & 0xFF));
  Put16Le(chunk, (width - 1) >> 8);
  chunk.append(1, static_cast<char>((height - 1) & 0xFF));
  Put16Le(chunk, (height - 1) >> 8);
  std::string webp = "RIFF";
  Put32Le(webp, static_cast<uint32_t>(4 + chunk.size()));
  return webp + "WEBP" + chunk;
}

std::string PngDeclaring(uint32_t width, uint32_t height, bool interlaced = false) {
  std::string png = PatternPng(16, 16, 5);
  testsupport::DeclarePngSize(png, width, height, interlaced);
  return png;
}

// A JPEG whose only metadata is the given EXIF block (a TIFF structure).
std::string JpegWithExif(const std::string& jpeg, const std::string& tiff) {
  std::string out = jpeg.substr(0, 2);
  const std::string body = std::string("Exif\0\0", 6) + tiff;
  out += "\xFF\xE1";
  out.push_back(static_cast<char>((body.size() + 2) >> 8));
  out.push_back(static_cast<char>((body.size() + 2) & 0xFF));
  out += body;
  for (size_t at = 2; at + 4 <= jpeg.size();) {
    const auto marker = static_cast<uint8_t>(jpeg[at + 1]);
    if (marker == 0xDA) return out + jpeg.substr(at);  // the scan runs to the end
    const size_t length =
        (static_cast<uint8_t>(jpeg[at + 2]) << 8) | static_cast<uint8_t>(jpeg[at + 3]);
    if (marker != 0xE1) out += jpeg.substr(at, 2 + length);
    at += 2 + length;
  }
  return out;
}

// An EXIF block: one entry in the first directory, then a second directory
// (the thumbnail's) with its offset and length. The offsets can be set to
// anything.
std::string ExifBlock(uint32_t firstDirectory, uint32_t secondDirectory, uint16_t secondCount) {
  std::string tiff = std::string("II*\0", 4);
  Put32Le(tiff, firstDirectory);
  Put16Le(tiff, 1);
  Put16Le(tiff, 0x0112), Put16Le(tiff, 3), Put32Le(tiff, 1), Put32Le(tiff, 1);  // orientation
  Put32Le(tiff, secondDirectory);
  Put16Le(tiff, secondCount);
  Put16Le(tiff, 0x0201), Put16Le(tiff, 4), Put32Le(tiff, 1), Put32Le(tiff, 56);  // thumbnail at
  Put16Le(tiff, 0x0202), Put16Le(tiff, 4), Put32Le(tiff, 1), Put32Le(tiff, 4);   // thumbnail length
  Put32Le(tiff, 0);
  return tiff + "\xFF\xD8\xFF\xD9";
}

// The first lines of a matrix of numbers: a text file that one of the
// library's loaders would take for a 130 x 130 picture.
std::string NumberMatrixText() {
  std::string text = "130 130 1 0\n";
  for (int y = 0; y < 130; ++y) {
    for (int x = 0; x < 130; ++x) text += std::to_string((x * y) % 200) + (x < 129 ? " " : "\n");
  }
  return text;
}

enum class Outcome { Skipped, Fingerprinted, Either };

struct HostileFile {
  std::wstring name;
  std::string bytes;
  Outcome outcome;
};

// Decompression bombs: pictures that declare far more pixels than they hold.
std::vector<HostileFile> Bombs() {
  return {
      {L"bomb-60000.png", PngDeclaring(60000, 60000), Outcome::Skipped},
      {L"bomb-60000.jpg", JpegDeclaring(SampleBytes("dusk.jpg"), 60000, 60000), Outcome::Skipped},
      {L"bomb-60000.gif", GifDeclaring(60000, 60000), Outcome::Skipped},
      {L"bomb-60000.tif", TiffDeclaring(60000, 60000), Outcome::Skipped},
      {L"bomb-16383.webp", WebpCanvas(16383, 16383), Outcome::Skipped},
      // Within the pixel bound, but a GIF decoder holds the whole frame: a
      // gigabyte from 35 bytes.
      {L"bomb-16000.gif", GifDeclaring(16000, 16000), Outcome::Skipped},
      {L"bomb-16000-interlaced.png", PngDeclaring(16000, 16000, true), Outcome::Skipped},
  };
}

// Everything that is not a good picture, by name within the folder.
std::vector<HostileFile> HostileFiles() {
  std::vector<HostileFile> files;
  for (const wchar_t* ext : {L"jpg", L"png", L"gif", L"tif", L"webp"})
    files.push_back({std::wstring(L"empty.") + ext, "", Outcome::Skipped});
  files.push_back({L"notes.jpg", "These are my notes, not a picture.\n", Outcome::Skipped});
  files.push_back({L"numbers.txt", NumberMatrixText(), Outcome::Skipped});
  files.push_back(
      {L"page.png", "<html><body><img src=\"x.png\"></body></html>\n", Outcome::Skipped});

  // Cut and damaged copies of a picture of each format.
  struct Source {
    const char* sample;
    const wchar_t* ext;
  };
  for (const Source source :
       {Source{"dusk.jpg", L"jpg"}, Source{"shapes.png", L"png"}, Source{"shapes.gif", L"gif"},
        Source{"meadow.tif", L"tif"}, Source{"lake.webp", L"webp"}}) {
    const std::string whole = SampleBytes(source.sample);
    const std::wstring ext = std::wstring(L".") + source.ext;
    files.push_back({L"cut-header" + ext, whole.substr(0, 8), Outcome::Skipped});
    files.push_back({L"cut-third" + ext, whole.substr(0, whole.size() / 3), Outcome::Either});
    files.push_back(
        {L"cut-two-thirds" + ext, whole.substr(0, whole.size() * 2 / 3), Outcome::Either});
    std::string flipped = whole;
    for (size_t i = flipped.size() / 2; i < flipped.size() / 2 + 64 && i < flipped.size(); ++i)
      flipped[i] = static_cast<char>(flipped[i] ^ 0xFF);
    files.push_back({L"flipped" + ext, flipped, Outcome::Either});
    std::string noise = whole.substr(0, 64);
    std::mt19937 random(7);
    while (noise.size() < whole.size()) noise.push_back(static_cast<char>(random()));
    files.push_back({L"noise-after-header" + ext, noise, Outcome::Either});
  }

  for (HostileFile& bomb : Bombs()) files.push_back(std::move(bomb));
  // Valid pictures of absurd proportions.
  files.push_back({L"column-1x100000.png", PatternPng(1, 100000, 4), Outcome::Fingerprinted});
  files.push_back({L"row-100000x1.png", PatternPng(100000, 1, 4), Outcome::Fingerprinted});
  return files;
}

// The good pictures: near copies in pairs under awkward names, and the samples.
std::vector<std::pair<std::wstring, std::string>> GoodPictures() {
  std::vector<std::pair<std::wstring, std::string>> good;
  const std::wstring names[][2] = {
      {L"p0.png", L"p0 copy.png"},
      {L"Gr\u00fc\u00dfe \u00fc.png", L"Gr\u00fc\u00dfe \u00fc (2).png"},
      {L"a;b & c.png", L"a;b & c'2.png"},
#ifdef _WIN32
      {L"\u65e5\u672c \U0001F600.png", L"it's $HOME.png"},
#else
      {L"\u65e5\u672c \U0001F600.png", L"it's \"q\" $HOME `x`.png"},
#endif
  };
  for (int seed = 0; seed < 4; ++seed) {
    good.emplace_back(names[seed][0], PatternPng(200 + 10 * seed, 150, seed));
    good.emplace_back(names[seed][1], PatternPng(210 + 10 * seed, 150, seed));
  }
  for (const char* sample : {"alpha.png", "dusk-mirrored.jpg", "dusk.jpg", "fog-negative.jpg",
                             "fog.jpg", "lake-turned-180.jpg", "lake-turned-90.jpg", "lake.jpg",
#ifndef _WIN32
                             "lake.webp",  // the Windows decoder does not read WebP
#endif
                             "meadow-q35.jpg", "meadow-small.jpg", "meadow.jpg", "meadow.tif",
                             "shapes-upside-down.png", "shapes.gif", "shapes.png"})
    good.emplace_back(platform::FromUtf8(sample), SampleBytes(sample));
  return good;
}

// The size a header declares, read before any decoder sees the file; the
// Windows decoder refuses bombs by it (its loader allocates the whole picture).
TEST(DeclaredPictureSize, ReadsTheHeaderOfEachFormat) {
  struct Case {
    const char* name;
    std::string bytes;
    std::optional<std::pair<uint32_t, uint32_t>> size;
  };
  const std::string jpeg = JpegDeclaring(SampleBytes("dusk.jpg"), 60000, 50000);
  const Case cases[] = {
      {"png", PngDeclaring(60000, 50000), std::pair{60000u, 50000u}},
      {"jpeg after its metadata", jpeg, std::pair{60000u, 50000u}},
      {"gif", GifDeclaring(16000, 300), std::pair{16000u, 300u}},
      {"tiff", TiffDeclaring(60000, 7), std::pair{60000u, 7u}},
      {"jpeg cut before its frame", jpeg.substr(0, 30), std::nullopt},
      {"png cut in its header", PngDeclaring(60000, 50000).substr(0, 20), std::nullopt},
      {"text", "60000 x 60000", std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto size = platform::DeclaredPictureSize([&](uint64_t offset, size_t count) {
      return offset < c.bytes.size() ? c.bytes.substr(offset, count) : std::string();
    });
    ASSERT_EQ(size.has_value(), c.size.has_value());
    if (size) {
      EXPECT_EQ(std::pair(size->width, size->height), *c.size);
    }
  }
  EXPECT_TRUE(platform::WithinPixelBound({16384, 16384}));
  EXPECT_FALSE(platform::WithinPixelBound({16385, 16384}));
  EXPECT_FALSE(platform::WithinPixelBound({60000, 60000}));
}

// ---- Picture services that let the test act at chosen moments ----

class HookedFile final : public engine::PictureFile {
 public:
  HookedFile(std::unique_ptr<engine::PictureFile> real, std::function<void()> beforeRender)
      : real_(std::move(real)), beforeRender_(std::move(beforeRender)) {}
  platform::ImageType Type() const override { return real_->Type(); }
  int Width() const override { return real_->Width(); }
  int Height() const override { return real_->Height(); }
  bool HasAlpha() const override { return real_->HasAlpha(); }
  uint32_t ThumbnailDataSize() const override { return real_->ThumbnailDataSize(); }
  bool ReadThumbnail(platform::PixelSink& sink) override {
    if (beforeRender_) beforeRender_();
    return real_->ReadThumbnail(sink);
  }
  bool ReadScaled(int minWidth, int minHeight, platform::PixelSink& sink) override {
    if (beforeRender_) beforeRender_();
    return real_->ReadScaled(minWidth, minHeight, sink);
  }

 private:
  std::unique_ptr<engine::PictureFile> real_;
  std::function<void()> beforeRender_;
};

// The real decoder, with hooks called on every open and before every
// rendering (from the fingerprint workers too).
struct Hooks {
  std::function<void(const std::wstring&)> onOpen;
  std::function<void(const std::wstring&)> beforeRender;
};

class HookedServices final : public testsupport::ForwardingServices {
 public:
  explicit HookedServices(const Hooks& hooks) : hooks_(hooks) {}
  std::unique_ptr<engine::PictureFile> Open(const std::wstring& path) override {
    if (hooks_.onOpen) hooks_.onOpen(path);
    auto file = real_.Open(path);
    if (!file || !hooks_.beforeRender) return file;
    return std::make_unique<HookedFile>(std::move(file),
                                        [this, path] { hooks_.beforeRender(path); });
  }

 private:
  const Hooks& hooks_;
};

// A window that records the messages of the run and lets the test act on a
// few of its requests.
class Window final : public engine::NullSearchWindow {
 public:
  std::wstring right;
  std::vector<std::wstring> messages;  // field warnings and duplicate messages
  std::function<void(const std::wstring&)> onStatus;
  std::function<void()> onCompareStart;
  std::function<void()> onRow;

  std::wstring PathBoxText(engine::PathBox) override { return right; }
  void FieldWarning(engine::PathBox, const std::wstring& m) override { messages.push_back(m); }
  void ShowDuplicateMessage(const std::wstring& path) override { messages.push_back(path); }
  void SetLine(engine::TextLine line, const std::wstring& text) override {
    if (line == engine::TextLine::Status && onStatus) onStatus(text);
  }
  void SetListRedraw(bool on) override {
    if (!on && onCompareStart) onCompareStart();
  }
  void AppendRow(const MatchPair&) override {
    if (onRow) onRow();
  }
};

// A pair by the paths of its pictures and what the test found.
using PairKey = std::tuple<std::wstring, std::wstring, int, int, int, int>;

std::vector<PairKey> PairsOf(const engine::SearchRun& run,
                             const std::set<std::wstring>* only = nullptr) {
  std::vector<PairKey> out;
  for (const MatchPair& p : run.pairs()) {
    if (only && (!only->count(p.first->Path()) || !only->count(p.second->Path()))) continue;
    out.emplace_back(p.first->Path(), p.second->Path(), p.similarity, p.flip, p.negative,
                     p.rotation);
  }
  return out;
}

CompareSettings AllOrientations() {
  CompareSettings settings;
  settings.m_search_rotated = 1;
  settings.m_search_flipped = 1;
  settings.m_search_negative = 1;
  return settings;
}

const engine::TextLookup kTexts = [](int id) { return L"<" + std::to_wstring(id) + L">"; };

std::wstring operator/(const std::wstring& folder, const std::wstring& name) {
  return folder + kSep + name;
}

class HostileFolder : public testing::Test {
 protected:
  platform::ComThread com_;
  testsupport::TempFolder root_;
  std::wstring folder_ = root_.MakeFolder(L"pictures");
  Hooks hooks_;
  Window window_;
  std::set<std::wstring> good_;

  void SetUp() override { window_.right = folder_; }

  void WriteGood(const std::vector<std::pair<std::wstring, std::string>>& pictures) {
    for (const auto& [name, bytes] : pictures) {
      ASSERT_TRUE(platform::WriteFileBytes(folder_ / name, bytes)) << platform::ToUtf8(name);
      good_.insert(folder_ / name);
    }
  }

  std::unique_ptr<engine::SearchRun> Run(engine::FingerprintCache& cache,
                                         const CompareSettings& settings) {
    auto run = std::make_unique<engine::SearchRun>(
        window_, cache, kTexts, [this] { return std::make_unique<HookedServices>(hooks_); });
    run->RunSearch(settings);
    return run;
  }

  bool HasEntry(const engine::SearchRun& run, const std::wstring& path) const {
    return std::any_of(run.entries().begin(), run.entries().end(),
                       [&](const engine::EntryRef& e) { return e->Path() == path; });
  }
};

#ifndef _WIN32
// Root passes every permission check, so the tests would never meet an
// unreadable file. While this lives, the calling thread (and every thread it
// starts, as the run's workers are) gives up the two capabilities that let it
// past the permission bits; they come back at the end.
class PermissionBitsBind {
 public:
  PermissionBitsBind() {
    if (geteuid() != 0 || syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
    reduced_ = syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~PermissionBitsBind() {
    if (reduced_) syscall(SYS_capset, &header_, saved_);
  }
  PermissionBitsBind(const PermissionBitsBind&) = delete;
  PermissionBitsBind& operator=(const PermissionBitsBind&) = delete;

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool reduced_ = false;
};

// Whether the permission bits keep this thread out.
bool PermissionsBind(const testsupport::TempFolder& root) {
  const std::wstring probe = root / L"probe";
  platform::WriteFileBytes(probe, "x");
  chmod(platform::ToUtf8(probe).c_str(), 0);
  const bool binds = !platform::ReadFileBytes(probe).has_value();
  chmod(platform::ToUtf8(probe).c_str(), 0600);
  std::remove(platform::ToUtf8(probe).c_str());
  return binds;
}
#endif

TEST_F(HostileFolder, SearchLeavesThemOutAndFindsTheSamePairs) {
  WriteGood(GoodPictures());
  const CompareSettings settings = AllOrientations();
  engine::FingerprintCache baselineCache;
  const auto baseline = Run(baselineCache, settings);
  ASSERT_TRUE(baseline->completed());
  const std::vector<PairKey> expected = PairsOf(*baseline);
  // Every awkward name takes part in its pair.
  for (const auto& name : {L"p0 copy.png", L"Gr\u00fc\u00dfe \u00fc (2).png", L"a;b & c'2.png"})
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [&](const PairKey& p) {
      return std::get<0>(p) == folder_ / name || std::get<1>(p) == folder_ / name;
    })) << platform::ToUtf8(name);

  // The hostile files by full path, with what should become of each.
  std::vector<std::pair<std::wstring, Outcome>> hostile;
  const std::wstring odd = root_.MakeFolder(L"pictures" + std::wstring(1, kSep) + L"odd");
  for (const HostileFile& file : HostileFiles()) {
    ASSERT_TRUE(platform::WriteFileBytes(odd / file.name, file.bytes))
        << platform::ToUtf8(file.name);
    hostile.emplace_back(odd / file.name, file.outcome);
  }
  // A picture whose full path (280 units) does not fit the record (259): collected, never
  // fingerprinted.
  const std::wstring deep =
      root_.MakeFolder(L"pictures" + std::wstring(1, kSep) + std::wstring(150, L'd'));
  ASSERT_LT(deep.size(), 250u);
  const std::wstring tooLong = deep / (std::wstring(280 - deep.size() - 5, L'n') + L".png");
  if (platform::WriteFileBytes(tooLong, PatternPng(150, 150, 9)))
    hostile.emplace_back(tooLong, Outcome::Skipped);
#ifndef _WIN32
  namespace fs = std::filesystem;
  const fs::path o(odd);
  fs::create_symlink(o / "loop-b.jpg", o / "loop-a.jpg");
  fs::create_symlink(o / "loop-a.jpg", o / "loop-b.jpg");
  fs::create_symlink(o / "self.png", o / "self.png");
  fs::create_directory_symlink(o, o / "back-up");
  fs::create_directory_symlink(fs::path(root_.path()), o / "to-root");
  fs::create_symlink(o / "gone.png", o / "dangling.png");
  ASSERT_EQ(mkfifo((o / "pipe.jpg").c_str(), 0600), 0);
  // A name that is not UTF-8 cannot be held in the program's text: left out.
  const std::string badName = platform::ToUtf8(odd) + "/\xff\xfe-latin1-\xe9.png";
  const std::string badPicture = PatternPng(150, 150, 8);
  std::FILE* bad = std::fopen(badName.c_str(), "wb");
  ASSERT_TRUE(bad);
  std::fwrite(badPicture.data(), 1, badPicture.size(), bad);
  std::fclose(bad);
  const std::wstring unreadable = odd / L"unreadable.png";
  ASSERT_TRUE(platform::WriteFileBytes(unreadable, PatternPng(150, 150, 7)));
  chmod(platform::ToUtf8(unreadable).c_str(), 0);
  PermissionBitsBind asUser;
  hostile.emplace_back(unreadable, PermissionsBind(root_) ? Outcome::Skipped : Outcome::Either);
#endif

  engine::FingerprintCache cache;
  testing::internal::CaptureStderr();
  const auto run = Run(cache, settings);
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_TRUE(run->completed());
  EXPECT_TRUE(window_.messages.empty());
#ifndef _WIN32
  // Without a word: no decoder warnings either. (Under wine the emulator talks on its own.)
  EXPECT_TRUE(said.empty()) << said.substr(0, 400);
#endif

  for (const std::wstring& path : good_)
    EXPECT_TRUE(HasEntry(*run, path)) << platform::ToUtf8(path);
  for (const auto& [path, outcome] : hostile) {
    const bool entered = HasEntry(*run, path);
    if (outcome != Outcome::Either) {
      EXPECT_EQ(entered, outcome == Outcome::Fingerprinted) << platform::ToUtf8(path);
    }
  }
  for (const engine::EntryRef& entry : run->entries()) {
    EXPECT_EQ(entry->Path().find(L"\ufffd"), std::wstring::npos);
    EXPECT_EQ(entry->Path().find(L"to-root"), std::wstring::npos);
    EXPECT_EQ(entry->Path().find(L"back-up"), std::wstring::npos);
  }
  EXPECT_EQ(PairsOf(*run, &good_), expected);
  std::printf("[ figures  ] %zu hostile files beside %zu good pictures; %zu entries, %zu pairs\n",
              hostile.size(), good_.size(), run->entries().size(), run->pairs().size());
}

#ifndef _WIN32
// Folders that cannot be listed (no read permission), cannot be entered (no
// search permission), or neither: each adds nothing and says nothing.
TEST_F(HostileFolder, FolderWithoutPermissionAddsNothing) {
  WriteGood({{L"a.png", PatternPng(200, 150, 1)}, {L"b.png", PatternPng(210, 150, 1)}});
  for (const mode_t mode : {0000, 0300, 0600}) {
    SCOPED_TRACE(mode);
    const std::wstring locked = root_.MakeFolder(L"pictures/locked");
    ASSERT_TRUE(platform::WriteFileBytes(locked / L"c.png", PatternPng(200, 150, 1)));
    ASSERT_TRUE(platform::WriteFileBytes(locked / L"d.png", PatternPng(210, 150, 1)));
    chmod(platform::ToUtf8(locked).c_str(), mode);
    std::unique_ptr<engine::SearchRun> run;
    {
      PermissionBitsBind asUser;
      if (!PermissionsBind(root_)) GTEST_SKIP() << "permission bits do not bind this process";
      engine::FingerprintCache cache;
      run = Run(cache, CompareSettings{});
    }
    chmod(platform::ToUtf8(locked).c_str(), 0700);
    std::filesystem::remove_all(std::filesystem::path(locked));
    ASSERT_TRUE(run->completed());
    EXPECT_TRUE(window_.messages.empty());
    EXPECT_EQ(run->entries().size(), 2u);
    EXPECT_EQ(run->pairs().size(), 1u);
  }
}

// The peak resident memory of a command-line run that fingerprints the
// files, in kilobytes; its output goes to the file named output. Nothing
// when it could not run or failed. A child's peak as the system reports it
// includes the pages of whoever started it, so a small program in between
// starts the run and reports its peak (getrusage of its children).
std::optional<long> PeakMemoryOfInfo(const std::vector<std::string>& args,
                                     const std::string& output) {
  const std::string figure = output + ".peak";
  std::vector<std::string> all = {
      "python3",
      "-c",
      "import resource, subprocess, sys\n"
      "code = subprocess.run(sys.argv[2:]).returncode\n"
      "open(sys.argv[1], 'w').write(str(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss))\n"
      "sys.exit(code)\n",
      figure,
      DUPLORA_CLI,
      "info"};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return std::nullopt;
  const auto text = platform::ReadFileBytes(platform::FromUtf8(figure));
  if (!text || text->empty()) return std::nullopt;
  return std::stol(*text);
}

TEST_F(HostileFolder, DecompressionBombsStayWithinBoundedMemory) {
  std::vector<HostileFile> bombs = Bombs();
  // Streamed by the decoder, slow rather than large: declared 16000 x 16000, holds 16 x 16.
  bombs.push_back({L"declared-16000.png", PngDeclaring(16000, 16000), Outcome::Either});
  bombs.push_back({L"declared-16000.jpg", JpegDeclaring(SampleBytes("dusk.jpg"), 16000, 16000),
                   Outcome::Either});
  std::vector<std::string> paths;
  for (const HostileFile& bomb : bombs) {
    ASSERT_TRUE(platform::WriteFileBytes(folder_ / bomb.name, bomb.bytes));
    paths.push_back(platform::ToUtf8(folder_ / bomb.name));
  }
  const std::string output = platform::ToUtf8(root_ / L"output.txt");
  const auto baseline = PeakMemoryOfInfo({platform::ToUtf8(Sample("meadow.jpg"))}, output);
  ASSERT_TRUE(baseline);
  for (const char* rule : {"2", "3"}) {
    std::vector<std::string> args = {"--rule", rule};
    args.insert(args.end(), paths.begin(), paths.end());
    const auto peak = PeakMemoryOfInfo(args, output);
    ASSERT_TRUE(peak) << "rule " << rule;
    const std::string printed = platform::ReadFileBytes(platform::FromUtf8(output)).value_or("");
    for (const HostileFile& bomb : bombs) {
      const std::string line = platform::ToUtf8(folder_ / bomb.name) + "\tnot an image\n";
      if (bomb.outcome == Outcome::Skipped) {
        EXPECT_NE(printed.find(line), std::string::npos) << platform::ToUtf8(bomb.name);
      }
    }
    EXPECT_EQ(printed.find("WARNING"), std::string::npos) << printed;
    std::printf("[ figures  ] peak memory, rule %s: %ld MB for %zu bombs, %ld MB for one sample\n",
                rule, *peak / 1024, bombs.size(), *baseline / 1024);
    // Decoded whole, the bombs would take gigabytes; streamed, tens of megabytes (a
    // little more under the address sanitizer, which holds freed memory back for a while).
    EXPECT_LT(*peak - *baseline, 384 * 1024) << "rule " << rule;
  }
}
#endif

// The thumbnail size is read from the picture's EXIF block, whose offsets
// come from the file. Offsets near 4 GB once wrapped around the bounds check
// and read far outside the block (found by fuzzing the picture entry route).
TEST_F(HostileFolder, ExifOffsetsOutsideTheBlockAreIgnored) {
  struct Case {
    const wchar_t* name;
    uint32_t first, second;
    uint16_t secondCount;
    int32_t thumbDataSize;  // as the Linux decoder reports it
  };
  const Case cases[] = {
      {L"exif-valid.jpg", 8, 26, 2, 4},
      {L"exif-first-at-4g.jpg", 0xFFFFFFFE, 26, 2, 0},
      {L"exif-second-at-4g.jpg", 8, 0xFFFFFFFF, 2, 0},
      {L"exif-second-past-end.jpg", 8, 0xFFFFFFF0, 2, 0},
      {L"exif-too-many-entries.jpg", 8, 26, 0xFFFF, 0},
  };
  const std::string jpeg = SampleBytes("meadow-small.jpg");
  engine::SystemPictureServices services;
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::ToUtf8(c.name));
    const std::wstring path = folder_ / c.name;
    ASSERT_TRUE(platform::WriteFileBytes(
        path, JpegWithExif(jpeg, ExifBlock(c.first, c.second, c.secondCount))));
    engine::FingerprintCache cache;
    const engine::EntryRef entry = engine::GetOrBuildEntry(
        cache, services, engine::SignatureRule::DecoderThumbnail, path, *platform::FileEntry(path));
    ASSERT_TRUE(entry);
#ifndef _WIN32
    EXPECT_EQ(entry->thumbDataSize, c.thumbDataSize);
#endif
  }
}

// Files deleted, replaced by renaming, rewritten in place or cut while the
// run collects or fingerprints them: nothing may crash or take unbounded
// memory, and the untouched pictures give the same pairs.
TEST_F(HostileFolder, FilesChangingDuringTheRun) {
  WriteGood(GoodPictures());
  const std::vector<std::wstring> victims = {
      L"v-deleted-early.png", L"v-renamed-early.png", L"v-gone-at-filter.png",
      L"v-gone-at-open.png",  L"v-text-at-open.jpg",  L"v-bomb-at-open.png",
      L"v-deleted.jpg",       L"v-renamed.png",       L"v-rewritten.png",
#ifndef _WIN32
      L"v-cut.webp",  // the Windows decoder does not read WebP
#endif
      L"v-cut.gif",           L"v-grown.jpg"};
  const std::string bomb = GifDeclaring(60000, 60000);
  auto writeVictims = [&] {
    for (const std::wstring& name : victims) {
      const char* sample = name.ends_with(L".webp")  ? "lake.webp"
                           : name.ends_with(L".gif") ? "shapes.gif"
                           : name.ends_with(L".jpg") ? "fog.jpg"
                                                     : "shapes.png";
      ASSERT_TRUE(platform::WriteFileBytes(folder_ / name, SampleBytes(sample)));
    }
  };
  auto replaceByRename = [&](const std::wstring& path, const std::string& bytes) {
    const std::wstring temp = path + L".new";
    platform::WriteFileBytes(temp, bytes);
    // Windows refuses to replace a file that the decoder holds open; it then stays as it was.
    std::error_code refused;
    std::filesystem::rename(std::filesystem::path(temp), std::filesystem::path(path), refused);
    if (refused) std::filesystem::remove(std::filesystem::path(temp), refused);
  };
  auto remove = [](const std::wstring& path) {
    std::error_code ignored;
    std::filesystem::remove(std::filesystem::path(path), ignored);
  };

  std::mutex mutex;
  std::set<std::wstring> done;
  // Each change once, whichever thread comes first.
  auto once = [&](const std::wstring& name) {
    std::lock_guard lock(mutex);
    return done.insert(name).second;
  };
  std::atomic<bool> fingerprinting{false};
  Hooks changes;
  auto isVictim = [&](const std::wstring& name) {
    return std::find(victims.begin(), victims.end(), name) != victims.end();
  };
  changes.onOpen = [&](const std::wstring& path) {
    const std::wstring name = path.substr(folder_.size() + 1);
    // At the first file the collection looks at, two others go before it reaches them.
    if (!fingerprinting && once(L"collection")) {
      remove(folder_ / L"v-deleted-early.png");
      replaceByRename(folder_ / L"v-renamed-early.png", bomb);
    }
    // Listed, then gone the moment the collection opens it.
    if (!fingerprinting && name == L"v-gone-at-filter.png" && once(name)) remove(path);
    // Collected as a picture, then changed the moment the fingerprint opens it.
    if (!fingerprinting || !isVictim(name) || name.find(L"-at-open") == std::wstring::npos ||
        !once(name))
      return;
    if (name == L"v-gone-at-open.png") remove(path);
    if (name == L"v-text-at-open.jpg") platform::WriteFileBytes(path, "not a picture any more");
    if (name == L"v-bomb-at-open.png") replaceByRename(path, PngDeclaring(60000, 60000));
  };
  changes.beforeRender = [&](const std::wstring& path) {
    const std::wstring name = path.substr(folder_.size() + 1);
    if (!isVictim(name) || name.find(L"-at-") != std::wstring::npos || !once(name)) return;
    if (name == L"v-deleted.jpg") remove(path);
    if (name == L"v-renamed.png") replaceByRename(path, bomb);
    if (name == L"v-rewritten.png") platform::WriteFileBytes(path, bomb);
    if (name == L"v-cut.webp" || name == L"v-cut.gif")
      std::filesystem::resize_file(std::filesystem::path(path), 100);
    if (name == L"v-grown.jpg") platform::WriteFileBytes(path, SampleBytes("lake.jpg"));
  };
  window_.onStatus = [&](const std::wstring& text) {
    if (text.find(L"<300002>") != std::wstring::npos) fingerprinting = true;
  };

  for (const auto rule :
       {engine::SignatureRule::DecoderThumbnail, engine::SignatureRule::FullImage}) {
    SCOPED_TRACE(static_cast<int>(rule));
    CompareSettings settings = AllOrientations();
    settings.m_signature_rule = static_cast<int32_t>(rule);
    for (const std::wstring& name : victims) remove(folder_ / name);
    hooks_ = {};
    engine::FingerprintCache baselineCache;
    const auto baseline = Run(baselineCache, settings);
    ASSERT_TRUE(baseline->completed());

    writeVictims();
    done.clear();
    fingerprinting = false;
    hooks_ = changes;
    engine::FingerprintCache cache;
    const auto run = Run(cache, settings);
    ASSERT_TRUE(run->completed());
    EXPECT_TRUE(window_.messages.empty());
    // Every change was made, each at its moment.
    std::set<std::wstring> made(victims.begin() + 2, victims.end());
    made.insert(L"collection");
    EXPECT_EQ(done, made);
    for (const wchar_t* gone :
         {L"v-deleted-early.png", L"v-renamed-early.png", L"v-gone-at-filter.png",
          L"v-gone-at-open.png", L"v-text-at-open.jpg", L"v-bomb-at-open.png"})
      EXPECT_FALSE(HasEntry(*run, folder_ / gone)) << platform::ToUtf8(gone);
    EXPECT_EQ(PairsOf(*run, &good_), PairsOf(*baseline));
  }
}

// ---- Stops at random moments ----

// A mixed folder of good pictures and hostile files; each run is stopped at
// a random request of the run in one of its three phases.
TEST_F(HostileFolder, RandomStopsEndWithinASecondAndTheNextRunIsWhole) {
  for (int seed = 0; seed < 5; ++seed) {
    WriteGood({{L"s" + std::to_wstring(seed) + L"a.png", PatternPng(140 + seed, 130, seed)},
               {L"s" + std::to_wstring(seed) + L"b.png", PatternPng(150 + seed, 130, seed)}});
  }
  WriteGood({{L"fog.jpg", SampleBytes("fog.jpg")},
             {L"fog-negative.jpg", SampleBytes("fog-negative.jpg")},
             {L"meadow-small.jpg", SampleBytes("meadow-small.jpg")},
             {L"shapes.gif", SampleBytes("shapes.gif")}});
  // One hostile file of each kind keeps the two hundred runs short.
  const std::set<std::wstring> mixed = {
      L"empty.jpg",          L"notes.jpg",   L"cut-header.tif",          L"cut-third.jpg",
      L"cut-two-thirds.png", L"flipped.gif", L"noise-after-header.webp", L"bomb-60000.png",
      L"bomb-16000.gif"};
  const std::wstring odd = root_.MakeFolder(L"pictures" + std::wstring(1, kSep) + L"odd");
  for (const HostileFile& file : HostileFiles()) {
    if (mixed.count(file.name)) {
      ASSERT_TRUE(platform::WriteFileBytes(odd / file.name, file.bytes));
    }
  }
  const CompareSettings settings = AllOrientations();

  // Which phase the run is in, and how many of its steps each phase made: a
  // step is a decoder open (collection and fingerprints) or a result row
  // (comparisons), which come in the same number in every run.
  std::atomic<int> phase{0};
  std::atomic<int> events[3] = {0, 0, 0};
  std::function<void(int, int)> onEvent;
  auto event = [&] {
    const int now = phase;
    const int n = ++events[now];
    if (onEvent) onEvent(now, n);
  };
  window_.onStatus = [&](const std::wstring& text) {
    if (text.find(L"<300003>") != std::wstring::npos) phase = 0;
    if (text.find(L"<300002>") != std::wstring::npos) phase = 1;
  };
  window_.onCompareStart = [&] { phase = 2; };
  window_.onRow = event;
  hooks_.onOpen = [&](const std::wstring&) { event(); };

  engine::FingerprintCache cache;
  const auto reference = Run(cache, settings);
  ASSERT_TRUE(reference->completed());
  const std::vector<PairKey> expected = PairsOf(*reference);
  ASSERT_FALSE(expected.empty());
  const int counts[3] = {events[0], events[1], events[2]};
  ASSERT_GT(counts[0], 0);
  ASSERT_GT(counts[1], 0);
  ASSERT_GT(counts[2], 0);

  std::mt19937 random(20240611);
  using Clock = std::chrono::steady_clock;
  Clock::duration longest{};
  int stopped = 0;
  for (int i = 0; i < 100; ++i) {
    const int stopPhase = i % 3;
    const int stopAt = std::uniform_int_distribution<int>(1, counts[stopPhase])(random);
    SCOPED_TRACE(testing::Message()
                 << "run " << i << ", phase " << stopPhase << ", request " << stopAt);
    cache.clear();
    for (auto& e : events) e = 0;
    phase = 0;
    std::atomic<Clock::rep> requestedAt{0};
    engine::SearchRun* active = nullptr;
    std::mutex stopMutex;
    onEvent = [&](int inPhase, int n) {
      if (inPhase != stopPhase || n != stopAt) return;
      std::lock_guard lock(stopMutex);
      if (requestedAt.load() != 0 || !active) return;
      requestedAt = Clock::now().time_since_epoch().count();
      active->RequestStop();
    };
    // The program's comparisons hand on their rows when a batch of work is
    // through, so a request at a row may come after the last pair; every other
    // stop in the comparisons goes to the plain loops, which add rows as they
    // find them.
    const bool plainLoops = stopPhase == 2 && (i / 3) % 2 == 1;
    auto run = std::make_unique<engine::SearchRun>(
        window_, cache, kTexts, [this] { return std::make_unique<HookedServices>(hooks_); },
        plainLoops ? engine::SearchSpeed::ReferenceLoops : engine::SearchSpeed::AllCores);
    {
      std::lock_guard lock(stopMutex);
      active = run.get();
    }
    run->RunSearch(settings);
    const Clock::time_point ended = Clock::now();
    {
      std::lock_guard lock(stopMutex);
      active = nullptr;
    }
    onEvent = nullptr;
    if (requestedAt.load() != 0) {
      ++stopped;
      const auto took = ended - Clock::time_point(Clock::duration(requestedAt.load()));
      longest = std::max(longest, took);
      EXPECT_LT(took, std::chrono::seconds(1));
      if (stopPhase < 2 || (plainLoops && stopAt < counts[2])) {
        EXPECT_FALSE(run->completed());
      }
    }
    run.reset();

    // The next run over the same folder and the same cache gives the whole result.
    const auto next = Run(cache, settings);
    ASSERT_TRUE(next->completed());
    EXPECT_EQ(PairsOf(*next), expected);
  }
  EXPECT_EQ(stopped, 100);
  std::printf("[ figures  ] %d of 100 runs stopped at a random request; longest stop %.1f ms\n",
              stopped, std::chrono::duration<double, std::milli>(longest).count());
}

}  // namespace
