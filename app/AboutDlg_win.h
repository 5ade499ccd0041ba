// The about box: the program's icon, name and version and its one-line description.
#pragma once

#include "platform/Window_win.h"

namespace app {

class CAboutDlg : public platform::DialogWindow {
 public:
  void Show(HWND owner);

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  INT_PTR OnInitDialog();
  INT_PTR OnCommand(WPARAM wParam);
};

}  // namespace app
