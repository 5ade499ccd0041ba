#include "cli/Commands.h"

namespace cli {

std::optional<int> TakePairTestOption(const Arguments& args, size_t& i,
                                      engine::CompareSettings& settings) {
  const std::wstring& arg = args[i];
  if (arg == L"--similarity" || arg == L"--rule") {
    int value = 0;
    const bool given = i + 1 < args.size() && ParseNumber(args[i + 1], value);
    if (arg == L"--similarity") {
      if (!given || value < 1 || value > 100)
        return UsageError(L"--similarity takes a percentage from 1 to 100");
      settings.m_similarity = value;
    } else {
      if (!given || value < 1 || value > 3) return UsageError(L"--rule takes 1, 2 or 3");
      settings.m_signature_rule = value;
    }
    ++i;
  } else if (arg == L"--rotated") {
    settings.m_search_rotated = 1;
  } else if (arg == L"--flipped") {
    settings.m_search_flipped = 1;
  } else if (arg == L"--negative") {
    settings.m_search_negative = 1;
  } else {
    return std::nullopt;
  }
  return 0;
}

}  // namespace cli
