#include "app/ImgCompareMain_win.h"

#include <commctrl.h>

#include "app/AboutDlg_win.h"
#include "app/CloseAskDlg_win.h"
#include "app/CommandLine.h"
#include "app/FrameRules.h"
#include "app/HelpViewer_win.h"
#include "app/InstanceProbe_win.h"
#include "app/LangText.h"
#include "app/MyProfStr.h"
#include "app/PlaceholderView_win.h"
#include "app/ProgramInfo.h"
#include "app/TextIds.h"
#include "platform/FileSystem.h"
#include "platform/GdiPlus_win.h"
#include "resources/resource.h"

namespace app {
namespace {

constexpr UINT kToolBarId = 0xE800;
constexpr UINT kStatusBarId = 0xE801;
constexpr UINT kMdiClientId = 0xE802;
constexpr UINT kFirstMdiChildId = 0xFF00;
constexpr int kCacheStatusWidth = 260;

// The tool bar's buttons: command, image of the common set, label text.
struct ToolButton {
  UINT command;
  int image;
  int text;
};
constexpr ToolButton kToolButtons[] = {
    {ID_FILE_EXPORT, STD_FILESAVE, kTextMenuExport},
    {ID_TOOLS_MAGNIFIER, STD_PRINTPRE, kTextMagnifierButton},
    {ID_HELP, STD_HELP, kTextMenuHelp},
};

// Commands that other parts of the program carry out.
constexpr UINT kHookedCommands[] = {ID_FILE_EXPORT, ID_TOOLS_MAGNIFIER, ID_TRANSLATE_EDITOR};

// The frame whose texts follow SetLanguage and the translation editor.
CImgCompareMain*& LanguageFrame() {
  static CImgCompareMain* frame = nullptr;
  return frame;
}

HICON ProgramIcon(int size) {
  return static_cast<HICON>(::LoadImageW(platform::ProgramInstance(),
                                         MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size,
                                         LR_SHARED | (size == 0 ? LR_DEFAULTSIZE : 0)));
}

std::wstring RectText(const RECT& r) {
  return std::to_wstring(r.left) + L";" + std::to_wstring(r.top) + L";" + std::to_wstring(r.right) +
         L";" + std::to_wstring(r.bottom);
}

}  // namespace

void ShowCacheStatusLine(HWND window, const std::wstring& text) {
  if (const HWND frame = ::GetAncestor(window, GA_ROOT))
    ::SendMessageW(frame, kMsgSetCacheStatus, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

CImgCompareMain::CImgCompareMain() { platform::EnsureGdiplusStarted(); }

CImgCompareMain::~CImgCompareMain() {
  // Destroyed here, not by the base, so WM_DESTROY still reaches this object.
  if (hwnd()) ::DestroyWindow(hwnd());
  Unregister();
}

bool CImgCompareMain::Create(FrameStart start) {
  start_ = std::move(start);
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpszClassName = L"DuploraMainFrame";
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.hIcon = ProgramIcon(0);
  windowClass.hIconSm = ProgramIcon(::GetSystemMetrics(SM_CXSMICON));
  HMENU menu = ::LoadMenuW(platform::ProgramInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  const HWND window =
      CreateWindowOfClass(windowClass, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE, ProgramName().c_str(),
                          WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu);
  if (!window && menu) ::DestroyMenu(menu);  // a window that exists owns its menu
  return window != nullptr;
}

void CImgCompareMain::SetCommandHandler(UINT command, std::function<void()> handler) {
  if (handler)
    commands_[command] = std::move(handler);
  else
    commands_.erase(command);
}

bool CImgCompareMain::HasCommandHandler(UINT command) const {
  return commands_.find(command) != commands_.end();
}

void CImgCompareMain::SetCacheStatus(const std::wstring& text) {
  if (statusBar_)
    ::SendMessageW(statusBar_, SB_SETTEXTW, kCacheStatusPart,
                   reinterpret_cast<LPARAM>(text.c_str()));
}

void CImgCompareMain::RetranslateTexts() {
  translator_.TranslateMenu(::GetMenu(hwnd()));
  ::DrawMenuBar(hwnd());
  LabelToolBar();
  SetTitle();
  Layout();
}

bool CImgCompareMain::PreTranslateMessage(MSG& message) {
  if (translator_.IsTranslationEditorMessage(message)) return true;
  // Keys of other top-level windows (the magnifier, dialogs) are theirs.
  if (!message.hwnd || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
  return child_ && child_->PreTranslateMessage(message);
}

bool CImgCompareMain::OnIdle(int) {
  for (const ToolButton& button : kToolButtons) {
    const bool enabled = button.command == ID_HELP || HasCommandHandler(button.command);
    ::SendMessageW(toolBar_, TB_ENABLEBUTTON, button.command, MAKELPARAM(enabled, 0));
  }
  return false;
}

LRESULT CImgCompareMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate();
    case WM_SIZE:
      return OnSize(wParam);
    case WM_COMMAND:
      return OnCommand(wParam, lParam);
    case WM_INITMENUPOPUP:
      return OnInitMenuPopup(wParam, lParam);
    case WM_CLOSE:
      return OnClose();
    case WM_DESTROY:
      return OnDestroy();
    case WM_COPYDATA:
      return OnCopyData(lParam);
    case kMsgSetCacheStatus:
      return OnSetCacheStatus(lParam);
  }
  if (message == ProbeMessage()) return ProbeMessage();
  return DefaultMessage(message, wParam, lParam);
}

LRESULT CImgCompareMain::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefFrameProcW(hwnd(), mdiClient_, message, wParam, lParam);
}

LRESULT CImgCompareMain::OnCreate() {
  if (!CreateBars()) return -1;
  SetCurrentLanguage(ReadLanguageSetting());
  translator_.TranslateMenu(::GetMenu(hwnd()));
  LabelToolBar();
  LanguageFrame() = this;
  SetLanguageChangedHandler([this](int) { RetranslateTexts(); });
  loop_ = CurrentMessageLoop();
  if (loop_) {
    loop_->AddMessageFilter(this);
    loop_->AddIdleHandler(this);
  }
  CreateImageChild();
  ::PostMessageW(hwnd(), WM_COMMAND, ID_RESTORE_PLACEMENT, 9);
  return 0;
}

bool CImgCompareMain::CreateBars() {
  const HINSTANCE instance = platform::ProgramInstance();
  toolBar_ = ::CreateWindowExW(
      0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_TOP,
      0, 0, 0, 0, hwnd(), reinterpret_cast<HMENU>(kToolBarId), instance, nullptr);
  statusBar_ =
      ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                        0, 0, hwnd(), reinterpret_cast<HMENU>(kStatusBarId), instance, nullptr);
  // No scroll bars: the one child is always maximised.
  CLIENTCREATESTRUCT client{nullptr, kFirstMdiChildId};
  mdiClient_ =
      ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                        hwnd(), reinterpret_cast<HMENU>(kMdiClientId), instance, &client);
  if (!mdiClient_) return false;
  if (toolBar_) {
    ::SendMessageW(toolBar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(toolBar_, TB_LOADIMAGES, IDB_STD_SMALL_COLOR,
                   reinterpret_cast<LPARAM>(HINST_COMMCTRL));
    for (const ToolButton& b : kToolButtons) {
      TBBUTTON button{};
      button.iBitmap = b.image;
      button.idCommand = static_cast<int>(b.command);
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
      button.iString = reinterpret_cast<INT_PTR>(L"");
      ::SendMessageW(toolBar_, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    }
  }
  return true;
}

bool CImgCompareMain::CreateImageChild() {
  std::unique_ptr<IHostedView> view =
      start_.createView ? start_.createView() : std::make_unique<CPlaceholderView>();
  auto child = std::make_unique<CImgChildFrame>(std::move(view));
  if (!child->Create(mdiClient_, hwnd())) return false;
  child_ = std::move(child);
  ::SendMessageW(mdiClient_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child_->hwnd()), 0);
  SetTitle();
  Layout();
  TakeCommandLine(start_.commandLine);
  return true;
}

LRESULT CImgCompareMain::OnSize(WPARAM wParam) {
  if (wParam != SIZE_MINIMIZED) Layout();
  return 0;  // not to DefFrameProc, which would give the MDI client the whole client area
}

void CImgCompareMain::Layout() {
  if (!hwnd() || !mdiClient_) return;
  RECT client;
  ::GetClientRect(hwnd(), &client);
  int top = 0;
  int bottom = client.bottom;
  if (toolBar_) {
    ::SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);
    RECT bar;
    ::GetWindowRect(toolBar_, &bar);
    top = bar.bottom - bar.top;
  }
  if (statusBar_) {
    ::SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT bar;
    ::GetWindowRect(statusBar_, &bar);
    bottom -= bar.bottom - bar.top;
    // Parts 1 to 3 are not used by this program; the cache line is the last.
    const int split = client.right > kCacheStatusWidth ? client.right - kCacheStatusWidth : 0;
    int parts[kCacheStatusPart + 1] = {split, split, split, split, -1};
    ::SendMessageW(statusBar_, SB_SETPARTS, std::size(parts), reinterpret_cast<LPARAM>(parts));
  }
  ::MoveWindow(mdiClient_, 0, top, client.right, bottom > top ? bottom - top : 0, TRUE);
}

void CImgCompareMain::SetTitle() {
  const CMyProfStr& store = Settings();
  const std::wstring portableWord = store.IsPortable() ? LangText(kTextPortable) : L"";
  title_ = FrameTitle(ProgramName(), ProgramVersion(), start_.instanceNumber, store.NameSuffix(),
                      portableWord);
  ::SetWindowTextW(hwnd(), title_.c_str());
}

void CImgCompareMain::LabelToolBar() {
  if (!toolBar_) return;
  for (const ToolButton& b : kToolButtons) {
    std::wstring label = PlainMenuText(LangText(b.text));
    TBBUTTONINFOW info{sizeof info};
    info.dwMask = TBIF_TEXT;
    info.pszText = label.data();
    ::SendMessageW(toolBar_, TB_SETBUTTONINFOW, b.command, reinterpret_cast<LPARAM>(&info));
  }
  ::SendMessageW(toolBar_, TB_AUTOSIZE, 0, 0);
}

LRESULT CImgCompareMain::OnCommand(WPARAM wParam, LPARAM lParam) {
  const UINT command = LOWORD(wParam);
  if (const auto it = commands_.find(command); it != commands_.end()) {
    const auto handler = it->second;  // a handler may replace itself
    handler();
    return 0;
  }
  if (command >= ID_LANGUAGE_FIRST && command <= ID_LANGUAGE_LAST) {
    ChooseLanguage(static_cast<int>(command - ID_LANGUAGE_FIRST));
    return 0;
  }
  CMyProfStr& store = Settings();
  switch (command) {
    case ID_START_MODE_DEFAULT:
    case ID_START_MODE_MAXIMIZED:
    case ID_START_MODE_LAST_PLACE:
    case ID_START_MODE_AS_CLOSED:
      store.WriteInt(L"Start", L"Max", static_cast<int>(command - ID_START_MODE_DEFAULT));
      return 0;
    case ID_CLOSE_ASK:
      store.WriteInt(L"Start", L"close_ask", store.ReadInt(L"Start", L"close_ask", 0) ? 0 : 1);
      return 0;
    case ID_RESTORE_PLACEMENT:
      RestorePlacement();
      return 0;
    case ID_APP_EXIT:
      ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
      return 0;
    case ID_HELP:
      OpenHelpPage(L"", CurrentLanguage());
      return 0;
    case ID_APP_ABOUT:
      CAboutDlg().Show(hwnd());
      return 0;
  }
  return DefaultMessage(WM_COMMAND, wParam, lParam);
}

void CImgCompareMain::ChooseLanguage(int language) {
  SetLanguage(language);  // translates the language frame's texts
  if (LanguageFrame() != this) RetranslateTexts();
}

LRESULT CImgCompareMain::OnInitMenuPopup(WPARAM wParam, LPARAM lParam) {
  const HMENU popup = reinterpret_cast<HMENU>(wParam);
  const CMyProfStr& store = Settings();
  const int mode = store.ReadInt(L"Start", L"Max", 3);
  for (UINT m = 0; m < 4; ++m)
    ::CheckMenuItem(popup, ID_START_MODE_DEFAULT + m,
                    MF_BYCOMMAND | (static_cast<int>(m) == mode ? MF_CHECKED : MF_UNCHECKED));
  ::CheckMenuItem(popup, ID_CLOSE_ASK,
                  MF_BYCOMMAND | (store.ReadInt(L"Start", L"close_ask", 0) ? MF_CHECKED : 0));
  for (const UINT command : kHookedCommands)
    ::EnableMenuItem(popup, command, MF_BYCOMMAND | (HasCommandHandler(command) ? 0 : MF_GRAYED));
  // The language items, by position: the item that opens this sub-menu carries a language command
  // too.
  const UINT current = ID_LANGUAGE_FIRST + static_cast<UINT>(CurrentLanguage());
  for (int i = 0, count = ::GetMenuItemCount(popup); i < count; ++i) {
    const UINT id = ::GetMenuItemID(popup, i);
    if (id >= ID_LANGUAGE_FIRST && id <= ID_LANGUAGE_LAST)
      ::CheckMenuItem(popup, static_cast<UINT>(i),
                      MF_BYPOSITION | (id == current ? MF_CHECKED : MF_UNCHECKED));
  }
  return DefaultMessage(WM_INITMENUPOPUP, wParam, lParam);
}

void CImgCompareMain::RestorePlacement() {
  if (placementRestored_) return;
  placementRestored_ = true;
  const PlacementPlan plan = PlanPlacement(Settings(), start_.showCommand);
  if (plan.systemPlace) {
    ::ShowWindow(hwnd(), SW_SHOW);
    return;
  }
  WINDOWPLACEMENT placement{sizeof placement};
  placement.flags = WPF_RESTORETOMAXIMIZED;
  placement.showCmd = static_cast<UINT>(plan.showCommand);
  placement.rcNormalPosition = {plan.normal.left, plan.normal.top, plan.normal.right,
                                plan.normal.bottom};
  ::SetWindowPlacement(hwnd(), &placement);
}

void CImgCompareMain::SavePlacement() {
  WINDOWPLACEMENT placement{sizeof placement};
  RECT normal;
  int show;
  if (::GetWindowPlacement(hwnd(), &placement)) {
    normal = placement.rcNormalPosition;
    show = static_cast<int>(placement.showCmd);
  } else {
    ::GetWindowRect(hwnd(), &normal);
    show = ::IsZoomed(hwnd()) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  }
  CMyProfStr& store = Settings();
  store.WriteString(L"Start", L"WinRC_MP", RectText(normal));
  store.WriteInt(L"Start", L"showCmd", show);
}

LRESULT CImgCompareMain::OnClose() {
  if (Settings().ReadInt(L"Start", L"close_ask", 0) != 0 && CCloseAskDlg().Ask(hwnd()) != IDOK)
    return 0;
  SavePlacement();
  ::DestroyWindow(hwnd());
  return 0;
}

LRESULT CImgCompareMain::OnDestroy() {
  Unregister();
  if (start_.endLoopOnDestroy) ::PostQuitMessage(0);
  return 0;
}

void CImgCompareMain::Unregister() {
  if (loop_) {
    loop_->RemoveMessageFilter(this);
    loop_->RemoveIdleHandler(this);
    loop_ = nullptr;
  }
  if (LanguageFrame() == this) {
    SetLanguageChangedHandler(nullptr);
    LanguageFrame() = nullptr;
  }
}

LRESULT CImgCompareMain::OnCopyData(LPARAM lParam) {
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!data || data->dwData != kHandOverData || !data->lpData) return 0;
  const auto commandLine =
      ReadHandOverPayload(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
  if (!commandLine) return 0;
  TakeCommandLine(*commandLine);
  if (::IsIconic(hwnd())) ::ShowWindow(hwnd(), SW_RESTORE);
  ::SetForegroundWindow(hwnd());
  return kHandOverData;
}

void CImgCompareMain::TakeCommandLine(const std::wstring& commandLine) {
  const std::wstring folder = FolderOfCommandLine(commandLine);
  if (folder.empty()) return;
  const auto attributes = platform::FileAttributes(folder);
  if (!attributes || (*attributes & platform::kAttrDirectory) == 0) return;
  folder_ = folder;
  if (IHostedView* view = HostedView()) view->TakeCommandLineFolder(folder_);
}

LRESULT CImgCompareMain::OnSetCacheStatus(LPARAM lParam) {
  const auto* text = reinterpret_cast<const wchar_t*>(lParam);
  SetCacheStatus(text ? text : L"");
  return TRUE;
}

}  // namespace app
