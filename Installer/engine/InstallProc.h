// The install engine's interface: everything the setup does to the machine.
#pragma once
#include <string>

enum PopMsgType {
  kPopMsgNotice = 0,         // same as kPopMsgInformation
  kPopMsgInformation = 11025,
  kPopMsgQuestion = 11034,
};

class IInstallProc {
 public:
  virtual ~IInstallProc() {}
  virtual std::string GetAgreementText() = 0;
  virtual int CheckCanInstall() = 0;  // 1 the setup may go on, 0 it must end
  virtual int RunInstall() = 0;       // worker thread; 0 when stopped before phase 2
  virtual void AbandonInstall() = 0;  // user-interface thread
  virtual void FinishInstall(int registerAutorun, int openDriveRoot, int createDesktopShortcut) = 0;
};
