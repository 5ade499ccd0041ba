// An OLE drop target for paths dropped from Explorer (the shell's file list
// format). A derived class says what happens with the paths; the target
// accepts a drag only when it carries paths.
//
//   ComPtr<CIDropTargetPlus> target = ...;       // made with new, owned by its references
//   ::RegisterDragDrop(window, target.Get());
//   ...
//   ::RevokeDragDrop(window);
#pragma once

#include <windows.h>

#include <oleidl.h>
#include <shellapi.h>

#include <atomic>
#include <string>
#include <vector>

namespace comparewindow {

// The paths of the shell's dropped-file list, in drop order.
std::vector<std::wstring> DroppedPaths(HDROP drop);

class CIDropTargetPlus : public IDropTarget {
 public:
  CIDropTargetPlus() = default;
  CIDropTargetPlus(const CIDropTargetPlus&) = delete;
  CIDropTargetPlus& operator=(const CIDropTargetPlus&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDropTarget
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                 DWORD* effect) override;

 protected:
  virtual ~CIDropTargetPlus() = default;
  // The paths of a drop, in drop order.
  virtual void OnDropPaths(const std::vector<std::wstring>& paths) = 0;

 private:
  static bool CarriesPaths(IDataObject* data);

  std::atomic<ULONG> references_{1};
  bool acceptable_ = false;
};

}  // namespace comparewindow
