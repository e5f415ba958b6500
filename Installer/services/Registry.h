// Registry helpers with fixed hives and access rights. Every open and create
// asks for the 64-bit view, so the 32-bit setup meets the keys of the 64-bit
// product on 64-bit Windows.
#pragma once
#include <windows.h>

enum : DWORD {
  kRegFullAccess64 = KEY_ALL_ACCESS | 0x0100,  // 0xF013F, also used for reading
  kRegCreateAccess64 = KEY_READ | 0x0100,      // 0x20119
};

// REG_SZ value under HKEY_LOCAL_MACHINE\key; the key is created when missing.
int RegWriteMachineString(const char* key, const char* name, const char* text);

// Raw data of a value under HKEY_LOCAL_MACHINE\key into the caller's buffer;
// size in: buffer bytes, out: bytes returned or needed. 1 read, 0 failed
// (buffer and size untouched when the key cannot be opened).
int RegReadMachineValue(const char* key, const char* name, void* buffer, DWORD* size);

// The logon autorun value "VerIruzAviz" under HKEY_CURRENT_USER's Run key.
int RegWriteAutorun(const char* command);
