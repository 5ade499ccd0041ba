// A folder field of the compare window: the template's combo box with an
// edit part, given system auto-completion for paths, a history in a settings
// section of its own (comparewindow/PathHistory.h), a warning colour and
// dropped files.
//
//   C2017ComboBoxEx field;
//   field.Attach(::GetDlgItem(dialog, 1054), L"Path2");
//   field.LoadHistory();
//   field.Commit(L"C:\\Pictures");    // the field's text and entry 0 of its history
//
// Pressing Delete (not a repeat) while the drop-down is open removes the
// highlighted entry from the list and from the history.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comparewindow/PathHistory.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"

namespace comparewindow {

class C2017ComboBoxEx : public platform::SubclassedWindow {
 public:
  // Switches the warning colour: white text on pure red. The field takes it
  // with wParam kWarningColourTag and lParam 1 (on) or 0 (off).
  static constexpr UINT kMsgWarningColour = 1024;
  static constexpr WPARAM kWarningColourTag = 1024;

  C2017ComboBoxEx();

  bool Attach(HWND combo, std::wstring historySection);

  // Whether anything was ever committed to the history.
  bool HasHistory() const;
  // The edit part shows the last committed text, the drop-down the history.
  void LoadHistory();
  // Puts text into the edit part and at the top of the history; empty texts are ignored.
  void Commit(const std::wstring& text);

  std::wstring Text(size_t maxChars = 1024) const;
  void SetText(const std::wstring& text);
  std::vector<std::wstring> Entries() const;
  bool WarningColour() const { return warning_; }
  HWND EditPart() const { return edit_.hwnd(); }

  // Files dropped on the field (the shell's dropped-files message), in drop order.
  std::function<void(const std::vector<std::wstring>& paths)> onDropFiles;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // The edit part, for the Delete key of the open drop-down.
  class EditControl : public platform::SubclassedWindow {
   public:
    explicit EditControl(C2017ComboBoxEx& owner) : owner_(owner) {}

   protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

   private:
    C2017ComboBoxEx& owner_;
  };

  LRESULT OnControlColour(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnWarningColour(WPARAM wParam, LPARAM lParam);
  LRESULT OnDropFiles(HDROP drop);
  bool DeleteHighlightedEntry();
  void FillList();

  std::optional<PathHistory> history_;
  EditControl edit_;
  bool warning_ = false;
  platform::UniqueBrush warningBrush_;
};

}  // namespace comparewindow
