// The settings store: one profile file whose place is decided once at start,
// read and written by section and key with nothing cached, plus a few
// integers in the user's registry key for installed copies.
//
//   app::Settings().Init();                                    // once, at start
//   int mode = app::Settings().ReadInt(L"Start", L"Max", 3, 0, 3);
//   app::Settings().WriteInt(L"Start", L"showCmd", 1);
//
// Init picks the file: <program folder>/Duplora.ini when it exists, is
// writable and the copy is portable (no Duplora_Uninstall.ini next to the
// program), otherwise Duplora.ini in the user's application-data folder. A
// program file named like "Duplora ini=work.exe" keeps its settings apart,
// in Duplora_work.ini with the main section [Duplora_work]. On Linux the
// program folder is the folder of the running executable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

struct ProfRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class CMyProfStr {
 public:
  CMyProfStr();

  // Decides the settings file for the running program. Returns 1.
  int Init();
  // The same for a given program file and application-data folder (nothing:
  // the folder cannot be determined, so the program folder takes its place).
  int Init(const std::wstring& programPath, const std::optional<std::wstring>& appDataFolder);

  // Writes key=text; an empty file means the settings file.
  bool WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& text,
                   const std::wstring& file = {});
  bool WriteInt(const std::wstring& section, const std::wstring& key, int value,
                const std::wstring& file = {});

  // The stored text (at most 4095 characters), or the default when the key is missing.
  std::wstring ReadString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& defaultText) const;
  // As ReadString with the incoming text as default; at most 4023 characters.
  void ReadStringShort(const std::wstring& section, const std::wstring& key,
                       std::wstring& text) const;
  // The stored number (see LeadingInt; a text that is no number gives 0). When
  // neither min nor max is -1 the value is held to min..max.
  int ReadInt(const std::wstring& section, const std::wstring& key, int defaultValue, int min = -1,
              int max = -1) const;
  // "left;top;right;bottom"; false, and rect unchanged, unless there are four fields.
  bool ReadRect(const std::wstring& section, const std::wstring& key, ProfRect& rect) const;

  // Every key=value entry of the section in file order, each followed by CR LF.
  std::wstring ReadSection(const std::wstring& section) const;
  // Deletes the section, then writes the entries (in ReadSection's form: one
  // key=value per line) as its new content.
  bool ReplaceSection(const std::wstring& section, const std::wstring& entries);
  bool DeleteSection(const std::wstring& section);

  // Writes the clock to [Start] chk_ini of the file and reads it back. The key stays.
  bool IsWritable(const std::wstring& path);

  // Integers under the registry key of the settings name; installed copies only:
  // a portable copy reads the default and writes nothing.
  int RegReadInt(const std::wstring& name, int defaultValue) const;
  bool RegWriteInt(const std::wstring& name, int value);

  const std::wstring& SettingsPath() const { return settingsPath_; }
  bool IsPortable() const { return portable_; }
  // The program name, with "_" + suffix for a program file named with "ini=".
  const std::wstring& SettingsName() const { return settingsName_; }
  const std::wstring& NameSuffix() const { return nameSuffix_; }

 private:
  std::wstring settingsPath_;
  bool portable_ = false;
  std::wstring settingsName_;
  std::wstring nameSuffix_;
};

// The process-wide store.
CMyProfStr& Settings();

// One integer setting of a window: its value (starting as the default), a
// tag for the window's own use, and its key in the main settings section.
struct CNamedInt {
  static constexpr size_t kMaxKeyLength = 63;

  CNamedInt(std::wstring_view keyName, int32_t defaultValue, int32_t tag = 0);

  // Reads the key with the current value as default, without range check.
  void Load(const CMyProfStr& store = Settings());
  bool Save(CMyProfStr& store = Settings()) const;

  int32_t value;
  int32_t extra;
  std::wstring key;  // at most kMaxKeyLength characters
};

}  // namespace app
