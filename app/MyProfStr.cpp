#include "app/MyProfStr.h"

#include "app/LeadingInt.h"
#include "app/ProgramInfo.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "platform/UserRegistry.h"

namespace app {
namespace {

constexpr wchar_t kSeparator = platform::kPathSeparator;

bool IsFile(const std::wstring& path) {
  const auto attributes = platform::FileAttributes(path);
  return attributes && (*attributes & platform::kAttrDirectory) == 0;
}

std::wstring Truncated(std::wstring text, size_t limit) {
  if (text.size() > limit) text.resize(limit);
  return text;
}

}  // namespace

CMyProfStr::CMyProfStr() : settingsPath_(ProgramName() + L".ini"), settingsName_(ProgramName()) {}

int CMyProfStr::Init() { return Init(platform::ProgramFilePath(), platform::UserAppDataFolder()); }

int CMyProfStr::Init(const std::wstring& programPath,
                     const std::optional<std::wstring>& appDataFolder) {
  const std::wstring& name = ProgramName();
  settingsName_ = name;
  nameSuffix_.clear();
  portable_ = false;
  // Until a folder is known the path is a bare file name.
  settingsPath_ = name + L".ini";

  const size_t cut = programPath.rfind(kSeparator);
  const size_t nameStart = cut == std::wstring::npos ? 0 : cut + 1;
  const std::wstring folder = programPath.substr(0, nameStart == 0 ? 0 : cut);

  const std::wstring besideProgram = folder + kSeparator + name + L".ini";
  if (IsFile(besideProgram) && IsWritable(besideProgram)) settingsPath_ = besideProgram;

  // The position where the file name's extension starts. A Linux program has
  // none; its name then ends the path, as a Windows one ends in ".exe".
  const size_t dot = programPath.rfind(L'.');
  const size_t extension = dot == std::wstring::npos || dot < nameStart ? programPath.size() : dot;
  if (extension > 2 && !IsFile(folder + kSeparator + name + L"_Uninstall.ini")) portable_ = true;

  // Only the file name counts: "ini=" in a folder name would put a path into
  // the settings name.
  const size_t ini = programPath.find(L"ini=", nameStart);
  if (ini != std::wstring::npos && ini > 2) {
    std::wstring suffix = programPath.substr(ini + 4);
    const size_t last = suffix.rfind(L'.');
    if (last != std::wstring::npos) suffix.resize(last);
    if (suffix.size() > 3) {
      nameSuffix_ = suffix;
      settingsName_ = name + L"_" + suffix;
      settingsPath_ = folder + kSeparator + settingsName_ + L".ini";
    }
  }

  const std::wstring appData =
      (appDataFolder ? *appDataFolder : folder) + kSeparator + settingsName_ + L".ini";
  if (!portable_) settingsPath_ = appData;
  // A portable copy without a settings file beside it still has the bare
  // name, which the system would look for in some folder of its own (Linux:
  // the current folder); such a copy keeps its settings with the user instead.
  if (settingsPath_.find(kSeparator) == std::wstring::npos || !IsWritable(settingsPath_)) {
    settingsPath_ = appData;
    portable_ = false;
  }
  return 1;
}

bool CMyProfStr::WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& text, const std::wstring& file) {
  return platform::WriteIniValue(file.empty() ? settingsPath_ : file, section, key, text);
}

bool CMyProfStr::WriteInt(const std::wstring& section, const std::wstring& key, int value,
                          const std::wstring& file) {
  return WriteString(section, key, std::to_wstring(value), file);
}

std::wstring CMyProfStr::ReadString(const std::wstring& section, const std::wstring& key,
                                    const std::wstring& defaultText) const {
  return Truncated(platform::ReadIniValue(settingsPath_, section, key, defaultText), 4095);
}

void CMyProfStr::ReadStringShort(const std::wstring& section, const std::wstring& key,
                                 std::wstring& text) const {
  text = Truncated(platform::ReadIniValue(settingsPath_, section, key, text), 4023);
}

int CMyProfStr::ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        int min, int max) const {
  int value = LeadingInt(ReadString(section, key, std::to_wstring(defaultValue)));
  if (min != -1 && max != -1) {
    if (value > max) value = max;
    if (value < min) value = min;
  }
  return value;
}

bool CMyProfStr::ReadRect(const std::wstring& section, const std::wstring& key,
                          ProfRect& rect) const {
  const std::wstring text = ReadString(section, key, L"");
  int fields[4];
  size_t at = 0;
  for (int& field : fields) {
    if (at > text.size()) return false;
    size_t end = text.find(L';', at);
    if (end == std::wstring::npos) end = text.size();
    if (end == at && end == text.size()) return false;
    field = LeadingInt(std::wstring_view(text).substr(at, end - at));
    at = end + 1;
  }
  rect = ProfRect{fields[0], fields[1], fields[2], fields[3]};
  return true;
}

std::wstring CMyProfStr::ReadSection(const std::wstring& section) const {
  constexpr size_t kLimit = 65536;
  std::wstring text;
  for (const std::wstring& entry : platform::ReadIniSection(settingsPath_, section)) {
    if (text.size() + entry.size() + 2 > kLimit) break;
    text += entry;
    text += L"\r\n";
  }
  return text;
}

bool CMyProfStr::ReplaceSection(const std::wstring& section, const std::wstring& entries) {
  std::vector<std::wstring> lines;
  size_t at = 0;
  while (at < entries.size()) {
    size_t end = entries.find_first_of(std::wstring_view(L"\r\n\0", 3), at);
    if (end == std::wstring::npos) end = entries.size();
    if (end > at) lines.push_back(entries.substr(at, end - at));
    at = end + 1;
  }
  DeleteSection(section);
  return platform::WriteIniSection(settingsPath_, section, lines);
}

bool CMyProfStr::DeleteSection(const std::wstring& section) {
  return platform::DeleteIniSection(settingsPath_, section);
}

bool CMyProfStr::IsWritable(const std::wstring& path) {
  const std::wstring kept = settingsPath_;
  settingsPath_ = path;
  const int value = static_cast<int>(platform::MilliClock());
  const bool written = WriteInt(L"Start", L"chk_ini", value);
  // The default differs from the value, so a failed write never reads as a
  // success (with a default of 0 it would whenever the clock stood at 0).
  const int read =
      ReadInt(L"Start", L"chk_ini", static_cast<int>(static_cast<unsigned>(value) + 1u));
  settingsPath_ = kept;
  return written && read == value;
}

int CMyProfStr::RegReadInt(const std::wstring& name, int defaultValue) const {
  if (portable_) return defaultValue;
  const auto text = platform::ReadUserRegistryString(settingsName_, name);
  return text && !text->empty() ? LeadingInt(*text) : defaultValue;
}

bool CMyProfStr::RegWriteInt(const std::wstring& name, int value) {
  if (portable_) return false;
  return platform::WriteUserRegistryString(settingsName_, name, std::to_wstring(value));
}

CMyProfStr& Settings() {
  static CMyProfStr store;
  return store;
}

CNamedInt::CNamedInt(std::wstring_view keyName, int32_t defaultValue, int32_t tag)
    : value(defaultValue), extra(tag), key(keyName.substr(0, kMaxKeyLength)) {}

void CNamedInt::Load(const CMyProfStr& store) {
  value = store.ReadInt(store.SettingsName(), key, value);
}

bool CNamedInt::Save(CMyProfStr& store) const {
  return store.WriteInt(store.SettingsName(), key, value);
}

}  // namespace app
