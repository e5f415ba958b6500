#include "services/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

namespace {

// Caption of the platform's standard box: the program's own file title.
void ShowShortcutFailure() {
  char module[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  char* title = module;
  for (char* p = module; *p; p = CharNextA(p))
    if (*p == '\\') title = p + 1;
  char* dot = strrchr(title, '.');
  if (dot) *dot = '\0';
  MessageBoxA(nullptr, "快捷方式创建失败，请修缮!", title, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

int CreateShortcut(const char* linkPath, const char* targetPath) {
  // Apartment COM on this thread, left initialised for later calls.
  CoInitialize(nullptr);

  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))) || !link) {
    ShowShortcutFailure();
    return 0;
  }
  link->SetPath(targetPath ? targetPath : "");

  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) || !file) {
    link->Release();
    return 0;
  }
  WCHAR widePath[MAX_PATH] = {0};
  MultiByteToWideChar(CP_ACP, 0, linkPath ? linkPath : "", -1, widePath, MAX_PATH);
  widePath[MAX_PATH - 1] = 0;
  file->Save(widePath, TRUE);

  file->Release();
  link->Release();
  return 1;
}
