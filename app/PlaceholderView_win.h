// A plain view for the main frame's child window: the program's one-line
// description and the folder named on the command line, if any.
#pragma once

#include "app/HostedView_win.h"
#include "platform/Window_win.h"

namespace app {

class CPlaceholderView : public platform::DialogWindow, public IHostedView {
 public:
  HWND CreateView(HWND parent) override;
  HWND ViewWindow() const override { return hwnd(); }
  bool PreTranslateMessage(MSG&) override { return false; }
  void Resize(const RECT& client) override;
  bool TakeCommandLineFolder(const std::wstring& folder) override;

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  INT_PTR OnInitDialog();
  void Layout();

  std::wstring folder_;
};

}  // namespace app
