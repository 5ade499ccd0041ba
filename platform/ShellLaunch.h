// Starting a program or opening a document through the system's shell.
//
//   platform::Launch({L"C:\\Windows\\explorer.exe", L" /select,\"C:\\a.jpg\",/e", true});
//   platform::Launch({L"C:\\a.jpg", L"", true});   // the file's default verb
//
// Linux has no such shell: nothing starts and the calls fail.
#pragma once

#include <optional>
#include <string>

namespace platform {

struct LaunchRequest {
  std::wstring file;        // a program, or a document opened with its default verb
  std::wstring parameters;  // handed to a program as they stand
  bool maximised = false;

  bool operator==(const LaunchRequest&) const = default;
};

bool Launch(const LaunchRequest& request);

// The Windows folder ("C:\Windows"); nothing on Linux.
std::optional<std::wstring> WindowsFolder();

}  // namespace platform
