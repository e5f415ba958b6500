#include "ServicesTestUtil.h"

#include "services/DeletePath.h"

std::string ScratchDir(const char* name) {
  char temp[MAX_PATH] = {0};
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "svc_" + name;
  DeletePathRecursive(dir.c_str());
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
}

std::string ReadFileBytes(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof(buffer), &got, nullptr) && got) content.append(buffer, got);
  CloseHandle(f);
  return content;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

LONG OpenMachineKey(const char* key, REGSAM view, HKEY* out) {
  return RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | view, out);
}

void DeleteMachineKey64(const char* key) {
  typedef LONG(WINAPI * DeleteKeyExFn)(HKEY, LPCSTR, REGSAM, DWORD);
  DeleteKeyExFn fn = reinterpret_cast<DeleteKeyExFn>(
      GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA"));
  if (fn) fn(HKEY_LOCAL_MACHINE, key, 0x0100, 0);
  else RegDeleteKeyA(HKEY_LOCAL_MACHINE, key);
}
