#include "EngineFixture.h"

#include <shlobj.h>

#include "SystemMessageBox.h"

namespace {
const char* const kHelperResults[] = {"StopDriveWork", "MsgCloseProThatUsingDesFiles", "Uninstall4PrepareInstall",
                                      "Install", "PostSetupEvent", "TerminateExplorerProcess",
                                      "CreateExplorerProcess", "OpenDriveRoot"};

void ClearMachineState() {
  DeleteMachineKey(kProductKey);
  DeleteMachineKey(kUninstallKey);
  DeleteAutorun();
  RemoveTree(ProductGroupDir());
  RemoveTree(SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Korvo邮箱网盘.lnk");
}
}  // namespace

std::string ProductGroupDir() { return SpecialFolderPath(CSIDL_PROGRAMS) + "\\Korvo邮箱网盘"; }

std::string EngineTest::TestName() const {
  // Parameterised tests have "/" in their names; keep paths plain.
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == '/') name[i] = '_';
  return name;
}

void EngineTest::SetUp() {
  StartRecordingSystemBoxes();
  ClearMachineState();
  journal = FreshDir(TestName() + ".journal.txt");
  SetEnvironmentVariableA("ZARIDAVE_JOURNAL", journal.c_str());
  for (size_t i = 0; i < sizeof(kHelperResults) / sizeof(kHelperResults[0]); ++i)
    SetEnvironmentVariableA((std::string("ZARIDAVE_RESULT_") + kHelperResults[i]).c_str(), NULL);
  installPath = FreshDir(TestName() + " dir") + "\\Mail Korvo";
}

void EngineTest::TearDown() {
  if (context) {
    HMODULE helper = Engine().HelperLibrary();
    context.reset();
    if (helper) FreeLibrary(helper);
  }
  module.reset();
  ClearMachineState();
  RemoveTree(FreshDir(TestName() + " dir"));
  DeleteFileA(journal.c_str());
  SetSystemMessageBoxHook(NULL);
}

void EngineTest::Open(const std::vector<uint8_t>& archive, const std::string& path, bool withResource) {
  ASSERT_TRUE(withResource == false || !archive.empty());
  module.reset(new PackageModule(archive, withResource));
  ASSERT_TRUE(module->get() != NULL);
  context.reset(new SetupContext(&ui, module->get()));
  installPath = path;
  context->SetInstallPath(path);
}

std::vector<std::string> EngineTest::MessageTexts() const {
  std::vector<std::string> out;
  for (size_t i = 0; i < ui.messages.size(); ++i) {
    char type[16];
    wsprintfA(type, "%d:", ui.messages[i].type);
    out.push_back(type + ui.messages[i].text);
  }
  return out;
}
