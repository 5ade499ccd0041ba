#include "comparewindow/CImgCmp2017.h"

#include <shlobj.h>

#include <algorithm>

#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "app/TextIds.h"
#include "comparewindow/CellEditRules.h"
#include "comparewindow/FileRename.h"
#include "comparewindow/PreviewCaptions.h"
#include "comparewindow/ResultColumns.h"
#include "comparewindow/ResultMenu_win.h"
#include "comparewindow/RowMarks.h"
#include "engine/PathList.h"
#include "engine/RunTexts.h"
#include "platform/FileSystem.h"
#include "platform/FolderDialog_win.h"
#include "resources/resource.h"

namespace comparewindow {
namespace {

using engine::PathBox;

// lParam: the request, a const std::function<void()>*.
constexpr UINT kMsgRunRequest = WM_APP + 16;

constexpr UINT kLanguagePollMs = 30;
constexpr UINT kBusyTickMs = 50;
constexpr UINT kWarningTickMs = 300;
constexpr UINT kCaptionDelayMs = 100;
constexpr int kBusyRange = 256;
constexpr int kBalloonWidth = 600;
// The drop-down of a folder field, below its edit part.
constexpr int kDropDownHeight = 300;
// A path box holds this much for the run; the folder buttons read more.
constexpr size_t kPathBoxChars = 254;
constexpr size_t kFieldChars = 1024;
constexpr size_t kPreviewPathChars = 1024;

constexpr int kFieldIds[2] = {IDC_FIELD_LEFT, IDC_FIELD_RIGHT};
constexpr int kHostIds[2] = {IDC_PREVIEW_LEFT, IDC_PREVIEW_RIGHT};

int Index(PathBox box) { return static_cast<int>(box); }
int Index(Side side) { return static_cast<int>(side); }

std::wstring Trim(const std::wstring& text) {
  const wchar_t* blanks = L" \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result;
  if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path)) && path) result = path;
  ::CoTaskMemFree(path);
  return result;
}

int TrackMenu(HMENU menu, POINT at, HWND owner) {
  return static_cast<int>(
      ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, at.x,
                       at.y, 0, owner, nullptr));
}

void MoveTo(HWND control, const Box& box) {
  ::MoveWindow(control, box.left, box.top, box.Width(), box.Height(), FALSE);
}

// The process's one balloon tip and the window its tool belongs to.
struct Balloon {
  HWND tip = nullptr;
  HWND toolWindow = nullptr;
};
Balloon& SharedBalloon() {
  static Balloon balloon;
  return balloon;
}

TOOLINFOW BalloonTool(HWND window) {
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
  tool.hwnd = window;
  tool.uId = 1;
  return tool;
}

// The balloon, made on first use (again when the window it belonged to went).
HWND EnsureBalloon(HWND window) {
  Balloon& balloon = SharedBalloon();
  if (!balloon.tip || !::IsWindow(balloon.tip)) {
    balloon.tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                    WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0, 0,
                                    0, window, nullptr, platform::ProgramInstance(), nullptr);
    balloon.toolWindow = nullptr;
    if (!balloon.tip) return nullptr;
    ::SendMessageW(balloon.tip, TTM_SETTITLEW, TTI_NONE,
                   reinterpret_cast<LPARAM>(app::LangText(app::kTextBalloonTitle).c_str()));
  }
  if (balloon.toolWindow != window) {
    if (balloon.toolWindow) {
      TOOLINFOW old = BalloonTool(balloon.toolWindow);
      ::SendMessageW(balloon.tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&old));
    }
    std::wstring text = app::LangText(app::kTextFieldHint);
    TOOLINFOW tool = BalloonTool(window);
    tool.lpszText = text.data();
    ::SendMessageW(balloon.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    balloon.toolWindow = window;
  }
  return balloon.tip;
}

}  // namespace

CImgCmp2017::CImgCmp2017(engine::PictureServicesFactory services)
    : texts_(app::LangText),
      folderChooser_(platform::ChooseFolder),
      menuChooser_(TrackMenu),
      controller_(*this, cache_, texts_, std::move(services)) {}

CImgCmp2017::~CImgCmp2017() {
  // The window's end stops the worker while everything it uses still exists.
  if (hwnd()) ::DestroyWindow(hwnd());
  EndRunForClosing();
}

HWND CImgCmp2017::CreateView(HWND parent) {
  return CreateModeless(platform::ProgramInstance(), IDD_COMPARE, parent);
}

bool CImgCmp2017::PreTranslateMessage(MSG& message) {
  if (message.message == WM_KEYDOWN && (message.wParam == VK_LEFT || message.wParam == VK_RIGHT))
    return OnArrowKey(message);
  return false;
}

void CImgCmp2017::Resize(const RECT& client) {
  ::MoveWindow(hwnd(), client.left, client.top, client.right - client.left,
               client.bottom - client.top, TRUE);
}

bool CImgCmp2017::TakeCommandLineFolder(const std::wstring& folder) {
  if (!hwnd()) return false;
  Field(PathBox::Right).SetText(folder);
  return true;
}

HWND CImgCmp2017::BalloonTip() { return SharedBalloon().tip; }

// ---------------------------------------------------------------------------
// Messages

INT_PTR CImgCmp2017::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CONTEXTMENU:
      return actions_.OnContextMenu(reinterpret_cast<HWND>(wParam), lParam);
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_TIMER:
      return OnTimer(wParam);
    case WM_SIZE:
      return OnSize();
    case WM_DESTROY:
      return OnDestroy();
    case kMsgRunRequest:
      return OnRunRequest(lParam);
  }
  return FALSE;
}

INT_PTR CImgCmp2017::OnInitDialog() {
  window_ = hwnd();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  ::ShowWindow(Item(IDC_SPARE_1252), SW_HIDE);
  ::ShowWindow(Item(IDC_SPARE_1253), SW_HIDE);

  options_.Load(app::Settings());

  ::SetWindowLongPtrW(hwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  list_.Attach(Item(IDC_RESULT_LIST));
  list_.SetUp();

  WireFolderFields();
  EnsureBalloon(hwnd());
  SetUpTexts();

  toolbars_.Create(hwnd(), list_.hwnd());
  RefreshLabels();
  ::SetDlgItemTextW(hwnd(), IDC_START_STOP, texts_(app::kTextStartSearch).c_str());

  CreatePreviews();

  ::SetDlgItemTextW(hwnd(), IDC_STATUS_LINE, texts_(app::kTextStatusReady).c_str());
  Layout();
  list_.AddColumns(texts_);
  shownLanguage_ = app::CurrentLanguage();
  ::SetTimer(hwnd(), kLanguageTimer, kLanguagePollMs, nullptr);
  return FALSE;  // the frame decides where the focus goes
}

INT_PTR CImgCmp2017::OnCommand(WORD id, WORD code, HWND sender) {
  switch (id) {
    case IDOK:
    case IDCANCEL:
      // Enter and Escape: the hosted window itself stays until the frame ends it.
      ReleasePanels();
      return TRUE;
    case IDC_START_STOP:
    case IDC_START_HIDDEN:
      if (code == BN_CLICKED) OnStartStop();
      return TRUE;
    case IDC_CHOOSE_LEFT:
      OnChooseFolder(PathBox::Left, false);
      return TRUE;
    case IDC_CHOOSE_RIGHT:
      OnChooseFolder(PathBox::Right, false);
      return TRUE;
    case IDC_ADD_LEFT:
      OnChooseFolder(PathBox::Left, true);
      return TRUE;
    case IDC_ADD_RIGHT:
      OnChooseFolder(PathBox::Right, true);
      return TRUE;
    case kSearchMagnifier:
      if (sender == toolbars_.SearchBar()) {
        // A command of the main frame.
        ::SendMessageW(::GetAncestor(hwnd(), GA_ROOT), WM_COMMAND, ID_TOOLS_MAGNIFIER, 0);
        return TRUE;
      }
      break;
  }
  if (OnListCommand(id)) return TRUE;
  if (const std::optional<Side> side = toolbars_.SideOf(sender)) {
    switch (id) {
      case kShowInExplorer:
        actions_.ShowInExplorer(*side);
        return TRUE;
      case kDeleteToRecycleBin:
        actions_.DeleteOne(*side);
        return TRUE;
      case kOpenWithProgram:
        actions_.OpenImage(*side);
        return TRUE;
    }
  }
  if (id == kCmdCopyOverPartner) {
    actions_.CopyOverPartners();
    return TRUE;
  }
  return FALSE;
}

INT_PTR CImgCmp2017::OnNotify(NMHDR& header) {
  if (header.hwndFrom == list_.hwnd()) {
    switch (header.code) {
      case LVN_GETDISPINFOW:
        list_.FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header), texts_);
        return TRUE;
      case LVN_ITEMCHANGED:
        OnListItemChanged(reinterpret_cast<NMLISTVIEW&>(header));
        return TRUE;
      case NM_CLICK:
        if (list_.FlipMarkAt(reinterpret_cast<NMITEMACTIVATE&>(header).ptAction))
          ScheduleCaptionRefresh();
        return TRUE;
      case NM_DBLCLK:
        OnCellDoubleClick(reinterpret_cast<NMITEMACTIVATE&>(header));
        return TRUE;
      case LVN_COLUMNCLICK:
        sort_.OnColumnClick(reinterpret_cast<NMLISTVIEW&>(header).iSubItem);
        return TRUE;
      case LVN_BEGINLABELEDITW:
        OnBeginLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header));
        ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, FALSE);  // the edit may go on
        return TRUE;
      case LVN_ENDLABELEDITW:
        OnEndLabelEdit(reinterpret_cast<NMLVDISPINFOW&>(header));
        return TRUE;
    }
    // The context menu comes with the actions on results.
    return FALSE;
  }
  if (header.hwndFrom == ListView_GetHeader(list_.hwnd())) {
    // Passed on by the list (CListCtrlHelp).
    if (header.code == HDN_ITEMSTATEICONCLICK &&
        list_.ClickHeaderBox(reinterpret_cast<NMHEADERW&>(header).iItem))
      ScheduleCaptionRefresh();
    return FALSE;
  }
  switch (header.code) {
    case TBN_DROPDOWN:
      ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT,
                          OnToolbarDropDown(reinterpret_cast<NMTOOLBARW&>(header)));
      return TRUE;
    case TBN_GETINFOTIPW:
      OnToolbarTip(reinterpret_cast<NMTBGETINFOTIPW&>(header));
      return TRUE;
  }
  return FALSE;
}

INT_PTR CImgCmp2017::OnTimer(UINT_PTR id) {
  switch (id) {
    case kLanguageTimer:
      OnLanguageTick();
      return TRUE;
    case kBusyTimer:
      ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, engine::BusyProgress::NextPosition(),
                            0);
      return TRUE;
    case kWarningTimer:
      OnWarningTick();
      return TRUE;
    case kCaptionTimer:
      ::KillTimer(hwnd(), kCaptionTimer);
      ShowRowInPreviews(list_.SelectionMark(), false);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CImgCmp2017::OnSize() {
  Layout();
  return TRUE;
}

INT_PTR CImgCmp2017::OnDestroy() {
  EndRunForClosing();
  for (UINT_PTR timer : {kLanguageTimer, kBusyTimer, kWarningTimer, kCaptionTimer})
    ::KillTimer(hwnd(), timer);
  if (warningTarget_ && SharedBalloon().toolWindow == hwnd()) {
    TOOLINFOW tool = BalloonTool(hwnd());
    ::SendMessageW(SharedBalloon().tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
  }
  for (int i = 0; i < 2; ++i) {
    if (!dropTargets_[i]) continue;
    ::RevokeDragDrop(fields_[i].hwnd());
    dropTargets_[i]->Detach();
    dropTargets_[i].Reset();
  }
  return FALSE;
}

INT_PTR CImgCmp2017::OnRunRequest(LPARAM lParam) {
  const auto* work = reinterpret_cast<const std::function<void()>*>(lParam);
  if (work && !closing_) (*work)();
  return TRUE;
}

// ---------------------------------------------------------------------------
// Opening

void CImgCmp2017::WireFolderFields() {
  const wchar_t* sections[2] = {L"Path1", L"Path2"};
  for (PathBox box : {PathBox::Left, PathBox::Right}) {
    C2017ComboBoxEx& field = Field(box);
    field.Attach(Item(kFieldIds[Index(box)]), sections[Index(box)]);
    ::DragAcceptFiles(field.hwnd(), TRUE);
    field.onDropFiles = [this, box](const std::vector<std::wstring>& paths) {
      OnDropOnField(box, paths, (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0);
    };
    dropTargets_[Index(box)].Attach(new CMCB_Drop(*this, box));
    ::RegisterDragDrop(field.hwnd(), dropTargets_[Index(box)].Get());
  }
  // First start: the documents and pictures folders in the drop-down, "C:\" in the field.
  C2017ComboBoxEx& right = Field(PathBox::Right);
  if (!right.HasHistory())
    for (const std::wstring& folder :
         {KnownFolder(FOLDERID_Documents), KnownFolder(FOLDERID_Pictures), std::wstring(L"C:\\")})
      right.Commit(folder);
  Field(PathBox::Left).LoadHistory();
  right.LoadHistory();
  RECT closed{};
  if (::GetWindowRect(right.hwnd(), &closed)) fieldHeight_ = closed.bottom - closed.top;
}

void CImgCmp2017::SetUpTexts() {
  ::SetDlgItemTextW(hwnd(), IDC_INFO_LEFT, kInfoLineAtOpening);
  ::SetDlgItemTextW(hwnd(), IDC_INFO_RIGHT, kInfoLineAtOpening);
  for (int id : {IDC_CAPTION_LEFT, IDC_CAPTION_RIGHT, IDC_STATUS_LINE})
    ::SetDlgItemTextW(hwnd(), id, L"...");
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    lineFont_.reset(::CreateFontIndirectW(&metrics.lfStatusFont));
  if (lineFont_)
    for (int id : {IDC_CAPTION_LEFT, IDC_CAPTION_RIGHT, IDC_STATUS_LINE})
      ::SendDlgItemMessageW(hwnd(), id, WM_SETFONT, reinterpret_cast<WPARAM>(lineFont_.get()),
                            FALSE);
  ::SetDlgItemTextW(hwnd(), IDC_PAIR_INFO, kPairInfoAtOpening);

  const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  platform::WindowDc dc(hwnd());
  TEXTMETRICW text{};
  {
    platform::SelectObjectGuard select(dc.get(), font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    if (::GetTextMetricsW(dc.get(), &text)) textHeight_ = text.tmHeight;
  }
}

void CImgCmp2017::CreatePreviews() {
  for (Side side : {Side::Left, Side::Right}) {
    const HWND host = Item(kHostIds[Index(side)]);
    RECT area{};
    ::GetWindowRect(host, &area);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);
    viewing::CPicWindow& pane = Preview(side);
    pane.Create(host, area);
    // Upside down until the first row is shown.
    pane.turned = side == Side::Right;
    pane.RequestPicture(viewing::kPlaceholderPicture, true);
  }
}

// ---------------------------------------------------------------------------
// Start and stop

void CImgCmp2017::OnStartStop() {
  if (closing_) return;
  toolbars_.EnableOptionBars(true);
  viewMode_ = kViewResultList;
  ShowView();
  RefreshLabels();
  Layout();
  controller_.OnStartStop(options_.ToCompareSettings());
}

void CImgCmp2017::EndRunForClosing() {
  closing_ = true;
  controller_.Stop();
  // The worker may be waiting for this thread to take a request: take them
  // (they are dropped now) until it has ended, then join it.
  while (controller_.WorkerActive()) {
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
  }
  controller_.Join();
}

void CImgCmp2017::OnWindowThread(const std::function<void()>& work) {
  const HWND window = window_.load();
  if (!window || closing_) return;
  ::SendMessageW(window, kMsgRunRequest, 0, reinterpret_cast<LPARAM>(&work));
}

std::wstring CImgCmp2017::PathBoxText(PathBox box) {
  std::wstring text;
  OnWindowThread([&] { text = Field(box).Text(kPathBoxChars); });
  return text;
}

void CImgCmp2017::FieldWarning(PathBox box, const std::wstring& message) {
  OnWindowThread([&] { StartFieldWarning(Field(box).hwnd(), message); });
}

void CImgCmp2017::AddToHistory(PathBox box, const std::wstring& text) {
  OnWindowThread([&] { Field(box).Commit(text); });
}

void CImgCmp2017::ShowDuplicateMessage(const std::wstring& path) {
  OnWindowThread([&] { ::MessageBoxW(hwnd(), path.c_str(), L"", MB_OK); });
}

void CImgCmp2017::SetLine(engine::TextLine line, const std::wstring& text) {
  const int id = line == engine::TextLine::Status   ? IDC_STATUS_LINE
                 : line == engine::TextLine::Detail ? IDC_CAPTION_LEFT
                                                    : IDC_CAPTION_RIGHT;
  OnWindowThread([&] { ::SetDlgItemTextW(hwnd(), id, text.c_str()); });
}

void CImgCmp2017::SetStartStopLabel(const std::wstring& text) {
  OnWindowThread([&] { ::SetDlgItemTextW(hwnd(), IDC_START_STOP, text.c_str()); });
}

void CImgCmp2017::BusyProgress() {
  OnWindowThread([&] {
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, kBusyRange));
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
    ::SetTimer(hwnd(), kBusyTimer, kBusyTickMs, nullptr);
  });
}

void CImgCmp2017::DeterminateProgress(int range) {
  OnWindowThread([&] {
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE, 0,
                          MAKELPARAM(0, static_cast<WORD>(range)));
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
  });
}

void CImgCmp2017::ProgressDone() {
  OnWindowThread([&] {
    ::KillTimer(hwnd(), kBusyTimer);
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, kBusyRange));
    ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, kBusyRange, 0);
  });
}

void CImgCmp2017::SetProgressPosition(int position) {
  OnWindowThread([&] { ::SendDlgItemMessageW(hwnd(), IDC_PROGRESS, PBM_SETPOS, position, 0); });
}

void CImgCmp2017::DeleteAllRows() {
  OnWindowThread([&] {
    list_.DeleteAllRows();
    previewedRow_ = -1;
    PlaceRowToolbars(-1);
  });
}

void CImgCmp2017::AppendRow(const engine::MatchPair& pair) {
  OnWindowThread([&] { list_.AppendRow(pair); });
}

void CImgCmp2017::SetListRedraw(bool on) {
  OnWindowThread([&] {
    ::SendMessageW(list_.hwnd(), WM_SETREDRAW, on, 0);
    if (on) ::InvalidateRect(list_.hwnd(), nullptr, TRUE);
  });
}

void CImgCmp2017::SortBy(int column, bool descending) {
  OnWindowThread([&] { sort_.SortBy(column, descending); });
}

void CImgCmp2017::SetRunning(bool running) {
  OnWindowThread([&] {
    runningShown_ = running;
    ::SetDlgItemTextW(hwnd(), IDC_START_STOP,
                      texts_(running ? app::kTextStop : app::kTextStartSearch).c_str());
    toolbars_.EnableOptionBars(!running);
    for (int id : {IDC_CHOOSE_LEFT, IDC_CHOOSE_RIGHT, IDC_ADD_LEFT, IDC_ADD_RIGHT, IDC_FIELD_LEFT,
                   IDC_FIELD_RIGHT})
      ::EnableWindow(Item(id), !running);
  });
}

void CImgCmp2017::ShowCacheStatus(const std::wstring& text) {
  OnWindowThread([&] { app::ShowCacheStatusLine(hwnd(), text); });
}

// ---------------------------------------------------------------------------
// Options and layout

LRESULT CImgCmp2017::OnToolbarDropDown(const NMTOOLBARW& notice) {
  const std::optional<ToolbarId> bar = toolbars_.Identify(notice.hdr.hwndFrom);
  if (!bar) return TBDDRET_NODEFAULT;
  const std::vector<OptionMenuItem> items = OptionMenu(bar->bar, notice.iItem, texts_);
  if (items.empty()) return TBDDRET_NODEFAULT;
  platform::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return TBDDRET_DEFAULT;
  for (const OptionMenuItem& item : items) {
    if (item.separator)
      ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    else
      ::AppendMenuW(menu.get(), MF_STRING | (item.enabled ? 0 : MF_GRAYED),
                    static_cast<UINT_PTR>(item.command), item.text.c_str());
  }
  const POINT at = toolbars_.MenuPoint(notice.hdr.hwndFrom, notice.iItem);
  const int command = menuChooser_ ? menuChooser_(menu.get(), at, hwnd()) : 0;
  if (command != 0) ApplyChoice(bar->bar, notice.iItem, command);
  return TBDDRET_DEFAULT;
}

void CImgCmp2017::OnToolbarTip(NMTBGETINFOTIPW& tip) {
  if (!tip.pszText || tip.cchTextMax <= 0) return;
  const std::wstring text = toolbars_.Identify(tip.hdr.hwndFrom)
                                ? toolbars_.Label(tip.hdr.hwndFrom, tip.iItem)
                                : CompareToolbars::RowButtonTip(tip.iItem, texts_);
  const size_t length = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
  text.copy(tip.pszText, length);
  tip.pszText[length] = L'\0';
}

void CImgCmp2017::ApplyChoice(OptionBar bar, int button, int command) {
  const OptionChoice choice = ApplyOptionChoice(bar, button, command, options_, viewMode_);
  if (!choice) return;
  if (choice.viewMode) ShowView();
  if (choice.rebuildPreviews) RebuildPreviews();
  if (choice.layout || choice.viewMode) Layout();
  if (choice.changed) choice.changed->Save();
  RefreshLabels();
}

void CImgCmp2017::RefreshLabels() { toolbars_.SetLabels(options_, viewMode_, texts_); }

void CImgCmp2017::Layout() {
  if (!hwnd() || !toolbars_.SearchBar()) return;
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const CompareLayout layout =
      LayOutCompareWindow({client.right, client.bottom, options_.TwoFolders(), textHeight_,
                           fieldHeight_, toolbars_.BarHeight()});

  MoveTo(Item(IDC_STATUS_LINE), layout.status);
  MoveTo(Item(IDC_PROGRESS), layout.progress);
  const struct {
    int id;
    const Box& box;
  } folderRow[] = {{IDC_FIELD_LEFT, layout.leftField},     {IDC_CHOOSE_LEFT, layout.leftChoose},
                   {IDC_ADD_LEFT, layout.leftAdd},         {IDC_FIELD_RIGHT, layout.rightField},
                   {IDC_CHOOSE_RIGHT, layout.rightChoose}, {IDC_ADD_RIGHT, layout.rightAdd}};
  for (const auto& [id, box] : folderRow) {
    Box placed = box;
    // A combo box's height includes its drop-down.
    if (id == IDC_FIELD_LEFT || id == IDC_FIELD_RIGHT) placed.bottom += kDropDownHeight;
    MoveTo(Item(id), placed);
    ::ShowWindow(Item(id), box.visible ? SW_SHOWNA : SW_HIDE);
  }
  MoveTo(Item(IDC_START_STOP), layout.startStop);
  MoveTo(Item(IDC_PAIR_INFO), layout.infoBox);
  MoveTo(Item(IDC_CAPTION_LEFT), layout.leftCaption);
  MoveTo(Item(IDC_CAPTION_RIGHT), layout.rightCaption);
  MoveTo(Item(IDC_PREVIEW_LEFT), layout.leftPreview);
  MoveTo(Item(IDC_PREVIEW_RIGHT), layout.rightPreview);
  LayOutPreviewHost(Side::Left);
  LayOutPreviewHost(Side::Right);
  MoveTo(Item(IDC_INFO_LEFT), layout.leftInfo);
  MoveTo(Item(IDC_INFO_RIGHT), layout.rightInfo);
  toolbars_.Place(toolbars_.PreviewBar(Side::Left), layout.leftPreviewBar);
  toolbars_.Place(toolbars_.PreviewBar(Side::Right), layout.rightPreviewBar);
  toolbars_.Place(toolbars_.SearchBar(), layout.searchBar);
  toolbars_.Place(toolbars_.MatchBar(), layout.matchBar);
  MoveTo(list_.hwnd(), layout.list);
  if (viewPanel_.exists()) MoveTo(viewPanel_.hwnd(), layout.list);
  PlaceRowToolbars(previewedRow_);
  // Moved statics keep their old pixels (centred texts most visibly): paint all anew.
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CImgCmp2017::LayOutPreviewHost(Side side) {
  const HWND host = Item(kHostIds[Index(side)]);
  RECT client{};
  ::GetClientRect(host, &client);
  const PreviewHostLayout split =
      comparewindow::LayOutPreviewHost(client.right, client.bottom, options_.preview_mode.value);
  if (Preview(side).hwnd()) MoveTo(Preview(side).hwnd(), split.pane);
  FolderFilesPanel& panel = PreviewPanel(side);
  if (panel.exists()) {
    MoveTo(panel.hwnd(), split.panel);
    ::ShowWindow(panel.hwnd(), split.panel.visible ? SW_SHOWNA : SW_HIDE);
  }
}

// The result list, or the file panel in its place (made on first use).
void CImgCmp2017::ShowView() {
  const bool panel = viewMode_ == kViewFilePanel;
  if (panel && !viewPanel_.exists()) {
    viewPanel_.Create(hwnd(), reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
    RECT area{};
    ::GetWindowRect(list_.hwnd(), &area);
    ::MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&area), 2);
    ::MoveWindow(viewPanel_.hwnd(), area.left, area.top, area.right - area.left,
                 area.bottom - area.top, FALSE);
  }
  if (panel && !PreviewedPath(Side::Left).empty())
    viewPanel_.ShowFolderOf(PreviewedPath(Side::Left));
  ::ShowWindow(list_.hwnd(), panel ? SW_HIDE : SW_SHOWNA);
  if (viewPanel_.exists()) ::ShowWindow(viewPanel_.hwnd(), panel ? SW_SHOWNA : SW_HIDE);
}

void CImgCmp2017::RebuildPreviews() {
  if (options_.preview_mode.value == 2) {
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
    for (Side side : {Side::Left, Side::Right}) {
      FolderFilesPanel& panel = PreviewPanel(side);
      if (!panel.exists()) panel.Create(Item(kHostIds[Index(side)]), font);
      if (!PreviewedPath(side).empty()) panel.ShowFolderOf(PreviewedPath(side));
    }
  }
  LayOutPreviewHost(Side::Left);
  LayOutPreviewHost(Side::Right);
}

void CImgCmp2017::ReleasePanels() {
  viewPanel_.Release();
  for (FolderFilesPanel& panel : previewPanels_) panel.Release();
}

// ---------------------------------------------------------------------------
// Folder fields

void CImgCmp2017::OnChooseFolder(PathBox box, bool append) {
  C2017ComboBoxEx& field = Field(box);
  std::wstring text = field.Text(kFieldChars);
  const std::wstring start = engine::NormalizePathList(text);
  const std::optional<std::wstring> chosen =
      folderChooser_ ? folderChooser_(hwnd(), start) : std::nullopt;
  if (!chosen) return;
  if (append)
    AppendFolder(field, *chosen);
  else
    field.Commit(*chosen);
}

void CImgCmp2017::AppendFolder(C2017ComboBoxEx& field, const std::wstring& folder) {
  std::wstring text = Trim(field.Text(kFieldChars)) + L";" + folder;
  engine::NormalizePathList(text);
  field.Commit(text);
}

void CImgCmp2017::OnDropOnField(PathBox box, const std::vector<std::wstring>& paths,
                                bool leftButtonDown) {
  if (closing_ || runningShown_) return;  // the fields are disabled during a run
  C2017ComboBoxEx& field = Field(box);
  for (size_t i = 0; i < paths.size(); ++i) {
    if (i == 0 && leftButtonDown)
      field.Commit(paths[i]);
    else
      AppendFolder(field, paths[i]);
  }
}

void CImgCmp2017::StartFieldWarning(HWND control, const std::wstring& message) {
  // A warning moving to another field leaves the first one in its normal colours.
  if (warningTarget_ && warningTarget_ != control) SetWarningColour(warningTarget_, false);
  if (const HWND tip = EnsureBalloon(hwnd())) {
    TOOLINFOW tool = BalloonTool(hwnd());
    std::wstring text = message;
    tool.lpszText = text.data();
    ::SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    ::SendMessageW(tip, TTM_SETTITLEW, TTI_INFO,
                   reinterpret_cast<LPARAM>(texts_(app::kTextCheckEntry).c_str()));
    ::SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, kBalloonWidth);
    ::SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    // Its lower left corner at the control's upper left corner.
    RECT control_area{}, tip_area{};
    ::GetWindowRect(control, &control_area);
    ::GetWindowRect(tip, &tip_area);
    ::SendMessageW(
        tip, TTM_TRACKPOSITION, 0,
        MAKELPARAM(control_area.left, control_area.top - (tip_area.bottom - tip_area.top)));
  }
  warningTarget_ = control;
  warningCounter_ = kWarningSteps;
  ::SetTimer(hwnd(), kWarningTimer, kWarningTickMs, nullptr);
}

void CImgCmp2017::OnWarningTick() {
  ::KillTimer(hwnd(), kWarningTimer);
  if (!warningTarget_) return;
  --warningCounter_;
  if (warningCounter_ < 1) {
    TOOLINFOW tool = BalloonTool(hwnd());
    if (SharedBalloon().toolWindow == hwnd())
      ::SendMessageW(SharedBalloon().tip, TTM_TRACKACTIVATE, FALSE,
                     reinterpret_cast<LPARAM>(&tool));
  } else {
    ::SetTimer(hwnd(), kWarningTimer, kWarningTickMs, nullptr);
  }
  SetWarningColour(warningTarget_, warningCounter_ % 2 == 1);
}

void CImgCmp2017::SetWarningColour(HWND control, bool on) {
  ::SendMessageW(control, C2017ComboBoxEx::kMsgWarningColour, C2017ComboBoxEx::kWarningColourTag,
                 on ? 1 : 0);
}

void CImgCmp2017::CMCB_Drop::OnDropPaths(const std::vector<std::wstring>& paths) {
  // Read now: a left button still down replaces the field's text.
  const bool leftButtonDown = (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
  if (window_) window_->OnDropOnField(box_, paths, leftButtonDown);
}

// ---------------------------------------------------------------------------
// Result list and previews

void CImgCmp2017::OnListItemChanged(const NMLISTVIEW& change) {
  if (!(change.uChanged & (LVIF_STATE | LVIF_IMAGE))) return;
  const bool selectionChanged = ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0;
  if ((change.uChanged & LVIF_STATE) && selectionChanged) {
    if (change.uNewState & LVIS_SELECTED) {
      PlaceRowToolbars(change.iItem);
      ShowRowInPreviews(change.iItem, true);
    }
    return;
  }
  // A mark (image) or check state changed: the captions follow, the pictures stay.
  const bool markChanged = (change.uChanged & LVIF_IMAGE) != 0 ||
                           ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) != 0;
  if (markChanged && change.iItem >= 0 && change.iItem == list_.SelectionMark())
    ShowRowInPreviews(change.iItem, false);
}

bool CImgCmp2017::OnArrowKey(const MSG& message) {
  const bool repeat = (message.lParam & (1 << 30)) != 0;
  if (options_.m_LeftRightSel.value != 1 || repeat || ::GetFocus() != list_.hwnd()) return false;
  for (int modifier : {VK_SHIFT, VK_CONTROL, VK_MENU})
    if (::GetKeyState(modifier) < 0) return false;
  // Swallowed even on an empty list, so the key never scrolls it instead.
  if (list_.RowCount() == 0) return true;
  list_.FlipSelectedMarks(message.wParam == VK_LEFT ? kMarkColumnLeft : kMarkColumnRight);
  ScheduleCaptionRefresh();
  return true;
}

bool CImgCmp2017::OnListCommand(int id) {
  switch (id) {
    case kCmdInvertMarks:
      list_.ChangeMarks([](int, RowMarks marks) { return Inverted(marks); });
      break;
    case kCmdSwapMarks:
      list_.ChangeMarks([](int, RowMarks marks) { return Swapped(marks); });
      break;
    case kCmdMarkAutomatically:
      list_.ChangeMarks([this](int row, RowMarks marks) {
        const engine::MatchPair* pair = list_.PairOf(row);
        return pair ? AutoMarks(*pair) : marks;
      });
      break;
    case kCmdRemoveSelectedRows:
    case kCmdRemoveMarkedRows:
    case kCmdRemoveUnmarkedRows: {
      const RowRemoval removal = id == kCmdRemoveSelectedRows ? RowRemoval::Selected
                                 : id == kCmdRemoveMarkedRows ? RowRemoval::Marked
                                                              : RowRemoval::Unmarked;
      if (list_.RemoveRows(removal)) PlaceRowToolbars(list_.SelectionMark());
      return true;
    }
    default:
      return false;
  }
  ScheduleCaptionRefresh();
  return true;
}

void CImgCmp2017::OnCellDoubleClick(const NMITEMACTIVATE& click) {
  if (const std::optional<EditCell> cell = list_.CellAt(click.ptAction))
    list_.StartEdit(cell->row, cell->column);
}

void CImgCmp2017::OnBeginLabelEdit(const NMLVDISPINFOW& info) {
  const EditStart start =
      EditStartFor(info.item.iSubItem, list_.Text(info.item.iItem, info.item.iSubItem));
  if (start.renames) {
    editingCell_ = true;
    PlaceRowToolbars(list_.SelectionMark());
  }
  list_.Editor().SetText(start.text, start.selection);
}

void CImgCmp2017::OnEndLabelEdit(const NMLVDISPINFOW& info) {
  const int column = info.item.iSubItem;
  if (column != kMarkColumnLeft && column != kMarkColumnRight) return;
  editingCell_ = false;
  if (info.item.pszText) RenameImage(info.item.iItem, column, info.item.pszText);
  PlaceRowToolbars(list_.SelectionMark());
}

void CImgCmp2017::RenameImage(int row, int column, const std::wstring& name) {
  const engine::MatchPair* pair = list_.PairOf(row);
  if (!pair || !IsPlainFileName(name)) return;
  // The entries belong to this window's last run; rows and pairs only point at them.
  auto* entry =
      const_cast<engine::ImageEntry*>(column == kMarkColumnLeft ? pair->first : pair->second);
  const std::wstring from = entry->Path();
  const std::optional<std::wstring> renamed = RenameWithCollisionNames(
      from, RenamedPath(from, name), [](const std::wstring& source, const std::wstring& target) {
        // A path the record cannot hold would leave the rows naming a file that is gone.
        return engine::FitsPathField(target) && platform::MoveFileNoReplace(source, target);
      });
  if (!renamed || !entry->SetPath(*renamed)) return;
  for (std::wstring& path : previewedPaths_)
    if (path == from) path = *renamed;
  if (previewedPaths_[Index(Side::Left)] == *renamed)
    ::SetDlgItemTextW(hwnd(), IDC_CAPTION_LEFT, renamed->c_str());
  ::InvalidateRect(list_.hwnd(), nullptr, FALSE);
}

void CImgCmp2017::ShowRowInPreviews(int row, bool load) {
  const engine::MatchPair* pair = list_.PairOf(row);
  if (!pair) return;
  previewedRow_ = row;
  if (load) {
    const bool panels = options_.preview_mode.value != 0;
    for (Side side : {Side::Left, Side::Right}) {
      const std::wstring path = list_.Text(row, Index(side), kPreviewPathChars);
      previewedPaths_[Index(side)] = path;
      if (side == Side::Left)
        ::SetDlgItemTextW(hwnd(), IDC_CAPTION_LEFT, path.c_str());
      else
        Preview(side).turned = false;
      Preview(side).RequestPicture(path, false);
      if (panels) PreviewPanel(side).ShowFolderOf(path);
    }
    if (viewMode_ == kViewFilePanel) viewPanel_.ShowFolderOf(previewedPaths_[0]);
  }
  const bool leftMarked = list_.Mark(row, kMarkColumnLeft) == 1;
  const bool rightMarked = list_.Mark(row, kMarkColumnRight) == 1;
  ::SetDlgItemTextW(hwnd(), IDC_INFO_RIGHT, InfoLine(*pair->second, rightMarked).c_str());
  ::SetDlgItemTextW(hwnd(), IDC_INFO_LEFT, InfoLine(*pair->first, leftMarked).c_str());
  ::SetDlgItemTextW(hwnd(), IDC_PAIR_INFO, PairInfo(*pair).c_str());
}

std::optional<std::wstring> CImgCmp2017::AskForFolder(const std::wstring& start) {
  return folderChooser_ ? folderChooser_(hwnd(), start) : std::nullopt;
}

int CImgCmp2017::ChooseFromMenu(HMENU menu, POINT at) {
  return menuChooser_ ? menuChooser_(menu, at, hwnd()) : 0;
}

void CImgCmp2017::ScheduleCaptionRefresh() {
  ::SetTimer(hwnd(), kCaptionTimer, kCaptionDelayMs, nullptr);
}

void CImgCmp2017::PlaceRowToolbars(int row) {
  if (options_.m_ShowListToolbar.value != 1 || editingCell_ || row < 0 || row >= list_.RowCount()) {
    toolbars_.ShowRowBars(false);
    return;
  }
  for (Side side : {Side::Left, Side::Right})
    toolbars_.PlaceRowBar(side, list_.CellLabelRect(row, Index(side)));
  toolbars_.ShowRowBars(true);
}

void CImgCmp2017::SetShowListToolbar(bool show) {
  options_.m_ShowListToolbar.value = show ? 1 : 0;
  options_.m_ShowListToolbar.Save();
  PlaceRowToolbars(list_.SelectionMark());
}

void CImgCmp2017::OnLanguageTick() {
  const int language = app::CurrentLanguage();
  if (language == shownLanguage_) return;
  shownLanguage_ = language;
  list_.SetColumnTitles(0, 5, texts_);
  // The label of the state the button is in (a run may be going).
  ::SetDlgItemTextW(hwnd(), IDC_START_STOP,
                    texts_(runningShown_ ? app::kTextStop : app::kTextStartSearch).c_str());
  RefreshLabels();
}

}  // namespace comparewindow
