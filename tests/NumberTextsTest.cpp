#include <gtest/gtest.h>

#include "engine/NumberTexts.h"

namespace {

const platform::NumberStyle kEnglish{L".", L",", {3}};
const platform::NumberStyle kGerman{L",", L".", {3}};
const platform::NumberStyle kIndian{L".", L",", {3, 2}};

TEST(FormatNumber, GroupsAndRounds) {
  struct Case {
    const wchar_t* plain;
    int decimals;
    const platform::NumberStyle* style;
    const wchar_t* expected;
  };
  for (const Case& c : {
           Case{L"0", 0, &kEnglish, L"0"},
           Case{L"999", 0, &kEnglish, L"999"},
           Case{L"1000", 0, &kEnglish, L"1,000"},
           Case{L"1234567", 0, &kGerman, L"1.234.567"},
           Case{L"-1234567", 0, &kEnglish, L"-1,234,567"},
           Case{L"1234.5000", 1, &kGerman, L"1.234,5"},
           Case{L"9.9500", 1, &kEnglish, L"10.0"},
           Case{L"999999.96", 1, &kEnglish, L"1,000,000.0"},
           Case{L"0.04", 1, &kEnglish, L"0.0"},
           Case{L"-0.04", 1, &kEnglish, L"0.0"},
           Case{L"12.5", 0, &kEnglish, L"13"},
           Case{L"12345678", 0, &kIndian, L"1,23,45,678"},
       }) {
    EXPECT_EQ(platform::FormatNumber(c.plain, c.decimals, *c.style), c.expected) << c.plain;
  }
}

TEST(SizeText, UnitsAndDivisors) {
  struct Case {
    uint64_t bytes;
    const wchar_t* expected;
  };
  for (const Case& c : {
           Case{0, L"0 Byte"},
           Case{999, L"999 Byte"},
           Case{1000, L"1.0 KB"},        // 100 / 102.4 = 0.977
           Case{1536, L"1.5 KB"},        // 153 / 102.4 = 1.494
           Case{999999, L"976.6 KB"},    // 99999 / 102.4
           Case{1000000, L"1.0 MB"},     // 100 / 104.8576
           Case{52428800, L"50.0 MB"},
           Case{999999999, L"953.7 MB"},
           Case{1000000000, L"0.9 GB"},  // 100 / 107.374
           Case{5000000000000ull, L"4,656.6 GB"},
       }) {
    EXPECT_EQ(engine::SizeText(c.bytes, kEnglish), c.expected) << c.bytes;
  }
  EXPECT_EQ(engine::SizeText(1536, kGerman), L"1,5 KB");
}

TEST(CountText, WholeNumbersAndRates) {
  EXPECT_EQ(engine::CountText(0, kEnglish), L"0");
  EXPECT_EQ(engine::CountText(4999950000LL, kEnglish), L"4,999,950,000");
  EXPECT_EQ(engine::RateText(1234.56, kGerman), L"1.234,6");
  EXPECT_EQ(engine::RateText(0.0, kEnglish), L"0.0");
}

}  // namespace
