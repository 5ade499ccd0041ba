// The translation editor: a modeless, resizable dialog (template 302) in
// which a user translates the interface texts against a source language,
// sees the translation live in the running program (checking mode), jumps
// to untranslated rows and saves a language text file (TranslationRows.h).
// Closing hides it; CTranslateMain owns it and shows it again on demand.
//
//   app::CTranslateDlg editor;          // the system's file dialogs and message boxes
//   editor.Show(frameWindow);
//
// Tests hand in Services of their own, so that no real file dialog or
// message box ever opens.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "app/TranslationRows.h"
#include "platform/Window_win.h"

namespace app {

class CTranslateDlg : public platform::DialogWindow {
 public:
  struct Services {
    // The language text file the user picks to save or to load, starting at
    // the current one; nothing when the user cancels.
    std::function<std::optional<std::wstring>(HWND owner, bool forSaving,
                                              const std::wstring& currentFile)>
        chooseFile;
    // A message box; returns the button chosen (IDYES, IDNO, IDCANCEL, IDOK).
    std::function<int(HWND owner, const std::wstring& text, UINT type)> messageBox;
    // Where Save leaves its copy; empty: the system's temporary folder.
    std::wstring tempFolder;
  };
  // The system's file dialogs (filter "TXT (*.txt)") and message boxes.
  static Services SystemServices();

  // The list's columns: the translation is the item label, so that the
  // list's own label editing edits it; it is shown last.
  static constexpr int kColumnTranslation = 0;
  static constexpr int kColumnId = 1;
  static constexpr int kColumnSource = 2;

  static constexpr const wchar_t* kSaveQuestion = L"Save the changes ?";

  explicit CTranslateDlg(Services services = SystemServices());
  ~CTranslateDlg() override;

  // Creates the dialog (owned by `owner`) on first use and shows it.
  bool Show(HWND owner);

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Placed {
    int id;
    RECT rect;  // in the client area of the dialog at its smallest size
  };

  BOOL OnInitDialog();
  void OnCommand(int id, int code);
  INT_PTR OnNotify(const NMHDR& header);
  void OnTimer();
  void OnSize(int width, int height);
  void OnGetMinMaxInfo(MINMAXINFO& info) const;
  void OnClose();
  void OnDestroy();

  void ShowRows();
  void ShowSelectedRow();
  int SelectedRow() const;
  void SetTranslation(int row, std::wstring cell);
  void OnTranslationEdited();
  void OnSourceLanguageChanged();
  void OnCheckingModeClicked();
  void ApplyPreview();
  void GotoNextUntranslated();
  bool Save();
  bool SaveAs();
  void Load();
  bool AskToSaveFirst();
  bool WriteFile(const std::wstring& path) const;
  void SetCurrentFile(const std::wstring& path);
  void FitColumns();

  Services services_;
  TranslationRows rows_;
  std::wstring currentFile_;
  bool modified_ = false;
  bool changedSinceApply_ = false;
  bool checking_ = false;
  bool showingRow_ = false;  // edit 1004 is being filled, not edited
  bool firstTick_ = true;
  SIZE smallest_{};  // the window size of the template
  SIZE client_{};    // the client size the placed rectangles are for
  Placed placed_[12] = {};
  int placedCount_ = 0;
};

}  // namespace app
