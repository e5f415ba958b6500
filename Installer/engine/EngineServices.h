// The system services the engine uses.
#pragma once
#include <windows.h>

int AppendLogLine(const char* format, ...);
int RegWriteMachineString(const char* key, const char* name, const char* text);
int RegReadMachineValue(const char* key, const char* name, void* buffer, DWORD* size);
int RegWriteAutorun(const char* command);
int DeletePathRecursive(const char* path);
unsigned long PackVersion(const char* text);
int IsProcessRunning(const char* name);
int CreateShortcut(const char* linkPath, const char* targetPath);
int CreateProgramGroup(const char* folder, ...);
int RemoveProgramGroup(const char* folder);
int IsNative64BitOS();
int CreateDirectoryPath(const char* path);
int UnregisterShellExtension(const char* dllPath);
