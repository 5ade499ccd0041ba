#include <gtest/gtest.h>

#include <vector>

#include "app/MessageLoop_win.h"
#include "platform/Window_win.h"
#include "tests/gui/MessagePump.h"

namespace {

constexpr UINT kTaken = WM_APP + 10;
constexpr UINT kPassed = WM_APP + 11;

class RecordingWindow : public platform::BaseWindow {
 public:
  std::vector<UINT> received;

  bool Create() {
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestRecordingWindow";
    return CreateWindowOfClass(windowClass, 0, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kTaken || message == kPassed) received.push_back(message);
    return DefaultMessage(message, wParam, lParam);
  }
};

struct Filter : app::IMessageFilter {
  const char* name;
  std::vector<std::string>* log;
  UINT takes;
  Filter(const char* n, std::vector<std::string>* l, UINT t) : name(n), log(l), takes(t) {}
  bool PreTranslateMessage(MSG& message) override {
    if (message.message != kTaken && message.message != kPassed) return false;
    log->push_back(name);
    return message.message == takes;
  }
};

TEST(MessageLoop, FiltersLastRegisteredFirstUntilOneTakesTheMessage) {
  guitest::PumpPending();
  RecordingWindow window;
  ASSERT_TRUE(window.Create());
  std::vector<std::string> log;
  Filter first("first", &log, 0);
  Filter second("second", &log, kTaken);
  app::CMessageLoop loop;
  loop.AddMessageFilter(&first);
  loop.AddMessageFilter(&second);

  ::PostMessageW(window.hwnd(), kTaken, 0, 0);
  ::PostMessageW(window.hwnd(), kPassed, 0, 0);
  ::PostQuitMessage(7);
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"second", "second", "first"}));
  EXPECT_EQ(window.received, std::vector<UINT>{kPassed});

  loop.RemoveMessageFilter(&second);
  log.clear();
  ::PostMessageW(window.hwnd(), kTaken, 0, 0);
  ::PostQuitMessage(0);
  loop.Run();
  EXPECT_EQ(log, std::vector<std::string>{"first"});
}

struct CountingIdle : app::IIdleHandler {
  std::vector<int> counts;
  bool OnIdle(int idleCount) override {
    counts.push_back(idleCount);
    if (idleCount < 2) return true;
    ::PostQuitMessage(5);
    return false;
  }
};

struct OnceIdle : app::IIdleHandler {
  int calls = 0;
  bool OnIdle(int) override {
    ++calls;
    return false;
  }
};

TEST(MessageLoop, IdleHandlersRunWhileOneWantsMore) {
  guitest::PumpPending();
  CountingIdle counting;
  OnceIdle once;
  app::CMessageLoop loop;
  loop.AddIdleHandler(&once);
  loop.AddIdleHandler(&counting);
  EXPECT_EQ(loop.Run(), 5);
  EXPECT_EQ(counting.counts, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(once.calls, 3) << "every handler is called while any wants more";
}

}  // namespace
