#include "services/Registry.h"

#include <cstring>

namespace {

// Opens hive\key with full access, creating it when missing. A key that
// exists but refuses full access is a failure: creating it anew must report
// REG_CREATED_NEW_KEY.
HKEY OpenKeyForWriting(HKEY hive, const char* key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(hive, key, 0, kRegFullAccess64, &handle) == ERROR_SUCCESS) return handle;

  HKEY created = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExA(hive, key, 0, nullptr, REG_OPTION_NON_VOLATILE, kRegCreateAccess64,
                      nullptr, &created, &disposition) != ERROR_SUCCESS)
    return nullptr;
  RegCloseKey(created);
  if (disposition != REG_CREATED_NEW_KEY) return nullptr;

  if (RegOpenKeyExA(hive, key, 0, kRegFullAccess64, &handle) != ERROR_SUCCESS) return nullptr;
  return handle;
}

int WriteString(HKEY hive, const char* key, const char* name, const char* text) {
  if (!key || !text) return 0;
  HKEY handle = OpenKeyForWriting(hive, key);
  if (!handle) return 0;
  LONG rc = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(strlen(text) + 1));
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS ? 1 : 0;
}

}  // namespace

int RegWriteMachineString(const char* key, const char* name, const char* text) {
  return WriteString(HKEY_LOCAL_MACHINE, key, name, text);
}

int RegWriteAutorun(const char* command) {
  return WriteString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                     "VerIruzAviz", command);
}

int RegReadMachineValue(const char* key, const char* name, void* buffer, DWORD* size) {
  if (!key) return 0;
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, kRegFullAccess64, &handle) != ERROR_SUCCESS)
    return 0;
  LONG rc = RegQueryValueExA(handle, name, nullptr, nullptr, static_cast<BYTE*>(buffer), size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS ? 1 : 0;
}
