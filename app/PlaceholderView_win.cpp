#include "app/PlaceholderView_win.h"

#include "app/LangText.h"
#include "app/TextIds.h"
#include "resources/resource.h"

namespace app {

HWND CPlaceholderView::CreateView(HWND parent) {
  return CreateModeless(platform::ProgramInstance(), IDD_PLACEHOLDER_VIEW, parent);
}

void CPlaceholderView::Resize(const RECT& client) {
  ::MoveWindow(hwnd(), client.left, client.top, client.right - client.left,
               client.bottom - client.top, TRUE);
}

bool CPlaceholderView::TakeCommandLineFolder(const std::wstring& folder) {
  folder_ = folder;
  ::SetDlgItemTextW(hwnd(), IDC_PLACEHOLDER_FOLDER, folder_.c_str());
  return true;
}

INT_PTR CPlaceholderView::HandleMessage(UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_SIZE:
      Layout();
      return TRUE;
  }
  return FALSE;
}

INT_PTR CPlaceholderView::OnInitDialog() {
  ::SetDlgItemTextW(hwnd(), IDC_PLACEHOLDER_TEXT, LangText(kTextAboutLine).c_str());
  ::SetDlgItemTextW(hwnd(), IDC_PLACEHOLDER_FOLDER, folder_.c_str());
  return FALSE;  // the frame decides where the focus goes
}

// The two lines stay centred whatever the size.
void CPlaceholderView::Layout() {
  RECT client;
  ::GetClientRect(hwnd(), &client);
  RECT line{0, 0, 0, 10};
  ::MapDialogRect(hwnd(), &line);
  const int height = line.bottom;
  const int top = (client.bottom - 2 * height) / 2;
  ::MoveWindow(Item(IDC_PLACEHOLDER_TEXT), 0, top, client.right, height, TRUE);
  ::MoveWindow(Item(IDC_PLACEHOLDER_FOLDER), 0, top + height + height / 2, client.right, height,
               TRUE);
  // A static repaints only what a move uncovers; centred text must be drawn anew.
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace app
