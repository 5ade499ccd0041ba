// The main frame driven with messages: placement, closing, languages,
// commands, hand-over and the routing of keys into the hosted view.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"
#include "app/ImgCompareMain_win.h"
#include "app/InstanceProbe_win.h"
#include "app/LangText.h"
#include "app/MessageLoop_win.h"
#include "resources/resource.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ShellFixtures.h"

namespace {

using guitest::OpenFrame;
using guitest::StartValue;

struct Placed {
  RECT normal;
  bool zoomed;
};

Placed PlacementOf(HWND window) {
  WINDOWPLACEMENT placement{sizeof placement};
  ::GetWindowPlacement(window, &placement);
  return {placement.rcNormalPosition, ::IsZoomed(window) != FALSE};
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MainFramePlacement, StartModesAndTheSavedRectangle) {
  struct Case {
    const char* what;
    const wchar_t* mode;  // "Max", null: not stored
    const wchar_t* showCmd;
    const wchar_t* rect;
    RECT expectedNormal;  // ignored when the system places the window
    bool systemPlace;
    bool zoomed;
  };
  const RECT saved{40, 30, 640, 430};
  for (const Case& c : {
           Case{"first start: nothing stored",
                nullptr,
                nullptr,
                nullptr,
                {0, 0, 800, 600},
                false,
                false},
           Case{"mode 3, closed normal", L"3", L"1", L"40;30;640;430", saved, false, false},
           Case{"mode 3, closed maximised", L"3", L"3", L"40;30;640;430", saved, false, true},
           Case{"mode 2, closed maximised", L"2", L"3", L"40;30;640;430", saved, false, false},
           Case{"mode 1, closed normal", L"1", L"1", L"40;30;640;430", saved, false, true},
           Case{"unusable rectangle", L"2", L"1", L"10;10;10;10", {0, 0, 800, 600}, false, false},
           Case{"mode 0 ignores the rectangle", L"0", L"3", L"40;30;640;430", {}, true, false},
       }) {
    SCOPED_TRACE(c.what);
    guitest::TempSettings settings;
    if (c.mode) app::Settings().WriteString(L"Start", L"Max", c.mode);
    if (c.showCmd) app::Settings().WriteString(L"Start", L"showCmd", c.showCmd);
    if (c.rect) app::Settings().WriteString(L"Start", L"WinRC_MP", c.rect);
    app::CImgCompareMain frame;
    ASSERT_TRUE(OpenFrame(frame));
    const Placed placed = PlacementOf(frame.hwnd());
    EXPECT_EQ(placed.zoomed, c.zoomed);
    if (c.systemPlace)
      EXPECT_FALSE(SameRect(placed.normal, saved));
    else
      EXPECT_TRUE(SameRect(placed.normal, c.expectedNormal))
          << placed.normal.left << ";" << placed.normal.top << ";" << placed.normal.right << ";"
          << placed.normal.bottom;
  }
}

TEST(MainFramePlacement, SavedAtCloseAndRestoredMaximised) {
  guitest::TempSettings settings;
  {
    app::CImgCompareMain frame;
    ASSERT_TRUE(OpenFrame(frame));
    WINDOWPLACEMENT placement{sizeof placement};
    placement.showCmd = SW_SHOWMAXIMIZED;
    placement.rcNormalPosition = {50, 60, 650, 560};
    ::SetWindowPlacement(frame.hwnd(), &placement);
    ::SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(frame.hwnd()));
  }
  EXPECT_EQ(StartValue(L"WinRC_MP"), L"50;60;650;560");
  EXPECT_EQ(StartValue(L"showCmd"), L"3");

  app::CImgCompareMain again;  // start mode 3 when nothing is stored
  ASSERT_TRUE(OpenFrame(again));
  const Placed placed = PlacementOf(again.hwnd());
  EXPECT_TRUE(placed.zoomed);
  EXPECT_TRUE(SameRect(placed.normal, RECT{50, 60, 650, 560}));
}

TEST(MainFrameClose, AskBeforeClosing) {
  guitest::TempSettings settings;
  app::Settings().WriteInt(L"Start", L"close_ask", 1);
  app::Settings().WriteString(L"Start", L"WinRC_MP", L"1;2;3;4");
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));

  ASSERT_TRUE(guitest::AnswerModal(frame.hwnd(), IDCANCEL,
                                   [&] { ::SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0); }));
  EXPECT_TRUE(::IsWindow(frame.hwnd())) << "cancelled: the frame stays";
  EXPECT_EQ(StartValue(L"WinRC_MP"), L"1;2;3;4") << "cancelled: nothing saved";
  EXPECT_EQ(StartValue(L"showCmd"), L"<missing>");

  ASSERT_TRUE(guitest::AnswerModal(frame.hwnd(), IDOK,
                                   [&] { ::SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0); }));
  EXPECT_FALSE(::IsWindow(frame.hwnd()));
  EXPECT_NE(StartValue(L"WinRC_MP"), L"1;2;3;4");
}

TEST(MainFrameClose, NoQuestionUnlessAsked) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  EXPECT_FALSE(guitest::AnswerModal(frame.hwnd(), IDCANCEL,
                                    [&] { ::SendMessageW(frame.hwnd(), WM_CLOSE, 0, 0); }));
  EXPECT_FALSE(::IsWindow(frame.hwnd()));
}

std::wstring MenuText(HWND frame, UINT command) {
  wchar_t text[128] = {};
  ::GetMenuStringW(::GetMenu(frame), command, text, 128, MF_BYCOMMAND);
  return text;
}

std::wstring ButtonText(HWND toolBar, UINT command) {
  wchar_t text[128] = {};
  TBBUTTONINFOW info{sizeof info};
  info.dwMask = TBIF_TEXT;
  info.pszText = text;
  info.cchText = 128;
  ::SendMessageW(toolBar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info));
  return text;
}

TEST(MainFrameLanguage, CommandSwitchesMenusAndToolBar) {
  guitest::TempSettings settings;
  guitest::EnglishAfterwards english;
  app::Settings().WriteInt(L"Start", L"m_lang_id", app::kLanguageEnglish);
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  EXPECT_EQ(MenuText(frame.hwnd(), ID_APP_EXIT), L"E&xit");
  EXPECT_EQ(MenuText(frame.hwnd(), ID_TOOLS_MAGNIFIER), L"&Magnifier\tAlt+L");
  EXPECT_EQ(ButtonText(frame.ToolBar(), ID_FILE_EXPORT), L"Export list");

  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_LANGUAGE_FIRST + app::kLanguageGerman, 0);
  EXPECT_EQ(MenuText(frame.hwnd(), ID_APP_EXIT), L"&Beenden");
  EXPECT_EQ(MenuText(frame.hwnd(), ID_TOOLS_MAGNIFIER), L"&Lupe\tAlt+L");
  EXPECT_EQ(ButtonText(frame.ToolBar(), ID_FILE_EXPORT), L"Liste exportieren");
  EXPECT_EQ(StartValue(L"m_lang_id"), L"0");

  // The last accepted language command: a language outside the table shows English.
  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_LANGUAGE_LAST, 0);
  EXPECT_EQ(MenuText(frame.hwnd(), ID_APP_EXIT), L"E&xit");
  EXPECT_EQ(StartValue(L"m_lang_id"), L"44");
}

// The language sub-menu offers every language by its own name, checks the
// current one, and choosing one switches the running frame and is stored.
TEST(MainFrameLanguage, SubMenuOffersEveryLanguage) {
  guitest::TempSettings settings;
  guitest::EnglishAfterwards english;
  app::Settings().WriteInt(L"Start", L"m_lang_id", app::kLanguageEnglish);
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  const HMENU options = frame.Translator().SubMenu(50000);
  ASSERT_TRUE(options);
  const HMENU languages = ::GetSubMenu(options, 0);
  ASSERT_TRUE(languages);
  const auto itemText = [&](int position) {
    wchar_t text[128] = {};
    ::GetMenuStringW(languages, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return std::wstring(text);
  };
  const auto checkedItems = [&] {
    ::SendMessageW(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(languages), 0);
    std::vector<int> checked;
    for (int i = 0; i < ::GetMenuItemCount(languages); ++i)
      if (::GetMenuState(languages, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
        checked.push_back(i);
    return checked;
  };

  ASSERT_EQ(::GetMenuItemCount(languages), app::kLanguageCount);
  for (int i = 0; i < app::kLanguageCount; ++i) {
    EXPECT_EQ(::GetMenuItemID(languages, i), static_cast<UINT>(ID_LANGUAGE_FIRST + i));
    EXPECT_EQ(itemText(i), app::LanguageName(i));
  }
  for (const auto& [position, name] : {std::pair{0, L"Deutsch"},
                                       {2, L"Français"},
                                       {6, L"日本語"},
                                       {9, L"简体中文"},
                                       {14, L"Español (Argentina)"},
                                       {25, L"العربية"},
                                       {28, L"English (United Kingdom)"},
                                       {32, L"Български"}})
    EXPECT_EQ(itemText(position), name);
  EXPECT_EQ(checkedItems(), std::vector<int>{app::kLanguageEnglish});

  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_LANGUAGE_FIRST + 2, 0);
  EXPECT_EQ(MenuText(frame.hwnd(), ID_APP_EXIT), L"&Quitter");
  EXPECT_EQ(ButtonText(frame.ToolBar(), ID_FILE_EXPORT), L"Exporter la liste");
  EXPECT_EQ(StartValue(L"m_lang_id"), L"2");
  EXPECT_EQ(checkedItems(), std::vector<int>{2});
  EXPECT_EQ(::GetMenuItemCount(languages), app::kLanguageCount) << "each language once";
}

bool Checked(HMENU menu, UINT command) {
  return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool Grayed(HMENU menu, UINT command) {
  return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// The Options menu: start modes and ask-before-closing are stored and shown checked.
TEST(MainFrameCommands, OptionsAreStoredAndChecked) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  const HMENU menu = ::GetMenu(frame.hwnd());
  const auto openMenu = [&] {
    ::SendMessageW(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  };
  openMenu();
  EXPECT_TRUE(Checked(menu, ID_START_MODE_AS_CLOSED)) << "mode 3 when nothing is stored";
  EXPECT_FALSE(Checked(menu, ID_CLOSE_ASK));

  for (UINT command = ID_START_MODE_DEFAULT; command <= ID_START_MODE_AS_CLOSED; ++command) {
    ::SendMessageW(frame.hwnd(), WM_COMMAND, command, 0);
    EXPECT_EQ(StartValue(L"Max"), std::to_wstring(command - ID_START_MODE_DEFAULT));
    openMenu();
    for (UINT other = ID_START_MODE_DEFAULT; other <= ID_START_MODE_AS_CLOSED; ++other)
      EXPECT_EQ(Checked(menu, other), other == command);
  }

  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_CLOSE_ASK, 0);
  EXPECT_EQ(StartValue(L"close_ask"), L"1");
  openMenu();
  EXPECT_TRUE(Checked(menu, ID_CLOSE_ASK));
  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_CLOSE_ASK, 0);
  EXPECT_EQ(StartValue(L"close_ask"), L"0");
}

// Export, magnifier and translation editor are handlers of other parts;
// without one their items are disabled.
TEST(MainFrameCommands, HandlersOfOtherParts) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  int exports = 0;
  frame.SetCommandHandler(ID_FILE_EXPORT, [&] { ++exports; });
  ASSERT_TRUE(OpenFrame(frame));
  const HMENU menu = ::GetMenu(frame.hwnd());
  ::SendMessageW(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_FALSE(Grayed(menu, ID_FILE_EXPORT));
  EXPECT_TRUE(Grayed(menu, ID_TOOLS_MAGNIFIER));
  EXPECT_TRUE(Grayed(menu, ID_TRANSLATE_EDITOR));

  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_FILE_EXPORT, 0);
  EXPECT_EQ(exports, 1);

  int magnifier = 0;
  frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&] { ++magnifier; });
  ::SendMessageW(frame.hwnd(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_FALSE(Grayed(menu, ID_TOOLS_MAGNIFIER));
  ::SendMessageW(frame.hwnd(), WM_COMMAND, ID_TOOLS_MAGNIFIER, 0);
  EXPECT_EQ(magnifier, 1);
}

TEST(MainFrameTitle, InstanceNumberAndPortableMark) {
  guitest::TempSettings settings;  // a portable copy
  for (const int instance : {0, 2}) {
    app::CImgCompareMain frame;
    app::FrameStart start;
    start.instanceNumber = instance;
    ASSERT_TRUE(OpenFrame(frame, start));
    const std::wstring expected =
        instance == 0 ? L"Duplora 2.16 (Portable/Unicode)" : L"Duplora 2.16 [2] (Portable/Unicode)";
    EXPECT_EQ(frame.Title(), expected);
    wchar_t shown[256] = {};
    ::GetWindowTextW(frame.hwnd(), shown, 256);
    EXPECT_EQ(std::wstring(shown).rfind(expected, 0), 0u) << "shown: " << shown;
  }
}

TEST(MainFrameStatus, CacheLineFromInsideTheView) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  ASSERT_NE(frame.Child(), nullptr);
  app::ShowCacheStatusLine(frame.Child()->ViewWindow(), L"Cache: 12 1.5 KB");
  wchar_t text[64] = {};
  ::SendMessageW(frame.StatusBar(), SB_GETTEXTW, app::kCacheStatusPart,
                 reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Cache: 12 1.5 KB");
}

// The probe and the hand-over a later start uses to find this window.
TEST(MainFrameHandOver, AnswersTheProbeAndTakesAFolder) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  EXPECT_EQ(::SendMessageW(frame.hwnd(), app::ProbeMessage(), 0, 0),
            static_cast<LRESULT>(app::ProbeMessage()));
  EXPECT_EQ(app::FindRunningWindow(), frame.hwnd());

  const std::wstring folder = settings.folder();
  ASSERT_TRUE(app::HandOverCommandLine(frame.hwnd(), L"/e,\"" + folder + L"\""));
  EXPECT_EQ(frame.CommandLineFolder(), folder);
  wchar_t shown[MAX_PATH] = {};
  ::GetDlgItemTextW(frame.Child()->ViewWindow(), IDC_PLACEHOLDER_FOLDER, shown, MAX_PATH);
  EXPECT_EQ(shown, folder) << "the hosted view gets the folder";
}

TEST(MainFrameHandOver, RefusesMalformedPayloads) {
  guitest::TempSettings settings;
  app::CImgCompareMain frame;
  ASSERT_TRUE(OpenFrame(frame));
  std::string good = app::HandOverPayload(L"/e,C:\\");
  std::string unterminated = good.substr(0, good.size() - 2);
  struct Case {
    const char* what;
    ULONG_PTR dwData;
    const std::string* bytes;
    DWORD size;
  };
  for (const Case& c : {
           Case{"another sender's data", 10101, &good, static_cast<DWORD>(good.size())},
           Case{"odd size", app::kHandOverData, &good, static_cast<DWORD>(good.size() - 1)},
           Case{"no terminating NUL", app::kHandOverData, &unterminated,
                static_cast<DWORD>(unterminated.size())},
           Case{"nothing", app::kHandOverData, nullptr, 0},
       }) {
    COPYDATASTRUCT data{c.dwData, c.size, c.bytes ? const_cast<char*>(c.bytes->data()) : nullptr};
    EXPECT_EQ(::SendMessageW(frame.hwnd(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), 0)
        << c.what;
  }
  EXPECT_EQ(frame.CommandLineFolder(), L"");
}

// A view with two edit fields and its own look at the keys.
class TwoFieldView : public app::IHostedView {
 public:
  std::vector<MSG> seen;

  HWND CreateView(HWND parent) override {
    std::vector<WORD> t;
    const auto dword = [&](DWORD v) {
      t.push_back(LOWORD(v));
      t.push_back(HIWORD(v));
    };
    dword(WS_CHILD | DS_CONTROL | DS_SETFONT);
    dword(WS_EX_CONTROLPARENT);
    for (WORD w : {2, 0, 0, 200, 60, 0, 0, 0, 8})
      t.push_back(w);  // items, place, menu, class, title, size
    for (wchar_t c : std::wstring(L"MS Shell Dlg")) t.push_back(c);
    t.push_back(0);
    for (WORD item = 0; item < 2; ++item) {
      if (t.size() % 2) t.push_back(0);  // items start on a DWORD
      dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
      dword(0);
      for (WORD w : {WORD(5), WORD(5 + 20 * item), WORD(100), WORD(14), WORD(1001 + item)})
        t.push_back(w);
      for (WORD w : {0xFFFF, 0x0081, 0, 0}) t.push_back(w);  // edit class, no title, no data
    }
    window_ = ::CreateDialogIndirectParamW(platform::ProgramInstance(),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), parent,
                                           DialogProc, 0);
    return window_;
  }
  HWND ViewWindow() const override { return window_; }
  bool PreTranslateMessage(MSG& message) override {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) seen.push_back(message);
    return false;
  }
  void Resize(const RECT& client) override {
    ::MoveWindow(window_, 0, 0, client.right, client.bottom, TRUE);
  }

 private:
  static INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
  }
  HWND window_ = nullptr;
};

MSG KeyMessage(HWND window, UINT message, WPARAM key, LPARAM flags = 0) {
  MSG m{};
  m.hwnd = window;
  m.message = message;
  m.wParam = key;
  m.lParam = 1 | flags;
  return m;
}

// Keys reach the frame's accelerators first, then the view, then dialog navigation.
TEST(MainFrameRouting, AcceleratorsThenViewThenDialogNavigation) {
  guitest::TempSettings settings;
  app::CMessageLoop loop;
  app::MessageLoopRegistration registered(loop);
  app::CImgCompareMain frame;
  int magnifier = 0;
  frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&] { ++magnifier; });
  TwoFieldView* view = nullptr;
  app::FrameStart start;
  start.createView = [&] {
    auto made = std::make_unique<TwoFieldView>();
    view = made.get();
    return made;
  };
  ASSERT_TRUE(OpenFrame(frame, start));
  ASSERT_NE(view, nullptr);
  const HWND first = ::GetDlgItem(view->ViewWindow(), 1001);
  const HWND second = ::GetDlgItem(view->ViewWindow(), 1002);
  ::SetForegroundWindow(frame.hwnd());
  ::SetFocus(first);
  ASSERT_EQ(::GetFocus(), first);

  MSG tab = KeyMessage(first, WM_KEYDOWN, VK_TAB);
  loop.Process(tab);
  EXPECT_EQ(::GetFocus(), second) << "Tab moves inside the hosted dialog";
  ASSERT_EQ(view->seen.size(), 1u);
  EXPECT_EQ(view->seen[0].wParam, static_cast<WPARAM>(VK_TAB));

  BYTE keys[256];
  ::GetKeyboardState(keys);
  BYTE withAlt[256];
  std::copy(keys, keys + 256, withAlt);
  withAlt[VK_MENU] = 0x80;
  ::SetKeyboardState(withAlt);
  MSG altL = KeyMessage(second, WM_SYSKEYDOWN, 'L', 0x20000000);
  loop.Process(altL);
  ::SetKeyboardState(keys);
  EXPECT_EQ(magnifier, 1) << "Alt+L is the frame's magnifier command";
  EXPECT_EQ(view->seen.size(), 1u) << "an accelerator does not reach the view";
}

}  // namespace
