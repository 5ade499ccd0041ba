// Language packs and help pages as the program carries them: resources of
// type "IMG" (named by language code, e.g. "EN", "DE", and "HELP_DE_EN"),
// compressed (PackCodec.h). Unpacked they are UTF-16LE text whose first two
// characters, the byte-order mark and one filler character, are not part of
// the text.
//
// Pack text: one "id=text" per line. CR is dropped wherever it stands; a last
// line without LF is ignored; key and text are split at the first "=" and
// trimmed of blanks; "\t", "\r" and "\n" in the text become TAB, CR and LF;
// ids run from 1 to 1999999 (other keys are ignored) and a later line wins.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace app {

using TextTable = std::unordered_map<int, std::wstring>;

// Puts the pack's texts into table (which is not emptied first). Empty texts
// go in only when keepEmpty is set.
void ParsePackText(std::wstring_view text, TextTable& table, bool keepEmpty);

// The text of an "IMG" resource (byte-order mark and filler dropped);
// nothing when the program carries no such resource or it does not unpack.
std::optional<std::wstring> LoadPackText(std::wstring_view name);

// One section of the help pages ("EN-HELP", "DE-HELP"): the lines after its
// "{{{name}}}" line up to the next such line. Empty when it is missing.
std::wstring HelpPage(std::wstring_view section);

}  // namespace app
