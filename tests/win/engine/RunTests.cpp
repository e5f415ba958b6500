// The install run: the demo package end to end, phase-1 stops, a stage-1
// failure, the DLP client and abandoning.
#include <process.h>
#include <shlobj.h>

#include "EngineFixture.h"

namespace {

const char kActionLogUrl[] = ACTION_LOG_BASE "/file/disk?func=disk:virtual&cmd=actionlog";
const char kRunning[] = "您的Korvo邮箱网盘正在运行，请退出Korvo邮箱网盘后重试!";

// The bar positions of a complete run over a package whose members first..last
// alternate x86 (odd index) and x64 (even index).
std::vector<int> CompleteRunProgress(unsigned first, unsigned last, bool withRegistration = true) {
  std::vector<int> p = {5, 10, 15, 20};
  const long n = static_cast<long>(last) - first + 1;
  const unsigned wanted = MachineTag() == "x64" ? 0 : 1;
  for (unsigned i = first; i <= last; ++i)
    if (i % 2 == wanted) p.push_back(20 + 30 * static_cast<long>(i - first + 1) / (n + 1));
  p.push_back(50);
  for (int v : {52, 55, 58, 61, 64, 67, 70}) p.push_back(v);
  if (withRegistration) {
    p.push_back(80);
    p.push_back(90);
  }
  p.push_back(100);
  return p;
}

unsigned FirstProductIndex() { return MachineTag() == "x64" ? 3 : 2; }

std::vector<std::string> StageFiles(const std::string& dir) {
  std::vector<std::string> out;
  std::vector<std::string> all = ListTree(dir);
  for (size_t i = 0; i < all.size(); ++i) {
    std::string leaf = all[i].substr(all[i].rfind('\\') == std::string::npos ? 0 : all[i].rfind('\\') + 1);
    if (leaf.compare(0, 4, "x86_") == 0 || leaf.compare(0, 4, "x64_") == 0) out.push_back(all[i]);
  }
  return out;
}

std::string FolderLink(int csidl) { return SpecialFolderPath(csidl) + "\\Korvo邮箱网盘.lnk"; }

std::string FileList(const std::string& p) {
  return p + "\\drive\\XP\\MailKorvoDrive.dll|" + p + "\\drive\\Vista\\MailKorvoDrive.dll|" + p +
         "\\KorvoNetDiskLink.exe|" + p + "\\vtdnd.dll|" + p + "\\VtMailKorvoDownload.dll";
}

typedef std::vector<std::string> Line;

unsigned RunOnWorker(SetupContext* context) {
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, WorkerThreadProc, context, 0, NULL));
  WaitForSingleObject(thread, 300000);
  DWORD code = 0;
  GetExitCodeThread(thread, &code);
  CloseHandle(thread);
  return code;
}

}  // namespace

// Complete runs, registered one per process (see CMakeLists.txt).
class FullRunTest : public EngineTest {};

TEST_F(FullRunTest, DemoPackageOneClickRunAndFinish) {
  Open(DemoPackage(), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ("1.0.0.50", Engine().Version());
  context->currentPage = kPageProgress;
  ASSERT_EQ(1u, RunOnWorker(context.get()));

  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  EXPECT_TRUE(TakeSystemBoxes().empty());
  EXPECT_EQ(0, ui.quitCount);
  EXPECT_EQ(CompleteRunProgress(FirstProductIndex(), 32), ui.progress);

  // Every product file for this machine, byte for byte.
  const std::string tree = ProductTree();
  std::vector<std::string> files = ProductFiles();
  ASSERT_EQ(15u, files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    if (files[i] == "vtdndConfig.ini") continue;
    EXPECT_TRUE(ReadFileBytes(tree + "\\" + files[i]) == ReadFileBytes(installPath + "\\" + files[i]))
        << files[i];
    EXPECT_FALSE(ReadFileBytes(installPath + "\\" + files[i]).empty()) << files[i];
  }
  EXPECT_TRUE(HelperDll() == ReadFileBytes(installPath + "\\ZarIdaveVaruDor.dll"));
  EXPECT_TRUE(StageFiles(installPath).empty()) << ::testing::PrintToString(StageFiles(installPath));
  EXPECT_EQ(files.size() + 1, ListTree(installPath).size()) << ::testing::PrintToString(ListTree(installPath));
  const std::string ini = installPath + "\\vtdndConfig.ini";
  EXPECT_EQ("1", IniValue(ini, "vtdnd", "enableLog"));
  EXPECT_EQ("20", IniValue(ini, "vtdnd", "logLevel"));

  // The helper library's calls.
  std::vector<Line> expected = {
      {"StopDriveWork", "1", "0", "0", "2"},
      {"MsgCloseProThatUsingDesFiles", "1", FileList(installPath), ""},
      {"Uninstall4PrepareInstall", "0", FolderLink(CSIDL_COMMON_DESKTOPDIRECTORY), FolderLink(CSIDL_ALTSTARTUP)},
      {"Install", "1", installPath, "1"},
      {"PostSetupEvent", kActionLogUrl, "1"},
  };
  EXPECT_EQ(expected, Journal());

  // Registry, 64-bit view; paths with spaces without quotes.
  const bool x64 = MachineTag() == "x64";
  const char* product[][2] = {{"InstallPath", installPath.c_str()}, {"Version", "1.0.0.50"},
                              {"Type", "4"},                        {"ProductID", x64 ? "102" : "101"},
                              {"VersionNUM", "16"},                 {"Packetname", "MailKorvo_disk"},
                              {"Productname", ""}};
  for (auto& v : product) {
    std::string value;
    EXPECT_TRUE(ReadMachineString(kProductKey, v[0], &value)) << v[0];
    EXPECT_EQ(v[1], value) << v[0];
  }
  const std::string link = installPath + "\\KorvoNetDiskLink.exe";
  const std::string uninstaller = installPath + "\\unins000.exe";
  const char* uninstall[][2] = {{"DisplayIcon", link.c_str()},
                                {"DisplayName", "Korvo邮箱网盘"},
                                {"DisplayVersion", "1.0.0.50"},
                                {"InstallLocation", installPath.c_str()},
                                {"UninstallString", uninstaller.c_str()}};
  for (auto& v : uninstall) {
    std::string value;
    EXPECT_TRUE(ReadMachineString(kUninstallKey, v[0], &value)) << v[0];
    EXPECT_EQ(v[1], value) << v[0];
  }

  // Start-menu group with its two shortcuts.
  std::vector<std::string> group = ListDir(ProductGroupDir());
  EXPECT_EQ(2u, group.size());
  EXPECT_EQ(link, ShortcutTarget(ProductGroupDir() + "\\Korvo邮箱网盘.lnk"));
  EXPECT_EQ(uninstaller, ShortcutTarget(ProductGroupDir() + "\\卸载Korvo邮箱网盘.lnk"));

  // Leaving the finish page with "马上体验".
  context->currentPage = kPageFinish;
  context->engine->FinishInstall(1, 1, 1);
  std::string autorun;
  EXPECT_TRUE(ReadAutorun(&autorun));
  EXPECT_EQ(installPath + "\\VerIruzAviz.exe", autorun);
  EXPECT_EQ(link, ShortcutTarget(FolderLink(CSIDL_COMMON_DESKTOPDIRECTORY)));
  std::vector<Line> journal = Journal();
  ASSERT_EQ(7u, journal.size());
  EXPECT_EQ(Line({"TerminateExplorerProcess"}), journal[5]);
  EXPECT_EQ(Line({"OpenDriveRoot", installPath}), journal[6]);
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_TRUE(Engine().HelperLibrary() == NULL);
}

TEST_F(EngineTest, WorkerDoesNothingOffTheProgressPage) {
  Open(Build(SmallPackage()), installPath);
  context->currentPage = kPageInstallOptions;
  EXPECT_EQ(0u, RunOnWorker(context.get()));
  EXPECT_EQ(0u, WorkerThreadProc(NULL));
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_FALSE(DirExists(installPath));
  EXPECT_TRUE(ui.messages.empty());
}

// Phase 1 stops: message, quit request, the bar where it stopped, nothing
// after it.
struct PhaseOneCase {
  const char* name;
  const char* variant;       // helper library variant, NULL the full one
  const char* resultExport;  // export answering 1, or NULL
  const char* message;
  std::vector<int> progress;
  size_t journalLines;
};

class PhaseOneStop : public EngineTest, public ::testing::WithParamInterface<PhaseOneCase> {};

TEST_P(PhaseOneStop, ShowsMessageAndEnds) {
  const PhaseOneCase& c = GetParam();
  Open(Build(SmallPackage(c.variant)), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  if (c.resultExport) SetEnvironmentVariableA((std::string("ZARIDAVE_RESULT_") + c.resultExport).c_str(), "1");
  EXPECT_EQ(0, Engine().RunInstall());
  EXPECT_EQ(std::vector<std::string>({std::string("0:") + c.message}), MessageTexts());
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_EQ(c.progress, ui.progress);
  EXPECT_EQ(c.journalLines, Journal().size());
  EXPECT_FALSE(FileExists(installPath + "\\KorvoNetDiskLink.exe"));
  std::string value;
  EXPECT_FALSE(ReadMachineString(kProductKey, "InstallPath", &value));
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PhaseOneStop,
    ::testing::Values(PhaseOneCase{"MissingExport", "no-stopdrive", NULL, "GetProcAddress失败!", {5}, 0},
                      PhaseOneCase{"DriveStillRunning", NULL, "StopDriveWork", kRunning, {5, 10}, 1},
                      PhaseOneCase{"FilesInUse", NULL, "MsgCloseProThatUsingDesFiles", kRunning, {5, 10, 15}, 2}),
    [](const ::testing::TestParamInfo<PhaseOneCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, NoHelperLibraryForThisMachine) {
  PackageContent content = SmallPackage();
  std::vector<RawMember> members = RawMembers(content);
  // Both helper members carry the other machine's tag.
  const std::string other = MachineTag() == "x64" ? "x86" : "x64";
  members[1].name = other + "_ZarIdaveVaruDor.dll.zip";
  members[2].name = other + "_ZarIdaveVaruDor.dll";
  Open(BuildRaw(members), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(0, Engine().RunInstall());
  ASSERT_EQ(1u, ui.messages.size());
  const std::string expectedStart = "ZarIdaveVaruDor.dll加载失败! 返回错误码：";
  EXPECT_EQ(0, ui.messages[0].text.compare(0, expectedStart.size(), expectedStart)) << ui.messages[0].text;
  const std::string expectedEnd = ", 安装路径：" + installPath + "\\ZarIdaveVaruDor.dll";
  ASSERT_GE(ui.messages[0].text.size(), expectedEnd.size());
  EXPECT_EQ(expectedEnd, ui.messages[0].text.substr(ui.messages[0].text.size() - expectedEnd.size()));
  EXPECT_EQ(0u, Engine().FirstProductMemberIndex());
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_EQ(std::vector<int>({5}), ui.progress);
}

TEST_F(EngineTest, WrongHelperMemberNameIsBadPackage) {
  std::vector<RawMember> members = RawMembers(SmallPackage());
  members[1].name = "x86_Other.dll.zip";
  Open(BuildRaw(members), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(0, Engine().RunInstall());
  ASSERT_EQ(2u, ui.messages.size());
  EXPECT_EQ("安装包数据有误!", ui.messages[0].text);
  EXPECT_EQ(0u, ui.messages[1].text.find("ZarIdaveVaruDor.dll加载失败!"));
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_EQ(std::vector<int>({5}), ui.progress);
}

TEST_F(EngineTest, ClosedPackageAtPhaseOneEndsTheProgram) {
  Open(std::vector<uint8_t>(), installPath, false);
  EXPECT_EQ(0, Engine().RunInstall());
  EXPECT_EQ(std::vector<std::string>({"0:查找安装数据资源失败!", "0:安装包数据有误!"}), MessageTexts());
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_EQ(std::vector<int>({5}), ui.progress);
  EXPECT_TRUE(Journal().empty());
}

TEST_F(FullRunTest, HelperWithoutInstallStillFinishesTheRun) {
  Open(Build(SmallPackage("no-install")), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  EXPECT_EQ(CompleteRunProgress(FirstProductIndex(), 12, false), ui.progress);
  std::vector<Line> journal = Journal();
  ASSERT_EQ(3u, journal.size());
  EXPECT_EQ("Uninstall4PrepareInstall", journal[2][0]);
  EXPECT_EQ(2u, ListDir(ProductGroupDir()).size());
  EXPECT_EQ(0, ui.quitCount);
}

TEST_F(FullRunTest, StageOneFailureSkipsLaterMembers) {
  PackageContent content = SmallPackage();
  std::vector<RawMember> members = RawMembers(content);
  // Members 3..12: five files, x86 then x64. Break this machine's copy of
  // the third file (vtdndConfig.ini) so that its stage 1 fails.
  const size_t broken = MachineTag() == "x64" ? 8 : 7;
  members[broken].options.badCrc = true;
  Open(BuildRaw(members), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  EXPECT_TRUE(TakeSystemBoxes().empty());
  EXPECT_EQ(0, ui.quitCount);

  // The members before the broken one are in, the others are not.
  EXPECT_TRUE(SmallFileBytes("KorvoNetDiskLink.exe") == ReadFileBytes(installPath + "\\KorvoNetDiskLink.exe"));
  EXPECT_TRUE(FileExists(installPath + "\\ZozOrerEduvaz.ini"));
  EXPECT_FALSE(FileExists(installPath + "\\Drive\\xp\\MailKorvoDrive.dll"));
  EXPECT_FALSE(FileExists(installPath + "\\unins000.exe"));
  EXPECT_TRUE(StageFiles(installPath).empty()) << ::testing::PrintToString(StageFiles(installPath));

  // Bar: the reports of the first two members, then 50 and the rest.
  const unsigned first = FirstProductIndex();
  std::vector<int> expected = {5, 10, 15, 20};
  const long n = 12 - first + 1;
  for (unsigned i = first; i < broken; ++i)
    if (i % 2 == (MachineTag() == "x64" ? 0u : 1u)) expected.push_back(20 + 30 * static_cast<long>(i - first + 1) / (n + 1));
  for (int v : {50, 52, 55, 58, 61, 64, 67, 70, 80, 90, 100}) expected.push_back(v);
  EXPECT_EQ(expected, ui.progress);

  std::string value;
  EXPECT_TRUE(ReadMachineString(kProductKey, "InstallPath", &value));
  EXPECT_TRUE(ReadMachineString(kUninstallKey, "UninstallString", &value));
  EXPECT_EQ(2u, ListDir(ProductGroupDir()).size());
  // The ini writes still happen: the file is made with the logging keys.
  EXPECT_EQ("1", IniValue(installPath + "\\vtdndConfig.ini", "vtdnd", "enableLog"));
}

TEST_F(FullRunTest, UnsafeMemberNameStopsTheLoopWritingNothing) {
  std::vector<RawMember> members = RawMembers(SmallPackage());
  const size_t evil = MachineTag() == "x64" ? 6 : 5;
  members[evil].name = MachineTag() + "_.._.._escaped.dll";
  Open(BuildRaw(members), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  const std::string parent = installPath.substr(0, installPath.rfind('\\'));
  EXPECT_FALSE(FileExists(parent + "\\escaped.dll"));
  EXPECT_FALSE(FileExists(parent + "\\..\\escaped.dll"));
  EXPECT_TRUE(FileExists(installPath + "\\KorvoNetDiskLink.exe"));
  EXPECT_FALSE(FileExists(installPath + "\\vtdndConfig.ini.bak"));
  EXPECT_FALSE(FileExists(installPath + "\\unins000.exe"));
  EXPECT_EQ(100, ui.progress.back());
}

TEST_F(FullRunTest, PreservedLoginUrlsAreWrittenBack) {
  const std::string old = FreshDir(TestName() + " old");
  CreateDirectoryA(old.c_str(), NULL);
  WriteFileBytes(old + "\\ZozOrerEduvaz.ini", Bytes("[Web]\r\nLoginURL=http://old/login\r\n"));
  WriteMachineString(kProductKey, "InstallPath", old.c_str());
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ("http://old/login", Engine().PreservedLoginUrl());
  EXPECT_EQ("", Engine().PreservedLoginUrlList());
  EXPECT_EQ(1, Engine().RunInstall());
  // Another directory: no overwrite question.
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  const std::string ini = installPath + "\\ZozOrerEduvaz.ini";
  EXPECT_EQ("http://old/login", IniValue(ini, "Web", "LoginURL"));
  EXPECT_EQ("", IniValue(ini, "Web", "LoginUrlList"));
  RemoveTree(old);
}

TEST_F(FullRunTest, WithoutOldIniThePackageValuesStay) {
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  const std::string ini = installPath + "\\ZozOrerEduvaz.ini";
  EXPECT_EQ("http://new/login", IniValue(ini, "Web", "LoginURL"));
  EXPECT_EQ("http://new/list", IniValue(ini, "Web", "LoginUrlList"));
}

TEST_F(EngineTest, DecliningOverwriteWritesNothing) {
  CreateDirectoryA(FreshDir(TestName() + " dir").c_str(), NULL);
  CreateDirectoryA(installPath.c_str(), NULL);
  std::string upper = installPath;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  WriteMachineString(kProductKey, "InstallPath", upper.c_str());
  WriteMachineString(kProductKey, "Version", "1.0.0.51");
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  ui.answers.push_back(2);
  EXPECT_EQ(0, Engine().RunInstall());
  EXPECT_EQ(std::vector<std::string>({"11034:您已安装Korvo邮箱网盘，是否覆盖安装？"}), MessageTexts());
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_TRUE(ListDir(installPath).empty());
  EXPECT_TRUE(ui.progress.empty());
  EXPECT_TRUE(Journal().empty());
  std::string value;
  EXPECT_TRUE(ReadMachineString(kProductKey, "Version", &value));
  EXPECT_EQ("1.0.0.51", value);
  EXPECT_FALSE(ReadMachineString(kProductKey, "Type", &value));
}

TEST_F(FullRunTest, DlpInstallerSucceeds) {
  PackageContent content = SmallPackage();
  content.hasDlp = true;
  content.dlpFileName = "DlpSetup.exe";
  content.dlp = DlpInstaller();
  ASSERT_FALSE(content.dlp.empty());
  const std::string dlpJournal = FreshDir(TestName() + ".dlp.txt");
  SetEnvironmentVariableA("DLP_JOURNAL", dlpJournal.c_str());
  SetEnvironmentVariableA("DLP_EXIT_CODE", "1");
  Open(Build(content), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().InstallsDlpClient());
  EXPECT_EQ(1, Engine().RunInstall());
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
  EXPECT_NE(std::string::npos, ReadText(dlpJournal).find("-Silent"));
  EXPECT_TRUE(FileExists(installPath + "\\DlpSetup.exe"));
  EXPECT_TRUE(SmallFileBytes("unins000.exe") == ReadFileBytes(installPath + "\\unins000.exe"));
  // The DLP member is not part of the product loop.
  EXPECT_EQ(12u, Engine().LastMemberIndex());
  EXPECT_EQ(CompleteRunProgress(FirstProductIndex(), 12), ui.progress);
  DeleteFileA(dlpJournal.c_str());
}

TEST_F(FullRunTest, DlpInstallerFailureSkipsTheProduct) {
  PackageContent content = SmallPackage();
  content.hasDlp = true;
  content.dlpFileName = "DlpSetup.exe";
  content.dlp = DlpInstaller();
  SetEnvironmentVariableA("DLP_JOURNAL", NULL);
  SetEnvironmentVariableA("DLP_EXIT_CODE", "0");
  Open(Build(content), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  EXPECT_EQ(std::vector<std::string>({"0:DLP客户端安装失败!"}), MessageTexts());
  EXPECT_FALSE(FileExists(installPath + "\\KorvoNetDiskLink.exe"));
  EXPECT_FALSE(FileExists(installPath + "\\unins000.exe"));
  std::string value;
  EXPECT_TRUE(ReadMachineString(kProductKey, "InstallPath", &value));
  EXPECT_EQ(2u, ListDir(ProductGroupDir()).size());
  // The rest of phase 2 is skipped with the loop: no 50 % report.
  std::vector<int> expected = {5, 10, 15, 20, 52, 55, 58, 61, 64, 67, 70, 80, 90, 100};
  EXPECT_EQ(expected, ui.progress);
  SetEnvironmentVariableA("DLP_EXIT_CODE", NULL);
}

TEST_F(EngineTest, AbandonDuringRunKeepsWhatWasThere) {
  CreateDirectoryA(FreshDir(TestName() + " dir").c_str(), NULL);
  CreateDirectoryA(installPath.c_str(), NULL);
  CreateDirectoryA((installPath + "\\Drive").c_str(), NULL);
  WriteFileBytes(installPath + "\\mine.txt", Bytes("mine"));
  WriteFileBytes(installPath + "\\Drive\\notes.txt", Bytes("notes"));
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  // Stop the worker at its first member report, abandon, then let it go on.
  ui.pauseAt = 20 + 30 * 2 / (12 - static_cast<int>(FirstProductIndex()) + 2);
  context->currentPage = kPageProgress;
  HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, WorkerThreadProc, context.get(), 0, NULL));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ui.reachedPause, 60000));
  ASSERT_TRUE(FileExists(installPath + "\\KorvoNetDiskLink.exe"));
  context->engine->AbandonInstall();
  SetEvent(ui.resume);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000));
  CloseHandle(thread);

  EXPECT_EQ(std::vector<std::string>({"Drive", "mine.txt"}), ListDir(installPath));
  EXPECT_EQ(std::vector<std::string>({"notes.txt"}), ListDir(installPath + "\\Drive"));
  EXPECT_EQ("mine", ReadText(installPath + "\\mine.txt"));
  EXPECT_TRUE(Engine().HelperLibrary() == NULL);
  EXPECT_EQ(ui.pauseAt, ui.progress.back());
  std::string value;
  EXPECT_FALSE(ReadMachineString(kProductKey, "InstallPath", &value));
  EXPECT_FALSE(DirExists(ProductGroupDir()));
}

TEST_F(FullRunTest, AbandonRemovesTheDirectoryItMade) {
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  EXPECT_EQ(1, Engine().RunInstall());
  ASSERT_TRUE(FileExists(installPath + "\\Drive\\xp\\MailKorvoDrive.dll"));
  HMODULE helper = Engine().HelperLibrary();
  Engine().AbandonInstall();
  EXPECT_TRUE(Engine().HelperLibrary() == NULL);
  (void)helper;
  EXPECT_FALSE(DirExists(installPath)) << ::testing::PrintToString(ListTree(installPath));
}
