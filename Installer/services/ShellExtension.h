// Releasing the drive's shell-extension DLL while Explorer holds it.
#pragma once
#include <string>

// Starts "regsvr32.exe /s /u" on the DLL and waits (500 ms steps, at most
// 10) until neither of the drive's shell folders has a NameSpace entry
// under the computer folder. 1 regsvr32 was started, 0 not (null, missing
// or directory path, or the start failed).
int UnregisterShellExtension(const char* dllPath);

// The command line started for dllPath (the path quoted).
std::string FormatUnregisterCommand(const char* dllPath);

// 1 the key HKEY_LOCAL_MACHINE\path exists in the native view or, under
// WOW64, in the 32-bit view; opened read-only.
int MachineKeyExists(const char* path);
