// A search window that takes every request and does nothing with it. The
// command line, the tests and the benchmarks override what they show or record.
#pragma once

#include "engine/SearchWindow.h"

namespace engine {

class NullSearchWindow : public SearchWindow {
 public:
  std::wstring PathBoxText(PathBox) override { return {}; }
  void FieldWarning(PathBox, const std::wstring&) override {}
  void AddToHistory(PathBox, const std::wstring&) override {}
  void ShowDuplicateMessage(const std::wstring&) override {}
  void SetLine(TextLine, const std::wstring&) override {}
  void SetStartStopLabel(const std::wstring&) override {}
  void BusyProgress() override {}
  void DeterminateProgress(int) override {}
  void ProgressDone() override {}
  void SetProgressPosition(int) override {}
  void DeleteAllRows() override {}
  void AppendRow(const MatchPair&) override {}
  void SetListRedraw(bool) override {}
  void SortBy(int, bool) override {}
  void SetRunning(bool) override {}
  void ShowCacheStatus(const std::wstring&) override {}
};

}  // namespace engine
