#include "platform/ShellLaunch.h"

namespace platform {

bool Launch(const LaunchRequest&) { return false; }

std::optional<std::wstring> WindowsFolder() { return std::nullopt; }

}  // namespace platform
