// The compression of the resources that carry texts (language packs, help
// pages): an LZ77 byte stream in the block layout of LZ4. Each sequence is a
// token byte (high nibble: literal count, low nibble: match length - 4; 15
// means more length bytes follow, each added, until one below 255), the
// literals, then a match: a 2-byte little-endian distance back into the
// output (1..65535) and the match length. The last sequence has literals only.
// resources/pack_texts.py writes these streams.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// The decompressed bytes, at most maxOutput of them (the rest is dropped);
// nothing when the stream is broken (cut short, or a distance before the start).
std::optional<std::string> UnpackBytes(std::string_view packed, size_t maxOutput);

}  // namespace app
