// The requests a search run makes of its window, and all it knows of it.
//
// The compare window carries each request out on its own thread (the run's
// worker sends it a message and waits); the command line and the tests
// implement them directly. Requests arrive in the order the run makes them.
#pragma once

#include <string>

namespace engine {

struct MatchPair;

// The two path boxes: the left one (shown only in two-folder mode) and the right one.
enum class PathBox { Left, Right };

// The three text lines of the window: the status line at the top, the detail
// line (the folder being read, the file being fingerprinted) and the statistics line.
enum class TextLine { Status, Detail, Statistics };

class SearchWindow {
 public:
  virtual ~SearchWindow() = default;

  // The text of a path box, at most 254 characters.
  virtual std::wstring PathBoxText(PathBox box) = 0;
  // Shows bad input on a box: the message, with text 60006 as the second text.
  virtual void FieldWarning(PathBox box, const std::wstring& message) = 0;
  // Adds a normalised path text to the box's history.
  virtual void AddToHistory(PathBox box, const std::wstring& text) = 0;
  // A file found on both sides was taken out of the right set; returns when
  // the user has acknowledged the message.
  virtual void ShowDuplicateMessage(const std::wstring& path) = 0;

  virtual void SetLine(TextLine line, const std::wstring& text) = 0;
  virtual void SetStartStopLabel(const std::wstring& text) = 0;

  // Progress: busy animation (range 0..256), determinate (range 0..range), done (256 of 256).
  virtual void BusyProgress() = 0;
  virtual void DeterminateProgress(int range) = 0;
  virtual void ProgressDone() = 0;
  virtual void SetProgressPosition(int position) = 0;

  // The result list. A row refers to its pair, which stays valid until the next run.
  virtual void DeleteAllRows() = 0;
  virtual void AppendRow(const MatchPair& pair) = 0;
  virtual void SetListRedraw(bool on) = 0;
  virtual void SortBy(int column, bool descending) = 0;

  // Idle or running: button label, flags and the enabled state of the controls.
  virtual void SetRunning(bool running) = 0;

  // The fingerprint cache line of the main frame's status bar.
  virtual void ShowCacheStatus(const std::wstring& text) = 0;
};

}  // namespace engine
