#include "comparewindow/CompareToolbars.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "app/TextIds.h"
#include "platform/Window_win.h"

namespace comparewindow {
namespace {

// Control ids of the toolbar windows (the buttons carry the command ids).
constexpr int kSearchBarId = 2001;
constexpr int kMatchBarId = 2002;
constexpr int kPreviewBarIds[2] = {2003, 2004};
constexpr int kRowBarIds[2] = {2005, 2006};
constexpr int kIconSize = 16;
constexpr int kImageExplorer = 0;
constexpr int kImageRecycleBin = 1;
constexpr int kRowAbove = 3;
constexpr int kRowBelow = 2;
// Resource ids of the shell's own folder and recycle bin icons.
constexpr int kShellFolderIcon = 4;
constexpr int kShellRecycleBinIcons[] = {32, 33};

HICON SmallIconOf(const wchar_t* file, int index) {
  HICON icon = nullptr;
  return ::ExtractIconExW(file, index, nullptr, &icon, 1) > 0 ? icon : nullptr;
}

HICON StockIcon(SHSTOCKICONID id) {
  SHSTOCKICONINFO info{sizeof info};
  return SUCCEEDED(::SHGetStockIconInfo(id, SHGSI_ICON | SHGSI_SMALLICON, &info)) ? info.hIcon
                                                                                  : nullptr;
}

// The small icon of the system's explorer program; a folder of the shell where
// that program carries none.
HICON ExplorerIcon() {
  wchar_t windows[MAX_PATH] = {};
  if (::GetWindowsDirectoryW(windows, MAX_PATH))
    if (HICON icon = SmallIconOf((std::wstring(windows) + L"\\explorer.exe").c_str(), 0))
      return icon;
  if (HICON icon = StockIcon(SIID_FOLDEROPEN)) return icon;
  return SmallIconOf(L"shell32.dll", -kShellFolderIcon);
}

HICON RecycleBinIcon() {
  if (HICON icon = StockIcon(SIID_RECYCLER)) return icon;
  for (int id : kShellRecycleBinIcons)
    if (HICON icon = SmallIconOf(L"shell32.dll", -id)) return icon;
  return nullptr;
}

void AddIcon(HIMAGELIST images, HICON icon) {
  if (!icon) {
    // Keeps the image indexes: a see-through picture in place of the missing icon.
    uint8_t transparent[kIconSize * kIconSize / 8];
    uint8_t none[kIconSize * kIconSize / 8] = {};
    std::fill(std::begin(transparent), std::end(transparent), 0xFF);
    platform::UniqueIcon blank(
        ::CreateIcon(nullptr, kIconSize, kIconSize, 1, 1, transparent, none));
    ImageList_AddIcon(images, blank.get());
    return;
  }
  ImageList_AddIcon(images, icon);
  ::DestroyIcon(icon);
}

struct Button {
  int command;
  int image;  // I_IMAGENONE for a label only
  BYTE style;
  bool enabled = true;
};

HWND MakeToolbar(HWND parent, int id, HIMAGELIST images, const std::vector<Button>& buttons,
                 bool labels) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                      (labels ? TBSTYLE_LIST : 0) | CCS_NORESIZE | CCS_NOPARENTALIGN |
                      CCS_NODIVIDER;
  const HWND bar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 0, 0, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     platform::ProgramInstance(), nullptr);
  if (!bar) return nullptr;
  ::SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(bar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  if (images)
    ::SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  else
    ::SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, kIconSize));
  std::vector<TBBUTTON> items;
  for (const Button& button : buttons) {
    TBBUTTON item{};
    item.iBitmap = button.image;
    item.idCommand = button.command;
    item.fsState = button.enabled ? TBSTATE_ENABLED : 0;
    item.fsStyle = button.style | (labels ? BTNS_SHOWTEXT : 0);
    item.iString = -1;
    items.push_back(item);
  }
  ::SendMessageW(bar, TB_ADDBUTTONSW, items.size(), reinterpret_cast<LPARAM>(items.data()));
  return bar;
}

constexpr BYTE kOption = BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN;
constexpr BYTE kPlain = BTNS_BUTTON;
// Preview toolbar buttons are as wide as their labels.
constexpr BYTE kOptionFitted = kOption | BTNS_AUTOSIZE;
constexpr BYTE kPlainFitted = kPlain | BTNS_AUTOSIZE;

void SetLabel(HWND bar, int button, const std::wstring& text) {
  TBBUTTONINFOW info{sizeof info};
  info.dwMask = TBIF_TEXT;
  info.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(bar, TB_SETBUTTONINFOW, button, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

bool CompareToolbars::Create(HWND dialog, HWND list) {
  search_ = MakeToolbar(dialog, kSearchBarId, nullptr,
                        {{kSearchViewMode, I_IMAGENONE, kOption},
                         {kSearchSimilarity, I_IMAGENONE, kOption},
                         {kSearchSubfolders, I_IMAGENONE, kOption},
                         {kSearchUnused, I_IMAGENONE, kPlain, false},
                         {kSearchMagnifier, I_IMAGENONE, kPlain}},
                        true);
  match_ = MakeToolbar(dialog, kMatchBarId, nullptr,
                       {{kMatchCompareMode, I_IMAGENONE, kOption},
                        {kMatchRule, I_IMAGENONE, kOption},
                        {kMatchRotated, I_IMAGENONE, kOption},
                        {kMatchFlipped, I_IMAGENONE, kOption},
                        {kMatchNegative, I_IMAGENONE, kOption}},
                       true);

  previewImages_.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 1, 0));
  AddIcon(previewImages_.get(), ExplorerIcon());
  rowImages_.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 2, 0));
  AddIcon(rowImages_.get(), ExplorerIcon());
  AddIcon(rowImages_.get(), RecycleBinIcon());
  for (int side = 0; side < 2; ++side) {
    preview_[side] = MakeToolbar(dialog, kPreviewBarIds[side], previewImages_.get(),
                                 {{kPreviewMode, I_IMAGENONE, kOptionFitted},
                                  {kShowInExplorer, kImageExplorer, kPlainFitted},
                                  {kDeleteToRecycleBin, I_IMAGENONE, kPlainFitted},
                                  {kOpenWithProgram, I_IMAGENONE, kPlainFitted}},
                                 true);
    row_[side] = MakeToolbar(list, kRowBarIds[side], rowImages_.get(),
                             {{kShowInExplorer, kImageExplorer, kPlain},
                              {kDeleteToRecycleBin, kImageRecycleBin, kPlain}},
                             false);
    // Commands and tool tip requests go to the dialog, which tells the side by the sender.
    if (row_[side]) {
      ::SendMessageW(row_[side], TB_SETPARENT, reinterpret_cast<WPARAM>(dialog), 0);
      ::ShowWindow(row_[side], SW_HIDE);
    }
  }
  return search_ && match_ && preview_[0] && preview_[1] && row_[0] && row_[1];
}

HWND CompareToolbars::Bar(OptionBar bar, Side side) const {
  switch (bar) {
    case OptionBar::Search:
      return search_;
    case OptionBar::Match:
      return match_;
    case OptionBar::Preview:
      return PreviewBar(side);
  }
  return nullptr;
}

std::optional<ToolbarId> CompareToolbars::Identify(HWND toolbar) const {
  if (!toolbar) return std::nullopt;
  if (toolbar == search_) return ToolbarId{OptionBar::Search};
  if (toolbar == match_) return ToolbarId{OptionBar::Match};
  for (Side side : {Side::Left, Side::Right})
    if (toolbar == PreviewBar(side)) return ToolbarId{OptionBar::Preview, side};
  return std::nullopt;
}

std::optional<Side> CompareToolbars::SideOf(HWND toolbar) const {
  for (Side side : {Side::Left, Side::Right})
    if (toolbar && (toolbar == PreviewBar(side) || toolbar == RowBar(side))) return side;
  return std::nullopt;
}

void CompareToolbars::SetLabels(const CompareWindowSettings& settings, int viewMode,
                                const engine::TextLookup& texts) {
  for (int button = kSearchViewMode; button <= kSearchMagnifier; ++button) {
    SetLabel(search_, button, OptionLabel(OptionBar::Search, button, settings, viewMode, texts));
    SetLabel(match_, button, OptionLabel(OptionBar::Match, button, settings, viewMode, texts));
  }
  for (Side side : {Side::Left, Side::Right})
    for (int button = kPreviewMode; button <= kOpenWithProgram; ++button)
      SetLabel(PreviewBar(side), button,
               OptionLabel(OptionBar::Preview, button, settings, viewMode, texts));
}

std::wstring CompareToolbars::Label(HWND toolbar, int button) const {
  const LRESULT length = ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, button, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, button, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::wstring CompareToolbars::RowButtonTip(int button, const engine::TextLookup& texts) {
  return texts(button == kShowInExplorer ? app::kTextShowInExplorer : app::kTextDelete);
}

void CompareToolbars::EnableOptionBars(bool enabled) {
  ::EnableWindow(search_, enabled);
  ::EnableWindow(match_, enabled);
}

int CompareToolbars::BarHeight() const {
  int height = 0;
  for (HWND bar : {search_, match_, preview_[0], preview_[1]})
    height =
        std::max(height, static_cast<int>(HIWORD(::SendMessageW(bar, TB_GETBUTTONSIZE, 0, 0))));
  return height;
}

void CompareToolbars::Place(HWND toolbar, const Box& box) {
  ::MoveWindow(toolbar, box.left, box.top, box.Width(), box.Height(), TRUE);
  if (toolbar != search_ && toolbar != match_) return;
  const int count = static_cast<int>(::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
  if (count <= 0) return;
  const int width = box.Width() / count;
  for (int index = 0; index < count; ++index) {
    TBBUTTONINFOW info{sizeof info};
    info.dwMask = TBIF_SIZE | TBIF_BYINDEX;
    info.cx = static_cast<WORD>(std::max(0, width));
    ::SendMessageW(toolbar, TB_SETBUTTONINFOW, index, reinterpret_cast<LPARAM>(&info));
  }
}

POINT CompareToolbars::MenuPoint(HWND toolbar, int button) const {
  RECT rect{};
  ::SendMessageW(toolbar, TB_GETRECT, button, reinterpret_cast<LPARAM>(&rect));
  POINT point{rect.left, rect.bottom};
  ::ClientToScreen(toolbar, &point);
  return point;
}

void CompareToolbars::PlaceRowBar(Side side, const RECT& cell) {
  const int index = static_cast<int>(side);
  const HWND bar = row_[index];
  if (!bar || ::EqualRect(&cell, &rowCell_[index])) return;
  rowCell_[index] = cell;
  const int count = static_cast<int>(::SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  RECT last{};
  if (count > 0) ::SendMessageW(bar, TB_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
  const int width = last.right;
  ::SetWindowPos(bar, HWND_TOP, cell.right - width, cell.top - kRowAbove, width,
                 cell.bottom - cell.top + kRowAbove + kRowBelow, SWP_NOACTIVATE);
}

void CompareToolbars::ShowRowBars(bool show) {
  for (HWND bar : row_) ::ShowWindow(bar, show ? SW_SHOWNA : SW_HIDE);
}

}  // namespace comparewindow
