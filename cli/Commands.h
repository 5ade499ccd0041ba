// The commands of duplora-cli. Each takes its arguments (without the command
// word) and returns the process exit status: 0 done, 1 a file is no picture
// or cannot be written, 2 bad arguments.
#pragma once

#include <string>
#include <vector>

#include "engine/TextLookup.h"

namespace cli {

// What a path box's edit field holds at most.
inline constexpr size_t kPathBoxChars = 254;

// The interface texts in the language of the command (the user's, or --lang).
engine::TextLookup InterfaceTexts();
// Makes the language of this code ("EN", "DE", ...) the one of the texts; false for an unknown code.
bool SelectLanguage(const std::wstring& code);

using Arguments = std::vector<std::wstring>;

int InfoCommand(const Arguments& args);
int CollectCommand(const Arguments& args);
int FindCommand(const Arguments& args);
int RateCommand(const Arguments& args);

// Prints the usage line of a command on standard error and returns 2.
int UsageError(const std::wstring& message);

// Parses a whole decimal number; false for anything else.
bool ParseNumber(const std::wstring& text, int& value);

}  // namespace cli
