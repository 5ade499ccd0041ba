// The profile-file functions: natively against our own reader and writer,
// under wine against the system's, so both are held to the same behaviour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/Text.h"
#include "tests/support/TempFolder.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

using platform::DeleteIniSection;
using platform::ReadIniSection;
using platform::ReadIniValue;
using platform::WriteIniSection;
using platform::WriteIniValue;
using Entries = std::vector<std::wstring>;

constexpr char kAnsiFile[] =
    "[Main]\r\n"
    "Alpha=1\r\n"
    "  Spaced Key   =   spaced value   \r\n"
    "Quoted=\"a b\"\r\n"
    "Single='c d'\r\n"
    "Empty=\r\n"
    "\r\n"
    "[Other]\r\n"
    "alpha=2\n"
    "beta=3\r\n";

TEST(ProfileFile, ReadsKeysAndSections) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"test.ini";
  ASSERT_TRUE(platform::WriteFileBytes(file, kAnsiFile));
  struct Case {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* fallback;
    const wchar_t* expected;
  };
  for (const Case& c : {
           Case{L"Main", L"Alpha", L"x", L"1"},
           Case{L"MAIN", L"aLPHA", L"x", L"1"},  // letter case does not count
           Case{L"main", L"spaced key", L"x", L"spaced value"},
           Case{L"Main", L"Quoted", L"x", L"a b"},
           Case{L"Main", L"Single", L"x", L"c d"},
           Case{L"Main", L"Empty", L"x", L""},
           Case{L"Other", L"Alpha", L"x", L"2"},  // the first section does not hide the second
           Case{L"Other", L"Beta", L"x", L"3"},   // after a line ended by LF alone
           Case{L"Main", L"Missing", L"fallback", L"fallback"},
           Case{L"Main", L"Missing", L"fallback  ", L"fallback"},
           Case{L"Nowhere", L"Alpha", L"fallback", L"fallback"},
       }) {
    EXPECT_EQ(ReadIniValue(file, c.section, c.key, c.fallback), c.expected)
        << platform::ToUtf8(c.section) << "/" << platform::ToUtf8(c.key);
  }
  EXPECT_EQ(ReadIniSection(file, L"OTHER"), (Entries{L"alpha=2", L"beta=3"}));
  EXPECT_EQ(ReadIniSection(file, L"Nowhere"), Entries{});
}

TEST(ProfileFile, MissingFileReadsAsEmpty) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"none.ini";
  EXPECT_EQ(ReadIniValue(file, L"Start", L"Max", L"3"), L"3");
  EXPECT_EQ(ReadIniSection(file, L"Start"), Entries{});
  EXPECT_TRUE(DeleteIniSection(file, L"Start"));
  EXPECT_FALSE(platform::FileAttributes(file)) << "deleting made the file";
}

TEST(ProfileFile, WritesKeepOneEntryPerKeyInPlace) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"new.ini";
  ASSERT_TRUE(WriteIniValue(file, L"List", L"c", L"1"));  // makes the file
  ASSERT_TRUE(WriteIniValue(file, L"List", L"a", L"2"));
  ASSERT_TRUE(WriteIniValue(file, L"Start", L"x", L"9"));
  ASSERT_TRUE(WriteIniValue(file, L"list", L"b", L"3"));  // into [List], not a new section
  ASSERT_TRUE(WriteIniValue(file, L"List", L"C", L"4"));  // written twice: stays first
  EXPECT_EQ(ReadIniSection(file, L"List"), (Entries{L"c=4", L"a=2", L"b=3"}));
  EXPECT_EQ(ReadIniValue(file, L"LIST", L"c", L""), L"4");
  EXPECT_EQ(ReadIniSection(file, L"Start"), (Entries{L"x=9"}));
  const auto bytes = platform::ReadFileBytes(file);
  ASSERT_TRUE(bytes);
  EXPECT_NE(bytes->find("\r\n"), std::string::npos);
  EXPECT_FALSE(bytes->size() >= 2 && bytes->substr(0, 2) == "\xFF\xFE") << "a new file is 8-bit";
}

TEST(ProfileFile, DeletesAndReplacesSections) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"test.ini";
  ASSERT_TRUE(platform::WriteFileBytes(file, kAnsiFile));

  ASSERT_TRUE(DeleteIniSection(file, L"main"));
  EXPECT_EQ(ReadIniSection(file, L"Main"), Entries{});
  EXPECT_EQ(ReadIniValue(file, L"Main", L"Alpha", L"gone"), L"gone");
  EXPECT_EQ(ReadIniValue(file, L"Other", L"alpha", L""), L"2");

  ASSERT_TRUE(WriteIniSection(file, L"Other", {L"entry_000=C:\\Bilder", L"entry_001=D:\\"}));
  EXPECT_EQ(ReadIniSection(file, L"Other"), (Entries{L"entry_000=C:\\Bilder", L"entry_001=D:\\"}));
  EXPECT_EQ(ReadIniValue(file, L"Other", L"beta", L"gone"), L"gone");

  ASSERT_TRUE(WriteIniSection(file, L"Fresh", {L"k=v"}));
  EXPECT_EQ(ReadIniValue(file, L"Fresh", L"K", L""), L"v");
}

TEST(ProfileFile, Utf16FileStaysUtf16) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"wide.ini";
  ASSERT_TRUE(platform::WriteFileBytes(
      file, "\xFF\xFE" + platform::ToUtf16LeBytes(L"[Path1]\r\nlast_entry=C:\\\u00c4pfel\r\n")));
  const std::wstring wide = L"D:\\\u65e5\u672c \u00e4";
  ASSERT_TRUE(WriteIniValue(file, L"Path1", L"entry_000", wide));
  EXPECT_EQ(ReadIniValue(file, L"Path1", L"entry_000", L""), wide);
  EXPECT_EQ(ReadIniValue(file, L"Path1", L"last_entry", L""), L"C:\\\u00c4pfel");
  const auto bytes = platform::ReadFileBytes(file);
  ASSERT_TRUE(bytes && bytes->size() > 2);
  EXPECT_EQ(bytes->substr(0, 2), "\xFF\xFE");
  EXPECT_NE(platform::FromUtf16LeBytes(bytes->substr(2)).find(L"entry_000=" + wide),
            std::wstring::npos);
}

TEST(ProfileFile, EightBitFileKeepsLatinLetters) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"narrow.ini";
  ASSERT_TRUE(WriteIniValue(file, L"Move_to_Folder", L"folder", L"C:\\Gr\u00fc\u00dfe"));
  EXPECT_EQ(ReadIniValue(file, L"Move_to_Folder", L"folder", L""), L"C:\\Gr\u00fc\u00dfe");
}

#ifndef _WIN32
// Two processes writing different keys to one file both keep their values.
TEST(ProfileFile, ConcurrentWritersLoseNothing) {
  testsupport::TempFolder temp;
  const std::wstring file = temp / L"shared.ini";
  constexpr int kKeys = 40;
  std::vector<pid_t> children;
  for (const wchar_t* writer : {L"a", L"b"}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      bool ok = true;
      for (int i = 0; i < kKeys; ++i)
        ok = WriteIniValue(file, L"Start", writer + std::to_wstring(i), std::to_wstring(i)) && ok;
      _exit(ok ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(ReadIniSection(file, L"Start").size(), 2u * kKeys);
  for (int i = 0; i < kKeys; ++i) {
    EXPECT_EQ(ReadIniValue(file, L"Start", L"a" + std::to_wstring(i), L""), std::to_wstring(i));
    EXPECT_EQ(ReadIniValue(file, L"Start", L"b" + std::to_wstring(i), L""), std::to_wstring(i));
  }
}
#endif

}  // namespace
