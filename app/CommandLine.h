// What a start makes of its command line (the raw argument text, without the
// program path), and the hand-over of a command line to a running window.
//
//   if (app::IsAutostartSwitch(commandLine)) ...          // whole line, exact
//   if (auto anchor = app::HelpAnchor(commandLine)) ...   // "-help#search" gives "#search"
//
// The two switch tokens are what the installer puts on the command line of the
// autostart toggle and of the elevated relaunch for the administrative settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// 21 characters; toggles the all-users autostart entry.
inline constexpr std::wstring_view kAutostartSwitch = L"Duplora_autostart_tgl";
// 29 characters, followed by "=" and a decimal number for the dialog.
inline constexpr std::wstring_view kAdminSettingsSwitch = L"Duplora_admin_settings_dialog";

// Command lines of 6 to 520 characters go to the update handler.
bool GoesToUpdateHandler(std::wstring_view commandLine);

// The whole command line is the autostart switch (case-sensitive, nothing around it).
bool IsAutostartSwitch(std::wstring_view commandLine);

// The number after the administrative-settings switch and its "=", when the
// command line holds the switch; nothing otherwise.
std::optional<int> AdminSettingsNumber(std::wstring_view commandLine);

// For a command line starting with "-help": "#" + the text after its first
// "#", or empty when there is no "#". Nothing for any other command line.
std::optional<std::wstring> HelpAnchor(std::wstring_view commandLine);

// An explorer-style call ("/e,C:\Pictures").
bool IsExplorerStyle(std::wstring_view commandLine);

// The folder a command line names: surrounding blanks and quotation marks
// dropped, and for an explorer-style call the "/e" with its comma. May be
// empty; whether the folder exists is the caller's question.
std::wstring FolderOfCommandLine(std::wstring_view commandLine);

// WM_COPYDATA hand-over: dwData, and the reply of a window that took it.
inline constexpr unsigned kHandOverData = 10100;

// The payload bytes: the command line as UTF-16LE with its terminating NUL.
std::string HandOverPayload(std::wstring_view commandLine);

// The command line of a received payload; nothing unless the bytes are
// UTF-16LE text ending in a NUL within the given size.
std::optional<std::wstring> ReadHandOverPayload(std::string_view bytes);

}  // namespace app
