#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

#include "app/MyProfStr.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "platform/UserRegistry.h"
#include "tests/support/TempFolder.h"

namespace {

using app::CMyProfStr;

constexpr wchar_t kSep = platform::kPathSeparator;

enum class Beside { kNothing, kWritableIni, kReadOnlyIni };

void MakeReadOnly(const std::wstring& path) {
  std::filesystem::permissions(std::filesystem::path(path),
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
}

// Windows refuses to write a read-only file to everyone; wine run by root
// writes it all the same, so there the read-only cases cannot be shown.
bool SystemKeepsReadOnlyFiles() {
#ifdef _WIN32
  testsupport::TempFolder temp;
  const std::wstring probe = temp / L"probe.txt";
  platform::WriteFileBytes(probe, "a");
  MakeReadOnly(probe);
  return !platform::WriteFileBytes(probe, "b");
#else
  return true;  // our own writer refuses them, even for root
#endif
}

// A program folder and an application-data folder in a scratch folder.
struct Install {
  testsupport::TempFolder temp;
  std::wstring programFolder = temp.MakeFolder(L"program");
  std::wstring appData = temp.MakeFolder(L"appdata");

  Install(Beside beside, bool uninstallMarker) {
    const std::wstring ini = programFolder + kSep + L"Duplora.ini";
    if (beside != Beside::kNothing)
      platform::WriteFileBytes(ini, "[Duplora]\r\nm_similarity=85\r\n");
    if (beside == Beside::kReadOnlyIni) MakeReadOnly(ini);
    if (uninstallMarker)
      platform::WriteFileBytes(programFolder + kSep + L"Duplora_Uninstall.ini", "");
  }
};

TEST(SettingsInit, PicksTheSettingsFile) {
  struct Case {
    const char* what;
    const wchar_t* programFile;
    Beside beside;
    bool marker;
    bool appDataKnown;
    bool expectBesideProgram;  // else in the application-data folder
    const wchar_t* expectFile;
    bool expectPortable;
    const wchar_t* expectName;
  };
  for (const Case& c : {
           Case{"installed copy ignores a file beside it", L"Duplora.exe", Beside::kWritableIni,
                true, true, false, L"Duplora.ini", false, L"Duplora"},
           Case{"portable copy with a writable file", L"Duplora.exe", Beside::kWritableIni, false,
                true, true, L"Duplora.ini", true, L"Duplora"},
           Case{"portable copy with a read-only file", L"Duplora.exe", Beside::kReadOnlyIni, false,
                true, false, L"Duplora.ini", false, L"Duplora"},
           Case{"portable copy without a file", L"Duplora.exe", Beside::kNothing, false, true,
                false, L"Duplora.ini", false, L"Duplora"},
           Case{"ini=work names its own file", L"Duplora ini=work.exe", Beside::kNothing, false,
                true, true, L"Duplora_work.ini", true, L"Duplora_work"},
           Case{"ini= with three characters changes nothing", L"Duplora ini=abc.exe",
                Beside::kWritableIni, false, true, true, L"Duplora.ini", true, L"Duplora"},
           Case{"program without extension (Linux)", L"duplora-cli", Beside::kWritableIni, false,
                true, true, L"Duplora.ini", true, L"Duplora"},
           Case{"no application-data folder", L"Duplora.exe", Beside::kNothing, true, false, true,
                L"Duplora.ini", false, L"Duplora"},
       }) {
    SCOPED_TRACE(c.what);
    if (c.beside == Beside::kReadOnlyIni && !SystemKeepsReadOnlyFiles()) continue;
    Install install(c.beside, c.marker);
    CMyProfStr store;
    ASSERT_EQ(store.Init(install.programFolder + kSep + c.programFile,
                         c.appDataKnown ? std::optional(install.appData) : std::nullopt),
              1);
    const std::wstring folder = c.expectBesideProgram ? install.programFolder : install.appData;
    EXPECT_EQ(store.SettingsPath(), folder + kSep + c.expectFile);
    EXPECT_EQ(store.IsPortable(), c.expectPortable);
    EXPECT_EQ(store.SettingsName(), c.expectName);
    // The writability test leaves its key in the file it tested; the
    // fallback after a failed test is taken untested.
    if (c.expectBesideProgram || c.marker) {
      EXPECT_NE(store.ReadString(L"Start", L"chk_ini", L""), L"");
    }
  }
}

TEST(SettingsInit, ReadOnlyFileIsLeftAlone) {
  if (!SystemKeepsReadOnlyFiles()) GTEST_SKIP() << "this system writes read-only files";
  Install install(Beside::kReadOnlyIni, false);
  CMyProfStr store;
  store.Init(install.programFolder + kSep + L"Duplora.exe", install.appData);
  const auto bytes = platform::ReadFileBytes(install.programFolder + kSep + L"Duplora.ini");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, "[Duplora]\r\nm_similarity=85\r\n");
  EXPECT_FALSE(store.IsWritable(install.programFolder + kSep + L"Duplora.ini"));
}

TEST(SettingsInit, NameSuffixNamesTheMainSection) {
  Install install(Beside::kNothing, false);
  CMyProfStr store;
  store.Init(install.programFolder + kSep + L"Duplora ini=work.exe", install.appData);
  EXPECT_EQ(store.NameSuffix(), L"work");

  app::CNamedInt similarity(L"m_similarity", 90);
  similarity.Load(store);
  EXPECT_EQ(similarity.value, 90) << "missing key keeps the default";
  similarity.value = 85;
  ASSERT_TRUE(similarity.Save(store));
  EXPECT_EQ(platform::ReadIniValue(store.SettingsPath(), L"Duplora_work", L"m_similarity", L""),
            L"85");
  app::CNamedInt again(L"m_similarity", 90);
  again.Load(store);
  EXPECT_EQ(again.value, 85);

  const std::wstring longKey(80, L'k');
  EXPECT_EQ(app::CNamedInt(longKey, 0).key, longKey.substr(0, 63));
}

// A store on a fresh file in a scratch folder.
struct Store {
  testsupport::TempFolder temp;
  CMyProfStr store;
  Store() {
    const std::wstring program = temp.MakeFolder(L"program");
    platform::WriteFileBytes(program + kSep + L"Duplora.ini", "");
    store.Init(program + kSep + L"Duplora.exe", temp.MakeFolder(L"appdata"));
  }
};

TEST(SettingsStore, ReadIntConvertsAndClamps) {
  Store s;
  struct Case {
    const wchar_t* stored;  // null: key missing
    int defaultValue, min, max, expected;
  };
  for (const Case& c : {
           Case{L"15", 0, 0, 10, 10}, Case{L"-3", 0, 0, 10, 0},
           Case{L"15", 0, -1, 10, 15},  // -1 on either side: no clamping
           Case{L"-3", 0, 0, -1, -3},
           Case{L"abc", 7, -1, -1, 0},  // not a number: 0, not the default
           Case{L"  +42px", 7, -1, -1, 42}, Case{L"-8", 7, -1, -1, -8},
           Case{L"99999999999", 0, -1, -1, INT_MAX}, Case{nullptr, 7, -1, -1, 7},
           Case{nullptr, 50, 0, 10, 10},  // the default is clamped too
       }) {
    if (c.stored)
      s.store.WriteString(L"Start", L"value", c.stored);
    else
      s.store.DeleteSection(L"Start");
    EXPECT_EQ(s.store.ReadInt(L"Start", L"value", c.defaultValue, c.min, c.max), c.expected)
        << (c.stored ? platform::ToUtf8(c.stored) : "missing");
  }
}

TEST(SettingsStore, ReadRectNeedsFourFields) {
  Store s;
  struct Case {
    const wchar_t* stored;
    bool ok;
    app::ProfRect expected;
  };
  const app::ProfRect untouched{7, 7, 7, 7};
  for (const Case& c : {
           Case{L"10;20;800;600", true, {10, 20, 800, 600}},
           Case{L"-5; 6;x;8", true, {-5, 6, 0, 8}},
           Case{L"10;20;30", false, untouched},
           Case{L"", false, untouched},
       }) {
    s.store.WriteString(L"Start", L"WinRC_MP", c.stored);
    app::ProfRect rect = untouched;
    EXPECT_EQ(s.store.ReadRect(L"Start", L"WinRC_MP", rect), c.ok) << platform::ToUtf8(c.stored);
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.right, c.expected.right);
    EXPECT_EQ(rect.bottom, c.expected.bottom);
  }
  app::ProfRect rect = untouched;
  EXPECT_FALSE(s.store.ReadRect(L"Start", L"missing", rect));
  EXPECT_EQ(rect.left, 7);
}

TEST(SettingsStore, StringsSectionsAndLimits) {
  Store s;
  EXPECT_EQ(s.store.ReadString(L"List", L"missing", L"default"), L"default");
  ASSERT_TRUE(s.store.WriteInt(L"List", L"ExportIndex", -4));
  EXPECT_EQ(s.store.ReadString(L"List", L"ExportIndex", L""), L"-4");

  const std::wstring longText(5000, L'x');
  s.store.WriteString(L"List", L"long", longText);
  EXPECT_EQ(s.store.ReadString(L"List", L"long", L"").size(), 4095u);
  std::wstring shortText = L"default";
  s.store.ReadStringShort(L"List", L"long", shortText);
  EXPECT_EQ(shortText.size(), 4023u);
  shortText = L"kept";
  s.store.ReadStringShort(L"List", L"missing", shortText);
  EXPECT_EQ(shortText, L"kept");

  s.store.WriteString(L"Path1", L"stale", L"1");
  ASSERT_TRUE(s.store.ReplaceSection(L"Path1", L"entry_000=C:\\a\r\nentry_001=D:\\b\r\n"));
  EXPECT_EQ(s.store.ReadSection(L"Path1"), L"entry_000=C:\\a\r\nentry_001=D:\\b\r\n");
  ASSERT_TRUE(s.store.DeleteSection(L"Path1"));
  EXPECT_EQ(s.store.ReadSection(L"Path1"), L"");

  // An explicit file goes there, not to the settings file.
  const std::wstring other = s.temp / L"other.ini";
  ASSERT_TRUE(s.store.WriteInt(L"Start", L"n", 5, other));
  EXPECT_EQ(platform::ReadIniValue(other, L"Start", L"n", L""), L"5");
  EXPECT_EQ(s.store.ReadInt(L"Start", L"n", -1), -1);
}

TEST(SettingsStore, RegistryOnlyForInstalledCopies) {
  Install portable(Beside::kWritableIni, false);
  CMyProfStr store;
  store.Init(portable.programFolder + kSep + L"Duplora ini=regtest.exe", portable.appData);
  ASSERT_TRUE(store.IsPortable());
#ifndef _WIN32
  // The registry stand-in lives in the user's settings folder.
  const char* configHome = getenv("XDG_CONFIG_HOME");
  const std::string keptConfigHome = configHome ? configHome : "";
  setenv("XDG_CONFIG_HOME", platform::ToUtf8(portable.appData).c_str(), 1);
#endif
  ASSERT_TRUE(platform::WriteUserRegistryString(store.SettingsName(), L"Duplora_Id", L"7"));
  EXPECT_EQ(store.RegReadInt(L"Duplora_Id", -1), -1);
  EXPECT_FALSE(store.RegWriteInt(L"Duplora_Id", 3));
  EXPECT_EQ(platform::ReadUserRegistryString(store.SettingsName(), L"Duplora_Id"), L"7");

  Install installed(Beside::kNothing, true);
  CMyProfStr installedStore;
  installedStore.Init(installed.programFolder + kSep + L"Duplora ini=regtest.exe",
                      installed.appData);
  ASSERT_FALSE(installedStore.IsPortable());
  EXPECT_EQ(installedStore.RegReadInt(L"Duplora_Id", -1), 7);
  ASSERT_TRUE(installedStore.RegWriteInt(L"Duplora_Id", 8));
  EXPECT_EQ(installedStore.RegReadInt(L"Duplora_Id", -1), 8);
  EXPECT_EQ(installedStore.RegReadInt(L"missing_value", 4), 4);
#ifndef _WIN32
  if (configHome)
    setenv("XDG_CONFIG_HOME", keptConfigHome.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
#endif
}

}  // namespace
