#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "PackageWriter.h"
#include "TestUtil.h"
#include "package/PackageDescriptor.h"
#include "package/ZipArchive.h"

using namespace testutil;

namespace {

const std::string kPkgtool = PKGTOOL_PATH;

// Product trees, helpers and agreement of a small package.
class PkgtoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files_ = {"KorvoNetDiskLink.exe", "vtdndConfig.ini", "Drive/vista/MailKorvoDrive.dll",
              "Drive/xp/MailKorvoDrive.dll"};
    uint32_t seed = 1;
    for (const std::string& f : files_) {
      WriteFile(dir_ / ("x86/" + f), X86Like(20000 + seed * 1000, seed));
      WriteFile(dir_ / ("x64/" + f), Noise(15000 + seed * 100, seed + 100));
      ++seed;
    }
    WriteFile(dir_ / "h86.dll", FakePe(0x14C, 0x2102));
    WriteFile(dir_ / "h64.dll", FakePe(0x14C, 0x2102 | 0x20));
    WriteFile(dir_ / "agreement.txt", "用户协议\r\n第一条");
    WriteFile(dir_ / "DlpSetup.exe", X86Like(3000, 77));
  }

  std::vector<std::string> BuildArgs() const {
    return {kPkgtool,      "build",        "--x86",          dir_ / "x86",        "--x64",
            dir_ / "x64",  "--helper-x86", dir_ / "h86.dll", "--helper-x64",      dir_ / "h64.dll",
            "--version",   "1.0.0.50",     "--type",         "4",                 "--product-id",
            "101",         "--version-num", "16",            "--packet-name",     "MailKorvo_disk",
            "--product-name", "",          "--agreement",    dir_ / "agreement.txt", "-o",
            dir_ / "pkg.zip"};
  }

  // The run failed cleanly: exit code 1 and one line on stderr.
  static void ExpectRefused(const RunResult& r, const std::string& reasonPart) {
    EXPECT_EQ(1, r.exitCode) << r.errors;
    EXPECT_EQ(1u, LineCount(r.errors)) << r.errors;
    EXPECT_NE(std::string::npos, r.errors.find(reasonPart)) << r.errors;
  }

  std::vector<std::string> MemberNames(const std::string& pkg) {
    std::vector<uint8_t> bytes = ReadFile(pkg);
    HZIP z = nullptr;
    std::vector<std::string> names;
    if (OpenZipMemory(bytes.data(), bytes.size(), &z) != ZR_OK) return names;
    ZipMember m;
    for (int i = 0; GetZipMember(z, i, &m) == ZR_OK; ++i)
      names.push_back(std::string(m.name) + (m.deflated ? " deflated" : " stored"));
    CloseZip(z);
    return names;
  }

  std::vector<std::string> files_;
  TempDir dir_;
};

TEST_F(PkgtoolTest, BuildsThePackageLayout) {
  RunResult r = RunTool(BuildArgs());
  ASSERT_EQ(0, r.exitCode) << r.errors;
  std::vector<std::string> expected = {
      "config.dat stored",
      "x86_ZarIdaveVaruDor.dll.zip stored",
      "x64_ZarIdaveVaruDor.dll deflated",
      // Default order: the trees' files sorted.
      "x86_Drive_vista_MailKorvoDrive.dll.zip stored",
      "x64_Drive_vista_MailKorvoDrive.dll deflated",
      "x86_Drive_xp_MailKorvoDrive.dll.zip stored",
      "x64_Drive_xp_MailKorvoDrive.dll deflated",
      "x86_KorvoNetDiskLink.exe.zip stored",
      "x64_KorvoNetDiskLink.exe deflated",
      "x86_vtdndConfig.ini.zip stored",
      "x64_vtdndConfig.ini deflated",
  };
  EXPECT_EQ(expected, MemberNames(dir_ / "pkg.zip"));

  std::vector<uint8_t> bytes = ReadFile(dir_ / "pkg.zip");
  HZIP z = nullptr;
  ASSERT_EQ(ZR_OK, OpenZipMemory(bytes.data(), bytes.size(), &z));
  ZipMember m;
  ASSERT_EQ(ZR_OK, GetZipMember(z, 0, &m));
  std::vector<char> d(m.uncompressedSize);
  ASSERT_EQ(ZR_OK, UnzipMemberToMemory(z, 0, d.data(), d.size()));
  CloseZip(z);
  PackageDescriptor desc;
  ASSERT_TRUE(ParseDescriptor(d.data(), d.size(), &desc));
  EXPECT_EQ("x86_x64", desc.machineTypes);
  EXPECT_EQ(10u, desc.lastMemberIndex);
  EXPECT_EQ("1.0.0.50", desc.version);
  EXPECT_EQ("MailKorvo_disk", desc.packetName);
  EXPECT_EQ("用户协议\r\n第一条", desc.agreementText);
  EXPECT_EQ(0, desc.installDlp);
}

TEST_F(PkgtoolTest, ListShowsDescriptorAndMembers) {
  ASSERT_EQ(0, RunTool(BuildArgs()).exitCode);
  RunResult r = RunTool({kPkgtool, "list", dir_ / "pkg.zip"});
  ASSERT_EQ(0, r.exitCode) << r.errors;
  EXPECT_NE(std::string::npos, r.output.find("machine types: x86_x64"));
  EXPECT_NE(std::string::npos, r.output.find("last member index: 10"));
  EXPECT_NE(std::string::npos, r.output.find("packet name: MailKorvo_disk"));
  EXPECT_NE(std::string::npos, r.output.find("DLP client: 0"));
  // index, name, method, sizes, filter byte, unpacked size
  std::vector<uint8_t> helper = ReadFile(dir_ / "h86.dll");
  EXPECT_NE(std::string::npos, r.output.find("1  x86_ZarIdaveVaruDor.dll.zip  stored  "));
  EXPECT_NE(std::string::npos, r.output.find("  " + std::to_string(helper.size()) + "\n"));
  size_t line = r.output.find("7  x86_KorvoNetDiskLink.exe.zip  stored");
  ASSERT_NE(std::string::npos, line);
  std::string row = r.output.substr(line, r.output.find('\n', line) - line);
  EXPECT_NE(std::string::npos, row.find("  1  " + std::to_string(ReadFile(dir_ / "x86/KorvoNetDiskLink.exe").size())))
      << row;
}

TEST_F(PkgtoolTest, ExtractRestoresEachMachineTree) {
  ASSERT_EQ(0, RunTool(BuildArgs()).exitCode);
  for (const std::string machine : {"x86", "x64"}) {
    std::string out = dir_ / ("out-" + machine);
    RunResult r = RunTool({kPkgtool, "extract", dir_ / "pkg.zip", out, "--machine", machine});
    ASSERT_EQ(0, r.exitCode) << r.errors;
    std::vector<std::string> found;
    for (auto& e : fs::recursive_directory_iterator(out))
      if (e.is_regular_file()) found.push_back(fs::relative(e.path(), out).generic_string());
    std::sort(found.begin(), found.end());
    std::vector<std::string> expected = files_;
    expected.push_back("ZarIdaveVaruDor.dll");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, found) << "no stage file may stay behind";
    for (const std::string& f : files_)
      EXPECT_EQ(ReadFile(dir_ / (machine + "/" + f)), ReadFile(out + "/" + f)) << machine << " " << f;
    EXPECT_EQ(ReadFile(dir_ / (machine == "x86" ? "h86.dll" : "h64.dll")), ReadFile(out + "/ZarIdaveVaruDor.dll"));
  }
}

TEST_F(PkgtoolTest, FileListSetsTheOrderAndDlpGoesLast) {
  WriteFile(dir_ / "list.txt", "vtdndConfig.ini\r\nDrive/xp/MailKorvoDrive.dll\n\n");
  std::vector<std::string> args = BuildArgs();
  args.insert(args.end(), {"--files", dir_ / "list.txt", "--dlp", dir_ / "DlpSetup.exe"});
  RunResult r = RunTool(args);
  ASSERT_EQ(0, r.exitCode) << r.errors;
  std::vector<std::string> expected = {
      "config.dat stored",
      "x86_ZarIdaveVaruDor.dll.zip stored",
      "x64_ZarIdaveVaruDor.dll deflated",
      "x86_vtdndConfig.ini.zip stored",
      "x64_vtdndConfig.ini deflated",
      "x86_Drive_xp_MailKorvoDrive.dll.zip stored",
      "x64_Drive_xp_MailKorvoDrive.dll deflated",
      "x86_DlpSetup.exe.zip stored",
  };
  EXPECT_EQ(expected, MemberNames(dir_ / "pkg.zip"));
  r = RunTool({kPkgtool, "list", dir_ / "pkg.zip"});
  EXPECT_NE(std::string::npos, r.output.find("last member index: 7"));
  EXPECT_NE(std::string::npos, r.output.find("DLP client: 1"));
  // The DLP member is unpacked whatever the machine.
  r = RunTool({kPkgtool, "extract", dir_ / "pkg.zip", dir_ / "out", "--machine", "x64"});
  ASSERT_EQ(0, r.exitCode) << r.errors;
  EXPECT_EQ(ReadFile(dir_ / "DlpSetup.exe"), ReadFile(dir_ / "out/DlpSetup.exe"));
  EXPECT_EQ(ReadFile(dir_ / "x64/vtdndConfig.ini"), ReadFile(dir_ / "out/vtdndConfig.ini"));
  EXPECT_FALSE(fs::exists(dir_ / "out/KorvoNetDiskLink.exe"));
}

TEST_F(PkgtoolTest, BuildRefusals) {
  struct Case {
    const char* what;
    std::function<void(std::vector<std::string>*)> change;
    const char* reason;
  };
  auto setOpt = [](std::vector<std::string>* a, const std::string& key, const std::string& value) {
    for (size_t i = 0; i + 1 < a->size(); ++i)
      if ((*a)[i] == key) (*a)[i + 1] = value;
  };
  const std::string d = dir_.path();
  WriteFile(dir_ / "x86/under_score.dll", "1");
  WriteFile(dir_ / "x64/under_score.dll", "2");
  WriteFile(dir_ / "x86/only86.dll", "1");
  WriteFile(dir_ / "x64/only64.dll", "2");
  WriteFile(dir_ / "pe64.dll", FakePe(0x8664, 0x2022));
  WriteFile(dir_ / "exe.dll", FakePe(0x14C, 0x0102));
  WriteFile(dir_ / "notpe.dll", "MZ but nothing else");
  WriteFile(dir_ / "l_under.txt", "under_score.dll\n");
  WriteFile(dir_ / "l_one.txt", "only86.dll\n");
  WriteFile(dir_ / "l_missing.txt", "nowhere.dll\n");
  WriteFile(dir_ / "l_empty.txt", "empty.dll\n");
  WriteFile(dir_ / "x86/empty.dll", "");
  WriteFile(dir_ / "x64/empty.dll", "");
  WriteFile(dir_ / "Dlp_Setup.exe", "x");
  WriteFile(dir_ / "l_ok.txt", "vtdndConfig.ini\n");
  const Case cases[] = {
      {"default list with one-sided files", [](auto*) {}, "one machine type only"},
      {"name with _", [&](auto* a) { setOpt(a, "--files", d + "/l_under.txt"); }, "\"_\""},
      {"file for x86 only", [&](auto* a) { setOpt(a, "--files", d + "/l_one.txt"); },
       "one machine type only"},
      {"listed file missing", [&](auto* a) { setOpt(a, "--files", d + "/l_missing.txt"); },
       "missing"},
      {"empty file", [&](auto* a) { setOpt(a, "--files", d + "/l_empty.txt"); }, "empty"},
      {"x64 helper", [&](auto* a) { setOpt(a, "--helper-x64", d + "/pe64.dll"); }, "32-bit PE DLL"},
      {"helper not a DLL", [&](auto* a) { setOpt(a, "--helper-x86", d + "/exe.dll"); }, "32-bit PE DLL"},
      {"helper not PE", [&](auto* a) { setOpt(a, "--helper-x86", d + "/notpe.dll"); }, "32-bit PE DLL"},
      {"helper missing", [&](auto* a) { setOpt(a, "--helper-x86", d + "/none.dll"); }, "none.dll"},
      {"agreement missing", [&](auto* a) { setOpt(a, "--agreement", d + "/none.txt"); }, "agreement"},
      {"tree missing", [&](auto* a) { setOpt(a, "--x64", d + "/nodir"); }, "nodir"},
      {"option missing", [](auto* a) { a->erase(a->begin() + 12, a->begin() + 14); }, "--version"},
      {"unknown option", [](auto* a) { a->push_back("--bogus"); }, "--bogus"},
      {"value missing", [](auto* a) { a->push_back("--dlp"); }, "--dlp"},
      {"DLP name with _", [&](auto* a) { a->insert(a->end(), {"--dlp", d + "/Dlp_Setup.exe"}); }, "\"_\""},
      {"output not writable", [&](auto* a) { setOpt(a, "-o", d + "/nodir/pkg.zip"); }, "cannot write"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = BuildArgs();
    // All but the first case name their files: the trees now hold odd ones.
    if (&c != &cases[0]) args.insert(args.begin() + 2, {"--files", d + "/l_ok.txt"});
    c.change(&args);
    fs::remove(dir_ / "pkg.zip");
    RunResult r = RunTool(args);
    SCOPED_TRACE(c.what);
    ExpectRefused(r, c.reason);
    EXPECT_FALSE(fs::exists(dir_ / "pkg.zip"));
  }
}

TEST_F(PkgtoolTest, BadPackagesFailCleanly) {
  ASSERT_EQ(0, RunTool(BuildArgs()).exitCode);
  std::vector<uint8_t> good = ReadFile(dir_ / "pkg.zip");
  WriteFile(dir_ / "junk.zip", Noise(5000, 4));
  ExpectRefused(RunTool({kPkgtool, "list", dir_ / "junk.zip"}), "not a ZIP archive");
  ExpectRefused(RunTool({kPkgtool, "list", dir_ / "none.zip"}), "cannot read");
  ExpectRefused(RunTool({kPkgtool, "extract", dir_ / "junk.zip", dir_ / "o", "--machine", "x86"}), "ZIP");
  ExpectRefused(RunTool({kPkgtool, "extract", dir_ / "pkg.zip", dir_ / "o", "--machine", "arm"}), "machine");
  ExpectRefused(RunTool({kPkgtool}), "usage");
  ExpectRefused(RunTool({kPkgtool, "frobnicate"}), "usage");
  // Cut or damaged at many places: a clean exit every time, never a crash.
  for (size_t cut = 0; cut < good.size(); cut += good.size() / 23 + 1) {
    std::vector<uint8_t> bad(good.begin(), good.begin() + cut);
    std::vector<uint8_t> flipped = good;
    for (size_t i = cut; i < std::min(cut + 16, flipped.size()); ++i) flipped[i] ^= 0x5A;
    WriteFile(dir_ / "cut.zip", bad);
    WriteFile(dir_ / "flip.zip", flipped);
    for (const char* pkg : {"cut.zip", "flip.zip"}) {
      RunResult l = RunTool({kPkgtool, "list", dir_ / pkg});
      EXPECT_TRUE(l.exitCode == 0 || l.exitCode == 1) << pkg << " at " << cut << ": " << l.exitCode;
      RunResult x = RunTool({kPkgtool, "extract", dir_ / pkg, dir_ / "cutout", "--machine", "x86"});
      EXPECT_TRUE(x.exitCode == 0 || x.exitCode == 1) << pkg << " at " << cut << ": " << x.exitCode;
    }
  }
}

TEST_F(PkgtoolTest, ExtractWarnsAboutUnsafeNamesAndStaysInside) {
  PackageInfo info;
  std::vector<uint8_t> payload = Bytes("payload"), packed;
  ASSERT_TRUE(EncodeLzma86(payload.data(), payload.size(), &packed));
  std::string descriptor = MakeDescriptor(info, 4, false);
  ZipBuilder zip;
  ASSERT_TRUE(zip.Add("config.dat", Bytes(descriptor), false));
  ASSERT_TRUE(zip.Add("x86_.._escape.txt.zip", packed, false));
  ASSERT_TRUE(zip.Add("x86_C:_escape.txt", packed, true));
  ASSERT_TRUE(zip.Add("x86_../escape2.txt", packed, false));
  ASSERT_TRUE(zip.Add("x86_ok.txt.zip", packed, false));
  std::vector<uint8_t> archive;
  ASSERT_TRUE(zip.Finish(&archive));
  WriteFile(dir_ / "evil.zip", archive);
  fs::create_directory(dir_ / "box");
  RunResult r = RunTool({kPkgtool, "extract", dir_ / "evil.zip", dir_ / "box/inner", "--machine", "x86"});
  EXPECT_EQ(0, r.exitCode) << r.errors;
  EXPECT_EQ(3u, LineCount(r.errors)) << r.errors;
  EXPECT_NE(std::string::npos, r.errors.find("warning"));
  EXPECT_EQ(payload, ReadFile(dir_ / "box/inner/ok.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "box/escape.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "box/escape2.txt"));
  std::vector<std::string> found;
  for (auto& e : fs::recursive_directory_iterator(dir_ / "box")) found.push_back(e.path().filename().string());
  EXPECT_EQ((std::vector<std::string>{"inner", "ok.txt"}), found);
}

TEST_F(PkgtoolTest, ExtractReportsDamagedMembers) {
  PackageInfo info;
  std::vector<uint8_t> payload = Bytes("payload"), packed;
  ASSERT_TRUE(EncodeLzma86(payload.data(), payload.size(), &packed));
  ZipBuilder zip;
  ZipBuilder::MemberOptions badCrc;
  badCrc.badCrc = true;
  ASSERT_TRUE(zip.Add("config.dat", Bytes(MakeDescriptor(info, 3, false)), false));
  ASSERT_TRUE(zip.Add("x86_crc.txt.zip", packed.data(), packed.size(), badCrc));
  std::vector<uint8_t> filter2 = packed;
  filter2[0] = 2;
  ASSERT_TRUE(zip.Add("x86_filter.txt.zip", filter2, false));
  ASSERT_TRUE(zip.Add("x86_good.txt.zip", packed, false));
  std::vector<uint8_t> archive;
  ASSERT_TRUE(zip.Finish(&archive));
  WriteFile(dir_ / "bad.zip", archive);
  RunResult r = RunTool({kPkgtool, "extract", dir_ / "bad.zip", dir_ / "out", "--machine", "x86"});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_NE(std::string::npos, r.errors.find("0x5000000")) << r.errors;
  EXPECT_NE(std::string::npos, r.errors.find("decode failed (2)")) << r.errors;
  EXPECT_EQ(payload, ReadFile(dir_ / "out/good.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "out/filter.txt"));
  EXPECT_FALSE(fs::exists(dir_ / "out/x86_crc.txt.zip"));
}

}  // namespace
