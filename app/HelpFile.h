// The help page as a file the browser can open: the section of the language
// in use ("DE-HELP" for German, "EN-HELP" otherwise) written as UTF-8 HTML.
#pragma once

#include <optional>
#include <string>

namespace app {

inline constexpr wchar_t kHelpFileName[] = L"tmp_htm__tessera_hlp_z.html";

const wchar_t* HelpSectionFor(int languageId);

// Writes the page into the folder; its path, or nothing when the program
// carries no such page or the file cannot be written.
std::optional<std::wstring> WriteHelpFile(const std::wstring& folder, int languageId);

// A file: address for a path, so an anchor ("#search") can follow it.
std::wstring FileUrl(const std::wstring& path);

}  // namespace app
