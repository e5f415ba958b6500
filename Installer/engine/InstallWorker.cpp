// The install run: reinstall questions, phase 1 (the old installation is
// stopped through the helper library), phase 2 (the product files), then the
// registration phases; and the clean-up when the user gives up.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "EngineSupport.h"
#include "HelperLibrary.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

using namespace engine;

namespace {

const char kHelperLibraryName[] = "ZarIdaveVaruDor.dll";
const char kDesktopLinkName[] = "Korvo邮箱网盘.lnk";
// How long AbandonInstall waits for the worker to finish the write in hand.
const DWORD kAbandonWaitMs = 10000;

// The files of an installation that running programs may hold.
std::string InstalledFileList(const std::string& p) {
  return JoinPath(p, "drive\\XP\\MailKorvoDrive.dll") + "|" + JoinPath(p, "drive\\Vista\\MailKorvoDrive.dll") +
         "|" + JoinPath(p, "KorvoNetDiskLink.exe") + "|" + JoinPath(p, "vtdnd.dll") + "|" +
         JoinPath(p, "VtMailKorvoDownload.dll");
}

}  // namespace

int CSorrelInstall::RunInstall() {
  if (Abandoning() || !ConfirmReinstall()) return 0;
  const ProgressRange phase1 = {0, 20};
  if (!PrepareOldInstall(&phase1)) return 0;
  if (Abandoning()) return 0;
  const ProgressRange phase2 = {20, 50};
  ExtractProductFiles(&phase2);
  if (Abandoning()) return 0;
  const ProgressRange phase3 = {50, 70};
  WriteProductRegistry(&phase3);
  if (Abandoning()) return 0;
  const ProgressRange phase4 = {70, 100};
  return FinishRegistration(&phase4);
}

void CSorrelInstall::StopRunOnClosedPackage() {
  // Cannot happen after CheckCanInstall succeeded; the progress page would
  // otherwise wait for ever, so end the program like any fatal condition.
  m_ui.ShowPopMsg(kPopMsgNotice, kBadPackageMessage);
  m_ui.PostQuit();
}

int CSorrelInstall::PrepareOldInstall(const ProgressRange* range) {
  ExtractHelperLibrary();
  ReportStep(m_ui, range, 1, 4);
  if (Abandoning()) return 0;
  if (!PackageUsable()) {
    StopRunOnClosedPackage();
    return 0;
  }

  const std::string installPath = m_context.GetInstallPath();
  const std::string libraryPath = JoinPath(installPath, kHelperLibraryName);
  // Every use of the library is a write step: AbandonInstall frees it only
  // when the worker is outside such a step.
  if (!BeginWrite()) return 0;
  m_helperLibrary = LoadLibraryA(libraryPath.c_str());
  DWORD loadError = GetLastError();
  EndWrite();
  if (!m_helperLibrary) {
    char text[1024];
    _snprintf(text, sizeof(text) - 1, "ZarIdaveVaruDor.dll加载失败! 返回错误码：%d, 安装路径：%s",
              static_cast<int>(loadError), libraryPath.c_str());
    text[sizeof(text) - 1] = '\0';
    m_ui.ShowPopMsg(kPopMsgNotice, text);
    m_ui.PostQuit();
    return 0;
  }
  if (Abandoning()) return 0;
  HelperExports helper(m_helperLibrary);
  if (!helper.HasPhaseOneExports()) {
    m_ui.ShowPopMsg(kPopMsgNotice, "GetProcAddress失败!");
    m_ui.PostQuit();
    return 0;
  }

  HWND window = m_ui.ProgressWindow();
  if (!BeginWrite()) return 0;
  int stopped = helper.stopDriveWork(window, 0, 0, 2);
  EndWrite();
  ReportStep(m_ui, range, 2, 4);
  if (stopped != 0) {
    m_ui.ShowPopMsg(kPopMsgNotice, kRunningMessage);
    m_ui.PostQuit();
    return 0;
  }
  if (Abandoning()) return 0;

  std::string files = InstalledFileList(installPath);
  char reply[MAX_PATH] = {0};  // the library may write here; never read
  if (!BeginWrite()) return 0;
  int closed = helper.msgCloseProThatUsingDesFiles(window, files.c_str(), reply);
  EndWrite();
  ReportStep(m_ui, range, 3, 4);
  if (closed != 0) {
    m_ui.ShowPopMsg(kPopMsgNotice, kRunningMessage);
    m_ui.PostQuit();
    return 0;
  }
  if (Abandoning()) return 0;

  std::string desktopLink = JoinPath(SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY), kDesktopLinkName);
  std::string startupLink = JoinPath(SpecialFolder(CSIDL_ALTSTARTUP), kDesktopLinkName);
  if (!BeginWrite()) return 0;
  helper.uninstall4PrepareInstall(0, desktopLink.c_str(), startupLink.c_str());
  EndWrite();
  ReportStep(m_ui, range, 4, 4);
  return 1;
}

int CSorrelInstall::ExtractProductFiles(const ProgressRange* range) {
  if (!PackageUsable()) return 0;
  if (!InstallDlpClient()) return 0;

  const unsigned first = m_firstProductMemberIndex;
  const unsigned end = m_lastMemberIndex;
  const long long n = static_cast<long long>(end) - first + 1;
  int ok = 1;
  long long k = 1;
  for (unsigned i = first; n > 0 && i <= end; ++i) {
    if (Abandoning()) return 0;
    ZipMember member;
    if (GetZipMember(m_package, static_cast<int>(i), &member) != ZR_OK) {
      ok = 0;
      break;
    }
    if (IsMemberForThisMachine(member.name)) {
      if (!BeginWrite()) return 0;
      unsigned code = ExtractStageFile(static_cast<int>(i), member.name);
      if (code != ZR_OK) {
        // A failed stage 1 may leave a partial stage file: never keep one.
        DeleteFileA((InstallDirWithSlash() + member.name).c_str());
        EndWrite();
        ok = 0;
        break;
      }
      UnpackMember(member.name);
      EndWrite();
      if (range)
        m_ui.SetProgress(static_cast<int>(range->start + (range->end - range->start) * k / (n + 1)));
    }
    ++k;
    if (i == 0xFFFFFFFFu) break;
  }

  WritePreservedLoginUrls();
  if (range) m_ui.SetProgress(range->end);

  if (!BeginWrite()) return 0;
  std::string ini = JoinPath(m_context.GetInstallPath(), "vtdndConfig.ini");
  bool existed = PathExists(ini);
  WritePrivateProfileStringA("vtdnd", "enableLog", "1", ini.c_str());
  WritePrivateProfileStringA("vtdnd", "logLevel", "20", ini.c_str());
  if (!existed && PathExists(ini)) JournalCreatedFile(ini);
  EndWrite();
  return ok;
}

void CSorrelInstall::AbandonInstall() {
  InterlockedExchange(&m_abandoning, 1);
  // The close confirmation may have suspended the worker in the middle of a
  // write; let it run on to the next point where it tests the flag.
  if (m_context.workerThread) ResumeThread(m_context.workerThread);
  for (DWORD waited = 0; m_writing && waited < kAbandonWaitMs; waited += 10) Sleep(10);
  // The worker no longer uses the library (its next step is refused), and a
  // loaded library could not be deleted.
  if (!m_writing && m_helperLibrary) {
    FreeLibrary(m_helperLibrary);
    m_helperLibrary = NULL;
  }
  RemoveCreatedPaths();
  // The install directory itself goes when nothing of the user's is left in it.
  std::string installPath = m_context.GetInstallPath();
  if (!installPath.empty()) RemoveDirectoryA(installPath.c_str());
  DeleteSetupRuntime();
}

void CSorrelInstall::DeleteSetupRuntime() {
  char self[MAX_PATH] = {0};
  DWORD length = GetModuleFileNameA(NULL, self, sizeof(self));
  if (length == 0 || length >= sizeof(self)) return;
  std::string dir = ParentDirectory(self);
  if (dir.empty()) return;
  DeleteFileA((dir + "\\msvcr71.dll").c_str());
}
