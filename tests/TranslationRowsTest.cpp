#include <gtest/gtest.h>

#include <string>

#include "app/LanguagePack.h"
#include "app/TranslationRows.h"
#include "platform/Text.h"

namespace {

using app::TextTable;
using app::TranslationRow;
using app::TranslationRows;

// The file text after its byte-order mark.
std::wstring FileText(const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  return platform::FromUtf16LeBytes(bytes.substr(2));
}

TEST(TranslationFile, ReadsBackEveryTranslationWithOneLinePerRow) {
  TranslationRows rows = {
      {L"10", L"Tab", app::CellOfEditText(L"a\tb")},
      {L"11", L"Lines", app::CellOfEditText(L"one\r\ntwo\nthree")},
      {L"12", L"Typed", L"x\\ny\\r\\nz"},  // escapes typed in the list
      {L"13", L"Empty", L""},
      {L"14", L"Blank", L"   "},
      {L"15", L"Padded", L"  \\tkept  "},
      {L"", L"No id", L"dropped"},
      {L"16", L"Umlaut", L"Übersetzung ✓"},
  };
  const std::string bytes = app::TranslationFileBytes(rows);
  const std::wstring text = FileText(bytes);
  EXPECT_EQ(text,
            L"10=a\\tb\r\n11=one\\ntwo\\nthree\r\n12=x\\ny\\r\\nz\r\n\r\n\r\n15=\\tkept\r\n\r\n"
            L"16=Übersetzung ✓\r\n");

  size_t lines = 0;
  for (wchar_t c : text) lines += c == L'\n';
  EXPECT_EQ(lines, rows.size());

  TextTable parsed;
  app::ParsePackText(text, parsed, false);
  const TextTable expected = {{10, L"a\tb"},
                              {11, L"one\ntwo\nthree"},
                              {12, L"x\ny\r\nz"},
                              {15, L"\tkept"},
                              {16, L"Übersetzung ✓"}};
  EXPECT_EQ(parsed, expected);
  EXPECT_EQ(app::TranslatedTexts(rows), expected) << "the preview gives what the file gives";
  EXPECT_EQ(app::ReadTranslationFile(bytes), expected);
}

TEST(TranslationFile, ReadsHandWrittenFiles) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const TextTable expected = {{5, L"fünf"}, {6, L"a\tb"}};
  for (const Case& c : {
           Case{"UTF-16LE", "\xFF\xFE" + platform::ToUtf16LeBytes(L"5=fünf\r\n6=a\\tb\r\n")},
           Case{"UTF-8 with mark", "\xEF\xBB\xBF" + platform::ToUtf8(L"5=fünf\n6=a\\tb\n")},
           Case{"UTF-8, last line without LF", platform::ToUtf8(L"# note\n5=fünf\n6=a\\tb")},
       }) {
    EXPECT_EQ(app::ReadTranslationFile(c.bytes), expected) << c.what;
  }
  EXPECT_EQ(app::ReadTranslationFile(""), TextTable{});
}

TEST(TranslationCells, EditShowsLineBreaksAndTypedTextComesBack) {
  struct Case {
    const wchar_t* cell;
    const wchar_t* edit;
  };
  for (const Case& c : {
           Case{L"one\\ntwo", L"one\r\ntwo"},
           Case{L"one\\r\\ntwo", L"one\r\ntwo"},
           Case{L"tab\\there", L"tab\\there"},
           Case{L"lone \\r stays", L"lone \\r stays"},
           Case{L"C:\\path", L"C:\\path"},
       }) {
    EXPECT_EQ(app::EditTextOfCell(c.cell), c.edit) << platform::ToUtf8(c.cell);
  }
  EXPECT_EQ(app::CellOfEditText(L"a\r\nb\rc\nd\te"), L"a\\nb\\nc\\nd\\te");
  EXPECT_EQ(app::CellOfEditText(app::EditTextOfCell(L"x\\ny\\tz")), L"x\\ny\\tz");
  EXPECT_EQ(app::EscapedText(L"a\tb\rc\nd"), L"a\\tb\\rc\\nd");
}

TEST(TranslationRows, SourceLanguageFallsBackToEnglishTextByText) {
  const std::wstring english = L"# comment\n20=Twenty\n10=Ten\\tTab\n30=Thirty\n";
  const std::wstring german = L"10=Zehn\n30=\n40=Vierzig\n";
  const TranslationRows rows = app::SourceRows(english, german);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].id, L"20") << "the English pack's order";
  EXPECT_EQ(rows[0].source, L"Twenty");
  EXPECT_EQ(rows[1].source, L"Zehn");
  EXPECT_EQ(rows[2].source, L"Thirty") << "an empty text is no translation";
  EXPECT_EQ(rows[3].id, L"40");
  EXPECT_EQ(rows[3].source, L"Vierzig");

  const TranslationRows onlyEnglish = app::SourceRows(english, std::nullopt);
  ASSERT_EQ(onlyEnglish.size(), 3u);
  EXPECT_EQ(onlyEnglish[1].source, L"Ten\\tTab") << "cells hold escapes";
}

TEST(TranslationRows, FillsTranslationsByIdAndKeepsUnknownIds) {
  TranslationRows rows = {{L"10", L"Ten", L"old"}, {L"20", L"Twenty", L"old"}};
  app::FillTranslations(rows, {{20, L"zwanzig\nzwei"}, {99, L"neun"}, {50, L"fünf"}});
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].translation, L"") << "ids the file lacks are untranslated";
  EXPECT_EQ(rows[1].translation, L"zwanzig\\nzwei");
  EXPECT_EQ(rows[2].id, L"50");
  EXPECT_EQ(rows[2].source, L"");
  EXPECT_EQ(rows[3].id, L"99");
  EXPECT_EQ(rows[3].translation, L"neun");
}

TEST(TranslationRows, NextUntranslatedRowWrapsOnce) {
  const TranslationRows rows = {
      {L"1", L"One", L"Eins"},  //
      {L"2", L"Two", L""},      // untranslated
      {L"3", L"Three", L"x"},   // one character counts as untranslated
      {L"0", L"Zero", L""},     // no text id
      {L"5", L"", L""},         // nothing to translate
      {L"6", L"A", L""},        // untranslated
      {L"7", L"Seven", L"Sieben"},
  };
  struct Case {
    std::optional<size_t> selected;
    std::optional<size_t> expected;
  };
  for (const Case& c : {
           Case{std::nullopt, 1}, Case{0, 1}, Case{1, 2}, Case{2, 5},
           Case{5, 1},               // wraps to the top
           Case{6, 1}, Case{99, 1},  // a selection beyond the rows starts at the top
       }) {
    EXPECT_EQ(app::NextUntranslatedRow(rows, c.selected), c.expected)
        << (c.selected ? static_cast<int>(*c.selected) : -1);
  }

  const TranslationRows done = {{L"1", L"One", L"Eins"}, {L"2", L"x", L"y"}, {L"3", L"", L""}};
  EXPECT_EQ(app::NextUntranslatedRow(done, 1), std::nullopt);
  EXPECT_EQ(app::NextUntranslatedRow({}, std::nullopt), std::nullopt);
  const TranslationRows onlySelected = {{L"1", L"One", L"Eins"}, {L"2", L"Two", L""}};
  EXPECT_EQ(app::NextUntranslatedRow(onlySelected, 1), 1u) << "the selected row itself, last";
}

TEST(TranslationFile, SaveAsAppendsTxt) {
  struct Case {
    const wchar_t* chosen;
    const wchar_t* expected;
  };
  for (const Case& c : {
           Case{L"C:\\lang\\FR", L"C:\\lang\\FR.txt"},
           Case{L"C:\\lang\\FR.txt", L"C:\\lang\\FR.txt"},
           Case{L"C:\\lang\\FR.TXT", L"C:\\lang\\FR.TXT"},
           Case{L"C:\\lang\\FR.lang", L"C:\\lang\\FR.lang.txt"},
           Case{L"txt", L"txt.txt"},
       }) {
    EXPECT_EQ(app::WithTxtExtension(c.chosen), c.expected) << platform::ToUtf8(c.chosen);
  }
}

}  // namespace
