// The program's entry: a plain top-level window until the main frame exists.
#include <windows.h>

#include <string>

#include "app/ProgramInfo.h"

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = L"DuploraMain";
  ::RegisterClassExW(&windowClass);
  const std::wstring title = app::ProgramName() + L" " + app::ProgramVersion() + L" (Unicode)";
  HWND window = ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, L"DuploraMain", title.c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (!window) {
    ::MessageBoxW(nullptr, L"Main window creation failed!\n", nullptr, MB_OK);
    return 0;
  }
  ::ShowWindow(window, showCommand);
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
