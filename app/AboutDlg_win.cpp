#include "app/AboutDlg_win.h"

#include "app/FrameRules.h"
#include "app/LangText.h"
#include "app/ProgramInfo.h"
#include "app/TextIds.h"
#include "resources/resource.h"

namespace app {

void CAboutDlg::Show(HWND owner) { Run(IDD_ABOUT, owner); }

void CAboutDlg::OnInitDialog() {
  ::SetWindowTextW(hwnd(), PlainMenuText(LangText(kTextMenuAbout)).c_str());
  const HANDLE icon = ::LoadImageW(platform::ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                   IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED);
  ::SendDlgItemMessageW(hwnd(), IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  ::SetDlgItemTextW(hwnd(), IDC_ABOUT_NAME, (ProgramName() + L" " + ProgramVersion()).c_str());
  ::SetDlgItemTextW(hwnd(), IDC_ABOUT_TEXT, LangText(kTextAboutLine).c_str());
}

}  // namespace app
