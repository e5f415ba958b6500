// Typed binding of the drive helper library ZarIdaveVaruDor.dll. Every export
// is looked up by its plain name and uses the stdcall convention.
#pragma once
#include <windows.h>

typedef int(WINAPI* StopDriveWorkFn)(HWND window, int reserved1, int reserved2, int mode);
typedef int(WINAPI* MsgCloseProThatUsingDesFilesFn)(HWND window, const char* fileList, char* reply);
typedef int(WINAPI* Uninstall4PrepareInstallFn)(int reserved, const char* desktopLink, const char* startupLink);
typedef int(WINAPI* InstallFn)(HWND window, const char* installPath, const char* flag);
typedef int(WINAPI* PostSetupEventFn)(const char* url, const char* flag);
typedef int(WINAPI* TerminateExplorerProcessFn)();
typedef int(WINAPI* CreateExplorerProcessFn)();
typedef int(WINAPI* OpenDriveRootFn)(const char* installPath);

struct HelperExports {
  StopDriveWorkFn stopDriveWork;
  MsgCloseProThatUsingDesFilesFn msgCloseProThatUsingDesFiles;
  Uninstall4PrepareInstallFn uninstall4PrepareInstall;
  InstallFn install;
  PostSetupEventFn postSetupEvent;
  TerminateExplorerProcessFn terminateExplorerProcess;
  CreateExplorerProcessFn createExplorerProcess;
  OpenDriveRootFn openDriveRoot;

  // Looks every export up; a missing one (or a NULL module) stays NULL.
  explicit HelperExports(HMODULE module);

  // The groups that are only used together.
  bool HasPhaseOneExports() const {
    return stopDriveWork && msgCloseProThatUsingDesFiles && uninstall4PrepareInstall;
  }
  bool HasRegistrationExports() const { return install && postSetupEvent; }
  bool HasExplorerExports() const { return terminateExplorerProcess && createExplorerProcess; }
};
