#include "tests/support/PngWriter.h"

#include <cmath>

#include "platform/FileSystem.h"

namespace testsupport {
namespace {

uint32_t Crc(const std::string& bytes, size_t from) {
  static uint32_t table[256] = {};
  if (!table[1]) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < bytes.size(); ++i)
    c = table[(c ^ static_cast<uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void Put32(std::string& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void Chunk(std::string& out, const char* type, const std::string& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out += type;
  out += data;
  Put32(out, Crc(out, start));
}

}  // namespace

std::string PngBytes(int width, int height, const PixelFn& pixel, bool alpha) {
  const int channels = alpha ? 4 : 3;
  std::string raw;
  raw.reserve(static_cast<size_t>(height) * (1 + width * channels));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; ++x) {
      const Rgba p = pixel(x, y);
      raw.push_back(static_cast<char>(p.r));
      raw.push_back(static_cast<char>(p.g));
      raw.push_back(static_cast<char>(p.b));
      if (alpha) raw.push_back(static_cast<char>(p.a));
    }
  }

  // zlib stream of stored blocks.
  std::string z = "\x78\x01";
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<char>(n & 0xFF));
    z.push_back(static_cast<char>(n >> 8));
    z.push_back(static_cast<char>(~n & 0xFF));
    z.push_back(static_cast<char>((~n >> 8) & 0xFF));
    z.append(raw, pos, n);
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<uint8_t>(c)) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, (b << 16) | a);

  std::string out = "\x89PNG\r\n\x1a\n";
  std::string header;
  Put32(header, static_cast<uint32_t>(width));
  Put32(header, static_cast<uint32_t>(height));
  header += std::string("\x08", 1);                      // bit depth
  header += std::string(alpha ? "\x06" : "\x02", 1);     // colour type
  header += std::string("\x00\x00\x00", 3);              // compression, filter, interlace
  Chunk(out, "IHDR", header);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", "");
  return out;
}

void DeclarePngSize(std::string& png, uint32_t width, uint32_t height, bool interlaced) {
  // Signature (8), then IHDR: length (4), type (4), data (13), check sum (4).
  std::string header;
  Put32(header, width);
  Put32(header, height);
  png.replace(16, 8, header);
  png[28] = interlaced ? 1 : 0;
  std::string sum;
  Put32(sum, Crc(png.substr(0, 29), 12));
  png.replace(29, 4, sum);
}

bool WritePng(const std::wstring& path, int width, int height, const PixelFn& pixel, bool alpha) {
  return platform::WriteFileBytes(path, PngBytes(width, height, pixel, alpha));
}

Rgba Pattern(int x, int y, int width, int height, int seed) {
  const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
  const double cx = 0.3 + 0.4 * ((seed * 37) % 10) / 10.0, cy = 0.3 + 0.4 * ((seed * 53) % 10) / 10.0;
  const bool inDisc = (u - cx) * (u - cx) + (v - cy) * (v - cy) < 0.04;
  const int wave = static_cast<int>(40 * std::sin((u * 3 + seed) * 3.1 + v * 5));
  auto clamp = [](int value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); };
  if (inDisc) return {clamp(230 - seed * 10), clamp(60 + wave), clamp(40 + seed * 20), 255};
  return {clamp(static_cast<int>(200 * u) + wave), clamp(static_cast<int>(180 * v) + seed * 5),
          clamp(static_cast<int>(120 * (1 - u * v)) - wave), 255};
}

}  // namespace testsupport
