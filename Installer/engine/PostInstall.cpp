// Phase 4 of the run and the actions when the user leaves the finish page.
#include <windows.h>

#include <string>

#include "EngineSupport.h"
#include "HelperLibrary.h"
#include "InstallUi.h"
#include "SetupContext.h"
#include "SorrelInstall.h"

#ifndef ACTION_LOG_BASE
#define ACTION_LOG_BASE "http://mail.korvo.com"
#endif

using namespace engine;

namespace {
const char kActionLogUrl[] = ACTION_LOG_BASE "/file/disk?func=disk:virtual&cmd=actionlog";
}

int CSorrelInstall::FinishRegistration(const ProgressRange* range) {
  if (!m_helperLibrary || Abandoning()) return 0;
  HelperExports helper(m_helperLibrary);
  // A library without these two would leave the progress page waiting for
  // ever: the run still ends with the start-menu group and the full bar.
  if (helper.HasRegistrationExports()) {
    const std::string p = m_context.GetInstallPath();
    if (!BeginWrite()) return 0;
    helper.install(m_ui.ProgressWindow(), p.c_str(), "1");
    EndWrite();
    ReportStep(m_ui, range, 1, 3);
    if (!BeginWrite()) return 0;
    helper.postSetupEvent(kActionLogUrl, "1");
    EndWrite();
    ReportStep(m_ui, range, 2, 3);
  }
  if (!BeginWrite()) return 0;
  RemoveOldProductShortcuts();
  CreateStartMenuGroup();
  EndWrite();
  ReportStep(m_ui, range, 3, 3);
  return 1;
}

void CSorrelInstall::FinishInstall(int registerAutorun, int openDriveRoot, int createDesktopShortcut) {
  if (registerAutorun) WriteAutorunValue();
  if (createDesktopShortcut) CreateDesktopShortcut();
  HelperExports helper(m_helperLibrary);
  if (helper.HasExplorerExports()) helper.terminateExplorerProcess();
  if (openDriveRoot && helper.openDriveRoot) {
    helper.openDriveRoot(m_context.GetInstallPath().c_str());
    Sleep(500);
  }
  if (m_helperLibrary) FreeLibrary(m_helperLibrary);
  m_helperLibrary = NULL;
  m_ui.PostQuit();
}
