#include "platform/ShellFileOperation.h"

namespace platform {

FileOperationResult RunFileOperation(const FileOperation&) {
  // No recycle bin and no system dialogs to ask with: touch nothing.
  return {-1, true};
}

}  // namespace platform
