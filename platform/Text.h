// Text at the platform boundary.
//
// Portable code holds text as std::wstring: UTF-16 code units on Windows,
// Unicode code points (UTF-32) on Linux. File names cross to the system as
// UTF-16 on Windows and as UTF-8 on Linux; files the program writes are
// UTF-16LE where their layout says so, whatever wchar_t is.
#pragma once

#include <string>
#include <string_view>

namespace platform {

std::string ToUtf8(std::wstring_view text);
// Invalid sequences become U+FFFD.
std::wstring FromUtf8(std::string_view utf8);

std::u16string ToUtf16(std::wstring_view text);
std::wstring FromUtf16(std::u16string_view text);

// UTF-16LE bytes, without a byte-order mark.
std::string ToUtf16LeBytes(std::wstring_view text);
// The same, appended to `out` (for documents built piece by piece).
void AppendUtf16LeBytes(std::string& out, std::wstring_view text);
std::wstring FromUtf16LeBytes(std::string_view bytes);

// printf into a wide string: the format and its %s arguments are UTF-8.
// Numbers print with a decimal point whatever the C library's locale says.
std::wstring FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Lower case as the system folds letters for file names (CharLowerW on Windows).
std::wstring ToLower(std::wstring_view text);

// The system's separator between folder names: '\\' on Windows, '/' on Linux.
#ifdef _WIN32
inline constexpr wchar_t kPathSeparator = L'\\';
#else
inline constexpr wchar_t kPathSeparator = L'/';
#endif

}  // namespace platform
