#include <gtest/gtest.h>

#include "PackageWriter.h"
#include "package/PackageDescriptor.h"

namespace {

PackageInfo ShippedInfo() {
  PackageInfo info;
  info.version = "1.0.0.50";
  info.type = "4";
  info.productId = "101";
  info.versionNumber = "16";
  info.packetName = "MailKorvo_disk";
  info.productName = "";
  info.agreementText = "用户协议\r\n第二行";
  return info;
}

// Exactly the bytes given, so that reading past them is noticed by tools.
bool Parse(const std::string& bytes, PackageDescriptor* d) {
  std::vector<char> exact(bytes.begin(), bytes.end());
  return ParseDescriptor(exact.data(), exact.size(), d);
}

std::string Fields(int count, const std::string& last) {
  std::string s;
  for (int i = 0; i < count - 1; ++i) s += std::string("f") + std::to_string(i) + '\0';
  return s + last + '\0';
}

TEST(Descriptor, ReadsTheFieldsTheWriterWrites) {
  std::string bytes = MakeDescriptor(ShippedInfo(), 32, false);
  PackageDescriptor d;
  ASSERT_TRUE(Parse(bytes, &d));
  EXPECT_EQ("x86_x64", d.machineTypes);
  EXPECT_EQ(32u, d.lastMemberIndex);
  EXPECT_EQ("1.0.0.50", d.version);
  EXPECT_EQ("4", d.type);
  EXPECT_EQ("101", d.productId);
  EXPECT_EQ("16", d.versionNumber);
  EXPECT_EQ("MailKorvo_disk", d.packetName);
  EXPECT_EQ("", d.productName);
  EXPECT_EQ("用户协议\r\n第二行", d.agreementText);
  EXPECT_EQ(0, d.installDlp);
  ASSERT_TRUE(Parse(MakeDescriptor(ShippedInfo(), 33, true), &d));
  EXPECT_EQ(1, d.installDlp);
  EXPECT_EQ(33u, d.lastMemberIndex);
  // 23 fields, the last "0"/"1", each with its NUL.
  size_t nuls = 0;
  for (char c : bytes) nuls += c == '\0';
  EXPECT_EQ(23u, nuls);
  EXPECT_EQ(std::string("0\0", 2), bytes.substr(bytes.size() - 2));
}

TEST(Descriptor, FewerThan23FieldsIsRefused) {
  PackageDescriptor d;
  EXPECT_FALSE(Parse(Fields(22, "1"), &d));
  EXPECT_FALSE(Parse("", &d));
  // The 23rd field without its NUL does not count.
  std::string noNul = Fields(23, "1");
  noNul.pop_back();
  EXPECT_FALSE(Parse(noNul, &d));
  EXPECT_FALSE(ParseDescriptor(nullptr, 10, &d));
  EXPECT_TRUE(Parse(Fields(23, "0"), &d));
}

TEST(Descriptor, DlpFlagIsTheStringTwoBytesBeforeTheEnd) {
  struct Case {
    std::string bytes;
    int flag;
  };
  const Case cases[] = {
      {Fields(23, "1"), 1},
      {Fields(23, "0"), 0},
      {Fields(30, "1"), 1},                         // counted from the end, not by field
      {Fields(23, "01"), 1},                        // whatever precedes the last character
      {Fields(23, "10"), 0},
      {Fields(23, "") + "1", 0},                    // no NUL after it: not a string in the data
      {Fields(23, "1") + std::string("\0", 1), 0},  // the string there is ""
  };
  for (const Case& c : cases) {
    PackageDescriptor d;
    ASSERT_TRUE(Parse(c.bytes, &d));
    EXPECT_EQ(c.flag, d.installDlp);
  }
}

TEST(Descriptor, LastMemberIndexIsDigitsUpToTheFirstNonDigit) {
  struct Case {
    const char* text;
    unsigned value;
  };
  const Case cases[] = {{"32", 32}, {"12abc", 12}, {"", 0}, {"abc", 0}, {" 5", 0},
                        {"007", 7}, {"99999999999999", 0xFFFFFFFFu}};
  for (const Case& c : cases) {
    std::string bytes = std::string("x86_x64") + '\0' + c.text + '\0' + Fields(21, "0");
    PackageDescriptor d;
    ASSERT_TRUE(Parse(bytes, &d));
    EXPECT_EQ(c.value, d.lastMemberIndex) << c.text;
  }
}

}  // namespace
