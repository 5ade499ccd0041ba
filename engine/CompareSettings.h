// The options of one search, shared by the compare window (which loads and
// saves them under these names) and the search run (which reads them).
#pragma once

#include <cstdint>
#include <string>

namespace engine {

struct CompareSettings {
  int32_t m_similarity = 90;      // threshold T in percent; the window offers 100, 95, ..., 40
  int32_t m_search_rotated = 0;   // 1: also the turned orientations
  int32_t m_search_flipped = 0;   // 1: also the mirrored signature
  int32_t m_search_negative = 0;  // 1: retry a failed pair with the first image negated
  int32_t m_signature_rule = 1;   // SignatureRule
  int32_t m_compare_mode = 0;     // 0 one folder set, 1 left set against right set
  int32_t m_subfolder = 1;        // 1: descend into subfolders
  std::wstring Path1;             // normalised text of the left path box
  std::wstring Path2;             // normalised text of the right path box
};

}  // namespace engine
