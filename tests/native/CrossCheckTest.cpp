// Packages made by independent encoders (lzma_alone, Python's lzma; Info-ZIP
// zip, Python's zipfile) unpack byte-identical through pkgtool and the core.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "package/Lzma86.h"
#include "package/ZipArchive.h"

using namespace testutil;

namespace {

class CrossCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    made_ = RunTool({PYTHON_EXE, FIXTURE_SCRIPT, dir_->path(), LZMA_ALONE_EXE});
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override { ASSERT_EQ(0, made_.exitCode) << made_.errors; }

  static TempDir* dir_;
  static RunResult made_;
};
TempDir* CrossCheck::dir_ = nullptr;
RunResult CrossCheck::made_;

TEST_F(CrossCheck, PkgtoolExtractsForeignPackagesIdentically) {
  for (const std::string pkg : {"pkg_infozip.zip", "pkg_zipfile.zip"}) {
    for (const std::string machine : {"x86", "x64"}) {
      std::string out = *dir_ / (pkg + "-" + machine);
      RunResult r = RunTool({PKGTOOL_PATH, "extract", *dir_ / pkg, out, "--machine", machine});
      ASSERT_EQ(0, r.exitCode) << pkg << " " << r.errors;
      std::vector<uint8_t> plain = ReadFile(*dir_ / (machine == "x86" ? "payload86.bin" : "payload64.bin"));
      ASSERT_FALSE(plain.empty());
      EXPECT_EQ(plain, ReadFile(out + "/alone.bin")) << pkg << " " << machine << " lzma_alone";
      EXPECT_EQ(plain, ReadFile(out + "/py.bin")) << pkg << " " << machine << " python lzma";
    }
  }
}

TEST_F(CrossCheck, CoreDecodesForeignMembersInProcess) {
  std::vector<uint8_t> archive = ReadFile(*dir_ / "pkg_infozip.zip");
  HZIP z = nullptr;
  ASSERT_EQ(ZR_OK, OpenZipMemory(archive.data(), archive.size(), &z));
  const struct {
    int index;
    const char* plain;
    int filter;
  } kMembers[] = {{1, "payload86.bin", 0}, {2, "payload64.bin", 0}, {3, "payload86.bin", 1}, {4, "payload64.bin", 1}};
  for (const auto& m : kMembers) {
    ZipMember member;
    ASSERT_EQ(ZR_OK, GetZipMember(z, m.index, &member));
    EXPECT_EQ(m.index % 2 == 0, member.deflated) << member.name;
    std::vector<uint8_t> packed(member.uncompressedSize), out;
    ASSERT_EQ(ZR_OK, UnzipMemberToMemory(z, m.index, packed.data(), packed.size()));
    EXPECT_EQ(m.filter, packed[0]) << member.name;
    ASSERT_EQ(LZMA86_OK, Lzma86DecodeBuffer(packed.data(), packed.size(), &out)) << member.name;
    EXPECT_EQ(ReadFile(*dir_ / m.plain), out) << member.name;
  }
  CloseZip(z);
}

}  // namespace
