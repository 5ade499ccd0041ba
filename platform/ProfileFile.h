// Settings files in the layout of the system's profile files: [section]
// lines and key=value lines ending in CR LF. A file that starts with the
// UTF-16LE byte-order mark is read and written as UTF-16LE; any other file is
// in the system's 8-bit encoding (Windows: the ANSI code page; Linux: the
// locale's character set, UTF-8 when the locale names none).
//
// Sections and keys are found without regard to letter case, blanks around
// keys and values do not count, and a value enclosed in a pair of single or
// double quotes is read without them. Every write goes to the file at once.
//
// Windows uses the system's private-profile functions. Linux has its own
// reader and writer that behave the same on these points; a write there
// re-reads the file under a lock and replaces it whole, so writers in
// several processes do not lose each other's keys.
#pragma once

#include <string>
#include <vector>

namespace platform {

// The value of section/key, or fallback (less trailing blanks) when the file,
// the section or the key is missing.
std::wstring ReadIniValue(const std::wstring& file, const std::wstring& section,
                          const std::wstring& key, const std::wstring& fallback);

// Writes key=value into the section, creating the file and the section when
// missing; an existing key keeps its place. False when the file cannot be written.
bool WriteIniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                   const std::wstring& value);

// The "key=value" entries of a section in file order; empty when it is missing.
std::vector<std::wstring> ReadIniSection(const std::wstring& file, const std::wstring& section);

// Replaces the entries of a section by the given "key=value" entries, or adds
// the section at the end of the file.
bool WriteIniSection(const std::wstring& file, const std::wstring& section,
                     const std::vector<std::wstring>& entries);

// Removes a section with all its entries.
bool DeleteIniSection(const std::wstring& file, const std::wstring& section);

}  // namespace platform
