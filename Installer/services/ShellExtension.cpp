#include "services/ShellExtension.h"

#include <windows.h>
#include <objbase.h>

#include "services/FileProbe.h"
#include "services/MachineType.h"

namespace {

const char kNameSpaceKey[] = "SOFTWARE\\Microsoft\\Windows\\Explorer\\MyComputer\\NameSpace\\";

enum EntryState { kEntryGone, kEntryPresent, kStopWaiting };

// Whether the NameSpace entry of a shell folder's ProgID is still there.
// A ProgID that no longer resolves counts as gone.
EntryState NameSpaceEntry(const char* progId) {
  WCHAR wideProgId[128] = {0};
  MultiByteToWideChar(CP_THREAD_ACP, 0, progId, -1, wideProgId, 128);
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(wideProgId, &clsid))) return kEntryGone;
  WCHAR wideClsid[64] = {0};
  if (!StringFromGUID2(clsid, wideClsid, 64)) return kStopWaiting;
  char clsidText[64] = {0};
  WideCharToMultiByte(CP_ACP, 0, wideClsid, -1, clsidText, sizeof(clsidText), nullptr, nullptr);
  std::string key = std::string(kNameSpaceKey) + clsidText;
  return MachineKeyExists(key.c_str()) ? kEntryPresent : kEntryGone;
}

}  // namespace

int MachineKeyExists(const char* path) {
  HKEY key = nullptr;
  LONG rc;
  if (IsWow64()) {
    rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | 0x0100, &key);  // 64-bit view
    if (rc == ERROR_FILE_NOT_FOUND)
      rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | 0x0200, &key);  // 32-bit view
  } else {
    rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
  }
  if (rc != ERROR_SUCCESS) return 0;
  RegCloseKey(key);
  return 1;
}

std::string FormatUnregisterCommand(const char* dllPath) {
  return std::string("regsvr32.exe /s /u \"") + (dllPath ? dllPath : "") + "\"";
}

int UnregisterShellExtension(const char* dllPath) {
  if (!dllPath || !PathExists(dllPath) || PathIsDirectory(dllPath)) return 0;
  CoInitializeEx(nullptr, COINIT_MULTITHREADED);

  std::string command = FormatUnregisterCommand(dllPath);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof(process));
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    OutputDebugStringA("call regsvr32.exe to Uninstall failed!");
    return 0;
  }

  for (int pass = 1;; ++pass) {
    Sleep(500);
    EntryState state = NameSpaceEntry("MIRADrive.MIRAShellPersonFolderImp");
    if (state == kStopWaiting) break;
    if (state == kEntryGone) {
      state = NameSpaceEntry("MIRADrive.MIRAShellGroupFolderImp");
      if (state != kEntryPresent) break;
    }
    if (pass >= 10) break;
  }

  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}
