#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/Console.h"
#include "platform/Text.h"

namespace platform {
namespace {

void Write(FILE* stream, DWORD handleId, std::wstring_view text) {
  HANDLE handle = ::GetStdHandle(handleId);
  DWORD mode = 0;
  if (handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode)) {
    std::fflush(stream);
    DWORD written = 0;
    ::WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  // The same bytes as on Linux: no CR is added to line ends.
  static const bool binary = [] {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    return true;
  }();
  (void)binary;
  const std::string bytes = ToUtf8(text);
  std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

}  // namespace

void WriteOut(std::wstring_view text) { Write(stdout, STD_OUTPUT_HANDLE, text); }

void WriteErr(std::wstring_view text) {
  std::fflush(stdout);
  Write(stderr, STD_ERROR_HANDLE, text);
  std::fflush(stderr);
}

bool ErrIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace platform
