// duplora-cli find: the whole search on the command line.
#include <atomic>

#include "cli/Commands.h"
#include "cli/ConsoleSearchWindow.h"
#include "comparewindow/ResultColumns.h"
#include "engine/SearchRun.h"
#include "platform/ComThread.h"
#include "platform/Console.h"
#include "platform/Interrupt.h"

namespace cli {
namespace {

std::atomic<engine::SearchRun*> g_activeRun{nullptr};

void StopActiveRun() {
  if (engine::SearchRun* run = g_activeRun.load()) run->RequestStop();
}

void PrintRows(const ConsoleSearchWindow& window, const engine::TextLookup& texts) {
  for (const engine::MatchPair* pair : window.rows()) {
    std::wstring line;
    for (int column = 0; column < comparewindow::kColumnCount; ++column) {
      if (column) line += L'\t';
      line += comparewindow::CellText(*pair, column, texts);
    }
    platform::WriteOut(line + L"\n");
  }
}

}  // namespace

int FindCommand(const Arguments& args) {
  engine::CompareSettings settings;
  std::wstring left;
  Arguments texts;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    // The option's value, or nothing when the arguments end here.
    auto value = [&]() -> const std::wstring* { return i + 1 < args.size() ? &args[++i] : nullptr; };
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
      if (!code || !SelectLanguage(*code)) return UsageError(L"--lang takes a language code such as EN or DE");
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

  if (run.StopRequested()) {
    PrintRows(window, lookup);
    return 130;
  }
  if (!run.completed()) return window.warned() ? 2 : 1;
  PrintRows(window, lookup);
  for (engine::TextLine line : {engine::TextLine::Status, engine::TextLine::Statistics,
                                engine::TextLine::Detail})
    platform::WriteOut(window.line(line) + L"\n");
  return 0;
}

}  // namespace cli
