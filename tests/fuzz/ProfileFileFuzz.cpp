// Settings files as the Linux profile reader takes them: any bytes must read
// without harm, and a value written into such a file must read back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "tests/fuzz/ScratchFile.h"

namespace {

std::wstring g_file;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_file = fuzzsupport::ScratchFile(".ini");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!platform::WriteFileBytes(g_file,
                                std::string_view(reinterpret_cast<const char*>(data), size)))
    return 0;
  platform::ReadIniValue(g_file, L"Start", L"m_lang_id", L"1");
  platform::ReadIniSection(g_file, L"Duplora");
  platform::ReadIniSection(g_file, L"");

  if (!platform::WriteIniValue(g_file, L"Start", L"chk_ini", L"12345")) __builtin_trap();
  if (platform::ReadIniValue(g_file, L"Start", L"chk_ini", L"") != L"12345") __builtin_trap();
  if (!platform::WriteIniSection(g_file, L"Path1", {L"0=C:\\pics", L"1=D:\\more"}))
    __builtin_trap();
  if (platform::ReadIniValue(g_file, L"Path1", L"1", L"") != L"D:\\more") __builtin_trap();
  if (platform::ReadIniValue(g_file, L"Start", L"chk_ini", L"") != L"12345") __builtin_trap();
  return 0;
}
