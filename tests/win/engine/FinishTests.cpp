// Leaving the finish page: the flag combinations and partial helper libraries.
#include <shlobj.h>

#include "EngineFixture.h"

struct FinishCase {
  const char* name;
  const char* variant;
  int autorun, openRoot, desktop;
  bool terminates, opens;
};

class FinishInstallFlags : public EngineTest, public ::testing::WithParamInterface<FinishCase> {};

TEST_P(FinishInstallFlags, DoesWhatTheFlagsAsk) {
  const FinishCase& c = GetParam();
  Open(Build(SmallPackage(c.variant)), installPath);
  ASSERT_EQ(1, Engine().CheckCanInstall());
  const ProgressRange range = {0, 20};
  ASSERT_EQ(1, Engine().PrepareOldInstall(&range));
  ASSERT_TRUE(Engine().HelperLibrary() != NULL);
  const size_t before = Journal().size();

  Engine().FinishInstall(c.autorun, c.openRoot, c.desktop);

  std::vector<std::vector<std::string>> expected;
  if (c.terminates) expected.push_back({"TerminateExplorerProcess"});
  if (c.opens) expected.push_back({"OpenDriveRoot", installPath});
  std::vector<std::vector<std::string>> journal = Journal();
  ASSERT_GE(journal.size(), before);
  EXPECT_EQ(expected, std::vector<std::vector<std::string>>(journal.begin() + before, journal.end()));

  std::string autorun;
  EXPECT_EQ(c.autorun != 0, ReadAutorun(&autorun));
  if (c.autorun) EXPECT_EQ(installPath + "\\VerIruzAviz.exe", autorun);
  const std::string desktopLink = SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Korvo邮箱网盘.lnk";
  EXPECT_EQ(c.desktop != 0, FileExists(desktopLink));
  if (c.desktop) EXPECT_EQ(installPath + "\\KorvoNetDiskLink.exe", ShortcutTarget(desktopLink));
  EXPECT_EQ(1, ui.quitCount);
  EXPECT_TRUE(Engine().HelperLibrary() == NULL);
  EXPECT_TRUE(ui.messages.empty()) << ::testing::PrintToString(MessageTexts());
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FinishInstallFlags,
    ::testing::Values(FinishCase{"Nothing", NULL, 0, 0, 0, true, false},
                      FinishCase{"Everything", NULL, 1, 1, 1, true, true},
                      FinishCase{"NoCreateExplorer", "no-createexplorer", 1, 1, 0, false, true},
                      FinishCase{"NoOpenDriveRoot", "no-opendriveroot", 0, 1, 1, true, false}),
    [](const ::testing::TestParamInfo<FinishCase>& info) { return std::string(info.param.name); });
