#include "platform/ShellFileOperation.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

FileOperationResult RunFileOperation(const FileOperation& operation) {
  // The shell reads the lists up to their double NUL.
  if (operation.sources.size() < 2 || operation.sources.back() != L'\0') return {-1, false};
  SHFILEOPSTRUCTW request{};
  request.hwnd = static_cast<HWND>(operation.owner);
  request.wFunc = static_cast<UINT>(operation.function);
  request.pFrom = operation.sources.c_str();
  request.pTo = operation.function == FileFunction::Delete ? nullptr : operation.targets.c_str();
  request.fFlags = static_cast<FILEOP_FLAGS>(operation.flags);
  const int code = ::SHFileOperationW(&request);
  return {code, request.fAnyOperationsAborted != FALSE};
}

}  // namespace platform
