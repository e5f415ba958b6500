// Registry helpers: native 64-bit view, key creation, reads, autorun.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ServicesTestUtil.h"
#include "services/MachineType.h"
#include "services/Registry.h"
#include "services/ShellExtension.h"

namespace {
const char kTestKey[] = "Software\\SvcTest\\Created";
const char kTestParent[] = "Software\\SvcTest";

std::string ReadString(HKEY key, const char* name) {
  char buffer[512] = {0};
  DWORD size = sizeof(buffer) - 1, type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
    return "<missing>";
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  return std::string(buffer);
}
}  // namespace

TEST(Registry, MachineStringCreatesKeyInNativeView) {
  DeleteMachineKey64(kTestKey);
  DeleteMachineKey64(kTestParent);
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_FILE_NOT_FOUND, OpenMachineKey(kTestKey, 0x0100, &key));

  ASSERT_EQ(1, RegWriteMachineString(kTestKey, "Value", "中文值 1.0"));

  ASSERT_EQ(ERROR_SUCCESS, OpenMachineKey(kTestKey, 0x0100, &key));
  EXPECT_EQ("中文值 1.0", ReadString(key, "Value"));
  RegCloseKey(key);
  if (IsWow64()) {
    // The 32-bit view (Wow6432Node) must not have it.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenMachineKey(kTestKey, 0x0200, &key));
  }

  // Overwriting through the existing key.
  ASSERT_EQ(1, RegWriteMachineString(kTestKey, "Value", "second"));
  char buffer[1024];
  memset(buffer, 0, sizeof(buffer));
  DWORD size = sizeof(buffer);
  ASSERT_EQ(1, RegReadMachineValue(kTestKey, "Value", buffer, &size));
  EXPECT_STREQ("second", buffer);
  EXPECT_EQ(7u, size);

  EXPECT_EQ(1, MachineKeyExists(kTestKey));
  DeleteMachineKey64(kTestKey);
  EXPECT_EQ(0, MachineKeyExists(kTestKey));
  DeleteMachineKey64(kTestParent);
}

TEST(Registry, FailedReadsLeaveBufferUntouched) {
  ASSERT_EQ(1, RegWriteMachineString(kTestKey, "Present", "x"));
  char buffer[16];
  memset(buffer, 0xAB, sizeof(buffer));
  DWORD size = sizeof(buffer);
  EXPECT_EQ(0, RegReadMachineValue(kTestKey, "Absent", buffer, &size));
  for (char c : buffer) EXPECT_EQ('\xAB', c);

  EXPECT_EQ(0, RegReadMachineValue("Software\\SvcTest\\NoSuchKey", "Present", buffer, &size));
  EXPECT_EQ(16u, size);
  for (char c : buffer) EXPECT_EQ('\xAB', c);

  // A buffer too small: failure, size tells what is needed.
  ASSERT_EQ(1, RegWriteMachineString(kTestKey, "Long", "0123456789abcdefXYZ"));
  size = sizeof(buffer);
  EXPECT_EQ(0, RegReadMachineValue(kTestKey, "Long", buffer, &size));
  EXPECT_EQ(20u, size);
  DeleteMachineKey64(kTestKey);
  DeleteMachineKey64(kTestParent);
}

TEST(Registry, AutorunUnderCurrentUser) {
  const char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const char command[] = "\"C:\\Program Files\\MailKorvo_Disk\\VerIruzAviz.exe\" /autorun";
  ASSERT_EQ(1, RegWriteAutorun(command));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, runKey, 0, KEY_READ, &key));
  EXPECT_EQ(command, ReadString(key, "VerIruzAviz"));
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, runKey, 0, KEY_SET_VALUE, &key));
  RegDeleteValueA(key, "VerIruzAviz");
  RegCloseKey(key);
}

TEST(MachineType, NativeMatchesWow64ForThis32BitProcess) {
  ASSERT_EQ(4u, sizeof(void*));
  // A 32-bit process sees a 64-bit machine exactly when it runs under WOW64.
  EXPECT_EQ(IsWow64(), IsNative64BitOS());
  const char* wowArch = getenv("PROCESSOR_ARCHITEW6432");
  printf("IsWow64=%d IsNative64BitOS=%d PROCESSOR_ARCHITEW6432=%s\n", IsWow64(), IsNative64BitOS(),
         wowArch ? wowArch : "(none)");
  // Only a WOW64 process has the native architecture in its environment.
  EXPECT_EQ(IsWow64() != 0, wowArch != nullptr);
}
