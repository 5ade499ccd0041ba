// The commands of duplora-cli. Each takes its arguments (without the command
// word) and returns the process exit status: 0 done, 1 a file is no picture,
// 2 bad arguments.
#pragma once

#include <string>
#include <vector>

namespace cli {

using Arguments = std::vector<std::wstring>;

int InfoCommand(const Arguments& args);
int CollectCommand(const Arguments& args);
int RateCommand(const Arguments& args);

// Prints the usage line of a command on standard error and returns 2.
int UsageError(const std::wstring& message);

// Parses a whole decimal number; false for anything else.
bool ParseNumber(const std::wstring& text, int& value);

}  // namespace cli
