#include <gtest/gtest.h>

#include "package/MemberName.h"

namespace {

bool NoLeadBytes(unsigned char) { return false; }

TEST(MemberName, MapsNamesToRelativePaths) {
  struct Case {
    const char* name;
    const char* relative;
  };
  const Case cases[] = {
      {"x64_Drive_vista_MailKorvoDrive.dll", "Drive\\vista\\MailKorvoDrive.dll"},
      {"x86_Drive_vista_MailKorvoDrive.dll.zip", "Drive\\vista\\MailKorvoDrive.dll"},
      {"x64_Drive_xp_MailKorvoDrive.dll", "Drive\\xp\\MailKorvoDrive.dll"},
      {"x86_ZarIdaveVaruDor.dll.zip", "ZarIdaveVaruDor.dll"},
      {"x86_ToolBox.dll.zip", "ToolBox.dll"},
      {"x64_ToolBox.dll", "ToolBox.dll"},
      {"x86_Setup.ZIP", "Setup.ZIP"},             // capitals keep the ending
      {"x86_Setup.exe.Zip", "Setup.exe.Zip"},
      {"x86_a.zip.zip", "a.zip"},                 // one ending removed
      {"X64_vtdndConfig.ini", "vtdndConfig.ini"},
      {"dlp_DlpSetup.exe.zip", "DlpSetup.exe"},   // any three leading characters
      {"x86lead.dll", "lead.dll"},                // no "_" after the tag: nothing to drop
      {"x86_\x81\x5F.txt.zip", "\x81\x5F.txt"},   // GBK trail byte 0x5F is no "_"
      {"x64_a\x95\x5C_b.dll", "a\x95\x5C\\b.dll"},  // trail byte 0x5C is no separator
      {"x64_\xD3\xC3\xBB\xA7_\xCE\xC4\xBC\xFE.txt", "\xD3\xC3\xBB\xA7\\\xCE\xC4\xBC\xFE.txt"},
  };
  for (const Case& c : cases) {
    std::string rel = "garbage";
    ASSERT_TRUE(MemberRelativePath(c.name, &rel)) << c.name;
    EXPECT_EQ(c.relative, rel) << c.name;
  }
  // Without the code page's lead bytes the same byte is taken for "_".
  std::string rel;
  ASSERT_TRUE(MemberRelativePath("x86_a\x81_b.txt", &rel, NoLeadBytes));
  EXPECT_EQ("a\x81\\b.txt", rel);
}

TEST(MemberName, RefusesNamesOutsideTheInstallDirectory) {
  const char* const kRefused[] = {
      "x86",           "x8",           "",              "x86_",          "x86_.zip",
      "x86___abs.dll", "x86__abs.dll", "x86_a__b.dll", "x86_.._evil.dll", "x86_._a.dll", "x86_a_.._.._b.dll",
      "x86_a_",        "x86_C:_w.dll", "x86_a/../b.dll", "x86_/abs.dll", "x86_a\\..\\b",
      "x86_..",        "x86_a_..",     "x86_a:b",
  };
  for (const char* name : kRefused) {
    std::string rel = "garbage";
    EXPECT_FALSE(MemberRelativePath(name, &rel)) << name;
    EXPECT_TRUE(rel.empty()) << name;
  }
  std::string rel;
  EXPECT_FALSE(MemberRelativePath(nullptr, &rel));
}

TEST(MemberName, TagIsTheFirstThreeCharactersInAnyCase) {
  EXPECT_TRUE(MemberHasTag("x86_a.dll.zip", "x86"));
  EXPECT_TRUE(MemberHasTag("X86_a.dll.zip", "x86"));
  EXPECT_TRUE(MemberHasTag("x64_a.dll", "X64"));
  EXPECT_TRUE(MemberHasTag("x64", "x64"));
  EXPECT_FALSE(MemberHasTag("x64_a.dll", "x86"));
  EXPECT_FALSE(MemberHasTag("x8", "x86"));
  EXPECT_FALSE(MemberHasTag("", "x86"));
  EXPECT_FALSE(MemberHasTag("\xD3\xC3x86", "x86"));
  EXPECT_FALSE(MemberHasTag("x6\xD3\xC3", "x64"));
  EXPECT_FALSE(MemberHasTag(nullptr, "x86"));
}

TEST(MemberName, MakeMemberNameRoundTrips) {
  std::string name;
  ASSERT_TRUE(MakeMemberName("x86", "Drive/xp/MailKorvoDrive.dll", true, &name));
  EXPECT_EQ("x86_Drive_xp_MailKorvoDrive.dll.zip", name);
  ASSERT_TRUE(MakeMemberName("x64", "Drive/xp/MailKorvoDrive.dll", false, &name));
  EXPECT_EQ("x64_Drive_xp_MailKorvoDrive.dll", name);
  ASSERT_TRUE(MakeMemberName("x64", "Drive\\vista\\a.dll", false, &name));
  EXPECT_EQ("x64_Drive_vista_a.dll", name);
  ASSERT_TRUE(MakeMemberName("x86", "a.zip", true, &name));
  EXPECT_EQ("x86_a.zip.zip", name);
  ASSERT_TRUE(MakeMemberName("x86", "\x81\x5F.txt", true, &name));  // GBK, trail 0x5F
  EXPECT_EQ("x86_\x81\x5F.txt.zip", name);
  std::string rel;
  ASSERT_TRUE(MemberRelativePath(name.c_str(), &rel));
  EXPECT_EQ("\x81\x5F.txt", rel);

  const char* const kRefused[] = {"a_b.dll", "dir_x/a.dll", "", "/abs.dll", "../a.dll", "a//b",
                                  "C:/a.dll", "a/./b"};
  for (const char* path : kRefused) {
    EXPECT_FALSE(MakeMemberName("x86", path, true, &name)) << path;
    EXPECT_TRUE(name.empty()) << path;
  }
  // Without the suffix a name ending in ".zip" would lose that ending.
  EXPECT_FALSE(MakeMemberName("x64", "a.zip", false, &name));
  EXPECT_FALSE(MakeMemberName("x6", "a.dll", false, &name));
}

}  // namespace
