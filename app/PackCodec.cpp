#include "app/PackCodec.h"

#include <cstdint>

namespace app {
namespace {

// Adds the extension bytes of a length whose nibble was 15.
bool ReadLength(std::string_view in, size_t& at, size_t& length) {
  for (;;) {
    if (at >= in.size()) return false;
    const auto b = static_cast<uint8_t>(in[at++]);
    length += b;
    if (b != 255) return true;
  }
}

}  // namespace

std::optional<std::string> UnpackBytes(std::string_view in, size_t maxOutput) {
  std::string out;
  size_t at = 0;
  while (at < in.size()) {
    const auto token = static_cast<uint8_t>(in[at++]);
    size_t literals = token >> 4;
    if (literals == 15 && !ReadLength(in, at, literals)) return std::nullopt;
    if (literals > in.size() - at) return std::nullopt;
    out.append(in.substr(at, literals));
    at += literals;
    if (at == in.size()) break;  // the last sequence
    if (in.size() - at < 2) return std::nullopt;
    const size_t distance =
        static_cast<uint8_t>(in[at]) | (static_cast<size_t>(static_cast<uint8_t>(in[at + 1])) << 8);
    at += 2;
    size_t length = (token & 15u) + 4;
    if (length == 19 && !ReadLength(in, at, length)) return std::nullopt;
    if (distance == 0 || distance > out.size()) return std::nullopt;
    // Byte by byte: a match may overlap the bytes it produces.
    for (size_t from = out.size() - distance; length > 0; --length) out.push_back(out[from++]);
    if (out.size() >= maxOutput) break;
  }
  if (out.size() > maxOutput) out.resize(maxOutput);
  return out;
}

}  // namespace app
