// Picture files as the search meets them: the bytes go to a file, which is
// taken through the collection filter and every rendering route of the real
// decoder. Whatever the bytes, a built entry must keep the record's rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/Fingerprint.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/fuzz/ScratchFile.h"

namespace {

std::wstring g_file;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // No extension: the decoder goes by the bytes, never by the name.
  g_file = fuzzsupport::ScratchFile("-picture");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteFileBytes(g_file,
                                std::string_view(reinterpret_cast<const char*>(data), size)))
    return 0;
  engine::SystemPictureServices services;
  engine::IsImageFile(services, g_file);
  for (const engine::SignatureRule rule :
       {engine::SignatureRule::DecoderThumbnail, engine::SignatureRule::FullImage}) {
    engine::FingerprintCache cache;
    const auto found = platform::FileEntry(g_file);
    if (!found) return 0;
    const engine::EntryRef entry = engine::GetOrBuildEntry(cache, services, rule, g_file, *found);
    if (!entry) continue;
    if (entry->Path() != g_file || entry->brightness < 0 || entry->brightness > 99 ||
        static_cast<int64_t>(entry->width) * entry->height < engine::minPixels ||
        entry->fileSize != size)
      __builtin_trap();
  }
  return 0;
}
