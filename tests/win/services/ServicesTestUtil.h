// Scratch folders and small probes shared by the services tests.
#pragma once
#include <windows.h>

#include <string>

// A fresh, empty folder under the temp directory (removed first if present).
std::string ScratchDir(const char* name);

// Writes bytes to a file, replacing it.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// The whole content of a file ("" when it cannot be read).
std::string ReadFileBytes(const std::string& path);

bool Exists(const std::string& path);

// Opens HKLM\key in the given view (0x100 64-bit, 0x200 32-bit); the result
// code of RegOpenKeyExA.
LONG OpenMachineKey(const char* key, REGSAM view, HKEY* out);
// Removes HKLM\key (a key without subkeys) from the 64-bit view.
void DeleteMachineKey64(const char* key);

// Closes a handle at scope end.
struct HandleOwner {
  HANDLE h;
  explicit HandleOwner(HANDLE handle) : h(handle) {}
  ~HandleOwner() { if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h); }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
};
