// DlpSetup.exe stand-in: the DLP client installer a package may carry. It
// installs nothing and opens no window.
//
// DLP_JOURNAL   when set, names a file to which each run appends one line:
//               "<own module path>\t<arguments>\n", where <arguments> is the
//               command line after the program's own name with the blanks in
//               front removed (the setup passes "-Silent").
// DLP_EXIT_CODE the exit code, decimal; 1 when not set (non-zero means
//               installed to the setup).
// DLP_WAIT_MS   when set, milliseconds to stay running before exiting, so a
//               test can watch the setup wait for the installer.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char* SkipSpaces(const char* p)
{
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

const char* SkipProgramName(const char* p)
{
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && *p != ' ' && *p != '\t') ++p;
  }
  return SkipSpaces(p);
}

bool EnvInt(const char* name, long* value)
{
  char text[32];
  DWORD n = GetEnvironmentVariableA(name, text, sizeof(text));
  if (n == 0 || n >= sizeof(text)) return false;
  *value = strtol(text, NULL, 10);
  return true;
}

void WriteAll(HANDLE f, const char* s, DWORD n)
{
  DWORD written = 0;
  WriteFile(f, s, n, &written, NULL);
}

void Record()
{
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("DLP_JOURNAL", path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return;
  char self[MAX_PATH] = "";
  GetModuleFileNameA(NULL, self, sizeof(self));
  const char* args = SkipProgramName(GetCommandLineA());

  HANDLE f = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
  if (f == INVALID_HANDLE_VALUE) return;
  WriteAll(f, self, (DWORD)strlen(self));
  WriteAll(f, "\t", 1);
  WriteAll(f, args, (DWORD)strlen(args));
  WriteAll(f, "\n", 1);
  CloseHandle(f);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  Record();
  long wait = 0;
  if (EnvInt("DLP_WAIT_MS", &wait) && wait > 0) Sleep((DWORD)wait);
  long code = 1;
  EnvInt("DLP_EXIT_CODE", &code);
  return (int)code;
}
