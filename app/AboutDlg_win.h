// The about box: the program's icon, name and version and its one-line description.
#pragma once

#include "app/ModalDlg_win.h"

namespace app {

class CAboutDlg : public CModalDlg {
 public:
  void Show(HWND owner);

 protected:
  void OnInitDialog() override;
};

}  // namespace app
