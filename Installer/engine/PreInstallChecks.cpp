// The checks before the wizard starts and at the start of the run, and the
// login settings carried over from an existing installation.
#include <windows.h>

#include <mbstring.h>

#include <string>

#include "EngineSupport.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

using namespace engine;

namespace {

const char kLoginIni[] = "ZozOrerEduvaz.ini";
const int kIniValueSize = 512;

std::string ReadIniString(const char* key, const std::string& file) {
  char buffer[kIniValueSize] = {0};
  GetPrivateProfileStringA("Web", key, "", buffer, sizeof(buffer), file.c_str());
  return buffer;
}

// Character-wise in the ANSI code page, so trail bytes are never case-folded.
bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                  reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
}

}  // namespace

int CSorrelInstall::CheckCanInstall() {
  if (!m_package) OpenPackage();
  if (!PackageUsable() || m_agreementText.empty()) return 0;
  static const char* const kProductProcesses[] = {"KorvoNetDiskLink.exe", "VerIruzAviz.exe",
                                                  "DarEzazOrevu.exe"};
  for (size_t i = 0; i < sizeof(kProductProcesses) / sizeof(kProductProcesses[0]); ++i) {
    if (IsProcessRunning(kProductProcesses[i])) {
      m_ui.ShowPopMsg(kPopMsgNotice, kRunningMessage);
      return 0;
    }
  }
  ReadPreservedLoginUrls();
  return 1;
}

void CSorrelInstall::ReadPreservedLoginUrls() {
  std::string installed;
  if (!ReadProductValue("InstallPath", &installed)) return;
  std::string file = JoinPath(installed, kLoginIni);
  if (!PathExists(file) || IsDirectory(file)) return;
  m_loginUrl = ReadIniString("LoginURL", file);
  m_loginUrlList = ReadIniString("LoginUrlList", file);
}

int CSorrelInstall::ConfirmReinstall() {
  std::string installed;
  if (ReadProductValue("InstallPath", &installed) &&
      SameTextIgnoringCase(installed, m_context.GetInstallPath()) && IsDirectory(installed)) {
    if (m_ui.ShowPopMsg(kPopMsgQuestion, "您已安装Korvo邮箱网盘，是否覆盖安装？") != 1) {
      m_ui.PostQuit();
      return 0;
    }
  }
  std::string installedVersion;
  if (ReadProductValue("Version", &installedVersion) &&
      PackVersion(m_version.c_str()) < PackVersion(installedVersion.c_str())) {
    if (m_ui.ShowPopMsg(kPopMsgQuestion, "您的安装包版本低于当前已安装版本，是否继续安装？") != 1) {
      m_ui.PostQuit();
      return 0;
    }
  }
  return 1;
}

void CSorrelInstall::WritePreservedLoginUrls() {
  if (m_loginUrl.empty() && m_loginUrlList.empty()) return;
  std::string file = JoinPath(m_context.GetInstallPath(), kLoginIni);
  if (!PathExists(file) || IsDirectory(file)) return;
  if (!BeginWrite()) return;
  WritePrivateProfileStringA("Web", "LoginURL", m_loginUrl.c_str(), file.c_str());
  WritePrivateProfileStringA("Web", "LoginUrlList", m_loginUrlList.c_str(), file.c_str());
  EndWrite();
}
