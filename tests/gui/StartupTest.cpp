// The start of the program as Run makes it, with the hooks of other parts
// recording what they were given.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>

#include "app/Autostart_win.h"
#include "app/CommandLine.h"
#include "app/ImgCompareMain_win.h"
#include "app/InstanceProbe_win.h"
#include "app/Startup_win.h"
#include "platform/Window_win.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"

namespace {

using guitest::StartValue;

// A window of "another program" that answers the probe and takes hand-overs.
class ProbeAnswerer : public platform::BaseWindow {
 public:
  int probes = 0;
  bool accept = true;
  std::wstring received;

  bool Create() {
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestProbeAnswerer";
    return CreateWindowOfClass(windowClass, 0, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == app::ProbeMessage()) {
      ++probes;
      return app::ProbeMessage();
    }
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      received = app::ReadHandOverPayload(
                     std::string_view(static_cast<const char*>(data->lpData), data->cbData))
                     .value_or(L"<bad payload>");
      return accept ? app::kHandOverData : 0;
    }
    return DefaultMessage(message, wParam, lParam);
  }
};

// Run with this test's settings file and mutex; what the hooks saw.
class StartupTest : public ::testing::Test {
 protected:
  guitest::TempSettings settings;
  app::StartHooks hooks;
  int frames = 0;
  std::wstring title;
  std::vector<std::wstring> calls;

  void SetUp() override {
    static std::atomic<int> counter{0};
    guitest::PumpPending();
    hooks.mutexName = L"DuploraTestGUID__" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                      std::to_wstring(counter++);
    hooks.initSettings = [this] {
      calls.push_back(L"settings");
      settings.Init();
    };
    hooks.openHelp = [this](const std::wstring& anchor) { calls.push_back(L"help " + anchor); };
    hooks.frameCreated = [this](app::CImgCompareMain& frame) {
      ++frames;
      title = frame.Title();
      ::PostMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
    };
  }

  // The WM_QUIT code an early exit left for the thread, or -1.
  static int QuitPosted() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      ::DispatchMessageW(&message);
    }
    return -1;
  }
};

TEST_F(StartupTest, FirstStartIsInstanceZero) {
  EXPECT_EQ(app::Run(L"", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(title, L"Duplora 2.16 (Portable/Unicode)");
  EXPECT_EQ(StartValue(L"Duplora_Id"), L"0");
  EXPECT_EQ(StartValue(L"WinRC_MP"), L"0;0;800;600") << "the frame closed as it opened";
}

TEST_F(StartupTest, StartWhileAnotherRunsCountsOn) {
  const app::InstanceMutex first = app::CreateInstanceMutex(hooks.mutexName);
  ASSERT_FALSE(first.anotherRunning);
  settings.Init();
  app::Settings().WriteInt(L"Start", L"Duplora_Id", 0);
  EXPECT_EQ(app::Run(L"", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(title, L"Duplora 2.16 [1] (Portable/Unicode)");
  EXPECT_EQ(StartValue(L"Duplora_Id"), L"1");
  EXPECT_EQ(app::Run(L"", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(title, L"Duplora 2.16 [2] (Portable/Unicode)");
}

TEST_F(StartupTest, HandOverOnlyForExplorerStyleCalls) {
  const app::InstanceMutex first = app::CreateInstanceMutex(hooks.mutexName);
  settings.Init();
  app::Settings().WriteInt(L"Start", L"default_new_tab", 1);
  ProbeAnswerer running;
  ASSERT_TRUE(running.Create());

  EXPECT_EQ(app::Run(L"C:\\Pictures", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(running.probes, 0) << "not an explorer-style call: no window is probed";
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(StartValue(L"Duplora_Id"), L"1");

  running.accept = false;
  EXPECT_EQ(app::Run(L"/e,C:\\Pictures", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(running.probes, 1);
  EXPECT_EQ(running.received, L"/e,C:\\Pictures");
  EXPECT_EQ(frames, 2) << "refused: the start goes on";

  running.accept = true;
  EXPECT_EQ(app::Run(L"/e,C:\\Pictures", SW_SHOWNORMAL, hooks), 1);
  EXPECT_EQ(frames, 2) << "handed over: no window of its own";
  EXPECT_EQ(QuitPosted(), 0xAFFE);
}

TEST_F(StartupTest, HandOverFlagOffProbesNothing) {
  const app::InstanceMutex first = app::CreateInstanceMutex(hooks.mutexName);
  ProbeAnswerer running;
  ASSERT_TRUE(running.Create());
  EXPECT_EQ(app::Run(L"/e,C:\\Pictures", SW_SHOWNORMAL, hooks), 0);
  EXPECT_EQ(running.probes, 0);
  EXPECT_EQ(frames, 1);
}

// The switches that end a start early, each at its place in the order.
TEST_F(StartupTest, EarlyExits) {
  struct Case {
    std::wstring commandLine;
    int exitCode;
    int quitPosted;  // -1: none
    std::vector<std::wstring> calls;
  };
  const std::wstring token(app::kAutostartSwitch);
  const std::wstring admin(app::kAdminSettingsSwitch);
  hooks.update = [this](const std::wstring& line) {
    calls.push_back(L"update " + std::to_wstring(line.size()));
    return line.size() == 520;
  };
  hooks.toggleAutostart = [this] { calls.push_back(L"autostart"); };
  hooks.adminSettings = [this](int number) {
    calls.push_back(L"admin " + std::to_wstring(number));
    return 7;
  };
  hooks.install = [this](const std::wstring& line) {
    calls.push_back(L"install");
    return line == L"-install";
  };
  hooks.explorer = [this](const std::wstring& line) {
    calls.push_back(L"explorer");
    return line == L"/e,handled";
  };
  for (const Case& c : {
           Case{std::wstring(520, L'x'), 1, -1, {L"update 520"}},
           Case{L"-install", 1, 1, {L"update 8", L"install"}},
           Case{token, 1, -1, {L"update 21", L"autostart"}},
           Case{admin + L"=42", 7, -1, {L"update 32", L"admin 42"}},
           Case{L"-help#search", 1, -1, {L"update 12", L"install", L"settings", L"help #search"}},
           Case{L"-help", 1, -1, {L"install", L"settings", L"help "}},
           Case{L"/e,handled", 0, -1, {L"update 10", L"install", L"settings", L"explorer"}},
       }) {
    SCOPED_TRACE(c.commandLine.substr(0, 40));
    calls.clear();
    EXPECT_EQ(app::Run(c.commandLine, SW_SHOWNORMAL, hooks), c.exitCode);
    EXPECT_EQ(calls, c.calls);
    EXPECT_EQ(QuitPosted(), c.quitPosted);
    EXPECT_EQ(frames, 0);
  }
}

TEST(Autostart, ToggleWritesThenRemovesTheEntry) {
  const wchar_t* key = L"Software\\DuploraTest\\Run";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\DuploraTest");
  ASSERT_TRUE(app::ToggleAutostart(HKEY_CURRENT_USER, key, L"Duplora", L"C:\\Pro gram\\D.exe"));
  wchar_t data[128] = {};
  DWORD bytes = sizeof data;
  ASSERT_EQ(
      ::RegGetValueW(HKEY_CURRENT_USER, key, L"Duplora", RRF_RT_REG_SZ, nullptr, data, &bytes),
      ERROR_SUCCESS);
  EXPECT_STREQ(data, L"\"C:\\Pro gram\\D.exe\" -bg");
  ASSERT_TRUE(app::ToggleAutostart(HKEY_CURRENT_USER, key, L"Duplora", L"C:\\Pro gram\\D.exe"));
  EXPECT_NE(
      ::RegGetValueW(HKEY_CURRENT_USER, key, L"Duplora", RRF_RT_ANY, nullptr, nullptr, nullptr),
      ERROR_SUCCESS);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\DuploraTest");
}

}  // namespace
