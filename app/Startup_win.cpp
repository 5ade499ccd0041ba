#include "app/Startup_win.h"

#include <optional>

#include "app/Autostart_win.h"
#include "app/CommandLine.h"
#include "app/HelpViewer_win.h"
#include "app/ImgCompareMain_win.h"
#include "app/InstanceNumber.h"
#include "app/InstanceProbe_win.h"
#include "app/LangText.h"
#include "app/MessageLoop_win.h"
#include "app/MyProfStr.h"
#include "app/ProgramInfo.h"
#include "platform/FileSystem.h"

namespace app {

StartHooks DefaultStartHooks() {
  StartHooks hooks;
  hooks.adminSettings = [](int) {
    Settings().Init();
    SetCurrentLanguage(ReadLanguageSetting());
    return IDCANCEL;
  };
  hooks.toggleAutostart = [] {
    ToggleAutostart(HKEY_LOCAL_MACHINE, kAllUsersRunKey, ProgramName(),
                    platform::ProgramFilePath());
  };
  hooks.openHelp = [](const std::wstring& anchor) { OpenHelpPage(anchor, ReadLanguageSetting()); };
  hooks.initSettings = [] { Settings().Init(); };
  return hooks;
}

InstanceMutex CreateInstanceMutex(const std::wstring& name) {
  InstanceMutex instance;
  instance.handle.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
  const DWORD error = ::GetLastError();
  // Access denied: the mutex exists under another user's account.
  instance.anotherRunning = error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED;
  return instance;
}

int Run(const std::wstring& commandLine, int showCommand, const StartHooks& hooks) {
  SetProgramIdentity(L"Duplora", L"2.16");

  if (GoesToUpdateHandler(commandLine) && hooks.update && hooks.update(commandLine)) return 1;

  if (IsAutostartSwitch(commandLine)) {
    if (hooks.toggleAutostart) hooks.toggleAutostart();
    return 1;
  }

  if (const auto number = AdminSettingsNumber(commandLine))
    return hooks.adminSettings ? hooks.adminSettings(*number) : IDCANCEL;

  std::optional<CMessageLoop> loop;
  std::optional<MessageLoopRegistration> registration;
  loop.emplace();
  registration.emplace(*loop);

  if (hooks.install && hooks.install(commandLine)) {
    ::PostQuitMessage(1);
    return 1;
  }

  if (hooks.initSettings)
    hooks.initSettings();
  else
    Settings().Init();

  if (const auto anchor = HelpAnchor(commandLine)) {
    if (hooks.openHelp) hooks.openHelp(*anchor);
    return 1;
  }

  std::optional<CImgCompareMain> frame;
  frame.emplace();

  InstanceMutex instance =
      CreateInstanceMutex(hooks.mutexName.empty() ? InstanceMutexName() : hooks.mutexName);

  if (IsExplorerStyle(commandLine) && hooks.explorer && hooks.explorer(commandLine)) return 0;

  if (instance.anotherRunning && Settings().ReadInt(L"Start", L"default_new_tab", 0) != 0 &&
      IsExplorerStyle(commandLine)) {
    if (const HWND running = FindRunningWindow();
        running && HandOverCommandLine(running, commandLine)) {
      ::PostQuitMessage(0xAFFE);
      return 1;
    }
  }
  const int instanceNumber = TakeInstanceNumber(Settings(), instance.anotherRunning);

  FrameStart start;
  start.showCommand = showCommand;
  start.instanceNumber = instanceNumber;
  start.commandLine = commandLine;
  start.createView = hooks.createView;
  if (!frame->Create(std::move(start))) {
    ::MessageBoxW(nullptr, L"Main window creation failed!\n", nullptr, MB_OK);
    return 0;
  }
  if (hooks.frameCreated) hooks.frameCreated(*frame);

  const int exitCode = loop->Run();

  registration.reset();
  instance.handle.reset();
  frame.reset();
  return exitCode;
}

}  // namespace app
