#include "app/TranslationRows.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <utility>

#include "app/LeadingInt.h"
#include "platform/Text.h"

namespace app {
namespace {

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
  return text;
}

// The entries of a pack text in the order of their first line; a later line
// with the same id replaces the text, as in the parser, whose rules each
// line goes through.
std::vector<std::pair<int, std::wstring>> PackEntries(std::wstring_view pack) {
  std::vector<std::pair<int, std::wstring>> entries;
  std::unordered_map<int, size_t> at;
  size_t start = 0;
  for (size_t end; (end = pack.find(L'\n', start)) != std::wstring_view::npos; start = end + 1) {
    TextTable line;
    ParsePackText(pack.substr(start, end + 1 - start), line, true);
    for (auto& [id, text] : line) {
      if (const auto found = at.find(id); found != at.end()) {
        entries[found->second].second = std::move(text);
      } else {
        at.emplace(id, entries.size());
        entries.emplace_back(id, std::move(text));
      }
    }
  }
  return entries;
}

}  // namespace

std::wstring EscapedText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\t') {
      out += L"\\t";
    } else if (c == L'\r') {
      out += L"\\r";
    } else if (c == L'\n') {
      out += L"\\n";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::wstring EditTextOfCell(std::wstring_view cell) {
  std::wstring out;
  out.reserve(cell.size());
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell.substr(i, 4) == L"\\r\\n") {
      out += L"\r\n";
      i += 3;
    } else if (cell.substr(i, 2) == L"\\n") {
      out += L"\r\n";
      ++i;
    } else {
      out.push_back(cell[i]);
    }
  }
  return out;
}

std::wstring CellOfEditText(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      out += L"\\n";
    } else if (text[i] == L'\n') {
      out += L"\\n";
    } else if (text[i] == L'\t') {
      out += L"\\t";
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

TranslationRows SourceRows(std::wstring_view englishPack,
                           const std::optional<std::wstring>& sourcePack) {
  TranslationRows rows;
  std::unordered_map<int, size_t> rowOf;
  for (auto& [id, text] : PackEntries(englishPack)) {
    rowOf.emplace(id, rows.size());
    rows.push_back({std::to_wstring(id), EscapedText(text), {}});
  }
  if (!sourcePack) return rows;
  for (auto& [id, text] : PackEntries(*sourcePack)) {
    if (const auto found = rowOf.find(id); found != rowOf.end()) {
      if (!text.empty()) rows[found->second].source = EscapedText(text);
    } else {
      rowOf.emplace(id, rows.size());
      rows.push_back({std::to_wstring(id), EscapedText(text), {}});
    }
  }
  return rows;
}

void FillTranslations(TranslationRows& rows, const TextTable& translations) {
  std::set<int> unused;
  for (const auto& entry : translations) unused.insert(entry.first);
  for (TranslationRow& row : rows) {
    const int id = LeadingInt(row.id);
    const auto found = translations.find(id);
    row.translation = found != translations.end() ? EscapedText(found->second) : std::wstring();
    unused.erase(id);
  }
  for (int id : unused) rows.push_back({std::to_wstring(id), {}, EscapedText(translations.at(id))});
}

TextTable TranslatedTexts(const TranslationRows& rows) {
  TextTable texts;
  ParsePackText(TranslationFileText(rows), texts, false);
  return texts;
}

std::wstring TranslationFileText(const TranslationRows& rows) {
  std::wstring text;
  for (const TranslationRow& row : rows) {
    const std::wstring_view id = TrimBlanks(row.id);
    const std::wstring_view translation = TrimBlanks(row.translation);
    if (!id.empty() && !translation.empty()) {
      text += id;
      text += L'=';
      text += EscapedText(translation);
    }
    text += L"\r\n";
  }
  return text;
}

std::string TranslationFileBytes(const TranslationRows& rows) {
  return "\xFF\xFE" + platform::ToUtf16LeBytes(TranslationFileText(rows));
}

TextTable ReadTranslationFile(std::string_view bytes) {
  std::wstring text;
  if (bytes.substr(0, 2) == "\xFF\xFE") {
    text = platform::FromUtf16LeBytes(bytes.substr(2));
  } else {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    text = platform::FromUtf8(bytes);
  }
  // A file edited by hand often ends without a line break; its last
  // translation must not go missing.
  if (!text.empty() && text.back() != L'\n') text.push_back(L'\n');
  TextTable table;
  ParsePackText(text, table, false);
  return table;
}

std::optional<size_t> NextUntranslatedRow(const TranslationRows& rows,
                                          std::optional<size_t> selected) {
  const size_t count = rows.size();
  const size_t first = selected && *selected < count ? *selected + 1 : 0;
  for (size_t step = 0; step < count; ++step) {
    const TranslationRow& row = rows[(first + step) % count];
    if (LeadingInt(row.id) > 0 && row.translation.size() < 2 &&
        row.source.size() > row.translation.size())
      return (first + step) % count;
  }
  return std::nullopt;
}

std::wstring WithTxtExtension(std::wstring path) {
  if (path.size() < 4 || platform::ToLower(path.substr(path.size() - 4)) != L".txt")
    path += L".txt";
  return path;
}

}  // namespace app
