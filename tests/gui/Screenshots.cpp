// Screenshots of the program's windows, for people to look at.
//
//   duplora_screenshots.exe <folder> <suffix>
//
// The real main frame is made in this process, with its settings in a
// scratch folder, and driven by messages; each shot saves
// <folder>/<name>-<suffix>.png from the screen area of what it shows. Run it
// under wine's virtual desktop so windows have their frames (make screenshots).
// A new shot is one function and one row in kShots.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/FramePlugins_win.h"
#include "app/ImgCompareMain_win.h"
#include "app/LangText.h"
#include "app/MessageLoop_win.h"
#include "app/MyProfStr.h"
#include "app/TextIds.h"
#include "comparewindow/CImgCmp2017.h"
#include "platform/FileSystem.h"
#include "platform/GdiPlus_win.h"
#include "platform/Handles_win.h"
#include "platform/Text.h"
#include "resources/resource.h"
#include "tests/gui/CompareFixtures.h"
#include "tests/gui/MessagePump.h"
#include "tests/gui/ScreenReading.h"
#include "tests/gui/ShellFixtures.h"
#include "tests/support/TempFolder.h"
#include "viewing/CWinLupe.h"

namespace {

struct Session {
  app::CImgCompareMain& frame;
  app::CMessageLoop& loop;
  std::wstring folder;
  std::wstring suffix;
  std::wstring scratch;  // a folder for the shots' own files
};

// Lets the windows paint and update their command states, as the program's loop would.
void Settle(Session& s) {
  for (int round = 0; round < 3; ++round) {
    guitest::PumpPending();
    s.loop.Idle(round);
    ::GdiFlush();
  }
}

RECT WindowArea(HWND window) {
  RECT area{};
  ::GetWindowRect(window, &area);
  return area;
}

// Saves the screen area that the windows cover, each copied from its own
// device context (wine keeps a surface per top-level window, so the screen's
// context would show only the desktop). `windows` go from bottom to top.
bool SaveWindows(const Session& session, const std::wstring& name,
                 const std::vector<HWND>& windows) {
  RECT area{};
  for (HWND window : windows) {
    const RECT r = WindowArea(window);
    ::UnionRect(&area, &area, &r);
  }
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (windows.empty() || width <= 0 || height <= 0) return false;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc memory(::CreateCompatibleDC(screen.get()));
  platform::UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) return false;
  {
    platform::SelectObjectGuard select(memory.get(), bitmap.get());
    ::PatBlt(memory.get(), 0, 0, width, height, WHITENESS);
    for (HWND window : windows) {
      const RECT r = WindowArea(window);
      const HDC source = ::GetWindowDC(window);
      ::BitBlt(memory.get(), r.left - area.left, r.top - area.top, r.right - r.left,
               r.bottom - r.top, source, 0, 0, SRCCOPY);
      ::ReleaseDC(window, source);
    }
  }
  Gdiplus::GpBitmap* image = nullptr;
  if (Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap.get(), nullptr, &image) !=
      Gdiplus::Ok)
    return false;
  platform::GpImagePtr owner(image);
  static const CLSID kPngEncoder = {
      0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  const std::wstring path = session.folder + L"\\" + name + L"-" + session.suffix + L".png";
  const bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &kPngEncoder,
                                                              nullptr) == Gdiplus::Ok;
  std::printf("%s %s\n", saved ? "saved" : "FAILED", platform::ToUtf8(path).c_str());
  return saved;
}

BOOL CALLBACK AddMenuPopup(HWND window, LPARAM list) {
  wchar_t name[16] = {};
  ::GetClassNameW(window, name, 16);
  if (std::wstring(name) == L"#32768" && ::IsWindowVisible(window))
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

// The visible menu pop-ups.
std::vector<HWND> MenuPopups() {
  std::vector<HWND> popups;
  ::EnumWindows(AddMenuPopup, reinterpret_cast<LPARAM>(&popups));
  return popups;
}

// Modal user interface (a menu, a dialog) runs its own message loop, so the
// shot is taken from a timer: `ready` says when to take it, `take` takes it
// and closes what `start` opened.
struct Modal {
  std::function<bool()> ready;
  std::function<void()> take;
  int ticks = 0;
  int readyTicks = 0;
};
Modal* currentModal = nullptr;

void CALLBACK ModalTick(HWND, UINT, UINT_PTR timer, DWORD) {
  Modal& modal = *currentModal;
  ++modal.ticks;
  // Taken on the second ready tick, so the first paint is done.
  if (modal.ready() && ++modal.readyTicks == 2) {
    ::KillTimer(nullptr, timer);
    modal.take();
  } else if (modal.ticks > 100) {
    ::KillTimer(nullptr, timer);
    std::printf("FAILED: nothing to take after 10 s\n");
    ::EndMenu();
  }
}

void DuringModal(const std::function<void()>& start, Modal modal) {
  currentModal = &modal;
  ::SetTimer(nullptr, 0, 100, ModalTick);
  start();
  currentModal = nullptr;
}

bool ShotMain(Session& s) {
  ::ShowWindow(s.frame.hwnd(), SW_MAXIMIZE);
  Settle(s);
  return SaveWindows(s, L"main", {s.frame.hwnd()});
}

bool ShotOptionsMenu(Session& s) {
  bool saved = false;
  int step = 0;
  DuringModal([&] { ::SendMessageW(s.frame.hwnd(), WM_SYSCOMMAND, SC_KEYMENU, 'o'); },
              {[&] {
                 // Once the Options menu is open, walk to "Window at start" and open it.
                 const size_t popups = MenuPopups().size();
                 if (popups == 1 && step == 0) {
                   step = 1;
                   ::PostMessageW(s.frame.hwnd(), WM_KEYDOWN, VK_DOWN, 0);
                   ::PostMessageW(s.frame.hwnd(), WM_KEYDOWN, VK_RIGHT, 0);
                 }
                 return popups == 2;
               },
               [&] {
                 std::vector<HWND> windows = MenuPopups();  // top first
                 windows.push_back(s.frame.hwnd());
                 saved = SaveWindows(s, L"options-menu", {windows.rbegin(), windows.rend()});
                 ::EndMenu();
               }});
  return saved;
}

comparewindow::CImgCmp2017* CompareView(const Session& s) {
  return dynamic_cast<comparewindow::CImgCmp2017*>(s.frame.HostedView());
}

// Starts a search, waits for its end and selects the first row.
bool RunAndSelect(Session& s, comparewindow::CImgCmp2017& view) {
  guitest::ClickButton(view.hwnd(), IDC_START_STOP);
  if (!guitest::WaitForRunEnd(view) || view.List().RowCount() == 0) {
    std::printf("FAILED: the search over the samples found nothing\n");
    return false;
  }
  guitest::SelectRow(view.List().hwnd(), 0);
  ::SetFocus(view.List().hwnd());
  const bool loaded = guitest::WaitForPreviews(view);
  Settle(s);
  return loaded;
}

bool ShotCompareOneFolder(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view) return false;
  view->Field(engine::PathBox::Right).SetText(guitest::BuildPath(DUPLORA_SAMPLES));
  return RunAndSelect(s, *view) && SaveWindows(s, L"compare-one-folder", {s.frame.hwnd()});
}

// The in-place editor over the first row's left path, its stem selected.
bool ShotCompareRenaming(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view || view->List().RowCount() == 0 || !view->List().StartEdit(0, 0)) return false;
  Settle(s);
  const bool saved = SaveWindows(s, L"compare-renaming", {s.frame.hwnd()});
  ::SendMessageW(view->List().Editor().hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
  Settle(s);
  return saved;
}

// The originals on the left, their turned, mirrored, negated and recompressed copies on the right.
bool ShotCompareTwoFolders(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view) return false;
  const std::wstring samples = guitest::BuildPath(DUPLORA_SAMPLES);
  const std::wstring left = s.scratch + L"\\originals";
  const std::wstring right = s.scratch + L"\\copies";
  ::CreateDirectoryW(left.c_str(), nullptr);
  ::CreateDirectoryW(right.c_str(), nullptr);
  for (const wchar_t* name : {L"meadow.jpg", L"lake.jpg", L"dusk.jpg", L"shapes.png", L"fog.jpg"})
    ::CopyFileW((samples + L"\\" + name).c_str(), (left + L"\\" + name).c_str(), FALSE);
  for (const wchar_t* name :
       {L"meadow-small.jpg", L"meadow-q35.jpg", L"lake-turned-90.jpg", L"lake-turned-180.jpg",
        L"dusk-mirrored.jpg", L"shapes-upside-down.png", L"fog-negative.jpg"})
    ::CopyFileW((samples + L"\\" + name).c_str(), (right + L"\\" + name).c_str(), FALSE);

  using namespace comparewindow;
  const HWND match = view->Toolbars().MatchBar();
  guitest::ChooseFromOptionMenu(*view, match, kMatchCompareMode, 2);
  for (int button : {kMatchRotated, kMatchFlipped, kMatchNegative})
    guitest::ChooseFromOptionMenu(*view, match, button, 1);
  view->Field(engine::PathBox::Left).SetText(left);
  view->Field(engine::PathBox::Right).SetText(right);
  return RunAndSelect(s, *view) && SaveWindows(s, L"compare-two-folders", {s.frame.hwnd()});
}

// A menu that `open` shows over the frame, saved as `name`.
bool ShotMenu(Session& s, const std::wstring& name, const std::function<void()>& open) {
  bool saved = false;
  DuringModal(open, {[&] { return MenuPopups().size() == 1; },
                     [&] {
                       std::vector<HWND> windows = MenuPopups();
                       windows.push_back(s.frame.hwnd());
                       saved = SaveWindows(s, name, {windows.rbegin(), windows.rend()});
                       ::EndMenu();
                     }});
  return saved;
}

// The similarity menu of the search bar, open over the window.
bool ShotCompareOptionMenu(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view) return false;
  return ShotMenu(s, L"compare-option-menu", [&] {
    guitest::ClickToolbarButton(view->Toolbars().SearchBar(), comparewindow::kSearchSimilarity);
  });
}

// The result list's context menu, open over a list with marks.
bool ShotResultMenu(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view || view->List().RowCount() == 0) return false;
  comparewindow::CListCtrlHelp& list = view->List();
  for (int row = 0; row < list.RowCount(); ++row)
    list.SetMark(
        row, row % 2 == 0 ? comparewindow::kMarkColumnRight : comparewindow::kMarkColumnLeft, 1);
  Settle(s);
  RECT cell = list.CellLabelRect(std::min(2, list.RowCount() - 1), 1);
  POINT at{cell.left + 40, cell.bottom - 4};
  ::ClientToScreen(list.hwnd(), &at);
  // The option menus' shots left the window without a menu of its own.
  view->SetMenuChooser([](HMENU menu, POINT at, HWND owner) {
    return static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD, at.x, at.y, 0, owner, nullptr));
  });
  return ShotMenu(s, L"result-menu", [&] {
    ::SendMessageW(list.hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list.hwnd()),
                   MAKELPARAM(at.x, at.y));
  });
}

// The magnifier (Alt+L) over the left preview of the selected pair, at three times.
bool ShotMagnifier(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view || view->List().RowCount() == 0) return false;
  RECT pane{};
  ::GetWindowRect(view->Preview(comparewindow::Side::Left).hwnd(), &pane);
  ::SetCursorPos((pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2);
  ::SendMessageW(s.frame.hwnd(), WM_COMMAND, ID_TOOLS_MAGNIFIER, 0);
  viewing::CWinLupe& lupe = viewing::Magnifier();
  ::SendMessageW(lupe.hwnd(), WM_KEYDOWN, '3', 0);
  // Until the factor text (magenta) stands in the loupe's corner.
  const viewing::LupeRect shown = lupe.WindowRect();
  const bool drawn = guitest::PumpUntil([&] {
    return guitest::ScreenShows({shown.left, shown.top, shown.left + 60, shown.top + 30},
                                RGB(255, 0, 255));
  });
  Settle(s);
  const bool saved =
      drawn && SaveWindows(s, L"magnifier-over-compare", {s.frame.hwnd(), lupe.hwnd()});
  lupe.Hide();
  Settle(s);
  return saved;
}

// The dialog the frame shows over itself.
HWND FrameDialog(const Session& s) { return guitest::OwnedDialog(s.frame.hwnd()); }

bool ShotDialog(Session& s, const std::wstring& name, const std::function<void()>& open) {
  bool saved = false;
  DuringModal(open, {[&] { return FrameDialog(s) != nullptr; },
                     [&] {
                       const HWND dialog = FrameDialog(s);
                       saved = SaveWindows(s, name, {dialog});
                       ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                     }});
  return saved;
}

bool ShotCloseAsk(Session& s) {
  app::Settings().WriteInt(L"Start", L"close_ask", 1);
  const bool saved =
      ShotDialog(s, L"close-ask", [&] { ::SendMessageW(s.frame.hwnd(), WM_CLOSE, 0, 0); });
  app::Settings().WriteInt(L"Start", L"close_ask", 0);
  return saved;
}

bool ShotAbout(Session& s) {
  return ShotDialog(s, L"about",
                    [&] { ::SendMessageW(s.frame.hwnd(), WM_COMMAND, ID_APP_ABOUT, 0); });
}

// The compare window over the last results in every interface language,
// as compare-<code>; English again afterwards.
bool ShotLanguages(Session& s) {
  comparewindow::CImgCmp2017* view = CompareView(s);
  if (!view) return false;
  bool saved = true;
  for (int language = 0; language < app::kLanguageCount; ++language) {
    ::SendMessageW(s.frame.hwnd(), WM_COMMAND, ID_LANGUAGE_FIRST + language, 0);
    // The compare window follows the language on its next poll.
    const std::wstring start = app::LangText(app::kTextStartSearch);
    guitest::PumpUntil([&] { return guitest::ItemText(view->hwnd(), IDC_START_STOP) == start; });
    Settle(s);
    saved = SaveWindows(s, std::wstring(L"compare-") + app::LanguageCode(language),
                        {s.frame.hwnd()}) &&
            saved;
  }
  ::SendMessageW(s.frame.hwnd(), WM_COMMAND, ID_LANGUAGE_FIRST + app::kLanguageEnglish, 0);
  Settle(s);
  return saved;
}

struct Shot {
  const char* name;
  bool (*take)(Session&);
};
constexpr Shot kShots[] = {
    {"main", ShotMain},
    {"compare-one-folder", ShotCompareOneFolder},
    {"compare-renaming", ShotCompareRenaming},
    {"compare-option-menu", ShotCompareOptionMenu},
    {"compare-two-folders", ShotCompareTwoFolders},
    {"result-menu", ShotResultMenu},
    {"magnifier-over-compare", ShotMagnifier},
    {"options-menu", ShotOptionsMenu},
    {"close-ask", ShotCloseAsk},
    {"about", ShotAbout},
    {"languages", ShotLanguages},
};

int Shoot(const std::wstring& folder, const std::wstring& suffix) {
  // An installed copy's layout, so the title is the plain one.
  testsupport::TempFolder temp;
  const std::wstring program = temp.MakeFolder(L"program");
  platform::WriteFileBytes(program + L"\\Duplora_Uninstall.ini", "");
  app::Settings().Init(program + L"\\Duplora.exe", temp.MakeFolder(L"appdata"));
  app::Settings().WriteInt(L"Start", L"m_lang_id", app::kLanguageEnglish);

  app::CMessageLoop loop;
  app::MessageLoopRegistration registered(loop);
  app::CImgCompareMain frame;
  app::FrameStart start;
  start.createView = app::CreateHostedView;
  start.endLoopOnDestroy = false;
  if (!frame.Create(std::move(start))) {
    std::printf("FAILED: no main window\n");
    return 1;
  }
  app::InstallFrameCommands(frame);
  guitest::PumpUntil([&] { return ::IsWindowVisible(frame.hwnd()) != FALSE; });

  Session session{frame, loop, folder, suffix, temp.MakeFolder(L"shots")};
  int failed = 0;
  for (const Shot& shot : kShots) {
    if (!shot.take(session)) {
      std::printf("FAILED: %s\n", shot.name);
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::printf("usage: duplora_screenshots <folder> <suffix>\n");
    return 2;
  }
  platform::OleScope ole;
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
  ::InitCommonControlsEx(&controls);
  platform::EnsureGdiplusStarted();
  ::CreateDirectoryW(argv[1], nullptr);
  return Shoot(argv[1], argv[2]);
}
