#include "HelperLibrary.h"

namespace {
template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return NULL;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
}  // namespace

HelperExports::HelperExports(HMODULE module)
    : stopDriveWork(Lookup<StopDriveWorkFn>(module, "StopDriveWork")),
      msgCloseProThatUsingDesFiles(
          Lookup<MsgCloseProThatUsingDesFilesFn>(module, "MsgCloseProThatUsingDesFiles")),
      uninstall4PrepareInstall(Lookup<Uninstall4PrepareInstallFn>(module, "Uninstall4PrepareInstall")),
      install(Lookup<InstallFn>(module, "Install")),
      postSetupEvent(Lookup<PostSetupEventFn>(module, "PostSetupEvent")),
      terminateExplorerProcess(Lookup<TerminateExplorerProcessFn>(module, "TerminateExplorerProcess")),
      createExplorerProcess(Lookup<CreateExplorerProcessFn>(module, "CreateExplorerProcess")),
      openDriveRoot(Lookup<OpenDriveRootFn>(module, "OpenDriveRoot")) {}
