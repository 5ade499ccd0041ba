#include "comparewindow/CIDropTargetPlus.h"

namespace comparewindow {
namespace {

FORMATETC PathListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

std::vector<std::wstring> DroppedPaths(HDROP drop) {
  std::vector<std::wstring> paths;
  if (!drop) return paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
    if (length == 0) continue;
    std::wstring path(length + 1, L'\0');
    ::DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(std::move(path));
  }
  return paths;
}

HRESULT CIDropTargetPlus::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CIDropTargetPlus::AddRef() { return ++references_; }

ULONG CIDropTargetPlus::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

bool CIDropTargetPlus::CarriesPaths(IDataObject* data) {
  FORMATETC format = PathListFormat();
  return data && data->QueryGetData(&format) == S_OK;
}

HRESULT CIDropTargetPlus::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  acceptable_ = CarriesPaths(data);
  if (effect) *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CIDropTargetPlus::DragOver(DWORD, POINTL, DWORD* effect) {
  if (effect) *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
  return S_OK;
}

HRESULT CIDropTargetPlus::DragLeave() {
  acceptable_ = false;
  return S_OK;
}

HRESULT CIDropTargetPlus::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
  acceptable_ = false;
  if (effect) *effect = DROPEFFECT_NONE;
  FORMATETC format = PathListFormat();
  STGMEDIUM medium{};
  if (!data || FAILED(data->GetData(&format, &medium))) return S_OK;
  const std::vector<std::wstring> paths = DroppedPaths(static_cast<HDROP>(medium.hGlobal));
  ::ReleaseStgMedium(&medium);
  if (paths.empty()) return S_OK;
  if (effect) *effect = DROPEFFECT_COPY;
  try {
    OnDropPaths(paths);
  } catch (...) {
    // Nothing unwinds into the drag source.
  }
  return S_OK;
}

}  // namespace comparewindow
