// The compare window: a modeless child dialog (template 347) hosted by the
// main frame's document window. The user names one or two folders, sets the
// options on the toolbars' drop-down menus (kept in the main settings
// section), starts and stops a search, and reads the result list while the
// two preview panes show the selected pair.
//
//   auto view = std::make_unique<CImgCmp2017>();
//   view->CreateView(childFrame);          // app::IHostedView
//
// A search runs on the worker of an engine::SearchController. The worker
// reaches the window only through engine::SearchWindow: each request is
// sent to the window as a private message and carried out on its thread,
// and once the window has started closing the requests are dropped. Closing
// the window stops the worker and waits for it.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/HostedView_win.h"
#include "comparewindow/C2017ComboBoxEx.h"
#include "comparewindow/CIDropTargetPlus.h"
#include "comparewindow/CListCtrlHelp.h"
#include "comparewindow/CSortList.h"
#include "comparewindow/CompareToolbars.h"
#include "comparewindow/CompareWindowSettings.h"
#include "comparewindow/FolderFilesPanel.h"
#include "engine/Fingerprint.h"
#include "engine/PictureServices.h"
#include "engine/SearchRun.h"
#include "engine/SearchWindow.h"
#include "platform/Handles_win.h"
#include "platform/Window_win.h"
#include "viewing/CPicWindow.h"

namespace comparewindow {

// The system's folder choice (or a test's): nothing when the user cancels.
using FolderChooser =
    std::function<std::optional<std::wstring>(HWND owner, const std::wstring& start)>;
// Shows a drop-down menu at a screen point; the chosen command, 0 for none.
using MenuChooser = std::function<int(HMENU menu, POINT at, HWND owner)>;

// Timers of the window.
inline constexpr UINT_PTR kLanguageTimer = 10001;  // 30 ms: the interface language changed?
inline constexpr UINT_PTR kBusyTimer = 1111;       // 50 ms: the busy progress animation
inline constexpr UINT_PTR kWarningTimer = 1112;    // 300 ms, one shot: the field warning's flashes
inline constexpr UINT_PTR kCaptionTimer = 100022;  // 100 ms, one shot: captions after mark changes

// The field warning flashes this many steps (five times red).
inline constexpr int kWarningSteps = 10;

class CImgCmp2017 : public platform::DialogWindow,
                    public app::IHostedView,
                    public engine::SearchWindow {
 public:
  // The OLE drop target of a folder field.
  class CMCB_Drop;

  explicit CImgCmp2017(engine::PictureServicesFactory services = engine::MakeSystemPictureServices);
  ~CImgCmp2017() override;

  // app::IHostedView
  HWND CreateView(HWND parent) override;
  HWND ViewWindow() const override { return hwnd(); }
  bool PreTranslateMessage(MSG& message) override;
  void Resize(const RECT& client) override;
  bool TakeCommandLineFolder(const std::wstring& folder) override;
  HWND ResultList() const override { return list_.hwnd(); }

  // engine::SearchWindow, called by the run's worker (or the window's own thread).
  std::wstring PathBoxText(engine::PathBox box) override;
  void FieldWarning(engine::PathBox box, const std::wstring& message) override;
  void AddToHistory(engine::PathBox box, const std::wstring& text) override;
  void ShowDuplicateMessage(const std::wstring& path) override;
  void SetLine(engine::TextLine line, const std::wstring& text) override;
  void SetStartStopLabel(const std::wstring& text) override;
  void BusyProgress() override;
  void DeterminateProgress(int range) override;
  void ProgressDone() override;
  void SetProgressPosition(int position) override;
  void DeleteAllRows() override;
  void AppendRow(const engine::MatchPair& pair) override;
  void SetListRedraw(bool on) override;
  void SortBy(int column, bool descending) override;
  void SetRunning(bool running) override;
  void ShowCacheStatus(const std::wstring& text) override;

  // The folder dialog of "..." and "...+", and the option menus' tracking.
  void SetFolderChooser(FolderChooser chooser) { folderChooser_ = std::move(chooser); }
  void SetMenuChooser(MenuChooser chooser) { menuChooser_ = std::move(chooser); }

  // A run is going or about to, as the user sees it.
  bool IsRunning() const { return controller_.running(); }
  // The worker has not ended yet (it may still be ending a stopped run).
  bool WorkerActive() const { return controller_.WorkerActive(); }

  const CompareWindowSettings& Options() const { return options_; }
  int ViewMode() const { return viewMode_; }
  C2017ComboBoxEx& Field(engine::PathBox box) { return fields_[static_cast<int>(box)]; }
  viewing::CPicWindow& Preview(Side side) { return previews_[static_cast<int>(side)]; }
  FolderFilesPanel& PreviewPanel(Side side) { return previewPanels_[static_cast<int>(side)]; }
  FolderFilesPanel& ViewPanel() { return viewPanel_; }
  CompareToolbars& Toolbars() { return toolbars_; }
  CListCtrlHelp& List() { return list_; }
  CSortList& Sort() { return sort_; }

  // The row shown in the previews (-1 when none) and its pictures' paths.
  int PreviewedRow() const { return previewedRow_; }
  const std::wstring& PreviewedPath(Side side) const {
    return previewedPaths_[static_cast<int>(side)];
  }

  // The field warning: the process's balloon tip, the flashing control and its counter.
  static HWND BalloonTip();
  HWND WarningTarget() const { return warningTarget_; }
  int WarningCounter() const { return warningCounter_; }

  // Shows a row in the previews. With load the pictures are requested (and
  // the file panels follow); without, only the texts around them are renewed.
  void ShowRowInPreviews(int row, bool load);
  // Renews the texts around the previews 100 ms from now, so a burst of mark
  // changes causes one renewal.
  void ScheduleCaptionRefresh();
  // Shows the row toolbars over the path cells of a row, or hides them when
  // they are switched off, a cell is edited or there is no such row.
  void PlaceRowToolbars(int row);

 protected:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  INT_PTR OnInitDialog();
  INT_PTR OnCommand(WORD id, WORD code, HWND sender);
  INT_PTR OnNotify(NMHDR& header);
  INT_PTR OnTimer(UINT_PTR id);
  INT_PTR OnSize();
  INT_PTR OnDestroy();
  INT_PTR OnRunRequest(LPARAM lParam);

  // Opening
  void WireFolderFields();
  void SetUpTexts();
  void CreatePreviews();

  // Start and stop, and the end of the window
  void OnStartStop();
  void EndRunForClosing();
  // Carries a request of the worker out on the window's thread.
  void OnWindowThread(const std::function<void()>& work);

  // Options and layout
  LRESULT OnToolbarDropDown(const NMTOOLBARW& notice);
  void OnToolbarTip(NMTBGETINFOTIPW& tip);
  void ApplyChoice(OptionBar bar, int button, int command);
  void RefreshLabels();
  void Layout();
  void LayOutPreviewHost(Side side);
  void ShowView();
  void RebuildPreviews();
  void ReleasePanels();

  // Folder fields
  void OnChooseFolder(engine::PathBox box, bool append);
  void AppendFolder(C2017ComboBoxEx& field, const std::wstring& folder);
  void OnDropOnField(engine::PathBox box, const std::vector<std::wstring>& paths,
                     bool leftButtonDown);
  void StartFieldWarning(HWND control, const std::wstring& message);
  void OnWarningTick();
  void SetWarningColour(HWND control, bool on);

  // Result list
  void OnListItemChanged(const NMLISTVIEW& change);
  void OnLanguageTick();

  engine::TextLookup texts_;
  CompareWindowSettings options_;
  engine::FingerprintCache cache_;  // for the life of the window, so a second run is quick
  int viewMode_ = kViewResultList;
  bool runningShown_ = false;
  bool editingCell_ = false;  // an in-place edit of a cell hides the row toolbars
  int shownLanguage_ = -1;
  int textHeight_ = 13;
  int fieldHeight_ = 21;

  C2017ComboBoxEx fields_[2];
  Microsoft::WRL::ComPtr<CMCB_Drop> dropTargets_[2];
  CompareToolbars toolbars_;
  CListCtrlHelp list_;
  CSortList sort_{list_};
  viewing::CPicWindow previews_[2];
  FolderFilesPanel previewPanels_[2];
  FolderFilesPanel viewPanel_;
  platform::UniqueFont lineFont_;

  int previewedRow_ = -1;
  std::wstring previewedPaths_[2];

  HWND warningTarget_ = nullptr;
  int warningCounter_ = 0;

  FolderChooser folderChooser_;
  MenuChooser menuChooser_;

  // Read by the worker: the window's handle and whether it is closing.
  std::atomic<HWND> window_{nullptr};
  std::atomic<bool> closing_{false};

  // Last: its worker uses everything above, and it is stopped first.
  engine::SearchController controller_;
};

class CImgCmp2017::CMCB_Drop : public CIDropTargetPlus {
 public:
  CMCB_Drop(CImgCmp2017& window, engine::PathBox box) : window_(&window), box_(box) {}
  // The window is going: drops after this do nothing.
  void Detach() { window_ = nullptr; }

 protected:
  void OnDropPaths(const std::vector<std::wstring>& paths) override;

 private:
  CImgCmp2017* window_;
  engine::PathBox box_;
};

}  // namespace comparewindow
