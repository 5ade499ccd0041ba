#include "app/CommandLine.h"

#include "app/LeadingInt.h"
#include "platform/Text.h"

namespace app {
namespace {

std::wstring_view Trimmed(std::wstring_view text, std::wstring_view what) {
  const size_t first = text.find_first_not_of(what);
  if (first == std::wstring_view::npos) return {};
  return text.substr(first, text.find_last_not_of(what) - first + 1);
}

}  // namespace

bool GoesToUpdateHandler(std::wstring_view commandLine) {
  return commandLine.size() > 5 && commandLine.size() < 521;
}

bool IsAutostartSwitch(std::wstring_view commandLine) { return commandLine == kAutostartSwitch; }

std::optional<int> AdminSettingsNumber(std::wstring_view commandLine) {
  std::wstring token(kAdminSettingsSwitch);
  token += L'=';
  const size_t at = commandLine.find(token);
  if (at == std::wstring_view::npos) return std::nullopt;
  // The number is read where the switch stands, not at a fixed offset, so
  // text before the switch cannot shift it.
  return LeadingInt(commandLine.substr(at + token.size()));
}

std::optional<std::wstring> HelpAnchor(std::wstring_view commandLine) {
  if (commandLine.substr(0, 5) != L"-help") return std::nullopt;
  const size_t hash = commandLine.find(L'#');
  if (hash == std::wstring_view::npos) return std::wstring();
  return std::wstring(commandLine.substr(hash));
}

bool IsExplorerStyle(std::wstring_view commandLine) { return commandLine.substr(0, 2) == L"/e"; }

std::wstring FolderOfCommandLine(std::wstring_view commandLine) {
  constexpr std::wstring_view kBlanks = L" \t";
  std::wstring_view text = Trimmed(commandLine, kBlanks);
  if (IsExplorerStyle(text)) {
    text.remove_prefix(2);
    text = Trimmed(text, kBlanks);
    if (!text.empty() && text.front() == L',') text.remove_prefix(1);
  }
  text = Trimmed(text, L" \t\"");
  return std::wstring(text);
}

std::string HandOverPayload(std::wstring_view commandLine) {
  std::string bytes = platform::ToUtf16LeBytes(commandLine);
  bytes.append(2, '\0');
  return bytes;
}

std::optional<std::wstring> ReadHandOverPayload(std::string_view bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
  for (size_t at = 0; at < bytes.size(); at += 2) {
    if (bytes[at] == '\0' && bytes[at + 1] == '\0')
      return platform::FromUtf16LeBytes(bytes.substr(0, at));
  }
  return std::nullopt;  // no terminating NUL: the sender's text is not whole
}

}  // namespace app
