// Recursive deletion, directory creation, shell-extension release.
#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ServicesTestUtil.h"
#include "services/DeletePath.h"
#include "services/DirectoryPath.h"
#include "services/FileProbe.h"
#include "services/ShellExtension.h"

TEST(DeletePath, ReadOnlyFileAndTree) {
  std::string dir = ScratchDir("del_ro");
  std::string file = dir + "\\ro.txt";
  WriteFileBytes(file, "x");
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(1, DeletePathRecursive(file.c_str()));
  EXPECT_FALSE(Exists(file));

  std::string sub = dir + "\\sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  WriteFileBytes(sub + "\\a.txt", "a");
  WriteFileBytes(dir + "\\b.txt", "b");
  SetFileAttributesA((sub + "\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA((dir + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(sub.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(1, DeletePathRecursive(dir.c_str()));
  EXPECT_FALSE(Exists(dir));
}

TEST(DeletePath, MissingOrNull) {
  std::string dir = ScratchDir("del_missing");
  EXPECT_EQ(0, DeletePathRecursive((dir + "\\nothing").c_str()));
  EXPECT_EQ(0, DeletePathRecursive(nullptr));
  EXPECT_EQ(0, DeletePathRecursive(""));
  DeletePathRecursive(dir.c_str());
}

TEST(DeletePath, FileInUseStaysWithItsChain) {
  std::string dir = ScratchDir("del_busy");
  std::string inner = dir + "\\inner";
  CreateDirectoryA(inner.c_str(), nullptr);
  CreateDirectoryA((dir + "\\other").c_str(), nullptr);
  WriteFileBytes(dir + "\\other\\x.txt", "x");
  WriteFileBytes(dir + "\\top.txt", "t");
  WriteFileBytes(inner + "\\free.txt", "f");
  std::string busy = inner + "\\busy.txt";
  WriteFileBytes(busy, "b");
  {
    HandleOwner held(CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
    EXPECT_EQ(0, DeletePathRecursive(dir.c_str()));
    EXPECT_TRUE(Exists(busy));
    EXPECT_TRUE(Exists(inner));
    EXPECT_FALSE(Exists(inner + "\\free.txt"));
    EXPECT_FALSE(Exists(dir + "\\other"));
    EXPECT_FALSE(Exists(dir + "\\top.txt"));
  }
  EXPECT_EQ(1, DeletePathRecursive(dir.c_str()));
  EXPECT_FALSE(Exists(dir));
}

namespace {

// A directory junction at link pointing to target; false when the system
// cannot make one that reports itself as a reparse point.
bool MakeDirectoryLink(const std::string& link, const std::string& target) {
  typedef BOOLEAN(WINAPI * SymlinkFn)(LPCSTR, LPCSTR, DWORD);
  SymlinkFn symlink = reinterpret_cast<SymlinkFn>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "CreateSymbolicLinkA"));
  const DWORD kLinkDir = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
  if (symlink && symlink(link.c_str(), target.c_str(), 1 /* directory */) &&
      (GetFileAttributesA(link.c_str()) & kLinkDir) == kLinkDir &&
      GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES)
    return true;
  RemoveDirectoryA(link.c_str());

  // Mount-point reparse data: the junction form, which needs no privilege.
  if (!CreateDirectoryA(link.c_str(), nullptr)) return false;
  HandleOwner dir(CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (dir.h == INVALID_HANDLE_VALUE) return false;
  std::wstring substitute = L"\\??\\", print;
  for (char c : target) print += static_cast<wchar_t>(static_cast<unsigned char>(c));  // ASCII temp path
  substitute += print;
  BYTE data[2048] = {0};
  WORD subBytes = static_cast<WORD>(substitute.size() * 2), printBytes = static_cast<WORD>(print.size() * 2);
  DWORD* tag = reinterpret_cast<DWORD*>(data);
  WORD* header = reinterpret_cast<WORD*>(data + 4);
  WORD* offsets = reinterpret_cast<WORD*>(data + 8);
  *tag = 0xA0000003;  // IO_REPARSE_TAG_MOUNT_POINT
  offsets[0] = 0;
  offsets[1] = subBytes;
  offsets[2] = static_cast<WORD>(subBytes + 2);
  offsets[3] = printBytes;
  memcpy(data + 16, substitute.c_str(), subBytes);
  memcpy(data + 16 + subBytes + 2, print.c_str(), printBytes);
  header[0] = static_cast<WORD>(8 + subBytes + 2 + printBytes + 2);
  DWORD returned = 0;
  if (!DeviceIoControl(dir.h, 0x000900A4 /* FSCTL_SET_REPARSE_POINT */, data, 8 + header[0], nullptr, 0,
                       &returned, nullptr))
    return false;
  return (GetFileAttributesA(link.c_str()) & kLinkDir) == kLinkDir;
}

}  // namespace

TEST(DeletePath, DirectoryLinkTargetSurvives) {
  std::string target = ScratchDir("del_link_target");
  WriteFileBytes(target + "\\keep.txt", "keep");
  CreateDirectoryA((target + "\\keepdir").c_str(), nullptr);
  std::string tree = ScratchDir("del_link_tree");
  std::string link = tree + "\\link";
  if (!MakeDirectoryLink(link, target)) {
    DeletePathRecursive(tree.c_str());
    // Wine 8 cannot make one: CreateSymbolicLinkA does nothing and
    // FSCTL_SET_REPARSE_POINT is not supported. Reported and left, not
    // skipped: a GoogleTest skip kills the 32-bit test process under Wine here.
    printf("[  NOTE    ] DirectoryLinkTargetSurvives not checked: this system cannot create a "
           "directory link\n");
    return;
  }
  ASSERT_TRUE(Exists(link + "\\keep.txt"));
  EXPECT_EQ(1, DeletePathRecursive(tree.c_str()));
  EXPECT_FALSE(Exists(tree));
  EXPECT_TRUE(Exists(target + "\\keep.txt"));
  EXPECT_TRUE(Exists(target + "\\keepdir"));
  DeletePathRecursive(target.c_str());
}

TEST(DirectoryPath, CreatesEveryMissingLevel) {
  std::string dir = ScratchDir("mkdir");
  std::string deep = dir + "\\a\\b\\c";
  EXPECT_EQ(1, CreateDirectoryPath(deep.c_str()));
  EXPECT_EQ(1, PathIsDirectory(deep.c_str()));
  // Trailing backslash: same levels; an existing path answers 1.
  std::string other = dir + "\\x\\y\\";
  EXPECT_EQ(1, CreateDirectoryPath(other.c_str()));
  EXPECT_EQ(1, PathIsDirectory((dir + "\\x\\y").c_str()));
  EXPECT_EQ(1, CreateDirectoryPath(deep.c_str()));
  // An existing file: 1, nothing created.
  WriteFileBytes(dir + "\\file", "f");
  EXPECT_EQ(1, CreateDirectoryPath((dir + "\\file").c_str()));
  EXPECT_EQ(0, PathIsDirectory((dir + "\\file").c_str()));
  // A file in the way of a parent: the last level cannot be made.
  EXPECT_EQ(0, CreateDirectoryPath((dir + "\\file\\sub").c_str()));
  EXPECT_EQ(0, CreateDirectoryPath(""));
  EXPECT_EQ(0, CreateDirectoryPath(nullptr));
  DeletePathRecursive(dir.c_str());
}

TEST(DirectoryPath, GbkTrailBackslashIsNotALevel) {
  std::string dir = ScratchDir("mkdir_gbk");
  // 乗 is 81 5C: a byte scan would make a level named by the lead byte 0x81.
  std::string name = dir + "\\乗\\子";
  ASSERT_EQ(1, CreateDirectoryPath(name.c_str()));
  EXPECT_EQ(1, PathIsDirectory(name.c_str()));
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &entry);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  int count = 0;
  std::string only;
  do {
    if (strcmp(entry.cFileName, ".") && strcmp(entry.cFileName, "..")) {
      ++count;
      only = entry.cFileName;
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  EXPECT_EQ(1, count);
  EXPECT_EQ("乗", only);
  // Ending in the trail byte: the name is complete, no extra level either.
  std::string last = dir + "\\末乗";
  EXPECT_EQ(1, CreateDirectoryPath(last.c_str()));
  EXPECT_EQ(1, PathIsDirectory(last.c_str()));
  DeletePathRecursive(dir.c_str());
}

TEST(FileProbe, ExistsAndDirectory) {
  std::string dir = ScratchDir("probe");
  WriteFileBytes(dir + "\\f.txt", "f");
  EXPECT_EQ(1, PathExists(dir.c_str()));
  EXPECT_EQ(1, PathIsDirectory(dir.c_str()));
  EXPECT_EQ(1, PathExists((dir + "\\f.txt").c_str()));
  EXPECT_EQ(0, PathIsDirectory((dir + "\\f.txt").c_str()));
  EXPECT_EQ(0, PathExists((dir + "\\none").c_str()));
  EXPECT_EQ(0, PathIsDirectory((dir + "\\none").c_str()));
  EXPECT_EQ(0, PathExists(nullptr));
  DeletePathRecursive(dir.c_str());
}

TEST(ShellExtension, DirectoryOrMissingStartsNothing) {
  std::string dir = ScratchDir("unreg");
  EXPECT_EQ(0, UnregisterShellExtension(dir.c_str()));
  EXPECT_EQ(0, UnregisterShellExtension((dir + "\\missing.dll").c_str()));
  EXPECT_EQ(0, UnregisterShellExtension(nullptr));
  DeletePathRecursive(dir.c_str());
}

TEST(ShellExtension, CommandQuotesThePath) {
  EXPECT_EQ("regsvr32.exe /s /u \"C:\\Program Files\\MailKorvo_Disk\\VtShell.dll\"",
            FormatUnregisterCommand("C:\\Program Files\\MailKorvo_Disk\\VtShell.dll"));
}
