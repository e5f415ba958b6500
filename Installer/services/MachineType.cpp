#include "services/MachineType.h"

#include <windows.h>

int IsNative64BitOS() {
  // Looked up at run time: Windows 2000 has no GetNativeSystemInfo.
  typedef void(WINAPI * NativeInfoFn)(LPSYSTEM_INFO);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return 0;
  NativeInfoFn fn = reinterpret_cast<NativeInfoFn>(GetProcAddress(kernel, "GetNativeSystemInfo"));
  if (!fn) return 0;
  SYSTEM_INFO info;
  ZeroMemory(&info, sizeof(info));
  fn(&info);
  return (info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
          info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64) ? 1 : 0;
}

int IsWow64() {
  typedef BOOL(WINAPI * IsWow64Fn)(HANDLE, PBOOL);
  HMODULE kernel = GetModuleHandleA("kernel32");
  if (!kernel) return 0;
  IsWow64Fn fn = reinterpret_cast<IsWow64Fn>(GetProcAddress(kernel, "IsWow64Process"));
  if (!fn) return 0;
  BOOL wow = FALSE;
  if (!fn(GetCurrentProcess(), &wow)) return 0;
  return wow ? 1 : 0;
}
