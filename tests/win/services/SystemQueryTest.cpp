// Running processes, the process-wide log writer, default install
// directory, disk space texts.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ServicesTestUtil.h"
#include "services/DeletePath.h"
#include "services/DiskSpace.h"
#include "services/InstallDir.h"
#include "services/InstallLog.h"
#include "services/MachineType.h"
#include "services/ProcessQuery.h"
#include "services/Registry.h"

namespace {
std::string ModuleDir() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path);
  return dir.substr(0, dir.rfind('\\'));
}
std::string ModuleName() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path);
  return full.substr(full.rfind('\\') + 1);
}
}  // namespace

// One child process (32-bit starts are slow under emulation) serves both as
// the running product process and as a second setup holding the day's log.
TEST(ProductProcess, RunningChildAndSecondLogWriter) {
  char appData[MAX_PATH] = {0};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
  std::string logRoot = std::string(appData) + "\\Vantrel";
  DeletePathRecursive(logRoot.c_str());
  ASSERT_FALSE(Exists(logRoot));
  SYSTEMTIME now;
  GetLocalTime(&now);
  char name[32];
  snprintf(name, sizeof(name), "%04d%02d%02d.log", now.wYear, now.wMonth, now.wDay);
  std::string logDir = logRoot + "\\Install\\Log";
  std::string logFile = logDir + "\\" + name;

  std::string dir = ScratchDir("proc");
  std::string child = dir + "\\VerIruzAviz.exe";
  ASSERT_TRUE(CopyFileA((ModuleDir() + "\\services_child.exe").c_str(), child.c_str(), FALSE));
  EXPECT_EQ(0, IsProcessRunning("VerIruzAviz.exe"));

  HandleOwner logged(CreateEventA(nullptr, TRUE, FALSE, "SvcTestChildLogged"));
  HandleOwner quit(CreateEventA(nullptr, TRUE, FALSE, "SvcTestChildQuit"));
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  std::string command = "\"" + child + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(),
                             &startup, &process));
  HandleOwner processOwner(process.hProcess), threadOwner(process.hThread);
  HANDLE waits[2] = {logged.h, process.hProcess};
  ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(2, waits, FALSE, 400000)) << "child did not report";

  EXPECT_EQ(1, IsProcessRunning("VerIruzAviz.exe"));
  EXPECT_EQ(1, IsProcessRunning("veriruzaviz.EXE"));
  EXPECT_EQ(0, IsProcessRunning("MyVerIruzAviz.exe"));
  EXPECT_EQ(0, IsProcessRunning("IruzAviz.exe"));
  EXPECT_EQ(0, IsProcessRunning("VerIruzAviz"));
  EXPECT_EQ(0, IsProcessRunning(child.c_str()));
  // This process: found by its own name, not by a part of it.
  std::string self = ModuleName();
  EXPECT_EQ(1, IsProcessRunning(self.c_str()));
  EXPECT_EQ(0, IsProcessRunning(self.substr(1).c_str()));

  // The child made the directory chain and the day's file, and holds it:
  // this process's writer cannot open it and drops its lines silently.
  EXPECT_TRUE(Exists(logDir));
  EXPECT_TRUE(Exists(logFile));
  AppendLogLine("父进程%s", "第一行");

  SetEvent(quit.h);
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 120000));
  EXPECT_EQ(std::string("第二子进程日志\n"), ReadFileBytes(logFile));

  // The first call decided: no retry although the file is free now.
  AppendLogLine("父进程%s", "第二行");
  EXPECT_EQ(std::string("第二子进程日志\n"), ReadFileBytes(logFile));
  EXPECT_EQ(0, IsProcessRunning("VerIruzAviz.exe"));
  DeleteFileA(child.c_str());
  DeletePathRecursive(dir.c_str());
}

namespace {
const char kProductKey[] = "Software\\VanTrel\\MailKorvo_Disk";

std::string ReadNativeString(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (OpenMachineKey(key, 0x0100, &handle) != ERROR_SUCCESS) return std::string();
  char buffer[1024] = {0};
  DWORD size = sizeof(buffer) - 1;
  LONG rc = RegQueryValueExA(handle, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS ? std::string(buffer) : std::string();
}

void DeleteNativeValue(const char* key, const char* name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE | 0x0100, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueA(handle, name);
  RegCloseKey(handle);
}
}  // namespace

TEST(DefaultInstallDir, RecordedPathFirstAndRecreated) {
  std::string saved = ReadNativeString(kProductKey, "InstallPath");
  std::string base = ScratchDir("instdir");
  std::string recorded = base + "\\Tools\\MailKorvo_Disk";
  ASSERT_EQ(1, RegWriteMachineString(kProductKey, "InstallPath", recorded.c_str()));
  EXPECT_EQ(recorded, GetDefaultInstallDir());
  EXPECT_TRUE(Exists(recorded));
  DeletePathRecursive(base.c_str());
  EXPECT_EQ(recorded, GetDefaultInstallDir());
  EXPECT_TRUE(Exists(recorded));
  DeletePathRecursive(base.c_str());

  DeleteNativeValue(kProductKey, "InstallPath");
  std::string programFiles = ReadNativeString("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
  ASSERT_FALSE(programFiles.empty());
  if (IsWow64()) {
    // The native directory, not the one for 32-bit programs.
    EXPECT_EQ(std::string::npos, programFiles.find("(x86)")) << programFiles;
  }
  std::string expected = programFiles + "\\MailKorvo_Disk";
  bool existed = Exists(expected);
  EXPECT_EQ(expected, GetDefaultInstallDir());
  EXPECT_TRUE(Exists(expected));
  if (!existed) RemoveDirectoryA(expected.c_str());
  if (!saved.empty()) RegWriteMachineString(kProductKey, "InstallPath", saved.c_str());
}

TEST(DiskSpace, TextsForFigures) {
  struct Case { unsigned long long bytes; const char* text; bool warns; } cases[] = {
      {5368709120ull, "所需空间:30MB    可用空间:5.00GB", false},
      {31457280ull, "所需空间:30MB    可用空间:0.03GB", true},
      {32505856ull, "所需空间:30MB    可用空间:0.03GB", false},  // 31 MiB
      {32505855ull, "所需空间:30MB    可用空间:0.03GB", true},   // truncates to 30 MiB
      {0ull, "所需空间:30MB    可用空间:0.00GB", true},
      {1099511627776ull * 2, "所需空间:30MB    可用空间:2048.00GB", false},
      {5905580032ull, "所需空间:30MB    可用空间:5.50GB", false}};
  for (const Case& c : cases) {
    std::string text = "stale", warning;
    FormatDiskSpaceText(c.bytes, text, warning);
    EXPECT_EQ(c.text, text) << c.bytes;
    EXPECT_EQ(c.warns ? "磁盘空间不足，请重新选择" : "", warning) << c.bytes;
  }
  // Enough space leaves an earlier warning in place.
  std::string text, warning = "earlier";
  FormatDiskSpaceText(5368709120ull, text, warning);
  EXPECT_EQ("earlier", warning);
}

TEST(DiskSpace, RealDriveAndMissingDrive) {
  std::string text, warning;
  FormatDiskSpace("C:\\", text, warning);
  EXPECT_EQ(0u, text.find("所需空间:30MB    可用空间:")) << text;
  EXPECT_EQ(text.size() - 2, text.rfind("GB")) << text;

  DWORD drives = GetLogicalDrives();
  char root[4] = "?:\\";
  for (char letter = 'Q'; letter <= 'Y' && root[0] == '?'; ++letter)
    if (!(drives & (1u << (letter - 'A')))) root[0] = letter;
  ASSERT_NE('?', root[0]);
  text = "所需空间:30MB    可用空间:9.99GB";
  warning.clear();
  FormatDiskSpace(root, text, warning);
  EXPECT_EQ("所需空间:30MB    可用空间:未知", text);
  EXPECT_EQ("磁盘空间不足，请重新选择", warning);
}
