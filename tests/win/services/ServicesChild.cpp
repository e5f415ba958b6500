// Stand-in for a running product process (started as VerIruzAviz.exe) that
// is also a second setup writing the day's log: it logs one line, reports
// through the event SvcTestChildLogged and runs until SvcTestChildQuit.
#include <windows.h>

#include "services/InstallLog.h"

int main() {
  AppendLogLine("%s子进程%s", "第二", "日志");
  HANDLE logged = OpenEventA(EVENT_MODIFY_STATE, FALSE, "SvcTestChildLogged");
  HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, "SvcTestChildQuit");
  if (logged) SetEvent(logged);
  if (quit) WaitForSingleObject(quit, 600000);
  if (logged) CloseHandle(logged);
  if (quit) CloseHandle(quit);
  return 0;
}
