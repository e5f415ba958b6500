#include "services/ProcessQuery.h"

#include <windows.h>
#include <tlhelp32.h>

#include "services/CharStep.h"

int IsProcessRunning(const char* name) {
  if (!name) return 0;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  int found = 0;
  if (Process32First(snapshot, &entry)) {
    do {
      if (entry.th32ProcessID == 0) continue;
      if (EqualNoCaseA(entry.szExeFile, name)) {
        found = 1;
        break;
      }
    } while (Process32Next(snapshot, &entry));
  }
  CloseHandle(snapshot);
  return found;
}
