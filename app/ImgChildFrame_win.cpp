#include "app/ImgChildFrame_win.h"

#include "resources/resource.h"

namespace app {
namespace {

CImgChildFrame*& Current() {
  static CImgChildFrame* child = nullptr;
  return child;
}

std::wstring ResourceString(UINT id) {
  wchar_t buffer[256] = {};
  ::LoadStringW(platform::ProgramInstance(), id, buffer, static_cast<int>(std::size(buffer)));
  return buffer;
}

}  // namespace

CImgChildFrame* CurrentImgChild() { return Current(); }

CImgChildFrame::CImgChildFrame(std::unique_ptr<IHostedView> view) : view_(std::move(view)) {}

CImgChildFrame::~CImgChildFrame() {
  if (Current() == this) Current() = nullptr;
  // The view's window goes with this one; destroy it while the view object lives.
  if (hwnd()) {
    if (::IsWindow(mdiClient_))
      ::SendMessageW(mdiClient_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hwnd()), 0);
    else
      ::DestroyWindow(hwnd());
  }
}

bool CImgChildFrame::Create(HWND mdiClient, HWND frame) {
  frame_ = frame;
  mdiClient_ = mdiClient;
  accelerators_ = ::LoadAcceleratorsW(platform::ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpszClassName = L"DuploraImgChild";
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hIcon =
      static_cast<HICON>(::LoadImageW(platform::ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME),
                                      IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageW(platform::ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  // The one document fills the frame, so it is made maximised.
  const DWORD style =
      WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE;
  if (!CreateWindowOfClass(windowClass, WS_EX_MDICHILD, ResourceString(IDR_MAINFRAME).c_str(),
                           style, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           mdiClient, nullptr))
    return false;
  Current() = this;
  return true;
}

bool CImgChildFrame::PreTranslateMessage(MSG& message) {
  if (accelerators_ && ::TranslateAcceleratorW(frame_, accelerators_, &message)) return true;
  if (mdiClient_ && ::TranslateMDISysAccel(mdiClient_, &message)) return true;
  if (!view_) return false;
  if (view_->PreTranslateMessage(message)) return true;
  const HWND view = view_->ViewWindow();
  return view && ::IsDialogMessageW(view, &message);
}

LRESULT CImgChildFrame::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      return OnSize(wParam, lParam);
    case WM_SETFOCUS:
      return OnSetFocus(wParam, lParam);
    case WM_CLOSE:
      return OnClose();
  }
  return DefaultMessage(message, wParam, lParam);
}

LRESULT CImgChildFrame::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcW(hwnd(), message, wParam, lParam);
}

LRESULT CImgChildFrame::OnCreate() {
  if (view_ && view_->CreateView(hwnd())) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    view_->Resize(client);
    ::ShowWindow(view_->ViewWindow(), SW_SHOW);
  }
  return 0;
}

LRESULT CImgChildFrame::OnSize(WPARAM wParam, LPARAM lParam) {
  // The MDI machinery needs every size message (maximised children, the menu bar buttons).
  const LRESULT result = DefaultMessage(WM_SIZE, wParam, lParam);
  if (view_ && view_->ViewWindow() && wParam != SIZE_MINIMIZED) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    view_->Resize(client);
  }
  return result;
}

LRESULT CImgChildFrame::OnSetFocus(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultMessage(WM_SETFOCUS, wParam, lParam);
  // The dialog puts the focus back on the control that had it.
  if (const HWND view = ViewWindow()) ::SetFocus(view);
  return result;
}

// The only document: closing it is closing the program, with the frame's confirmation.
LRESULT CImgChildFrame::OnClose() {
  ::PostMessageW(frame_, WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace app
