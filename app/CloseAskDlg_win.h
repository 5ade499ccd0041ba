// "Do you really want to close Duplora?" before the main frame closes, when
// the user asked for it ("close_ask" in [Start]).
#pragma once

#include "platform/Window_win.h"

namespace app {

class CCloseAskDlg : public platform::DialogWindow {
 public:
  // IDOK when the user confirms, IDCANCEL otherwise.
  INT_PTR Ask(HWND owner);

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  INT_PTR OnInitDialog();
  INT_PTR OnCommand(WPARAM wParam);
};

}  // namespace app
