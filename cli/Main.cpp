// duplora-cli: the engine on the command line, for Linux and Windows.
#include <string>

#include "cli/Commands.h"
#include "platform/Console.h"
#include "platform/Text.h"

namespace cli {
namespace {

constexpr wchar_t kUsage[] =
    L"usage: duplora-cli COMMAND [options] ...\n"
    L"commands:\n"
    L"  info [--rule 1|2|3] [--signature] FILE...   fingerprint each file\n"
    L"  collect [--no-subfolders] [--left TEXT] TEXT  list the files a search takes part in\n"
    L"  rate FILE1 FILE2 [--similarity N] [--rotated] [--flipped] [--negative] [--rule 1|2|3]\n"
    L"                                               the pair test on two files, and why\n"
    L"  find [--left TEXT] [--similarity N] [--rotated] [--flipped] [--negative]\n"
    L"       [--rule 1|2|3] [--no-subfolders] [--lang CODE]\n"
    L"       [--export FILE [--format txt|csv|html]] TEXT\n"
    L"                                               search the folders of TEXT (;-separated)\n";

int Run(Arguments args) {
  if (args.empty()) return UsageError(L"");
  const std::wstring command = args.front();
  args.erase(args.begin());
  if (command == L"info") return InfoCommand(args);
  if (command == L"collect") return CollectCommand(args);
  if (command == L"rate") return RateCommand(args);
  if (command == L"find") return FindCommand(args);
  if (command == L"--help" || command == L"help") {
    platform::WriteOut(kUsage);
    return 0;
  }
  return UsageError(L"unknown command: " + command);
}

}  // namespace

int UsageError(const std::wstring& message) {
  if (!message.empty()) platform::WriteErr(L"duplora-cli: " + message + L"\n");
  platform::WriteErr(kUsage);
  return 2;
}

bool ParseNumber(const std::wstring& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  int result = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
    result = result * 10 + (c - L'0');
  }
  value = result;
  return true;
}

}  // namespace cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  cli::Arguments args(argv + 1, argv + argc);
  return cli::Run(std::move(args));
}
#else
int main(int argc, char** argv) {
  cli::Arguments args;
  for (int i = 1; i < argc; ++i) args.push_back(platform::FromUtf8(argv[i]));
  return cli::Run(std::move(args));
}
#endif
