// Phase 3 (the product and uninstall keys) and the shortcut steps of phase 4
// and of FinishInstall.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "EngineSupport.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

using namespace engine;

namespace {
const char kLinkName[] = "Korvo邮箱网盘.lnk";
const char* const kOldProducts[] = {"Lanmu网盘", "Korvo网盘(Lanmu版)"};
}  // namespace

void CSorrelInstall::WriteProductRegistry(const ProgressRange* range) {
  const std::string p = m_context.GetInstallPath();
  const struct {
    const char* name;
    const std::string* value;
  } product[] = {
      {"InstallPath", &p},         {"Version", &m_version},       {"Type", &m_type},
      {"ProductID", &m_productId}, {"VersionNUM", &m_versionNumber}, {"Packetname", &m_packetName},
      {"Productname", &m_productName},
  };
  const int count = sizeof(product) / sizeof(product[0]);
  for (int i = 0; i < count; ++i) {
    if (!BeginWrite()) return;
    RegWriteMachineString(kProductKey, product[i].name, product[i].value->c_str());
    EndWrite();
    ReportStep(m_ui, range, i + 1, count);
  }

  const std::string displayIcon = JoinPath(p, "KorvoNetDiskLink.exe");
  const std::string uninstaller = JoinPath(p, "unins000.exe");
  if (!BeginWrite()) return;
  RegWriteMachineString(kUninstallKey, "DisplayIcon", displayIcon.c_str());
  RegWriteMachineString(kUninstallKey, "DisplayName", kProductDisplayName);
  RegWriteMachineString(kUninstallKey, "DisplayVersion", m_version.c_str());
  RegWriteMachineString(kUninstallKey, "InstallLocation", p.c_str());
  RegWriteMachineString(kUninstallKey, "UninstallString", uninstaller.c_str());
  EndWrite();
}

void CSorrelInstall::RemoveOldProductShortcuts() {
  for (size_t i = 0; i < sizeof(kOldProducts) / sizeof(kOldProducts[0]); ++i) {
    RemoveProgramGroup(kOldProducts[i]);
    std::string desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    if (desktop.empty()) continue;
    std::string link = JoinPath(desktop, (std::string(kOldProducts[i]) + ".lnk").c_str());
    DeletePathRecursive(link.c_str());
  }
}

void CSorrelInstall::CreateStartMenuGroup() {
  const std::string p = m_context.GetInstallPath();
  const std::string program = JoinPath(p, "KorvoNetDiskLink.exe") + "|" + kLinkName;
  const std::string uninstall = JoinPath(p, "unins000.exe") + "|卸载Korvo邮箱网盘.lnk";
  CreateProgramGroup(kProductDisplayName, program.c_str(), uninstall.c_str(), static_cast<const char*>(NULL));
}

void CSorrelInstall::WriteAutorunValue() {
  RegWriteAutorun(JoinPath(m_context.GetInstallPath(), "VerIruzAviz.exe").c_str());
}

void CSorrelInstall::CreateDesktopShortcut() {
  std::string desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  if (desktop.empty()) return;
  std::string link = JoinPath(desktop, kLinkName);
  CreateShortcut(link.c_str(), JoinPath(m_context.GetInstallPath(), "KorvoNetDiskLink.exe").c_str());
}
