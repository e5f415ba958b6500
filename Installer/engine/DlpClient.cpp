// The optional DLP client: the package's last member, run silently before the
// product files are unpacked.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "EngineSupport.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

using namespace engine;

namespace {
const char kDlpUnpackFailed[] = "DLP安装包解压失败!";
}

int CSorrelInstall::InstallDlpClient() {
  if (!m_installDlpClient) return 1;
  const unsigned index = m_lastMemberIndex;
  m_lastMemberIndex = index - 1;

  ZipMember member;
  if (!m_package || GetZipMember(m_package, static_cast<int>(index), &member) != ZR_OK) {
    m_ui.ShowPopMsg(kPopMsgNotice, kDlpUnpackFailed);
    return 1;
  }
  if (!BeginWrite()) return 0;
  unsigned code = ExtractStageFile(static_cast<int>(index), member.name);
  if (code != ZR_OK) {
    DeleteFileA((InstallDirWithSlash() + member.name).c_str());
    EndWrite();
    m_ui.ShowPopMsg(kPopMsgNotice, kDlpUnpackFailed);
    return 1;
  }
  std::string path = UnpackMember(member.name);
  EndWrite();

  const char* error = NULL;
  if (path.empty())
    error = kDlpUnpackFailed;
  else if (Abandoning() || RunDlpInstaller(path.c_str()) == 0)
    error = "DLP客户端安装失败!";
  if (error) {
    m_ui.ShowPopMsg(kPopMsgNotice, error);
    return 0;
  }
  return 1;
}

int CSorrelInstall::RunDlpInstaller(const char* path) {
  if (!path || !PathExists(path)) return 0;
  AppendLogLine("开始%sDLP客户端", "安装");

  SHELLEXECUTEINFOA info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = NULL;
  info.lpVerb = "open";
  info.lpFile = path;
  info.lpParameters = "-Silent";
  info.lpDirectory = NULL;
  info.nShow = SW_SHOW;
  ShellExecuteExA(&info);
  WaitForSingleObject(info.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(info.hProcess, &exitCode);
  if (info.hProcess) CloseHandle(info.hProcess);

  AppendLogLine("DLP客户端%s%s", "安装", exitCode != 0 ? "成功" : "失败");
  return static_cast<int>(exitCode);
}
