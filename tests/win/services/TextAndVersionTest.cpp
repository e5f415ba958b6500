// Version packing, splitting, code-page conversion and character stepping.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/CharStep.h"
#include "services/Spliter.h"
#include "services/TextConvert.h"
#include "services/Version.h"

TEST(PackVersion, Table) {
  struct Case { const char* text; unsigned long packed; } cases[] = {
      {"1.2.3.4", 0x01020304}, {"1.0.0.50", 0x01000032}, {"2.1", 0x02010000},
      {"1.2.3.4.5", 0x01020304}, {"1.256.3.4", 0x01000304}, {"", 0},
      {"300.1.1.1", 0x2C010101}, {" 7.x9.3b.-1", 0x070003FF}, {"10", 0x0A000000}};
  for (const Case& c : cases) EXPECT_EQ(c.packed, PackVersion(c.text)) << c.text;
  EXPECT_EQ(0u, PackVersion(nullptr));
  EXPECT_LT(PackVersion("1.9.9.9"), PackVersion("2.0.0.0"));
}

TEST(Spliter, Table) {
  struct Case { const char* text; std::vector<std::string> pieces; } cases[] = {
      {"1..2", {"1", "", "2"}}, {".5", {"", "5"}}, {"7", {"7"}}, {"", {""}},
      {"a.", {"a", ""}}, {"1.2.3.4", {"1", "2", "3", "4"}}};
  for (const Case& c : cases) {
    Spliter s;
    s.SplitText(c.text);
    EXPECT_EQ(c.pieces, s.m_pieces) << c.text;
  }
}

TEST(Spliter, RefillsAndKeepsLongPiecesWhole) {
  Spliter s;
  s.SplitText("x.y.z");
  std::string longPiece(2000, 'q');
  s.SplitText((longPiece + ".tail").c_str());
  ASSERT_EQ(2u, s.m_pieces.size());
  EXPECT_EQ(longPiece, s.m_pieces[0]);
  EXPECT_EQ("tail", s.m_pieces[1]);
}

TEST(TextConvert, GbkRoundTrip) {
  ASSERT_EQ(936u, GetACP()) << "the tests expect the Chinese ANSI code page";
  const char gbk[] = "Korvo邮箱网盘 乗億";
  std::wstring wide = L"unchanged";
  ASSERT_TRUE(AnsiToWide(wide, gbk, static_cast<int>(strlen(gbk))));
  EXPECT_EQ(std::wstring(L"Korvo\u90AE\u7BB1\u7F51\u76D8 \u4E57\u5104"), wide);
  std::string back = "unchanged";
  ASSERT_TRUE(WideToAnsi(back, wide.c_str(), static_cast<int>(wide.size())));
  EXPECT_EQ(std::string(gbk), back);
  // A counted terminator is converted too.
  ASSERT_TRUE(AnsiToWide(wide, "ab", 3));
  EXPECT_EQ(3u, wide.size());
  EXPECT_EQ(L'\0', wide[2]);
}

TEST(TextConvert, EmptyLeavesOutputUntouched) {
  std::wstring wide = L"keep";
  EXPECT_FALSE(AnsiToWide(wide, "", 0));
  EXPECT_EQ(L"keep", wide);
  std::string narrow = "keep";
  EXPECT_FALSE(WideToAnsi(narrow, L"", 0));
  EXPECT_EQ("keep", narrow);
  EXPECT_FALSE(AnsiToWide(wide, nullptr, 3));
  EXPECT_EQ(L"keep", wide);
}

TEST(CharStep, TrailBytesAreNotSeparators) {
  // 乗 is 81 5C and 億 is 83 7C in GBK: their trail bytes are '\' and '|'.
  const char path[] = "C:\\乗\\億|x";
  ASSERT_EQ('\x5C', path[4]);
  ASSERT_EQ('\x7C', path[7]);
  EXPECT_EQ(path + 8, FindCharA(path, '|'));
  EXPECT_EQ(path + 5, FindLastCharA(path, '\\'));
  EXPECT_EQ(nullptr, FindCharA("乗", '\\'));
  EXPECT_EQ(path + 5, NextCharA(path + 3));
}

TEST(CharStep, EqualNoCase) {
  EXPECT_EQ(1, EqualNoCaseA("VerIruzAviz.exe", "veriruzaviz.EXE"));
  EXPECT_EQ(0, EqualNoCaseA("MyVerIruzAviz.exe", "VerIruzAviz.exe"));
  EXPECT_EQ(0, EqualNoCaseA("VerIruzAviz.exe", "VerIruzAviz.ex"));
  EXPECT_EQ(1, EqualNoCaseA("网盘A.exe", "网盘a.EXE"));
  EXPECT_EQ(0, EqualNoCaseA("网盘.exe", "网益.exe"));
}
