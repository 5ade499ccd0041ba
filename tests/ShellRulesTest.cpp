// The rules of start-up and the main frame that need no window: switches of
// the command line, the hand-over payload, the instance number, the title,
// the start placement and the help file.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/FrameRules.h"
#include "app/HelpFile.h"
#include "app/InstanceNumber.h"
#include "app/LangText.h"
#include "app/MyProfStr.h"
#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr wchar_t kSep = platform::kPathSeparator;

TEST(CommandLine, UpdateHandlerGetsSixTo520Characters) {
  for (const auto& [length, handed] :
       {std::pair{0u, false}, {5u, false}, {6u, true}, {520u, true}, {521u, false}}) {
    EXPECT_EQ(app::GoesToUpdateHandler(std::wstring(length, L'a')), handed) << length;
  }
}

TEST(CommandLine, AutostartSwitchIsTheWholeLine) {
  const std::wstring token(app::kAutostartSwitch);
  EXPECT_EQ(token.size(), 21u);
  EXPECT_TRUE(app::IsAutostartSwitch(token));
  for (const std::wstring& other : {L" " + token, token + L" ", L"x" + token, token.substr(0, 20),
                                    std::wstring(L"duplora") + token.substr(7)}) {
    EXPECT_FALSE(app::IsAutostartSwitch(other)) << platform::ToUtf8(other);
  }
}

TEST(CommandLine, AdminSettingsNumber) {
  const std::wstring token(app::kAdminSettingsSwitch);
  EXPECT_EQ(token.size(), 29u);
  struct Case {
    std::wstring line;
    std::optional<int> number;
  };
  for (const Case& c : {
           Case{token + L"=42", 42},
           Case{token + L"=-3 more", -3},
           Case{token + L"=", 0},
           Case{L"\"C:\\x.exe\" " + token + L"=7", 7},  // the number stands after the switch
           Case{token, std::nullopt},
           Case{token.substr(1) + L"=5", std::nullopt},
           Case{L"", std::nullopt},
       }) {
    EXPECT_EQ(app::AdminSettingsNumber(c.line), c.number) << platform::ToUtf8(c.line);
  }
}

TEST(CommandLine, HelpSwitchAndAnchor) {
  struct Case {
    const wchar_t* line;
    std::optional<std::wstring> anchor;
  };
  for (const Case& c : {
           Case{L"-help", L""},
           Case{L"-help#search", L"#search"},
           Case{L"-helpme#a#b", L"#a#b"},
           Case{L" -help#search", std::nullopt},
           Case{L"x -help", std::nullopt},
           Case{L"-hel", std::nullopt},
           Case{L"-HELP", std::nullopt},
       }) {
    EXPECT_EQ(app::HelpAnchor(c.line), c.anchor) << platform::ToUtf8(c.line);
  }
}

TEST(CommandLine, FolderNamed) {
  struct Case {
    const wchar_t* line;
    const wchar_t* folder;
  };
  for (const Case& c : {
           Case{L"C:\\Pictures", L"C:\\Pictures"},
           Case{L"  \"C:\\My Pictures\"  ", L"C:\\My Pictures"},
           Case{L"/e,C:\\Pictures", L"C:\\Pictures"},
           Case{L"/e, \"C:\\My Pictures\"", L"C:\\My Pictures"},
           Case{L"/e", L""},
           Case{L"", L""},
           Case{L"\"\"", L""},
       }) {
    EXPECT_EQ(app::FolderOfCommandLine(c.line), c.folder) << platform::ToUtf8(c.line);
  }
  EXPECT_TRUE(app::IsExplorerStyle(L"/e,x"));
  EXPECT_FALSE(app::IsExplorerStyle(L" /e,x"));
}

TEST(HandOver, PayloadIsNulTerminatedUtf16) {
  const std::string bytes = app::HandOverPayload(L"/e,C:\\Bilder ä");
  EXPECT_EQ(bytes.size(), (14u + 1u) * 2u);
  EXPECT_EQ(app::ReadHandOverPayload(bytes), L"/e,C:\\Bilder ä");
  EXPECT_EQ(app::ReadHandOverPayload(std::string("a\0\0\0b\0", 6)), L"a") << "text ends at its NUL";

  // What a careless or hostile sender may send: nothing is read past the bytes given.
  EXPECT_EQ(app::ReadHandOverPayload(bytes.substr(0, bytes.size() - 2)), std::nullopt);
  EXPECT_EQ(app::ReadHandOverPayload(bytes.substr(0, bytes.size() - 1)), std::nullopt);
  EXPECT_EQ(app::ReadHandOverPayload(""), std::nullopt);
  EXPECT_EQ(app::ReadHandOverPayload(std::string("\0\0", 2)), L"");
}

TEST(InstanceNumber, CountsStartsWhileAnotherRuns) {
  testsupport::TempFolder temp;
  const std::wstring program = temp.MakeFolder(L"program");
  platform::WriteFileBytes(program + kSep + L"Duplora.ini", "");
  app::CMyProfStr store;
  store.Init(program + kSep + L"Duplora.exe", temp.MakeFolder(L"appdata"));
  ASSERT_TRUE(store.IsPortable());

  EXPECT_EQ(app::InstanceMutexName(), L"DuploraGUID__31");
  EXPECT_EQ(app::TakeInstanceNumber(store, false), 0);
  EXPECT_EQ(store.ReadString(L"Start", L"Duplora_Id", L""), L"0");
  EXPECT_EQ(app::TakeInstanceNumber(store, true), 1);
  EXPECT_EQ(app::TakeInstanceNumber(store, true), 2);
  EXPECT_EQ(store.ReadString(L"Start", L"Duplora_Id", L""), L"2");
  EXPECT_EQ(app::TakeInstanceNumber(store, false), 0) << "alone again: counting starts over";
  EXPECT_EQ(store.ReadString(L"Start", L"Duplora_Id", L""), L"0");
}

TEST(FrameRules, Title) {
  struct Case {
    int instance;
    const wchar_t* suffix;
    const wchar_t* portableWord;
    const wchar_t* title;
  };
  for (const Case& c : {
           Case{0, L"", L"", L"Duplora 2.16 (Unicode)"},
           Case{1, L"", L"", L"Duplora 2.16 [1] (Unicode)"},
           Case{0, L"", L"Portable", L"Duplora 2.16 (Portable/Unicode)"},
           Case{0, L"", L"Por", L"Duplora 2.16 (Unicode)"},  // three characters are too short
           Case{3, L"work", L"Portabel", L"Duplora 2.16 [3] (workPortabel/Unicode)"},
       }) {
    EXPECT_EQ(app::FrameTitle(L"Duplora", L"2.16", c.instance, c.suffix, c.portableWord), c.title);
  }
}

TEST(FrameRules, StartPlacement) {
  constexpr int kNormal = 1, kDefault = 10;
  const app::ProfRect saved{40, 30, 640, 430};
  const app::ProfRect fallback{0, 0, 800, 600};
  const app::ProfRect flat{10, 10, 10, 400};
  struct Case {
    const char* what;
    int mode, showCmd;
    const app::ProfRect* rect;
    int processShow;
    bool systemPlace;
    int showCommand;
    app::ProfRect normal;
  };
  for (const Case& c : {
           Case{"first start", 3, 0, nullptr, kNormal, false, kNormal, fallback},
           Case{"3 after a maximised close", 3, 3, &saved, kDefault, false, 3, saved},
           Case{"3 after a normal close", 3, 1, &saved, kDefault, false, kDefault, saved},
           Case{"2 ignores the close state", 2, 3, &saved, kDefault, false, kDefault, saved},
           Case{"1 is always maximised", 1, 1, &saved, kNormal, false, 3, saved},
           Case{"a flat rectangle is not used", 2, 1, &flat, kNormal, false, kNormal, fallback},
           Case{"0 leaves the place to the system", 0, 3, &saved, kNormal, true, kNormal, {}},
       }) {
    SCOPED_TRACE(c.what);
    const app::PlacementPlan plan = app::PlanPlacement(c.mode, c.showCmd, c.rect, c.processShow);
    EXPECT_EQ(plan.systemPlace, c.systemPlace);
    EXPECT_EQ(plan.showCommand, c.showCommand);
    if (!c.systemPlace) {
      EXPECT_EQ(plan.normal.left, c.normal.left);
      EXPECT_EQ(plan.normal.top, c.normal.top);
      EXPECT_EQ(plan.normal.right, c.normal.right);
      EXPECT_EQ(plan.normal.bottom, c.normal.bottom);
    }
  }
}

TEST(FrameRules, PlainMenuText) {
  for (const auto& [menu, plain] : {
           std::pair{L"&Export list...", L"Export list"},
           {L"&Magnifier\tAlt+L", L"Magnifier"},
           {L"Save && &quit", L"Save & quit"},
           {L"&", L""},
           {L"Help", L"Help"},
           {L"帮助(&H)", L"帮助"},
           {L"导出列表(&E)...", L"导出列表"},
           {L"拡大鏡(&M)\tAlt+L", L"拡大鏡"},
           {L"關於 Duplora(&A)...", L"關於 Duplora"},
           {L"Help (&H)", L"Help"},
           {L"(&H)", L""},
           {L"Tom (&&)", L"Tom (&)"},
           {L"Copy (&Z) here", L"Copy (Z) here"},
           {L"&Options (a)", L"Options (a)"},
       }) {
    EXPECT_EQ(app::PlainMenuText(menu), plain) << platform::ToUtf8(menu);
  }
}

TEST(HelpFile, WrittenInTheLanguageInUse) {
  testsupport::TempFolder temp;
  for (const int language : {app::kLanguageGerman, app::kLanguageEnglish, 2}) {
    SCOPED_TRACE(language);
    const auto path = app::WriteHelpFile(temp.path(), language);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, temp / L"tmp_htm__tessera_hlp_z.html");
    const auto bytes = platform::ReadFileBytes(*path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->rfind("<!DOCTYPE html>", 0), 0u);
    const bool german = bytes->find("lang=\"de\"") != std::string::npos;
    EXPECT_EQ(german, language == app::kLanguageGerman);
  }
  EXPECT_FALSE(app::WriteHelpFile(temp / L"missing", app::kLanguageEnglish));
}

TEST(HelpFile, AddressForAnAnchor) {
  EXPECT_EQ(app::FileUrl(L"C:\\Temp dir\\tmp_htm__tessera_hlp_z.html"),
            L"file:///C:/Temp%20dir/tmp_htm__tessera_hlp_z.html");
  EXPECT_EQ(app::FileUrl(L"/tmp/a#b/ü.html"), L"file:///tmp/a%23b/%C3%BC.html");
}

}  // namespace
