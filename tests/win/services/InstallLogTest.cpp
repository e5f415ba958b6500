// The pieces of the install log writer (the process-wide writer itself is
// exercised with a second process in SystemQueryTest.cpp).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ServicesTestUtil.h"
#include "services/DeletePath.h"
#include "services/InstallLog.h"

TEST(InstallLog, PathsPerDay) {
  std::string dir, file;
  BuildLogPaths("C:\\Users\\u\\AppData\\Roaming", 2024, 1, 5, dir, file);
  EXPECT_EQ("C:\\Users\\u\\AppData\\Roaming\\Vantrel\\Install\\Log", dir);
  EXPECT_EQ(dir + "\\20240105.log", file);
  BuildLogPaths("D:\\应用数据\\", 2031, 12, 31, dir, file);
  EXPECT_EQ("D:\\应用数据\\Vantrel\\Install\\Log", dir);
  EXPECT_EQ("D:\\应用数据\\Vantrel\\Install\\Log\\20311231.log", file);
}

TEST(InstallLog, CreatesChainAndAppendsBelowEarlierRun) {
  std::string appData = ScratchDir("log_appdata");
  std::string dir, file;
  BuildLogPaths(appData.c_str(), 2024, 3, 9, dir, file);
  ASSERT_FALSE(Exists(dir));
  {
    HandleOwner first(OpenLogFileAt(dir.c_str(), file.c_str()));
    ASSERT_NE(INVALID_HANDLE_VALUE, first.h);
    EXPECT_TRUE(Exists(file));
    WriteLogLine(first.h, "开始安装DLP客户端", strlen("开始安装DLP客户端"));
  }
  {
    // A later run of the same day: existing lines stay, new ones go below.
    HandleOwner second(OpenLogFileAt(dir.c_str(), file.c_str()));
    ASSERT_NE(INVALID_HANDLE_VALUE, second.h);
    const char own[] = "two\r\nlines\n";
    WriteLogLine(second.h, own, strlen(own));
    WriteLogLine(second.h, "", 0);
  }
  EXPECT_EQ(std::string("开始安装DLP客户端\ntwo\r\nlines\n\n\n"), ReadFileBytes(file));
  DeletePathRecursive(appData.c_str());
}

TEST(InstallLog, HeldElsewhereIsNotOpened) {
  std::string appData = ScratchDir("log_held");
  std::string dir, file;
  BuildLogPaths(appData.c_str(), 2024, 3, 9, dir, file);
  CreateDirectoryA((appData + "\\Vantrel").c_str(), nullptr);
  CreateDirectoryA((appData + "\\Vantrel\\Install").c_str(), nullptr);
  CreateDirectoryA(dir.c_str(), nullptr);
  WriteFileBytes(file, "other\n");
  {
    HandleOwner other(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, other.h);
    HANDLE mine = OpenLogFileAt(dir.c_str(), file.c_str());
    EXPECT_EQ(INVALID_HANDLE_VALUE, mine);
    WriteLogLine(mine, "dropped", 7);  // no effect, no crash
  }
  EXPECT_EQ("other\n", ReadFileBytes(file));

  // While the log is open no one else can open it either.
  HandleOwner mine(OpenLogFileAt(dir.c_str(), file.c_str()));
  ASSERT_NE(INVALID_HANDLE_VALUE, mine.h);
  HANDLE other = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, other);
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
  CloseHandle(mine.h);
  mine.h = nullptr;
  DeletePathRecursive(appData.c_str());
}

TEST(InstallLog, HandleIsInheritable) {
  std::string appData = ScratchDir("log_inherit");
  std::string dir, file;
  BuildLogPaths(appData.c_str(), 2024, 3, 9, dir, file);
  HandleOwner log(OpenLogFileAt(dir.c_str(), file.c_str()));
  ASSERT_NE(INVALID_HANDLE_VALUE, log.h);
  DWORD flags = 0;
  ASSERT_TRUE(GetHandleInformation(log.h, &flags));
  EXPECT_TRUE(flags & HANDLE_FLAG_INHERIT);
  CloseHandle(log.h);
  log.h = nullptr;
  DeletePathRecursive(appData.c_str());
}
