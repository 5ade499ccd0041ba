#include <gtest/gtest.h>

#include "platform/Window_win.h"
#include "tests/gui/MessagePump.h"

namespace {

class CountingWindow : public platform::BaseWindow {
 public:
  int paints = 0;
  bool destroyed = false;

  bool Create() {
    WNDCLASSEXW windowClass{sizeof windowClass};
    windowClass.lpszClassName = L"DuploraTestCountingWindow";
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    return CreateWindowOfClass(windowClass, 0, L"test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                               200, 100, nullptr, nullptr) != nullptr;
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_USER + 1:
        throw 42;  // must not unwind through the system
      case WM_DESTROY:
        destroyed = true;
        return 0;
    }
    return DefaultMessage(message, wParam, lParam);
  }
};

TEST(BaseWindow, DispatchesToItsObjectAndSurvivesExceptions) {
  CountingWindow window;
  ASSERT_TRUE(window.Create());
  EXPECT_EQ(::SendMessageW(window.hwnd(), WM_USER + 1, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(window.hwnd()));
  ::DestroyWindow(window.hwnd());
  EXPECT_TRUE(window.destroyed);
  EXPECT_EQ(window.hwnd(), nullptr);
}

}  // namespace
