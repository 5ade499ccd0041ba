// The main frame: the program's only top-level window. An MDI frame with a
// menu bar (menu 128, translated), a small tool bar, a status bar whose part 4
// shows the fingerprint cache line, and one MDI child (CImgChildFrame) that
// hosts the compare window.
//
//   app::CImgCompareMain frame;                       // starts GDI+
//   frame.SetCommandHandler(ID_TOOLS_MAGNIFIER, [&] { ... });
//   if (!frame.Create({showCommand, instanceNumber, commandLine, CreateHostedView})) ...
//
// Commands the frame carries out itself: the languages (43900 + id), the
// start modes, ask-before-closing, placement restore (44444, once), exit,
// help and about. Commands that belong to other parts of the program (export,
// magnifier, translation editor) are handlers set with SetCommandHandler; a
// handler also takes precedence over the frame's own handling. Menu items and
// tool bar buttons of commands without a handler are disabled.
//
// A running frame answers the registered probe message with its number and
// takes command lines handed over by WM_COPYDATA (app/InstanceProbe_win.h).
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/HostedView_win.h"
#include "app/ImgChildFrame_win.h"
#include "app/MessageLoop_win.h"
#include "app/TranslateMain_win.h"
#include "platform/Window_win.h"

namespace app {

// Sent to the frame: lParam is the text (const wchar_t*) of the fingerprint cache line.
inline constexpr UINT kMsgSetCacheStatus = WM_APP + 1;
inline constexpr int kCacheStatusPart = 4;

// Shows the fingerprint cache line in the status bar of the frame that holds `window`.
void ShowCacheStatusLine(HWND window, const std::wstring& text);

struct FrameStart {
  int showCommand = SW_SHOWNORMAL;  // the process's, for the first showing
  int instanceNumber = 0;
  std::wstring commandLine;      // as the process got it
  HostedViewFactory createView;  // null: a placeholder view
  bool endLoopOnDestroy = true;  // post WM_QUIT when the window goes
};

class CImgCompareMain : public platform::BaseWindow, public IMessageFilter, public IIdleHandler {
 public:
  CImgCompareMain();
  ~CImgCompareMain() override;

  // Creates the window (hidden until placement restore shows it).
  bool Create(FrameStart start);

  void SetCommandHandler(UINT command, std::function<void()> handler);
  bool HasCommandHandler(UINT command) const;

  void SetCacheStatus(const std::wstring& text);
  // Menus, tool bar labels and title in the current language.
  void RetranslateTexts();

  CImgChildFrame* Child() const { return child_.get(); }
  // The menu translator, which also owns the translation editor.
  CTranslateMain& Translator() { return translator_; }
  IHostedView* HostedView() const { return child_ ? child_->View() : nullptr; }
  // The title the frame set (the system may add the maximised child's caption).
  const std::wstring& Title() const { return title_; }
  // The last folder named on the command line or handed over; empty when none.
  const std::wstring& CommandLineFolder() const { return folder_; }
  HWND ToolBar() const { return toolBar_; }
  HWND StatusBar() const { return statusBar_; }
  HWND MdiClient() const { return mdiClient_; }

  bool PreTranslateMessage(MSG& message) override;
  bool OnIdle(int idleCount) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate();
  LRESULT OnSize(WPARAM wParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose();
  LRESULT OnDestroy();
  LRESULT OnCopyData(LPARAM lParam);
  LRESULT OnSetCacheStatus(LPARAM lParam);

  bool CreateBars();
  bool CreateImageChild();
  void Layout();
  void SetTitle();
  void LabelToolBar();
  void ChooseLanguage(int language);
  void RestorePlacement();
  void SavePlacement();
  void TakeCommandLine(const std::wstring& commandLine);
  void Unregister();

  FrameStart start_;
  CTranslateMain translator_;
  std::unique_ptr<CImgChildFrame> child_;
  std::map<UINT, std::function<void()>> commands_;
  HWND toolBar_ = nullptr;
  HWND statusBar_ = nullptr;
  HWND mdiClient_ = nullptr;
  CMessageLoop* loop_ = nullptr;  // where this frame is registered
  std::wstring title_;
  std::wstring folder_;
  bool placementRestored_ = false;
};

}  // namespace app
