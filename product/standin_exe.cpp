// Stand-in for the product's executables (KorvoNetDiskLink.exe,
// VerIruzAviz.exe, DarEzazOrevu.exe, unins000.exe, update.exe). It opens no
// window. Every copy is built with its own member name and machine type
// compiled in, so an installed file can be told apart from its neighbours.
//
// Command line:
//   --wait N   stay running for N seconds (lets a test see a running
//              product process), then exit 0
//   (else)     exit 0 at once
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#ifndef STANDIN_MEMBER
#define STANDIN_MEMBER "unknown"
#endif
#ifndef STANDIN_MACHINE
#define STANDIN_MACHINE "unknown"
#endif

// Kept in the binary on purpose: tests read it from the installed file.
extern "C" const char g_standInMark[] = "MailKorvo stand-in: " STANDIN_MEMBER " " STANDIN_MACHINE;

static const char* SkipSpaces(const char* p)
{
  while (*p == ' ' || *p == '\t') ++p;
  return p;
}

// Skips the program name, quoted or not, the way the C run-time does.
static const char* SkipProgramName(const char* p)
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

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  const char* args = SkipProgramName(GetCommandLineA());
  if (strncmp(args, "--wait", 6) == 0 && (args[6] == ' ' || args[6] == '\t')) {
    long seconds = strtol(SkipSpaces(args + 6), NULL, 10);
    if (seconds > 0) Sleep((DWORD)seconds * 1000);
  }
  // Referenced so that the mark survives --gc-sections.
  return g_standInMark[0] == 'M' ? 0 : 1;
}
