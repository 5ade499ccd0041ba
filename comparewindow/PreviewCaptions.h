// The texts around the previews for the selected row: the information line
// under each picture and the pair information box between them.
//
//   InfoLine(*pair.second, marked)   // "✔  640 x 480 51.2 KB ✔ " (marked) or " 640 x 480 51.2 KB "
//   PairInfo(pair)                   // "97 %\r\n 90 °\r\nHF"
#pragma once

#include <string>

#include "engine/Similarity.h"

namespace comparewindow {

// What the box between the previews shows before any row was selected.
inline constexpr wchar_t kPairInfoAtOpening[] = L"100 %\r\n180 \u00b0\r\n";
// What the information lines show then.
inline constexpr wchar_t kInfoLineAtOpening[] = L"....";

// The mark text ("✔ " or nothing), a space, the size, a space, the file
// size, a space and the mark text again.
std::wstring InfoLine(const engine::ImageEntry& entry, bool marked);

// Similarity, rotation, and "HF", "VF" or "==" for the mirror kind.
std::wstring PairInfo(const engine::MatchPair& pair);

}  // namespace comparewindow
