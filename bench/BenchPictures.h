// Large photo-like JPEG files for the benchmarks, made once with libvips and
// kept in a folder of the build, so repeated runs measure decoding, not making.
#pragma once

#include <string>
#include <vector>

namespace bench {

// Paths of `count` distinct width x height JPEG files (quality 90).
std::vector<std::wstring> LargeJpegs(int count, int width = 4000, int height = 3000);

// Drops the files from the page cache's point of view by reading them once, so
// every measured route starts from the same warm cache, and starts the decoder
// so that bare library calls run with the library set up as the program sets it.
void WarmUp(const std::vector<std::wstring>& files);

}  // namespace bench
