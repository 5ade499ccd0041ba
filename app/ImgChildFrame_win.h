// The main frame's one MDI child: it hosts the compare window (any
// IHostedView) as its client view and gives queued messages to it first:
// the frame's accelerators, the view's own pre-translation, then dialog
// navigation, so Tab and the mnemonics work inside the view.
#pragma once

#include <memory>

#include "app/HostedView_win.h"
#include "platform/Window_win.h"

namespace app {

class CImgChildFrame : public platform::BaseWindow {
 public:
  explicit CImgChildFrame(std::unique_ptr<IHostedView> view);
  ~CImgChildFrame() override;

  // Creates the child maximised in the frame's MDI client; accelerator
  // commands go to `frame`.
  bool Create(HWND mdiClient, HWND frame);

  bool PreTranslateMessage(MSG& message);

  IHostedView* View() const { return view_.get(); }
  HWND ViewWindow() const { return view_ ? view_->ViewWindow() : nullptr; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  LRESULT OnCreate();
  LRESULT OnSize(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetFocus(WPARAM wParam, LPARAM lParam);
  LRESULT OnClose();

  std::unique_ptr<IHostedView> view_;
  HWND frame_ = nullptr;
  HWND mdiClient_ = nullptr;
  HACCEL accelerators_ = nullptr;  // a resource table: the system frees it with the program
};

// The image child window of the program, while one exists.
CImgChildFrame* CurrentImgChild();

}  // namespace app
