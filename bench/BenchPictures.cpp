#include "bench/BenchPictures.h"

#include <vips/vips.h>

#include <filesystem>
#include <memory>

#include "platform/FileSystem.h"
#include "platform/ImageDecoder.h"
#include "platform/Text.h"

namespace bench {
namespace {

struct Unref {
  void operator()(VipsImage* image) const { g_object_unref(image); }
};
using Image = std::unique_ptr<VipsImage, Unref>;

// Gradients and waves with a little grain, like a photo as far as the JPEG
// coder and the shrink-on-load are concerned.
bool MakeJpeg(const std::string& path, int width, int height, int seed) {
  VipsImage *sines = nullptr, *noise = nullptr, *xyz = nullptr;
  if (vips_sines(&sines, width, height, "hfreq", 2.0 + seed % 7, "vfreq", 1.0 + seed % 5,
                 nullptr) ||
      vips_gaussnoise(&noise, width, height, "sigma", 6.0, "mean", 0.0, nullptr) ||
      vips_xyz(&xyz, width, height, nullptr))
    return false;
  Image s(sines), n(noise), x(xyz);
  VipsImage *wave = nullptr, *grain = nullptr, *xs = nullptr, *ys = nullptr, *red = nullptr,
            *green = nullptr;
  vips_linear1(s.get(), &wave, 80.0, 120.0 + seed % 40, nullptr);
  Image w(wave);
  vips_add(w.get(), n.get(), &grain, nullptr);
  Image g(grain);
  vips_extract_band(x.get(), &xs, 0, nullptr);
  vips_extract_band(x.get(), &ys, 1, nullptr);
  Image xb(xs), yb(ys);
  vips_linear1(xb.get(), &red, 200.0 / width, 20.0 + seed, nullptr);
  vips_linear1(yb.get(), &green, 180.0 / height, 10.0, nullptr);
  Image r(red), gr(green);
  VipsImage *redGrain = nullptr, *greenWave = nullptr;
  vips_add(r.get(), n.get(), &redGrain, nullptr);
  vips_add(gr.get(), g.get(), &greenWave, nullptr);
  Image rg(redGrain), gw(greenWave);
  VipsImage* bands[3] = {rg.get(), gw.get(), g.get()};
  VipsImage *joined = nullptr, *bytes = nullptr;
  if (vips_bandjoin(bands, &joined, 3, nullptr)) return false;
  Image j(joined);
  if (vips_cast_uchar(j.get(), &bytes, nullptr)) return false;
  Image b(bytes);
  return vips_image_write_to_file(b.get(), path.c_str(), "Q", 90, nullptr) == 0;
}

}  // namespace

std::vector<std::wstring> LargeJpegs(int count, int width, int height) {
  if (VIPS_INIT("duplora-bench") != 0) return {};
  const std::filesystem::path folder = std::filesystem::path(DUPLORA_BENCH_DATA) /
                                       (std::to_string(width) + "x" + std::to_string(height));
  std::filesystem::create_directories(folder);
  std::vector<std::wstring> files;
  for (int i = 0; i < count; ++i) {
    const std::filesystem::path path = folder / ("photo-" + std::to_string(i) + ".jpg");
    if (!std::filesystem::exists(path) && !MakeJpeg(path.string(), width, height, i)) {
      vips_error_clear();
      continue;
    }
    files.push_back(platform::FromUtf8(path.string()));
  }
  return files;
}

void WarmUp(const std::vector<std::wstring>& files) {
  for (const std::wstring& file : files) platform::ReadFileBytes(file);
  // Opening one file starts the decoder, which sets the library up as the
  // program runs it; the floor is then measured under the same settings.
  if (!files.empty()) platform::DecodedImage::Load(files.front());
}

}  // namespace bench
