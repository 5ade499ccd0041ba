#include <unistd.h>

#include <cstdio>

#include "platform/Console.h"
#include "platform/Text.h"

namespace platform {

void WriteOut(std::wstring_view text) {
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void WriteErr(std::wstring_view text) {
  std::fflush(stdout);
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

bool ErrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

}  // namespace platform
