// What the main frame's child window hosts as its client view: the compare
// window, a modeless child dialog. A view class implements this and the
// program's CreateHostedView (app/FramePlugins_win.cpp) makes it:
//
//   class CImgCmp2017 : public platform::DialogWindow, public app::IHostedView {
//     HWND CreateView(HWND parent) override { return CreateModeless(platform::ProgramInstance(),
//     347, parent); } HWND ViewWindow() const override { return hwnd(); } bool
//     PreTranslateMessage(MSG& message) override { ... own keys ...; return false; } void
//     Resize(const RECT& client) override { ::MoveWindow(hwnd(), 0, 0, client.right, client.bottom,
//     TRUE); } bool TakeCommandLineFolder(const std::wstring& folder) override { ... right folder
//     field ... }
//   };
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace app {

class IHostedView {
 public:
  virtual ~IHostedView() = default;

  // Creates the view as a child of `parent`; the host shows it. Null on failure.
  virtual HWND CreateView(HWND parent) = 0;
  virtual HWND ViewWindow() const = 0;

  // The view's own look at a queued message, after the frame's accelerators
  // and before dialog navigation; true when it handled the message.
  virtual bool PreTranslateMessage(MSG& message) = 0;

  // Fills the host's client rectangle.
  virtual void Resize(const RECT& client) = 0;

  // A folder named on the command line, or handed over by a later start;
  // false when the view has no place for it.
  virtual bool TakeCommandLineFolder(const std::wstring& /*folder*/) { return false; }

  // The view's result list (a report-style list view) for the frame's export;
  // null when the view has none.
  virtual HWND ResultList() const { return nullptr; }
};

using HostedViewFactory = std::function<std::unique_ptr<IHostedView>()>;

}  // namespace app
