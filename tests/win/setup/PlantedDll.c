/* A DLL planted beside the setup under a system library's name. Loading it
   leaves a marker file "<its name>.loaded" in its folder. */
#include <windows.h>
#include <string.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH + 16];
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
      strcat(path, ".loaded");
      HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
  }
  return TRUE;
}
