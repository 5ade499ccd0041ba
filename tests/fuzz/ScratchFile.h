#pragma once
// The one file a fuzz target writes each input to: memory-backed where the
// system has it, named after the process, removed when the process ends.
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/Text.h"

namespace fuzzsupport {

inline const std::wstring& ScratchFile(const char* suffix = "") {
  static const std::wstring file = [suffix] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return platform::FromUtf8(std::string(base) + "/duplora-fuzz-" + std::to_string(getpid()) +
                              suffix);
  }();
  static const bool removedAtExit = [] {
    return atexit([] { unlink(platform::ToUtf8(file).c_str()); }) == 0;
  }();
  (void)removedAtExit;
  return file;
}

}  // namespace fuzzsupport
