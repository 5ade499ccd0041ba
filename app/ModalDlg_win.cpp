#include "app/ModalDlg_win.h"

namespace app {

INT_PTR CModalDlg::Run(int templateId, HWND owner) {
  return RunModal(platform::ProgramInstance(), templateId, owner);
}

INT_PTR CModalDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;  // the default button gets the focus
    case WM_COMMAND:
      return OnCommand(wParam);
  }
  return FALSE;
}

INT_PTR CModalDlg::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id != IDOK && id != IDCANCEL) return FALSE;
  ::EndDialog(hwnd(), id);
  return TRUE;
}

}  // namespace app
