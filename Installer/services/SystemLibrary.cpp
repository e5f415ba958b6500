#include "services/SystemLibrary.h"

#include <cstring>

namespace {
const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryAFn)(LPCSTR);
}  // namespace

void RestrictDllSearchToSystem() {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  SetDefaultDllDirectoriesFn setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  if (setDefault && setDefault(kSearchSystem32)) return;
  // Older systems: at least take the current directory out of the search.
  SetDllDirectoryAFn setDllDirectory = reinterpret_cast<SetDllDirectoryAFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
  if (setDllDirectory) setDllDirectory("");
}

HMODULE LoadSystemLibrary(const char* fileName) {
  if (!fileName || !*fileName) return NULL;
  char path[MAX_PATH];
  UINT n = GetSystemDirectoryA(path, MAX_PATH);
  size_t nameLength = strlen(fileName);
  if (n == 0 || n + 1 + nameLength >= MAX_PATH) return NULL;
  if (path[n - 1] != '\\') path[n++] = '\\';
  memcpy(path + n, fileName, nameLength + 1);
  return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}
