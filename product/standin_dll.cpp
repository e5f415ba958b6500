// Stand-in for the product's libraries (vtdnd.dll, ExVtdnd.dll,
// FileWatch.dll, MailNotify.dll, VtMailKorvoDownload.dll, ToolBox.dll and
// the two shell extensions Drive\vista and Drive\xp\MailKorvoDrive.dll).
// It does nothing when loaded. The registration exports answer S_OK so that
// regsvr32 /u on an installed drive library succeeds, as with the real one.
// Every copy has its member name and machine type compiled in.
#include <windows.h>

#ifndef STANDIN_MEMBER
#define STANDIN_MEMBER "unknown"
#endif
#ifndef STANDIN_MACHINE
#define STANDIN_MACHINE "unknown"
#endif

// Kept in the binary on purpose: tests read it from the installed file.
static const char kStandInMark[] = "MailKorvo stand-in: " STANDIN_MEMBER " " STANDIN_MACHINE;

extern "C" {

__declspec(dllexport) const char* WINAPI StandInName(void) { return kStandInMark; }

__declspec(dllexport) HRESULT WINAPI DllRegisterServer(void) { return S_OK; }
__declspec(dllexport) HRESULT WINAPI DllUnregisterServer(void) { return S_OK; }

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

}
