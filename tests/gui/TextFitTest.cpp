// Nothing is cut: in every interface language, every label of the main
// frame, the compare window, its option menus, the result list's menu, the
// close question, the about box and the translation editor fits its control
// in a 1024 x 768 frame. A label's text extent in the control's own font is
// held against the control's client width, less what the control draws
// besides the text (a button's frame, a check box, a drop-down arrow).
//
// The run's status, detail and statistics lines, the paths and the picture
// information are contents, not labels: they end in an ellipsis by design.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/AboutDlg_win.h"
#include "app/CTranslateDlg.h"
#include "app/CloseAskDlg_win.h"
#include "app/FramePlugins_win.h"
#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "app/TextIds.h"
#include "comparewindow/CImgCmp2017.h"
#include "comparewindow/OptionMenus.h"
#include "comparewindow/ResultMenu.h"
#include "platform/Text.h"
#include "platform/Window_win.h"
#include "resources/resource.h"
#include "tests/gui/CompareFixtures.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"

namespace {

using comparewindow::OptionBar;

constexpr int kFrameWidth = 1024;
constexpr int kFrameHeight = 768;

std::string Utf8(const std::wstring& text) { return platform::ToUtf8(text); }

// A label as drawn: "&&" is one "&", a single "&" underlines the next letter.
std::wstring Unprefixed(const std::wstring& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'&' && ++i == text.size()) break;
    out += text[i];
  }
  return out;
}

SIZE Extent(HFONT font, const std::wstring& text) {
  const HDC dc = ::GetDC(nullptr);
  const HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return size;
}

HFONT FontOf(HWND control) {
  return reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
}

int TextWidth(HWND control, const std::wstring& text) { return Extent(FontOf(control), text).cx; }

int ClientWidth(HWND control) {
  RECT client{};
  ::GetClientRect(control, &client);
  return client.right;
}

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void ExpectFits(const std::string& where, const std::wstring& text, int needed, int room) {
  EXPECT_LE(needed, room) << where << ": \"" << Utf8(text) << "\" needs " << needed
                          << " px and has " << room;
}

// A push button draws its text inside its frame and focus rectangle.
int ButtonPadding() { return 4 * ::GetSystemMetrics(SM_CXEDGE) + 2; }
// A check box's text stands right of the box and a gap.
int CheckBoxPadding() {
  return ::GetSystemMetrics(SM_CXMENUCHECK) + 2 * ::GetSystemMetrics(SM_CXEDGE);
}

// The labels of a dialog's own buttons, check boxes and text fields. A
// field of several lines must hold its text wrapped; one of one line, on it.
void ExpectChildrenFit(const std::string& dialogName, HWND dialog,
                       const std::vector<int>& contents = {}) {
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    // By its own style: a dialog looked at before it shows is hidden as a whole.
    if (!(::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) continue;
    const int id = ::GetDlgCtrlID(child);
    if (std::find(contents.begin(), contents.end(), id) != contents.end()) continue;
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    const std::wstring kind = className;
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    const std::wstring text = WindowText(child);
    if (text.empty()) continue;
    const std::string where = dialogName + " control " + std::to_string(id);
    if (kind == L"Button") {
      const LONG type = style & BS_TYPEMASK;
      if (type == BS_GROUPBOX) continue;
      const bool box = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                       type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
      const std::wstring shown = Unprefixed(text);
      ExpectFits(where, shown,
                 TextWidth(child, shown) + (box ? CheckBoxPadding() : ButtonPadding()),
                 ClientWidth(child));
    } else if (kind == L"Static") {
      const LONG type = style & SS_TYPEMASK;
      if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP)
        continue;
      const std::wstring shown = (style & SS_NOPREFIX) ? text : Unprefixed(text);
      RECT client{};
      ::GetClientRect(child, &client);
      const SIZE line = Extent(FontOf(child), shown);
      if (type != SS_LEFTNOWORDWRAP && client.bottom >= 2 * line.cy) {
        // Wrapped: all its lines must show.
        const HDC dc = ::GetDC(child);
        const HGDIOBJ old = ::SelectObject(dc, FontOf(child));
        RECT wrapped{0, 0, client.right, 0};
        ::DrawTextW(dc, shown.c_str(), -1, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
        EXPECT_LE(wrapped.bottom, client.bottom)
            << where << ": \"" << Utf8(shown) << "\" wraps to " << wrapped.bottom << " px and has "
            << client.bottom;
      } else {
        ExpectFits(where, shown, line.cx, client.right);
      }
    }
  }
}

// Column titles against their columns, as the header draws them: the title
// between two margins, and in a list that sorts, the sort arrow with two
// more margins beside it; a check box takes a small icon's width and a margin.
void ExpectHeaderFits(const std::string& where, HWND list, bool sorts) {
  const HWND header = ListView_GetHeader(list);
  const int margin = Header_GetBitmapMargin(header);
  RECT bar{};
  ::GetClientRect(header, &bar);
  const int arrowHeight = ::MulDiv(bar.bottom - 4, 4, 13);
  const int arrow = sorts ? 2 * arrowHeight - 1 + 2 * margin : 0;
  for (int column = 0, count = Header_GetItemCount(header); column < count; ++column) {
    RECT item{};
    Header_GetItemRect(header, column, &item);
    wchar_t title[256] = {};
    HDITEMW info{};
    info.mask = HDI_FORMAT | HDI_TEXT;
    info.pszText = title;
    info.cchTextMax = 256;
    Header_GetItem(header, column, &info);
    const int box = (info.fmt & HDF_CHECKBOX) ? ::GetSystemMetrics(SM_CXSMICON) + margin : 0;
    ExpectFits(where + " column " + std::to_string(column), title,
               TextWidth(header, title) + 2 * margin + arrow + box, item.right - item.left);
  }
}

int ButtonWidth(HWND toolbar, int command) {
  RECT rect{};
  ::SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect));
  return rect.right - rect.left;
}

// Every label a button can show: its label now, and the one after each
// choice its menu offers.
std::vector<std::wstring> PossibleLabels(OptionBar bar, int button,
                                         const comparewindow::CompareWindowSettings& options,
                                         int viewMode, const engine::TextLookup& texts) {
  std::vector<std::wstring> labels{
      comparewindow::OptionLabel(bar, button, options, viewMode, texts)};
  for (const comparewindow::OptionMenuItem& item : comparewindow::OptionMenu(bar, button, texts)) {
    comparewindow::CompareWindowSettings chosen = options;
    int chosenView = viewMode;
    if (comparewindow::ApplyOptionChoice(bar, button, item.command, chosen, chosenView))
      labels.push_back(comparewindow::OptionLabel(bar, button, chosen, chosenView, texts));
  }
  return labels;
}

// A hidden toolbar made like `like` (style, image list, font) whose two
// fitted buttons, one with a drop-down arrow and one without, tell how wide
// a button of that toolbar must be for a label.
class LabelGauge {
 public:
  explicit LabelGauge(HWND like) {
    bar_ = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                             ::GetWindowLongW(like, GWL_STYLE) & ~WS_VISIBLE, 0, 0, 2000, 40,
                             ::GetParent(like), nullptr, nullptr, nullptr);
    ::SendMessageW(bar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    ::SendMessageW(bar_, TB_SETEXTENDEDSTYLE, 0, ::SendMessageW(like, TB_GETEXTENDEDSTYLE, 0, 0));
    if (const LRESULT images = ::SendMessageW(like, TB_GETIMAGELIST, 0, 0))
      ::SendMessageW(bar_, TB_SETIMAGELIST, 0, images);
    else
      ::SendMessageW(bar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 16));
    ::SendMessageW(bar_, WM_SETFONT, ::SendMessageW(like, WM_GETFONT, 0, 0), FALSE);
    TBBUTTON buttons[2] = {};
    for (int i = 0; i < 2; ++i) {
      buttons[i].iBitmap = I_IMAGENONE;
      buttons[i].idCommand = i + 1;
      buttons[i].fsState = TBSTATE_ENABLED;
      buttons[i].iString = -1;
    }
    buttons[0].fsStyle = BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    buttons[1].fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    ::SendMessageW(bar_, TB_ADDBUTTONSW, 2, reinterpret_cast<LPARAM>(buttons));
  }
  ~LabelGauge() { ::DestroyWindow(bar_); }

  int Needed(const std::wstring& label, bool dropDown) {
    const int command = dropDown ? 1 : 2;
    TBBUTTONINFOW info{sizeof info};
    info.dwMask = TBIF_TEXT;
    info.pszText = const_cast<wchar_t*>(label.c_str());
    ::SendMessageW(bar_, TB_SETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
    ::SendMessageW(bar_, TB_AUTOSIZE, 0, 0);
    return ButtonWidth(bar_, command);
  }

 private:
  HWND bar_ = nullptr;
};

bool HasDropDown(HWND toolbar, int button) {
  TBBUTTONINFOW info{sizeof info};
  info.dwMask = TBIF_STYLE;
  ::SendMessageW(toolbar, TB_GETBUTTONINFOW, button, reinterpret_cast<LPARAM>(&info));
  return (info.fsStyle & BTNS_WHOLEDROPDOWN) != 0;
}

// The compare window's toolbars with every label their options can show.
// The preview bars fit their buttons to the labels, so the whole row must
// fit the bar; the option bars share their width out, so each label must fit
// its button.
void ExpectToolbarsFit(comparewindow::CImgCmp2017& view, const engine::TextLookup& texts) {
  using namespace comparewindow;
  CompareToolbars& bars = view.Toolbars();
  for (Side side : {Side::Left, Side::Right}) {
    const HWND bar = bars.PreviewBar(side);
    LabelGauge gauge(bar);
    RECT last{};
    ::SendMessageW(bar, TB_GETRECT, kOpenWithProgram, reinterpret_cast<LPARAM>(&last));
    const int others = last.right - ButtonWidth(bar, kPreviewMode);
    for (const std::wstring& label :
         PossibleLabels(OptionBar::Preview, kPreviewMode, view.Options(), view.ViewMode(), texts))
      ExpectFits("preview bar", label, others + gauge.Needed(label, true), ClientWidth(bar));
  }

  for (const OptionBar which : {OptionBar::Search, OptionBar::Match}) {
    const HWND bar = bars.Bar(which);
    LabelGauge gauge(bar);
    for (int button = kSearchViewMode; button <= kSearchMagnifier; ++button) {
      for (const std::wstring& label :
           PossibleLabels(which, button, view.Options(), view.ViewMode(), texts)) {
        if (label.empty()) continue;
        ExpectFits(std::string(which == OptionBar::Search ? "search" : "match") + " bar button " +
                       std::to_string(button),
                   label, gauge.Needed(label, HasDropDown(bar, button)), ButtonWidth(bar, button));
      }
    }
  }
}

// A menu's items fit a screen as wide as the frame, with room for a check
// mark, a sub-menu arrow and the gaps around them.
void ExpectMenuFits(const std::string& where, const std::vector<std::wstring>& items) {
  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
  for (const std::wstring& item : items) {
    const std::wstring shown = Unprefixed(item);
    const int needed = Extent(font, shown).cx + 4 * ::GetSystemMetrics(SM_CXMENUCHECK);
    ExpectFits(where, shown, needed, kFrameWidth);
  }
  ::DeleteObject(font);
}

std::vector<std::wstring> SystemMenuItems(HMENU menu) {
  std::vector<std::wstring> items;
  for (int i = 0, count = ::GetMenuItemCount(menu); i < count; ++i) {
    wchar_t text[512] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 512, MF_BYPOSITION);
    items.push_back(text);
  }
  return items;
}

void ExpectMenusFit(HMENU menu, const std::string& where) {
  ExpectMenuFits(where, SystemMenuItems(menu));
  for (int i = 0, count = ::GetMenuItemCount(menu); i < count; ++i)
    if (const HMENU sub = ::GetSubMenu(menu, i))
      ExpectMenusFit(sub, where + "/" + std::to_string(i));
}

void ExpectOptionAndResultMenusFit(const engine::TextLookup& texts) {
  using namespace comparewindow;
  for (const OptionBar bar : {OptionBar::Search, OptionBar::Match, OptionBar::Preview}) {
    for (int button = kSearchViewMode; button <= kSearchMagnifier; ++button) {
      std::vector<std::wstring> items;
      for (const OptionMenuItem& item : OptionMenu(bar, button, texts)) items.push_back(item.text);
      ExpectMenuFits("option menu " + std::to_string(button), items);
    }
  }
  const std::function<void(const std::vector<ResultMenuItem>&)> resultMenu =
      [&](const std::vector<ResultMenuItem>& items) {
        std::vector<std::wstring> texts;
        for (const ResultMenuItem& item : items) {
          texts.push_back(item.text);
          if (!item.subItems.empty()) resultMenu(item.subItems);
        }
        ExpectMenuFits("result menu", texts);
      };
  resultMenu(ResultMenuItems({}, texts));
}

// The caption of a dialog beside its icon and close button.
void ExpectCaptionFits(const std::string& where, HWND dialog) {
  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  HFONT font = ::CreateFontIndirectW(&metrics.lfCaptionFont);
  const std::wstring title = WindowText(dialog);
  RECT window{};
  ::GetWindowRect(dialog, &window);
  ExpectFits(where + " caption", title, Extent(font, title).cx + 3 * ::GetSystemMetrics(SM_CXSIZE),
             window.right - window.left);
  ::DeleteObject(font);
}

class TextFit : public ::testing::Test {
 protected:
  void SetUp() override {
    app::Settings().WriteInt(L"Start", L"m_lang_id", app::kLanguageEnglish);
    app::FrameStart start;
    start.createView = app::CreateHostedView;
    ASSERT_TRUE(guitest::OpenFrame(frame_, start));
    WINDOWPLACEMENT placement{sizeof placement};
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = {0, 0, kFrameWidth, kFrameHeight};
    ::SetWindowPlacement(frame_.hwnd(), &placement);
    guitest::PumpPending();
    view_ = dynamic_cast<comparewindow::CImgCmp2017*>(frame_.HostedView());
    ASSERT_TRUE(view_);
  }

  // Switches the running frame as the language menu does and waits until the
  // compare window has followed; returns how long the frame took.
  double SwitchTo(int language) {
    const auto start = std::chrono::steady_clock::now();
    ::SendMessageW(frame_.hwnd(), WM_COMMAND, ID_LANGUAGE_FIRST + language, 0);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const std::wstring label = app::LangText(app::kTextStartSearch);
    EXPECT_TRUE(guitest::PumpUntil(
        [&] { return guitest::ItemText(view_->hwnd(), IDC_START_STOP) == label; }));
    return took.count();
  }

  guitest::TempSettings settings_;
  guitest::EnglishAfterwards english_;
  app::CImgCompareMain frame_;
  comparewindow::CImgCmp2017* view_ = nullptr;
};

TEST_F(TextFit, MainFrameAndCompareWindowInEveryLanguage) {
  const engine::TextLookup texts = [](int id) { return app::LangText(id); };
  double slowest = 0, total = 0;
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Utf8(app::LanguageCode(language)));
    const double took = SwitchTo(language);
    slowest = std::max(slowest, took);
    total += took;

    // The menu bar stays one row, the tool bar one row within the frame.
    const HMENU bar = ::GetMenu(frame_.hwnd());
    RECT first{}, item{};
    ::GetMenuItemRect(frame_.hwnd(), bar, 0, &first);
    for (int i = 1, count = ::GetMenuItemCount(bar); i < count; ++i) {
      ::GetMenuItemRect(frame_.hwnd(), bar, static_cast<UINT>(i), &item);
      EXPECT_EQ(item.top, first.top) << "menu bar item " << i << " wraps";
    }
    const HWND toolBar = frame_.ToolBar();
    RECT last{};
    ::SendMessageW(toolBar, TB_GETITEMRECT, ::SendMessageW(toolBar, TB_BUTTONCOUNT, 0, 0) - 1,
                   reinterpret_cast<LPARAM>(&last));
    EXPECT_LE(last.right, ClientWidth(toolBar)) << "tool bar";
    ExpectMenusFit(bar, "menu");

    // The compare window: its buttons and fields, the other label of
    // Start/Stop, the toolbars, the column titles it renews and the menus.
    ExpectChildrenFit("compare window", view_->hwnd(),
                      {IDC_CAPTION_LEFT, IDC_CAPTION_RIGHT, IDC_INFO_LEFT, IDC_INFO_RIGHT});
    const HWND startStop = view_->Item(IDC_START_STOP);
    ExpectFits("Start/Stop", texts(app::kTextStop),
               TextWidth(startStop, texts(app::kTextStop)) + ButtonPadding(),
               ClientWidth(startStop));
    ExpectToolbarsFit(*view_, texts);
    ExpectHeaderFits("result list", view_->List().hwnd(), true);
    ExpectOptionAndResultMenusFit(texts);
  }
  std::printf("language switch of the frame: %.2f ms on average, %.2f ms at most\n",
              total / app::kLanguageCount, slowest);
}

// A compare window opened in a language titles all its columns in it (a
// switch renews only the first six).
TEST_F(TextFit, ColumnTitlesOfAWindowOpenedInEveryLanguage) {
  const HWND host = guitest::MakeHostWindow();
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Utf8(app::LanguageCode(language)));
    app::SetCurrentLanguage(language);
    comparewindow::CImgCmp2017 view;
    ASSERT_TRUE(guitest::OpenView(view, host));
    ExpectHeaderFits("result list", view.List().hwnd(), true);
  }
  ::DestroyWindow(host);
}

TEST_F(TextFit, DialogsInEveryLanguage) {
  for (int language = 0; language < app::kLanguageCount; ++language) {
    SCOPED_TRACE(Utf8(app::LanguageCode(language)));
    SwitchTo(language);

    // Made as the frame makes them, but left hidden: closing a shown dialog
    // waits two seconds for a window manager under Xvfb.
    app::CCloseAskDlg question;
    ASSERT_TRUE(question.CreateModeless(platform::ProgramInstance(), IDD_CLOSE_ASK, frame_.hwnd()));
    ExpectChildrenFit("close question", question.hwnd());
    app::CAboutDlg about;
    ASSERT_TRUE(about.CreateModeless(platform::ProgramInstance(), IDD_ABOUT, frame_.hwnd()));
    ExpectChildrenFit("about box", about.hwnd());
    ExpectCaptionFits("about box", about.hwnd());

    // The editor sets its texts when it is made (and Show shows it).
    app::CTranslateDlg::Services services;
    services.chooseFile = [](HWND, bool, const std::wstring&) { return std::nullopt; };
    services.messageBox = [](HWND, const std::wstring&, UINT) { return IDCANCEL; };
    app::CTranslateDlg editor(services);
    ASSERT_TRUE(editor.CreateModeless(platform::ProgramInstance(), IDD_TRANSLATE, frame_.hwnd()));
    ExpectChildrenFit("translation editor", editor.hwnd());
    ExpectHeaderFits("translation editor list", editor.Item(IDC_TR_LIST), false);
  }
}

}  // namespace
