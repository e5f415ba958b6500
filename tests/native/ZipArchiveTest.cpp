#include <unistd.h>

#include <gtest/gtest.h>

#include "PackageWriter.h"
#include "TestUtil.h"
#include "package/ZipArchive.h"

using namespace testutil;

namespace {

// An archive with one member of each kind the zip layer must tell apart.
enum {
  kStored,      // "a.txt"
  kDeflated,    // "sub/b.bin"
  kDirectory,   // "dir/"
  kBadCrc,      // stored, CRC recorded wrong
  kBadCrcDefl,  // deflated, CRC recorded wrong
  kEncrypted,   // encryption flag set
  kMemberCount
};

const std::string kStoredText = "hello, stored member\n";

class ZipArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    deflatedData_ = Noise(100000, 3);
    deflatedData_.insert(deflatedData_.end(), 50000, 'z');
    ZipBuilder zip;
    ZipBuilder::MemberOptions stored, deflated, badCrc, badCrcDefl, encrypted;
    deflated.deflated = true;
    badCrc.badCrc = true;
    badCrcDefl.badCrc = true;
    badCrcDefl.deflated = true;
    encrypted.encryptedFlag = true;
    ASSERT_TRUE(zip.Add("a.txt", kStoredText.data(), kStoredText.size(), stored));
    ASSERT_TRUE(zip.Add("sub/b.bin", deflatedData_.data(), deflatedData_.size(), deflated));
    ASSERT_TRUE(zip.Add("dir/", nullptr, 0, stored));
    ASSERT_TRUE(zip.Add("crc.bin", kStoredText.data(), kStoredText.size(), badCrc));
    ASSERT_TRUE(zip.Add("crcd.bin", deflatedData_.data(), deflatedData_.size(), badCrcDefl));
    ASSERT_TRUE(zip.Add("enc.bin", kStoredText.data(), kStoredText.size(), encrypted));
    ASSERT_TRUE(zip.Finish(&archive_));
    ASSERT_EQ(ZR_OK, OpenZipMemory(archive_.data(), archive_.size(), &zip_));
    ASSERT_NE(nullptr, zip_);
    ASSERT_EQ(ZR_OK, SetUnzipBaseDir(zip_, dir_.path().c_str()));
  }
  void TearDown() override {
    if (zip_ != nullptr) EXPECT_EQ(ZR_OK, CloseZip(zip_));
  }

  TempDir dir_;
  std::vector<uint8_t> deflatedData_;
  std::vector<uint8_t> archive_;
  HZIP zip_ = nullptr;
};

TEST_F(ZipArchiveTest, GetMemberGivesNameSizesAndMethod) {
  ZipMember m;
  ASSERT_EQ(ZR_OK, GetZipMember(zip_, kStored, &m));
  EXPECT_EQ(kStored, m.index);
  EXPECT_STREQ("a.txt", m.name);
  EXPECT_EQ(kStoredText.size(), m.uncompressedSize);
  EXPECT_EQ(kStoredText.size(), m.compressedSize);
  EXPECT_FALSE(m.deflated);
  EXPECT_FALSE(m.isDirectory);

  ASSERT_EQ(ZR_OK, GetZipMember(zip_, kDeflated, &m));
  EXPECT_STREQ("sub/b.bin", m.name);
  EXPECT_EQ(deflatedData_.size(), m.uncompressedSize);
  EXPECT_LT(m.compressedSize, m.uncompressedSize);
  EXPECT_TRUE(m.deflated);

  ASSERT_EQ(ZR_OK, GetZipMember(zip_, kDirectory, &m));
  EXPECT_TRUE(m.isDirectory);
}

TEST_F(ZipArchiveTest, IndexBeyondLastAndBadArgumentsGive0x10000) {
  ZipMember m;
  EXPECT_EQ(0x10000u, GetZipMember(zip_, kMemberCount, &m));
  EXPECT_EQ(0x10000u, GetZipMember(zip_, -1, &m));
  EXPECT_EQ(0x10000u, GetZipMember(zip_, 0, nullptr));
  EXPECT_EQ(0x10000u, GetZipMember(nullptr, 0, &m));
  char buf[64];
  EXPECT_EQ(0x10000u, UnzipMemberToMemory(zip_, kMemberCount, buf, sizeof buf));
  EXPECT_EQ(0x10000u, UnzipMemberToMemory(nullptr, 0, buf, sizeof buf));
  EXPECT_EQ(0x10000u, UnzipMemberToFile(zip_, kMemberCount, "x.txt"));
  EXPECT_EQ(0x10000u, UnzipMemberToFile(nullptr, 0, "x.txt"));
  EXPECT_EQ(0x10000u, UnzipMemberToFile(zip_, 0, nullptr));
  EXPECT_EQ(0x10000u, SetUnzipBaseDir(nullptr, "/tmp"));
  EXPECT_EQ(0x10000u, SetUnzipBaseDir(zip_, nullptr));
  EXPECT_EQ(0x10000u, CloseZip(nullptr));
  EXPECT_FALSE(fs::exists(dir_ / "x.txt"));
}

TEST(ZipOpen, NotAnArchiveGivesNoHandle) {
  std::vector<uint8_t> junk = Noise(4096, 9);
  HZIP z = reinterpret_cast<HZIP>(1);
  EXPECT_NE(0u, OpenZipMemory(junk.data(), junk.size(), &z));
  EXPECT_EQ(nullptr, z);
  EXPECT_NE(0u, OpenZipMemory(nullptr, 10, &z));
  EXPECT_NE(0u, OpenZipMemory(junk.data(), 0, &z));
}

TEST_F(ZipArchiveTest, ExtractsToMemory) {
  std::vector<uint8_t> out(deflatedData_.size());
  ASSERT_EQ(ZR_OK, UnzipMemberToMemory(zip_, kDeflated, out.data(), out.size()));
  EXPECT_EQ(deflatedData_, out);
  std::vector<char> text(kStoredText.size());
  ASSERT_EQ(ZR_OK, UnzipMemberToMemory(zip_, kStored, text.data(), text.size()));
  EXPECT_EQ(kStoredText, std::string(text.begin(), text.end()));
  // A buffer smaller than the member is refused, not overrun.
  EXPECT_EQ(0x10000u, UnzipMemberToMemory(zip_, kStored, text.data(), text.size() - 1));
}

TEST_F(ZipArchiveTest, ReadsTheBlockInPlace) {
  // The layer keeps reading the caller's block: damage it after opening and
  // the stored member's CRC check fails.
  ZipMember m;
  ASSERT_EQ(ZR_OK, GetZipMember(zip_, kStored, &m));
  auto at = std::search(archive_.begin(), archive_.end(), kStoredText.begin(), kStoredText.end());
  ASSERT_NE(archive_.end(), at);
  *at ^= 0x20;
  std::vector<char> text(kStoredText.size());
  EXPECT_EQ(0x5000000u, UnzipMemberToMemory(zip_, kStored, text.data(), text.size()));
}

TEST_F(ZipArchiveTest, CrcMismatchGives0x5000000) {
  std::vector<uint8_t> out(deflatedData_.size());
  EXPECT_EQ(0x5000000u, UnzipMemberToMemory(zip_, kBadCrc, out.data(), out.size()));
  EXPECT_EQ(0x5000000u, UnzipMemberToMemory(zip_, kBadCrcDefl, out.data(), out.size()));
  EXPECT_EQ(0x5000000u, UnzipMemberToFile(zip_, kBadCrc, "crc.bin"));
  EXPECT_EQ(0x5000000u, UnzipMemberToFile(zip_, kBadCrcDefl, "crcd.bin"));
}

TEST_F(ZipArchiveTest, EncryptedMemberGives0x1000AndWritesNothing) {
  char buf[64];
  EXPECT_EQ(0x1000u, UnzipMemberToMemory(zip_, kEncrypted, buf, sizeof buf));
  EXPECT_EQ(0x1000u, UnzipMemberToFile(zip_, kEncrypted, "enc.bin"));
  EXPECT_FALSE(fs::exists(dir_ / "enc.bin"));
}

TEST_F(ZipArchiveTest, ExtractsToFileMakingDirectoriesAndReplacing) {
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kDeflated, "one/two/b.bin"));
  EXPECT_EQ(deflatedData_, ReadFile(dir_ / "one/two/b.bin"));
  // A longer file of the same name is replaced, not overwritten in part.
  WriteFile(dir_ / "a.txt", std::string(1000, 'x'));
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kStored, "a.txt"));
  EXPECT_EQ(Bytes(kStoredText), ReadFile(dir_ / "a.txt"));
  // Backslashes separate too (taken as "/" outside Windows).
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kStored, "w\\x\\a.txt"));
  EXPECT_EQ(Bytes(kStoredText), ReadFile(dir_ / "w/x/a.txt"));
}

TEST_F(ZipArchiveTest, BaseDirectoryWithOrWithoutSeparator) {
  fs::create_directory(dir_ / "base");
  ASSERT_EQ(ZR_OK, SetUnzipBaseDir(zip_, (dir_ / "base/").c_str()));
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kStored, "p.txt"));
  EXPECT_TRUE(fs::exists(dir_ / "base/p.txt"));
  ASSERT_EQ(ZR_OK, SetUnzipBaseDir(zip_, (dir_ / "base").c_str()));
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kStored, "q.txt"));
  EXPECT_TRUE(fs::exists(dir_ / "base/q.txt"));
}

TEST(ZipBaseDir, StartsAsTheCurrentDirectory) {
  std::string text = "cwd";
  ZipBuilder zip;
  ASSERT_TRUE(zip.Add("c.txt", text.data(), text.size(), ZipBuilder::MemberOptions()));
  std::vector<uint8_t> archive;
  ASSERT_TRUE(zip.Finish(&archive));
  TempDir dir;
  std::string old = fs::current_path().string();
  ASSERT_EQ(0, chdir(dir.path().c_str()));
  HZIP z = nullptr;
  unsigned open = OpenZipMemory(archive.data(), archive.size(), &z);
  ASSERT_EQ(0, chdir(old.c_str()));
  ASSERT_EQ(ZR_OK, open);
  EXPECT_EQ(ZR_OK, UnzipMemberToFile(z, 0, "c.txt"));
  EXPECT_EQ(Bytes(text), ReadFile(dir / "c.txt"));
  CloseZip(z);
}

TEST_F(ZipArchiveTest, DirectoryMemberOnlyMakesItsDirectory) {
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kDirectory, "dir/"));
  EXPECT_TRUE(fs::is_directory(dir_ / "dir"));
  ASSERT_EQ(ZR_OK, UnzipMemberToFile(zip_, kDirectory, "deep/er"));
  EXPECT_TRUE(fs::is_directory(dir_ / "deep/er"));
  EXPECT_TRUE(fs::is_empty(dir_ / "deep/er"));
}

TEST_F(ZipArchiveTest, UncreatableOutputGives0x200) {
  WriteFile(dir_ / "blocker", "a file where a directory should be");
  EXPECT_EQ(0x200u, UnzipMemberToFile(zip_, kStored, "blocker/a.txt"));
  fs::create_directory(dir_ / "adir");
  EXPECT_EQ(0x200u, UnzipMemberToFile(zip_, kStored, "adir"));
}

TEST_F(ZipArchiveTest, FailedWriteGives0x400) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  ASSERT_EQ(ZR_OK, SetUnzipBaseDir(zip_, "/dev"));
  EXPECT_EQ(0x400u, UnzipMemberToFile(zip_, kDeflated, "full"));
}

TEST_F(ZipArchiveTest, UnsafeNamesAreRefusedAndNothingIsWritten) {
  fs::create_directory(dir_ / "in");
  ASSERT_EQ(ZR_OK, SetUnzipBaseDir(zip_, (dir_ / "in").c_str()));
  const char* const kUnsafe[] = {"../out.txt",  "..\\out.txt", "/tmp/abs.txt", "\\abs.txt",
                                 "C:out.txt",   "a/../../out.txt", "a//b.txt",  "./a.txt",
                                 "a/./b.txt",   "..",          "a\\..\\..\\out.txt"};
  for (const char* name : kUnsafe) {
    EXPECT_EQ(0x200u, UnzipMemberToFile(zip_, kStored, name)) << name;
    EXPECT_EQ(0x200u, UnzipMemberToFile(zip_, kDirectory, name)) << name;
  }
  EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
  EXPECT_FALSE(fs::exists("/tmp/abs.txt"));
  EXPECT_TRUE(fs::is_empty(dir_ / "in"));
}

}  // namespace
