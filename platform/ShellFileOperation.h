// The system's file operation service: copy, move and delete with its own
// progress, confirmation and error dialogs, and undo through the recycle bin.
//
//   platform::FileOperation op;
//   op.owner = window;                       // an HWND on Windows
//   op.function = platform::FileFunction::Delete;
//   op.sources = L"C:\\a.jpg" + std::wstring(2, L'\0');  // NUL-ended, then one more
//   op.flags = platform::kFileOpAllowUndo;
//   platform::RunFileOperation(op);
//
// Linux has no such service: nothing is touched there and the call fails.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class FileFunction : uint32_t { Move = 1, Copy = 2, Delete = 3 };

inline constexpr uint32_t kFileOpMultiDestination = 0x01;  // one target per source
inline constexpr uint32_t kFileOpRenameOnCollision = 0x08;
inline constexpr uint32_t kFileOpAllowUndo = 0x40;  // deleting goes to the recycle bin
inline constexpr uint32_t kFileOpFilesOnly = 0x80;

struct FileOperation {
  void* owner = nullptr;  // the window that owns the system's dialogs
  FileFunction function = FileFunction::Copy;
  std::wstring sources;  // paths each ended by a NUL, the list by a second NUL
  std::wstring targets;  // a folder or, with kFileOpMultiDestination, a list like sources
  uint32_t flags = 0;
};

struct FileOperationResult {
  int code = 0;          // the service's return code, 0 when it ran
  bool aborted = false;  // the user cancelled or refused at least one step
  bool ok() const { return code == 0 && !aborted; }
};

// Runs the operation to its end (the system's dialogs are modal).
FileOperationResult RunFileOperation(const FileOperation& operation);

}  // namespace platform
