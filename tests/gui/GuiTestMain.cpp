// Main of the window tests: they run under wine with a display (Xvfb),
// drive the real windows with messages and check what the controls hold.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/GdiPlus_win.h"
#include "platform/Handles_win.h"

int main(int argc, char** argv) {
  platform::OleScope ole;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
  ::InitCommonControlsEx(&controls);
  platform::EnsureGdiplusStarted();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
