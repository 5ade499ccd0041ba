// A modal dialog of the shell that ends with the button pressed (OK or
// Cancel) and only fills in its controls when it opens.
#pragma once

#include "platform/Window_win.h"

namespace app {

class CModalDlg : public platform::DialogWindow {
 protected:
  // IDOK or IDCANCEL.
  INT_PTR Run(int templateId, HWND owner);
  virtual void OnInitDialog() = 0;

  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  INT_PTR OnCommand(WPARAM wParam);
};

}  // namespace app
