// Shortcuts, the program group, the folder picker.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "ServicesTestUtil.h"
#include "services/DeletePath.h"
#include "services/FolderPicker.h"
#include "services/ProgramGroup.h"
#include "services/Shortcut.h"

namespace {

// The target a .lnk file resolves to, read back through the shell.
std::string LinkTarget(const std::string& linkPath) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&link))))
    return "<no link object>";
  IPersistFile* file = nullptr;
  std::string result = "<not loaded>";
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    WCHAR wide[MAX_PATH] = {0};
    MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(file->Load(wide, STGM_READ))) {
      char target[MAX_PATH] = {0};
      if (SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH))) result = target;
    }
    file->Release();
  }
  link->Release();
  return result;
}

std::string MenuFolder(int csidl) {
  char path[MAX_PATH] = {0};
  LPITEMIDLIST item = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &item))) return std::string();
  SHGetPathFromIDListA(item, path);
  CoTaskMemFree(item);
  return path;
}

}  // namespace

TEST(Shortcut, ResolvesToTargetAndReplaces) {
  std::string dir = ScratchDir("lnk");
  std::string target = dir + "\\目标 程序.exe";
  WriteFileBytes(target, "MZ");
  std::string link = dir + "\\快捷方式.lnk";
  ASSERT_EQ(1, CreateShortcut(link.c_str(), target.c_str()));
  ASSERT_TRUE(Exists(link));
  EXPECT_EQ(target, LinkTarget(link));

  std::string other = dir + "\\other.exe";
  WriteFileBytes(other, "MZ");
  ASSERT_EQ(1, CreateShortcut(link.c_str(), other.c_str()));
  EXPECT_EQ(other, LinkTarget(link));
  DeletePathRecursive(dir.c_str());
}

TEST(ProgramGroup, CreatesInUserProgramsAndReuses) {
  std::string programs = MenuFolder(CSIDL_PROGRAMS);
  ASSERT_FALSE(programs.empty());
  const char folder[] = "Korvo测试组";
  std::string group = programs + "\\" + folder;
  DeletePathRecursive(group.c_str());

  std::string dir = ScratchDir("group_targets");
  // 億 (83 7C) has '|' as its trail byte: it belongs to the target, not the split.
  std::string target1 = dir + "\\億.exe";
  std::string target2 = dir + "\\unins000.exe";
  WriteFileBytes(target1, "MZ");
  WriteFileBytes(target2, "MZ");
  std::string item1 = target1 + "|Korvo邮箱网盘.lnk";
  std::string item2 = target2 + "|卸载Korvo邮箱网盘.lnk";
  ASSERT_EQ(1, CreateProgramGroup(folder, item1.c_str(), "no bar here", "",
                                  reinterpret_cast<const char*>(static_cast<ULONG_PTR>(4242)),
                                  item2.c_str(), static_cast<const char*>(nullptr)));
  EXPECT_TRUE(Exists(group));
  EXPECT_EQ(target1, LinkTarget(group + "\\Korvo邮箱网盘.lnk"));
  EXPECT_EQ(target2, LinkTarget(group + "\\卸载Korvo邮箱网盘.lnk"));
  EXPECT_EQ("C:\\windows\\notepad.exe", LinkTarget(group + "\\资源项.lnk"));
  EXPECT_FALSE(Exists(group + "\\no bar here"));

  // Existing folder: reused, a same-named shortcut overwritten, others kept.
  std::string item3 = target2 + "|Korvo邮箱网盘.lnk";
  ASSERT_EQ(1, CreateProgramGroup(folder, item3.c_str(), static_cast<const char*>(nullptr)));
  EXPECT_EQ(target2, LinkTarget(group + "\\Korvo邮箱网盘.lnk"));
  EXPECT_TRUE(Exists(group + "\\卸载Korvo邮箱网盘.lnk"));

  // Only skipped items: the folder is still made.
  DeletePathRecursive(group.c_str());
  ASSERT_EQ(1, CreateProgramGroup(folder, "skipped", static_cast<const char*>(nullptr)));
  EXPECT_TRUE(Exists(group));
  DeletePathRecursive(group.c_str());
  DeletePathRecursive(dir.c_str());
}

TEST(ProgramGroup, RemoveFromBothMenus) {
  const char folder[] = "Korvo删除组";
  std::string user = MenuFolder(CSIDL_PROGRAMS) + "\\" + folder;
  std::string common = MenuFolder(CSIDL_COMMON_PROGRAMS) + "\\" + folder;
  ASSERT_NE(user, common);
  for (const std::string& g : {user, common}) {
    CreateDirectoryA(g.c_str(), nullptr);
    CreateDirectoryA((g + "\\sub").c_str(), nullptr);
    WriteFileBytes(g + "\\a.lnk", "x");
    SetFileAttributesA((g + "\\a.lnk").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(Exists(g));
  }
  EXPECT_EQ(1, RemoveProgramGroup(folder));
  EXPECT_FALSE(Exists(user));
  EXPECT_FALSE(Exists(common));
  EXPECT_TRUE(Exists(MenuFolder(CSIDL_PROGRAMS)));
  EXPECT_TRUE(Exists(MenuFolder(CSIDL_COMMON_PROGRAMS)));
  EXPECT_EQ(1, RemoveProgramGroup(folder));
  // An empty folder name never takes the menu folders with it.
  EXPECT_EQ(1, RemoveProgramGroup(""));
  EXPECT_TRUE(Exists(MenuFolder(CSIDL_PROGRAMS)));
}

namespace {

// Answers the folder picker from a second thread: either cancels it or
// selects path and confirms. (Selecting and confirming proved unreliable on
// a shared Xvfb display, so only the cancel is tested.)
struct PickerDriver {
  DWORD uiThread;
  const char* select;  // nullptr: cancel
  std::atomic<bool> done{false};
  HWND dialog = nullptr;

  static BOOL CALLBACK Find(HWND hwnd, LPARAM param) {
    PickerDriver* self = reinterpret_cast<PickerDriver*>(param);
    char cls[32] = {0};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (GetWindowThreadProcessId(hwnd, nullptr) == self->uiThread && IsWindowVisible(hwnd) &&
        lstrcmpA(cls, "#32770") == 0) {
      self->dialog = hwnd;
      return FALSE;
    }
    return TRUE;
  }

  static DWORD WINAPI Run(LPVOID param) {
    PickerDriver* self = reinterpret_cast<PickerDriver*>(param);
    while (!self->done) {
      self->dialog = nullptr;
      EnumWindows(Find, reinterpret_cast<LPARAM>(param));
      if (self->dialog) {
        Sleep(1000);  // let the tree fill
        if (self->select) {
          SendMessageA(self->dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(self->select));
          Sleep(300);
          PostMessageA(self->dialog, WM_COMMAND, IDOK, 0);
        } else {
          PostMessageA(self->dialog, WM_COMMAND, IDCANCEL, 0);
        }
        Sleep(1000);
      } else {
        Sleep(100);
      }
    }
    return 0;
  }
};

std::string PickWith(const char* select) {
  PickerDriver driver;
  driver.uiThread = GetCurrentThreadId();
  driver.select = select;
  HANDLE thread = CreateThread(nullptr, 0, PickerDriver::Run, &driver, 0, nullptr);
  std::string chosen = BrowseForFolder();
  driver.done = true;
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  return chosen;
}

}  // namespace

TEST(FolderPicker, CancelGivesEmpty) { EXPECT_EQ("", PickWith(nullptr)); }
