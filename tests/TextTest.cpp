#include <gtest/gtest.h>

#include "platform/Text.h"

namespace {

TEST(Text, Utf8RoundTrip) {
  const std::wstring text = L"Bilder \u00e4\u00f6\u00fc \u65e5\u672c \u2714";
  EXPECT_EQ(platform::FromUtf8(platform::ToUtf8(text)), text);
  EXPECT_EQ(platform::ToUtf8(L"\u00e4"), "\xc3\xa4");
}

TEST(Text, BeyondTheBasicPlane) {
  const std::string utf8 = "\xf0\x9f\x98\x80";  // U+1F600
  const std::wstring text = platform::FromUtf8(utf8);
  EXPECT_EQ(platform::ToUtf8(text), utf8);
  EXPECT_EQ(platform::ToUtf16(text), std::u16string(u"\xD83D\xDE00"));
  EXPECT_EQ(platform::ToUtf16LeBytes(text), std::string("\x3D\xD8\x00\xDE", 4));
  EXPECT_EQ(platform::FromUtf16LeBytes(std::string("\x3D\xD8\x00\xDE", 4)), text);
}

TEST(Text, InvalidUtf8BecomesReplacement) {
  EXPECT_EQ(platform::FromUtf8("a\xff" "b"), L"a\uFFFDb");
  EXPECT_EQ(platform::FromUtf8("\xc3"), L"\uFFFD");
  EXPECT_EQ(platform::FromUtf8("\xc0\xaf"), L"\uFFFD");  // overlong
}

TEST(Text, LowerCaseFoldsLetters) {
  EXPECT_EQ(platform::ToLower(L"C:\\Bilder\\\u00c4RGER.JPG"), L"c:\\bilder\\\u00e4rger.jpg");
}

}  // namespace
