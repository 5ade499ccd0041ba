// duplora-cli find: the whole search on the command line.
#include <atomic>

#include "cli/Commands.h"
#include "cli/ConsoleSearchWindow.h"
#include "comparewindow/ExportDocument.h"
#include "comparewindow/ResultColumns.h"
#include "engine/SearchRun.h"
#include "platform/ComThread.h"
#include "platform/Console.h"
#include "platform/FileSystem.h"
#include "platform/Interrupt.h"

namespace cli {
namespace {

std::atomic<engine::SearchRun*> g_activeRun{nullptr};

void StopActiveRun() {
  if (engine::SearchRun* run = g_activeRun.load()) run->RequestStop();
}

// The result list as the window shows it: the thirteen columns, the rows in the run's order.
comparewindow::ExportTable ResultTable(const ConsoleSearchWindow& window,
                                       const engine::TextLookup& texts) {
  comparewindow::ExportTable table;
  for (int column = 0; column < comparewindow::kColumnCount; ++column)
    table.titles.push_back(comparewindow::ColumnTitle(column, texts));
  for (const engine::MatchPair* pair : window.rows()) {
    std::vector<std::wstring>& row = table.rows.emplace_back();
    for (int column = 0; column < comparewindow::kColumnCount; ++column)
      row.push_back(comparewindow::CellText(*pair, column, texts));
  }
  return table;
}

void PrintRows(const comparewindow::ExportTable& table) {
  for (const std::vector<std::wstring>& row : table.rows) {
    std::wstring line;
    for (size_t column = 0; column < row.size(); ++column) {
      if (column) line += L'\t';
      line += row[column];
    }
    platform::WriteOut(line + L"\n");
  }
}

// The index of the file type a --format word names; 0 for none.
int ExportTypeIndex(const std::wstring& word) {
  for (int index = 1; index <= 3; ++index)
    if (word == comparewindow::ExportFileTypeAt(index)->extension) return index;
  return 0;
}

// Writes the export file under the name the extension rule gives; false
// (with the reason on standard error) when the file cannot be written.
bool WriteExport(const comparewindow::ExportTable& table, const std::wstring& file, int typeIndex) {
  const comparewindow::ExportFileType& type = *comparewindow::ExportFileTypeAt(typeIndex);
  const std::wstring path = comparewindow::WithExportExtension(file, type);
  if (platform::WriteFileBytes(path, comparewindow::ExportDocument(table, type.format)))
    return true;
  platform::WriteErr(L"duplora-cli: cannot write the export file " + path + L"\n");
  return false;
}

}  // namespace

int FindCommand(const Arguments& args) {
  engine::CompareSettings settings;
  std::wstring left;
  Arguments texts;
  std::wstring exportFile;
  int exportType = 0;  // 0: not given, text
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    // The option's value, or nothing when the arguments end here.
    auto value = [&]() -> const std::wstring* {
      return i + 1 < args.size() ? &args[++i] : nullptr;
    };
    if (arg == L"--left") {
      const std::wstring* text = value();
      if (!text) return UsageError(L"--left takes a path text");
      left = *text;
      settings.m_compare_mode = 1;
    } else if (arg == L"--similarity") {
      const std::wstring* text = value();
      int similarity = 0;
      if (!text || !ParseNumber(*text, similarity) || similarity < 1 || similarity > 100)
        return UsageError(L"--similarity takes a percentage from 1 to 100");
      settings.m_similarity = similarity;
    } else if (arg == L"--rule") {
      const std::wstring* text = value();
      int rule = 0;
      if (!text || !ParseNumber(*text, rule) || rule < 1 || rule > 3)
        return UsageError(L"--rule takes 1, 2 or 3");
      settings.m_signature_rule = rule;
    } else if (arg == L"--lang") {
      const std::wstring* code = value();
      if (!code || !SelectLanguage(*code))
        return UsageError(L"--lang takes a language code such as EN or DE");
    } else if (arg == L"--export") {
      const std::wstring* file = value();
      if (!file || file->empty()) return UsageError(L"--export takes a file name");
      exportFile = *file;
    } else if (arg == L"--format") {
      const std::wstring* word = value();
      exportType = word ? ExportTypeIndex(*word) : 0;
      if (!exportType) return UsageError(L"--format takes txt, csv or html");
    } else if (arg == L"--rotated") {
      settings.m_search_rotated = 1;
    } else if (arg == L"--flipped") {
      settings.m_search_flipped = 1;
    } else if (arg == L"--negative") {
      settings.m_search_negative = 1;
    } else if (arg == L"--no-subfolders") {
      settings.m_subfolder = 0;
    } else if (arg.starts_with(L"--")) {
      return UsageError(L"unknown option: " + arg);
    } else {
      texts.push_back(arg);
    }
  }
  if (texts.size() != 1) return UsageError(L"find takes one path text");
  if (exportType && exportFile.empty()) return UsageError(L"--format goes with --export");
  if (!exportType) exportType = 1;
  if (left.size() > kPathBoxChars || texts[0].size() > kPathBoxChars)
    return UsageError(L"a path text holds at most 254 characters");

  const engine::TextLookup lookup = InterfaceTexts();
  ConsoleSearchWindow window(left, texts[0], platform::ErrIsTerminal());
  platform::ComThread com;
  engine::FingerprintCache cache;
  engine::SearchRun run(window, cache, lookup);
  g_activeRun.store(&run);
  platform::OnInterrupt(StopActiveRun);
  run.RunSearch(settings);
  g_activeRun.store(nullptr);
  window.EndProgress();

  if (!run.StopRequested() && !run.completed()) return window.warned() ? 2 : 1;
  // A stopped run keeps and exports the rows found so far, as the window does.
  const comparewindow::ExportTable table = ResultTable(window, lookup);
  PrintRows(table);
  const bool exported = exportFile.empty() || WriteExport(table, exportFile, exportType);
  if (run.StopRequested()) return 130;
  for (engine::TextLine line :
       {engine::TextLine::Status, engine::TextLine::Statistics, engine::TextLine::Detail})
    platform::WriteOut(window.line(line) + L"\n");
  return exported ? 0 : 1;
}

}  // namespace cli
