#include "app/LanguagePack.h"

#include "app/LeadingInt.h"
#include "app/PackCodec.h"
#include "platform/Resources.h"
#include "platform/Text.h"

namespace app {
namespace {

// The most unpacked bytes a pack may use.
constexpr size_t kMaxUnpacked = 440320;

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

std::wstring Unescaped(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\\' && i + 1 < text.size()) {
      const wchar_t next = text[i + 1];
      const wchar_t real = next == L't' ? L'\t' : next == L'r' ? L'\r' : next == L'n' ? L'\n' : 0;
      if (real) {
        out.push_back(real);
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

void ParsePackText(std::wstring_view packText, TextTable& table, bool keepEmpty) {
  std::wstring text;
  text.reserve(packText.size());
  for (wchar_t c : packText)
    if (c != L'\r') text.push_back(c);

  size_t at = 0;
  for (size_t end; (end = text.find(L'\n', at)) != std::wstring::npos; at = end + 1) {
    const std::wstring_view line = std::wstring_view(text).substr(at, end - at);
    const size_t eq = line.find(L'=');
    if (eq == std::wstring_view::npos) continue;
    const int id = LeadingInt(Trim(line.substr(0, eq)));
    if (id < 1 || id > 1999999) continue;
    std::wstring value = Unescaped(Trim(line.substr(eq + 1)));
    if (value.empty() && !keepEmpty) continue;
    table[id] = std::move(value);
  }
}

std::optional<std::wstring> LoadPackText(std::wstring_view name) {
  const auto packed = platform::ProgramResource(L"IMG", name);
  if (!packed) return std::nullopt;
  const auto bytes = UnpackBytes(*packed, kMaxUnpacked);
  if (!bytes) return std::nullopt;
  std::wstring text = platform::FromUtf16LeBytes(*bytes);
  text.erase(0, std::min<size_t>(2, text.size()));
  return text;
}

std::wstring HelpPage(std::wstring_view section) {
  const auto text = LoadPackText(L"HELP_DE_EN");
  if (!text) return {};
  const std::wstring header = L"{{{" + std::wstring(section) + L"}}}";
  size_t at = 0;
  while (at < text->size()) {
    size_t end = text->find(L'\n', at);
    if (end == std::wstring::npos) end = text->size();
    std::wstring_view line = std::wstring_view(*text).substr(at, end - at);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    at = end + 1;
    if (line != header) continue;
    // The page runs to the next section line.
    size_t next = text->find(L"\n{{{", end);
    return text->substr(std::min(at, text->size()),
                        next == std::wstring::npos ? std::wstring::npos : next + 1 - at);
  }
  return {};
}

}  // namespace app
