// duplora-cli info: the entry of each file, as the search would build it.
#include "cli/Commands.h"
#include "engine/Fingerprint.h"
#include "platform/Console.h"
#include "platform/Text.h"
#include "platform/ComThread.h"

namespace cli {
namespace {

std::wstring Hex(const engine::Signature& signature) {
  static constexpr wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out;
  out.reserve(signature.size() * 2);
  for (uint8_t b : signature) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

std::wstring Describe(const engine::ImageEntry& e) {
  return platform::FormatText(
                "width=%d height=%d brightness=%d source=%d thumbDataSize=%d aspect=%.6f "
                "hasAlpha=%d fileSize=%llu",
                e.width, e.height, e.brightness, e.source, e.thumbDataSize,
                static_cast<double>(e.aspect), e.hasAlpha,
                static_cast<unsigned long long>(e.fileSize));
}

}  // namespace

int InfoCommand(const Arguments& args) {
  int rule = 1;
  bool withSignature = false;
  Arguments files;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == L"--rule") {
      if (i + 1 >= args.size() || !ParseNumber(args[i + 1], rule) || rule < 1 || rule > 3)
        return UsageError(L"--rule takes 1, 2 or 3");
      ++i;
    } else if (args[i] == L"--signature") {
      withSignature = true;
    } else if (args[i].starts_with(L"--")) {
      return UsageError(L"unknown option: " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.empty()) return UsageError(L"info needs at least one file");

  platform::ComThread com;
  engine::SystemPictureServices services;
  engine::FingerprintCache cache;
  for (const std::wstring& path : files) {
    const platform::DirEntry found = platform::FileEntry(path).value_or(platform::DirEntry{});
    engine::ImageEntry entry;
    if (!engine::GetOrBuildEntry(cache, services, static_cast<engine::SignatureRule>(rule), path,
                                 found, entry)) {
      platform::WriteOut(path + L"\tnot an image\n");
      continue;
    }
    std::wstring line = path + L"\t" + Describe(entry);
    if (withSignature) line += L" signature=" + Hex(entry.signature);
    platform::WriteOut(line + L"\n");
  }
  return 0;
}

}  // namespace cli
