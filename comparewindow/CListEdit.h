// The result list's in-place editor: an edit control over one cell, child of
// the list. Its start and end reach the list's parent as LVN_BEGINLABELEDITW
// and LVN_ENDLABELEDITW (item and sub-item name the cell; the end carries the
// new text, or none when the edit was cancelled or left the text as it was),
// so the window treats them like the list's own label edits.
//
//   Escape cancels; Enter / Shift+Enter go to the next / previous row, Tab /
//   Shift+Tab to the next / previous cell, Up, Down, Page Up, Page Down,
//   Ctrl+Home, Ctrl+End, Ctrl+Left and Ctrl+Right move the edit; F2 selects
//   the whole name, its stem or its extension in turn. Leaving the editor
//   ends its edit.
#pragma once


#include <windows.h>

#include <string>

#include "comparewindow/CellEditRules.h"
#include "platform/Window_win.h"

namespace comparewindow {

class CListCtrlHelp;

class CListEdit : public platform::SubclassedWindow {
 public:
  explicit CListEdit(CListCtrlHelp& list) : list_(list) {}

  // Opens over a cell; false when the list's parent refused it.
  bool Open(int row, int column);
  // The text to edit, given while the edit begins; the end compares against it.
  void SetText(const std::wstring& text, TextRange selection);
  // Ends the edit and tells the list's parent.
  void End(bool cancel);

  bool IsOpen() const { return hwnd() != nullptr; }
  EditCell Cell() const { return cell_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool OnKeyDown(WPARAM key);
  // Wide enough for the text, at most as wide as the list.
  void Widen();
  // Sends a label-edit notification; its result.
  LRESULT Notify(UINT code, wchar_t* text);

  CListCtrlHelp& list_;
  EditCell cell_;
  RECT cellRect_{};
  std::wstring initial_;
  bool ending_ = false;
};

}  // namespace comparewindow
