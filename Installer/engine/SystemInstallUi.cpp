#include "InstallProc.h"
#include "InstallUi.h"

int CSystemInstallUi::ShowPopMsg(int type, const char* text) {
  UINT style = type == kPopMsgQuestion ? (MB_OKCANCEL | MB_ICONQUESTION) : (MB_OK | MB_ICONINFORMATION);
  int answer = MessageBoxA(NULL, text ? text : "", "Korvo邮箱网盘", style);
  if (answer == 0) return -1;
  return answer == IDOK ? 1 : 2;
}
