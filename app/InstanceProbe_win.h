// Finding a running window of the program and handing it a command line.
// A window that answers the registered message "TESSERA-GUID" with that
// message's own number counts as a running window; it takes a command line
// sent as WM_COPYDATA (dwData 10100, UTF-16LE text with its NUL) by
// replying 10100.
#pragma once

#include <windows.h>

#include <string>

namespace app {

UINT ProbeMessage();

// The first top-level window that answers the probe within 1000 ms; null when none does.
HWND FindRunningWindow();

// True when the window took the command line.
bool HandOverCommandLine(HWND window, const std::wstring& commandLine);

}  // namespace app
