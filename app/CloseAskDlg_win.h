// "Do you really want to close Duplora?" before the main frame closes, when
// the user asked for it ("close_ask" in [Start]).
#pragma once

#include "app/ModalDlg_win.h"

namespace app {

class CCloseAskDlg : public CModalDlg {
 public:
  // IDOK when the user confirms, IDCANCEL otherwise.
  INT_PTR Ask(HWND owner);

 protected:
  void OnInitDialog() override;
};

}  // namespace app
