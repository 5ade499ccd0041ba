// The program's start, from the command line to the end of the message loop.
//
//   Run(commandLine, showCommand, hooks):
//    1. program name and version
//    2. a command line of 6..520 characters goes to the update handler (handled: exit 1)
//    3. the autostart switch, the whole command line: toggle the entry (exit 1)
//    4. the administrative-settings switch: its dialog (exit with its result)
//    5. the message loop is registered
//    6. the install handler (handled: WM_QUIT 1, exit 1)
//    7. the settings store is initialised
//    8. "-help[#anchor]": the help page (exit 1)
//    9. the main frame object (GDI+)
//   10. the instance mutex
//   11. "/e...": the explorer-style handler (handled: exit 0)
//   12. another instance runs: with "default_new_tab" set and "/e...", the
//       command line is handed to a running window (taken: WM_QUIT 0xAFFE,
//       exit 1); else this start's number is the stored one plus 1
//   13. the number is stored (0 when this instance runs alone)
//   14. the main window ("Main window creation failed!" and exit 0 when it cannot be made)
//   15. the message loop; its WM_QUIT code is the exit code
//   16. loop, mutex, frame are let go in this order
//
// The hooks carry what belongs to other parts of the program (installer,
// updater, file browser) and what tests replace (the settings file, the
// mutex name, the help viewer).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "app/HostedView_win.h"
#include "platform/Handles_win.h"

namespace app {

class CImgCompareMain;

struct StartHooks {
  // Each tells whether it handled the command line; absent ones do not.
  std::function<bool(const std::wstring& commandLine)> update;
  std::function<bool(const std::wstring& commandLine)> install;
  std::function<bool(const std::wstring& commandLine)> explorer;
  // The administrative settings dialog for the number after the switch; its result.
  std::function<int(int number)> adminSettings;
  std::function<void()> toggleAutostart;
  std::function<void(const std::wstring& anchor)> openHelp;
  std::function<void()> initSettings;
  std::wstring mutexName;  // empty: InstanceMutexName()
  HostedViewFactory createView;
  // The frame's window exists; the program gives it its command handlers here.
  std::function<void(CImgCompareMain& frame)> frameCreated;
};

// What the program does where no other part says otherwise: the update,
// install and explorer handlers decline, the administrative settings answer
// IDCANCEL (there is no dialog in this program yet) after reading the
// settings and language, the autostart switch toggles the all-users entry,
// help opens the page in the browser, the settings store finds its own file.
StartHooks DefaultStartHooks();

int Run(const std::wstring& commandLine, int showCommand, const StartHooks& hooks);

struct InstanceMutex {
  platform::UniqueHandle handle;
  bool anotherRunning = false;  // the name existed, or belongs to another user
};

InstanceMutex CreateInstanceMutex(const std::wstring& name);

}  // namespace app
