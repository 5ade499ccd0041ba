// Fixtures of the shell's window tests: a settings file of the test's own,
// main frames opened and closed in this process, and answers to the modal
// dialogs a frame shows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "app/MyProfStr.h"
#include "platform/FileSystem.h"
#include "tests/gui/MessagePump.h"
#include "tests/support/TempFolder.h"

namespace guitest {

// The process's settings store on a fresh file in a scratch folder: a
// portable copy (a Duplora.ini beside the program), or an installed one.
class TempSettings {
 public:
  TempSettings() {
    platform::WriteFileBytes(program_ + L"\\Duplora.ini", "");
    Init();
  }
  // Makes the settings store use this file again (Run initialises it itself).
  void Init() const { app::Settings().Init(program_ + L"\\Duplora.exe", appData_); }
  const std::wstring& folder() const { return temp_.path(); }

 private:
  testsupport::TempFolder temp_;
  std::wstring program_ = temp_.MakeFolder(L"program");
  std::wstring appData_ = temp_.MakeFolder(L"appdata");
};

inline std::wstring StartValue(const wchar_t* key) {
  return app::Settings().ReadString(L"Start", key, L"<missing>");
}

// A frame as the program opens it, but leaving the test's message loop alone.
inline bool OpenFrame(app::CImgCompareMain& frame, app::FrameStart start = {}) {
  start.endLoopOnDestroy = false;
  if (!frame.Create(std::move(start))) return false;
  // The frame shows itself when it restores its placement.
  return PumpUntil([&] { return ::IsWindowVisible(frame.hwnd()) != FALSE; });
}

inline BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM found) {
  auto* owner = reinterpret_cast<HWND*>(found);
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32770" && ::GetWindow(window, GW_OWNER) == *owner &&
      ::IsWindowVisible(window)) {
    *owner = window;
    return FALSE;
  }
  return TRUE;
}

// The visible dialog that `owner` owns (a modal one disables its owner); null when none.
inline HWND OwnedDialog(HWND owner) {
  HWND found = owner;
  ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedDialog, reinterpret_cast<LPARAM>(&found));
  return found == owner ? nullptr : found;
}

struct PendingAnswer {
  HWND owner;
  int answer;
  bool answered = false;
};
inline PendingAnswer* pendingAnswer = nullptr;

inline void CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
  if (!pendingAnswer || pendingAnswer->answered) return;
  const HWND dialog = OwnedDialog(pendingAnswer->owner);
  if (!dialog) return;
  pendingAnswer->answered = true;
  ::PostMessageW(dialog, WM_COMMAND, static_cast<WPARAM>(pendingAnswer->answer), 0);
}

// Runs `open`, which shows a modal dialog over `owner`, and ends that
// dialog with `answer` (IDOK, IDCANCEL) from inside its own message loop.
// Returns whether a dialog was there to answer.
inline bool AnswerModal(HWND owner, int answer, const std::function<void()>& open) {
  PendingAnswer state{owner, answer};
  pendingAnswer = &state;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, AnswerTick);
  open();
  ::KillTimer(nullptr, timer);
  pendingAnswer = nullptr;
  return state.answered;
}

// Puts the interface language back to English after a test that changed it.
struct EnglishAfterwards {
  ~EnglishAfterwards() {
    app::SetCurrentLanguage(app::kLanguageEnglish);
    app::ReloadTexts();
  }
};

}  // namespace guitest
