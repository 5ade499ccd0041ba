// Driving the compare window in window tests and screenshots: buttons, the
// option menus of its toolbars, the end of a run, the result list and the
// previews.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <string>
#include <vector>

#include "comparewindow/CImgCmp2017.h"
#include "tests/gui/MessagePump.h"

namespace guitest {

// A run can take a while under wine on a slow machine.
inline constexpr DWORD kRunLimitMs = 60000;

// A Linux path of the build as wine sees it.
inline std::wstring BuildPath(const char* path) {
  std::wstring result = L"Z:";
  for (const char* p = path; *p; ++p) result += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return result;
}

// A pop-up standing in for the frame's child window, for a compare window under test.
inline HWND MakeHostWindow() {
  return ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1000,
                           760, nullptr, nullptr, nullptr, nullptr);
}

// Makes the view in the host, as large as its client area and shown; false when it cannot.
inline bool OpenView(comparewindow::CImgCmp2017& view, HWND host) {
  if (!view.CreateView(host)) return false;
  RECT client{};
  ::GetClientRect(host, &client);
  view.Resize(client);
  ::ShowWindow(view.hwnd(), SW_SHOW);
  PumpPending();
  return true;
}

inline void ClickButton(HWND dialog, int id) {
  ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

inline std::wstring TextOf(HWND window) {
  wchar_t text[2048] = {};
  ::GetWindowTextW(window, text, 2048);
  return text;
}

inline std::wstring ItemText(HWND dialog, int id) { return TextOf(::GetDlgItem(dialog, id)); }

// Clicks a toolbar button with the mouse, as a user does.
inline void ClickToolbarButton(HWND toolbar, int button) {
  RECT rect{};
  ::SendMessageW(toolbar, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect));
  const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  ::SendMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::SendMessageW(toolbar, WM_LBUTTONUP, 0, at);
  // The pointer never really came: nothing stays highlighted.
  ::SendMessageW(toolbar, TB_SETHOTITEM, static_cast<WPARAM>(-1), 0);
  ::SendMessageW(toolbar, WM_MOUSELEAVE, 0, 0);
}

struct MenuEntry {
  UINT command;
  std::wstring text;
  bool grayed;
};

// Opens the drop-down menu of a toolbar button by a click and chooses
// `command` from it (0: closes it without a choice). Returns the entries the
// menu offered (separators have no text); empty when no menu came up.
inline std::vector<MenuEntry> ChooseFromOptionMenu(comparewindow::CImgCmp2017& view, HWND toolbar,
                                                   int button, int command) {
  std::vector<MenuEntry> offered;
  view.SetMenuChooser([&](HMENU menu, POINT, HWND) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
      wchar_t text[256] = {};
      ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
      const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
      offered.push_back({::GetMenuItemID(menu, i), text, (state & MF_GRAYED) != 0});
    }
    return command;
  });
  ClickToolbarButton(toolbar, button);
  view.SetMenuChooser(nullptr);
  return offered;
}

// Waits until the run's worker has ended.
inline bool WaitForRunEnd(comparewindow::CImgCmp2017& view, DWORD limitMs = kRunLimitMs) {
  return PumpUntil([&] { return !view.WorkerActive(); }, limitMs);
}

inline void SelectRow(HWND list, int row) {
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(list, row);
}

// Waits until both previews have loaded the pictures of the previewed row.
inline bool WaitForPreviews(comparewindow::CImgCmp2017& view, DWORD limitMs = 20000) {
  using comparewindow::Side;
  return PumpUntil(
      [&] {
        for (Side side : {Side::Left, Side::Right}) {
          viewing::CPicWindow& pane = view.Preview(side);
          if (!pane.WaitUntilIdle(std::chrono::milliseconds(0)) ||
              pane.State().loadedPath != view.PreviewedPath(side))
            return false;
        }
        return true;
      },
      limitMs);
}

}  // namespace guitest
