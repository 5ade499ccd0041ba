// The rows of the translation editor and the language text files it writes
// and reads: one row per text id with its source text and its translation.
//
// Every cell holds its text in the escaped form of a pack line (TAB, CR and
// LF as the two characters \t, \r and \n), so a row shows on one line of the
// list and the file is the cells written out:
//
//   app::TranslationRows rows = app::SourceRows(*app::LoadPackText(L"EN"),
//   app::LoadPackText(L"DE")); rows[0].translation = app::CellOfEditText(L"Zeile 1\r\nZeile 2"); //
//   "Zeile 1\nZeile 2" platform::WriteFileBytes(path, app::TranslationFileBytes(rows));
//
// A saved file has one line per row (a row without translation gives an
// empty line) and reads back through ParsePackText.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/LanguagePack.h"

namespace app {

struct TranslationRow {
  std::wstring id;  // the text id in decimal
  std::wstring source;
  std::wstring translation;
};
using TranslationRows = std::vector<TranslationRow>;

// TAB, CR and LF as \t, \r and \n.
std::wstring EscapedText(std::wstring_view text);

// A cell as a multi-line edit shows it: "\r\n" and "\n" become line breaks
// (CR LF); \t stays as the two characters, so it can be seen and typed.
std::wstring EditTextOfCell(std::wstring_view cell);
// What the user typed into a multi-line edit as a cell: every line break
// (CR LF, CR or LF) becomes \n and a TAB becomes \t.
std::wstring CellOfEditText(std::wstring_view text);

// One row per text id: the English pack's ids in its order with their texts,
// each text replaced by the source pack's where that has a non-empty one, and
// the ids only the source pack has after them. Without a source pack (none is
// carried for the language yet) the English texts stand in.
TranslationRows SourceRows(std::wstring_view englishPack,
                           const std::optional<std::wstring>& sourcePack);

// Sets every row's translation from the table by id (empty when the table
// has none). Ids the rows lack are added as rows without source text, in
// ascending order, so that saving again keeps them.
void FillTranslations(TranslationRows& rows, const TextTable& translations);

// The texts of the translation column as a saved file gives them back: rows
// with a number as id and a non-blank translation, trimmed, escapes resolved.
TextTable TranslatedTexts(const TranslationRows& rows);

// The file text: per row "id=translation" (both trimmed) when the row has an
// id and a non-blank translation, then CR LF after every row.
std::wstring TranslationFileText(const TranslationRows& rows);
// The file's bytes: byte-order mark FF FE, then the text as UTF-16LE.
std::string TranslationFileBytes(const TranslationRows& rows);

// The translations of a language text file's bytes: UTF-16LE after FF FE,
// otherwise UTF-8 (with or without its mark), as the packs' sources are.
// Unlike a pack, a last line without LF counts.
TextTable ReadTranslationFile(std::string_view bytes);

// The first row after `selected` (wrapping once to the top) whose id is a
// positive number and whose translation is shorter than 2 characters and
// than its source text; nothing when every row is translated.
std::optional<size_t> NextUntranslatedRow(const TranslationRows& rows,
                                          std::optional<size_t> selected);

// The path with ".txt" appended unless it ends in it (in any case).
std::wstring WithTxtExtension(std::wstring path);

}  // namespace app
