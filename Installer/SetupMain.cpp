// Entry of the setup program. The checks run before any window exists; the
// wizard takes over from there.
#include <windows.h>

#include <string>

#include "engine/InstallProc.h"
#include "engine/InstallUi.h"
#include "engine/SetupContext.h"
#include "services/SystemLibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Before anything loads a library on demand.
  RestrictDllSearchToSystem();
  CSystemInstallUi ui;
  SetupContext context(&ui);
  if (!context.engine->CheckCanInstall()) return 0;
  // Until the wizard pages exist: show the user agreement the package carries.
  std::string agreement = context.engine->GetAgreementText();
  MessageBoxA(NULL, agreement.c_str(), "Korvo邮箱网盘", MB_OK | MB_ICONINFORMATION);
  return 0;
}
