// Opening the package, the start-up check, the reinstall questions and the
// two-stage unpacking of single members.
#include "EngineFixture.h"

TEST(SetupContextTest, InstallPathDropsOneTrailingBackslash) {
  RecordingUi ui;
  SetupContext context(&ui, GetModuleHandleA(NULL));
  context.SetInstallPath("D:\\Apps\\MailKorvo_Disk\\");
  EXPECT_EQ("D:\\Apps\\MailKorvo_Disk", context.GetInstallPath());
  context.SetInstallPath("D:\\Apps\\\\");
  EXPECT_EQ("D:\\Apps\\", context.GetInstallPath());
  context.SetInstallPath("");
  EXPECT_EQ("", context.GetInstallPath());
  EXPECT_EQ(1, context.desktopShortcut);
  EXPECT_EQ(1, context.openAfterInstall);
  EXPECT_EQ(kPageHome, context.currentPage);
}

TEST(ProgressTest, FilledWidthAndSteps) {
  EXPECT_EQ(25, ProgressFilledWidth(510, 5));
  EXPECT_EQ(265, ProgressFilledWidth(510, 52));
  EXPECT_EQ(510, ProgressFilledWidth(510, 100));
  RecordingUi ui;
  ProgressRange range = {50, 70};
  for (int i = 1; i <= 7; ++i) ReportStep(ui, &range, i, 7);
  ReportStep(ui, NULL, 1, 1);
  EXPECT_EQ(std::vector<int>({52, 55, 58, 61, 64, 67, 70}), ui.progress);
}

TEST_F(EngineTest, MissingResourceIsReportedEachTime) {
  Open(std::vector<uint8_t>(), installPath, false);
  EXPECT_EQ(0, Engine().CheckCanInstall());
  EXPECT_EQ("", Engine().GetAgreementText());
  EXPECT_EQ(std::vector<std::string>({"0:查找安装数据资源失败!", "0:查找安装数据资源失败!"}), MessageTexts());
  EXPECT_FALSE(Engine().IsPackageOpen());
}

TEST_F(EngineTest, GarbageResourceCannotBeOpened) {
  Open(Bytes("this is not a zip archive at all, just text"), installPath);
  EXPECT_EQ(0, Engine().CheckCanInstall());
  ASSERT_EQ(1u, ui.messages.size());
  EXPECT_EQ(0u, ui.messages[0].text.find("打开压缩文件失败! 返回错误码："));
  EXPECT_EQ(0, ui.messages[0].type);
}

TEST_F(EngineTest, OtherMachineTypeIsRefusedOnce) {
  PackageContent content = SmallPackage();
  content.info.machineTypes = MachineTag() == "x64" ? "x86" : "x64";
  Open(Build(content), installPath);
  EXPECT_EQ(0, Engine().CheckCanInstall());
  EXPECT_TRUE(Engine().IsPackageOpen());
  EXPECT_EQ("", Engine().GetAgreementText());
  EXPECT_EQ(std::vector<std::string>({"0:安装包类型与当前机器类型不兼容!"}), MessageTexts());
}

TEST_F(EngineTest, ShortDescriptorMakesThePackageUnusable) {
  PackageContent content = SmallPackage();
  std::vector<RawMember> members = RawMembers(content);
  // Nine fields only: the reserved fields and the DLP flag are missing.
  const char raw[] = "x86_x64\0" "12\0" "1.0.0.50\0" "4\0" "101\0" "16\0" "p\0" "\0" "agreement\0";
  std::string descriptor(raw, sizeof(raw) - 1);
  members[0].data.assign(descriptor.begin(), descriptor.end());
  Open(BuildRaw(members), installPath);
  EXPECT_EQ(0, Engine().CheckCanInstall());
  EXPECT_EQ(std::vector<std::string>({"0:安装包数据有误!"}), MessageTexts());
  EXPECT_EQ("", Engine().GetAgreementText());
}

TEST_F(EngineTest, DescriptorFieldsAndDlpFlag) {
  PackageContent content = SmallPackage();
  content.info.productId = "999";
  content.hasDlp = true;
  content.dlpFileName = "Dlp.exe";
  content.dlp = Bytes("not run here");
  Open(Build(content), installPath);
  EXPECT_EQ(1, Engine().CheckCanInstall());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ("用户协议\r\n第一条", Engine().GetAgreementText());
  EXPECT_EQ(MachineTag() == "x64" ? "102" : "101", Engine().ProductId());
  EXPECT_EQ(13u, Engine().LastMemberIndex());
  EXPECT_EQ(1, Engine().InstallsDlpClient());
  EXPECT_EQ(1, Engine().IsMemberForThisMachine((MachineTag() + "_ToolBox.dll").c_str()));
  std::string upper = MachineTag();
  CharUpperBuffA(&upper[0], 3);
  EXPECT_EQ(1, Engine().IsMemberForThisMachine((upper + "_ToolBox.dll.zip").c_str()));
  EXPECT_EQ(0, Engine().IsMemberForThisMachine(MachineTag() == "x64" ? "x86_ToolBox.dll" : "x64_ToolBox.dll"));
}

TEST_F(EngineTest, ReinstallQuestions) {
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  struct Case {
    const char* installed;
    bool asks;
  } cases[] = {{"1.0.0.51", true}, {"1.0.0.50", false}, {"1.0.0.306", false}, {"2.1", true}, {"1.0.0.49", false}};
  for (const Case& c : cases) {
    ui.messages.clear();
    ui.quitCount = 0;
    WriteMachineString(kProductKey, "Version", c.installed);
    ui.answers.push_back(2);
    EXPECT_EQ(c.asks ? 0 : 1, Engine().ConfirmReinstall()) << c.installed;
    EXPECT_EQ(c.asks ? 1 : 0, ui.quitCount) << c.installed;
    if (c.asks)
      EXPECT_EQ(std::vector<std::string>({"11034:您的安装包版本低于当前已安装版本，是否继续安装？"}), MessageTexts());
    else
      EXPECT_TRUE(ui.messages.empty()) << c.installed;
    ui.answers.clear();
  }
  // Same directory, other case, over a newer version: both questions, accepted.
  CreateDirectoryA(FreshDir(TestName() + " dir").c_str(), NULL);
  CreateDirectoryA(installPath.c_str(), NULL);
  std::string upper = installPath;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  WriteMachineString(kProductKey, "InstallPath", upper.c_str());
  WriteMachineString(kProductKey, "Version", "1.0.0.51");
  ui.messages.clear();
  ui.quitCount = 0;
  EXPECT_EQ(1, Engine().ConfirmReinstall());
  EXPECT_EQ(std::vector<std::string>({"11034:您已安装Korvo邮箱网盘，是否覆盖安装？",
                                      "11034:您的安装包版本低于当前已安装版本，是否继续安装？"}),
            MessageTexts());
  EXPECT_EQ(0, ui.quitCount);
  // A registered directory that is gone: no overwrite question.
  RemoveDirectoryA(installPath.c_str());
  WriteMachineString(kProductKey, "Version", "1.0.0.50");
  ui.messages.clear();
  EXPECT_EQ(1, Engine().ConfirmReinstall());
  EXPECT_TRUE(ui.messages.empty());
}

// Stage 2 of single members: the decoder's codes and messages.
TEST_F(EngineTest, UnpackMemberCodes) {
  Open(Build(SmallPackage()), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  CreateDirectoryA(FreshDir(TestName() + " dir").c_str(), NULL);
  CreateDirectoryA(installPath.c_str(), NULL);
  std::vector<uint8_t> good = Lzma(Bytes("payload"));
  std::vector<uint8_t> filter2 = good;
  filter2[0] = 2;
  std::vector<uint8_t> zeroSize = good;
  for (int i = 6; i < 14; ++i) zeroSize[i] = 0;
  std::vector<uint8_t> highSize = good;
  highSize[10] = 1;
  struct Case {
    const char* name;
    std::vector<uint8_t> stage;
    int code;
  } cases[] = {
      {"short", Bytes("0123456789"), 3}, {"filter", filter2, 2}, {"zero", zeroSize, 3}, {"high", highSize, 3}};
  for (const Case& c : cases) {
    ui.messages.clear();
    const std::string member = std::string("x86_Bad") + c.name + ".dll.zip";
    ASSERT_TRUE(WriteFileBytes(installPath + "\\" + member, c.stage));
    EXPECT_EQ("", Engine().UnpackMember(member.c_str())) << c.name;
    char text[64];
    wsprintfA(text, "0:压缩文件解压失败! 返回值为: %d", c.code);
    EXPECT_EQ(std::vector<std::string>({text}), MessageTexts()) << c.name;
    EXPECT_FALSE(FileExists(installPath + "\\" + member)) << c.name;
    EXPECT_FALSE(FileExists(installPath + "\\Bad" + c.name + ".dll")) << c.name;
  }
  EXPECT_TRUE(TakeSystemBoxes().empty());

  // No stage file: the system box, then code 4.
  ui.messages.clear();
  EXPECT_EQ("", Engine().UnpackMember("x64_Missing.dll"));
  EXPECT_EQ(std::vector<std::string>({"open file failed"}), TakeSystemBoxes());
  EXPECT_EQ(std::vector<std::string>({"0:压缩文件解压失败! 返回值为: 4"}), MessageTexts());

  // Good members: path mapping, directories made, capital ".ZIP" kept,
  // SorrelIPC.dll copied into Drive.
  ui.messages.clear();
  struct Good {
    const char* member;
    const char* relative;
  } goods[] = {{"x64_Drive_xp_MailKorvoDrive.dll", "Drive\\xp\\MailKorvoDrive.dll"},
               {"x86_ToolBox.dll.zip", "ToolBox.dll"},
               {"x86_Upper.dll.ZIP", "Upper.dll.ZIP"},
               {"x64_lib_SorrelIPC.dll", "lib\\SorrelIPC.dll"}};
  for (const Good& g : goods) {
    ASSERT_TRUE(WriteFileBytes(installPath + "\\" + g.member, good));
    EXPECT_EQ(installPath + "\\" + g.relative, Engine().UnpackMember(g.member));
    EXPECT_EQ("payload", ReadText(installPath + "\\" + g.relative)) << g.member;
    EXPECT_FALSE(FileExists(installPath + "\\" + g.member)) << g.member;
  }
  EXPECT_EQ("payload", ReadText(installPath + "\\Drive\\SorrelIPC.dll"));
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
}

// Stage 1 of the helper library fails: its message, then stage 2 runs on
// whatever the stage file holds.
struct HelperStageOneCase {
  const char* name;
  bool badCrc;     // the zip layer leaves the (here intact) bytes it wrote
  bool encrypted;  // the zip layer writes nothing
  int code;
};
class HelperStageOne : public EngineTest, public ::testing::WithParamInterface<HelperStageOneCase> {};

TEST_P(HelperStageOne, ReportsBothStages) {
  const HelperStageOneCase& c = GetParam();
  std::vector<RawMember> members = RawMembers(SmallPackage());
  RawMember& helper = members[MachineTag() == "x64" ? 2 : 1];
  helper.options.badCrc = c.badCrc;
  helper.options.encryptedFlag = c.encrypted;
  Open(BuildRaw(members), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  Engine().ExtractHelperLibrary();
  char first[64];
  wsprintfA(first, "0:第一重解压失败，返回值: %d", c.code);
  if (c.encrypted) {
    // No stage file: the system box, then the decoder's code 4.
    EXPECT_EQ(std::vector<std::string>({first, "0:压缩文件解压失败! 返回值为: 4"}), MessageTexts());
    EXPECT_EQ(std::vector<std::string>({"open file failed"}), TakeSystemBoxes());
    EXPECT_FALSE(FileExists(installPath + "\\ZarIdaveVaruDor.dll"));
  } else {
    EXPECT_EQ(std::vector<std::string>({first}), MessageTexts());
    EXPECT_TRUE(TakeSystemBoxes().empty());
    EXPECT_TRUE(HelperDll() == ReadFileBytes(installPath + "\\ZarIdaveVaruDor.dll"));
  }
  EXPECT_EQ(MachineTag() == "x64" ? 3u : 2u, Engine().FirstProductMemberIndex());
  std::vector<std::string> left = ListDir(installPath);
  EXPECT_EQ(c.encrypted ? 0u : 1u, left.size()) << ::testing::PrintToString(left);
}

INSTANTIATE_TEST_SUITE_P(Engine, HelperStageOne,
                         ::testing::Values(HelperStageOneCase{"BadCrc", true, false, 0x5000000},
                                           HelperStageOneCase{"Encrypted", false, true, 0x1000}),
                         [](const ::testing::TestParamInfo<HelperStageOneCase>& info) {
                           return std::string(info.param.name);
                         });
