#include "app/CloseAskDlg_win.h"

#include "app/LangText.h"
#include "app/ProgramInfo.h"
#include "app/TextIds.h"
#include "resources/resource.h"

namespace app {

INT_PTR CCloseAskDlg::Ask(HWND owner) { return Run(IDD_CLOSE_ASK, owner); }

void CCloseAskDlg::OnInitDialog() {
  ::SetWindowTextW(hwnd(), ProgramName().c_str());
  ::SendDlgItemMessageW(hwnd(), IDC_CLOSE_ASK_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_QUESTION)), 0);
  ::SetDlgItemTextW(hwnd(), IDC_CLOSE_ASK_TEXT, LangText(kTextCloseQuestion).c_str());
  ::SetDlgItemTextW(hwnd(), IDOK, LangText(kTextCloseConfirm).c_str());
  ::SetDlgItemTextW(hwnd(), IDCANCEL, LangText(kTextCancel).c_str());
}

}  // namespace app
