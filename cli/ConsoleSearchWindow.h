// The window side of a search on the console: the path boxes hold the
// command's texts, warnings and duplicates go to standard error, rows are
// kept for printing, and on a terminal the run's progress shows as one line
// on standard error that updates in place.
#pragma once

#include <string>
#include <vector>

#include "engine/NullSearchWindow.h"
#include "engine/Similarity.h"
#include "engine/TextLookup.h"

namespace cli {

class ConsoleSearchWindow final : public engine::NullSearchWindow {
 public:
  ConsoleSearchWindow(std::wstring left, std::wstring right, bool showProgress = false);
  ~ConsoleSearchWindow() override;

  std::wstring PathBoxText(engine::PathBox box) override;
  void FieldWarning(engine::PathBox box, const std::wstring& message) override;
  // Printed, not waited for: nobody is there to acknowledge it.
  void ShowDuplicateMessage(const std::wstring& path) override;
  void SetLine(engine::TextLine line, const std::wstring& text) override;
  void DeleteAllRows() override { rows_.clear(); }
  void AppendRow(const engine::MatchPair& pair) override { rows_.push_back(&pair); }
  void SortBy(int column, bool descending) override;

  const std::vector<const engine::MatchPair*>& rows() const { return rows_; }
  const std::wstring& line(engine::TextLine which) const;
  bool warned() const { return warned_; }
  // Ends the updating progress line, so what follows starts on a line of its own.
  void EndProgress();

 private:
  std::wstring left_, right_;
  bool showProgress_;
  bool progressShown_ = false;
  bool warned_ = false;
  std::wstring lines_[3];
  std::vector<const engine::MatchPair*> rows_;
};

}  // namespace cli
